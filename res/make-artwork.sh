#!/usr/bin/env bash
# Draws every picture of the main program with ImageMagick into res/art/ (committed, so a build needs
# no ImageMagick). Run it again after changing a colour or a caption: scripts are the source here.
#
# One palette throughout: a deep blue title, white pages, a light grey page column, blue action
# buttons, amber for the current page and the scanning spinner.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/art"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
IM=${CONVERT:-convert}

# palette
TITLE_TOP='#2a5278'; TITLE_BOTTOM='#16324c'
BLUE='#2e6da4'; BLUE_DARK='#1f4f7c'; BLUE_LIGHT='#4b8fd0'; BLUE_PALE='#dbe8f5'
AMBER='#f0a830'; GREY_COLUMN='#e6e9ed'; GREY_LINE='#979698'; GREY_TEXT='#4a4f57'; WHITE='#ffffff'
MASK='#ff00ff'   # the transparent colour of the 16x16 pictures
FONT=DejaVu-Sans; FONT_BOLD=DejaVu-Sans-Bold

bmp() { "$IM" "$@" -alpha off -type TrueColor "BMP3:${@: -1}" 2>/dev/null || true; }
strip() { local dst=$1; shift; "$IM" "$@" +append -alpha off -type TrueColor "BMP3:$dst"; }

# ---- title panel: 650 x 81, a vertical gradient so any crop at the same height matches ----
"$IM" -size 650x81 gradient:"$TITLE_TOP-$TITLE_BOTTOM" \
  -fill "$AMBER" -draw 'rectangle 0,79 649,80' \
  -fill 'rgba(255,255,255,0.05)' -draw 'circle 600,-60 600,60' -draw 'circle 380,120 380,40' \
  "$tmp/title.png"
# the title-bar buttons sit on the plain part of the background: crops keep them seamless
crop() { "$IM" "$tmp/title.png" -crop "$1" +repage "$2"; }

# ---- the program's mark: a white quill in a rounded blue square ----
mark() {   # size output
  local s=$1 o=$2
  "$IM" -size 256x256 xc:none \
    -fill "$BLUE_LIGHT" -stroke "$WHITE" -strokewidth 10 -draw 'roundrectangle 8,8 247,247 48,48' \
    -stroke none -fill "$WHITE" \
    -draw 'path "M 196,42 C 120,60 74,124 66,196 L 88,196 C 100,140 132,104 178,80 C 150,112 126,150 112,196 L 124,196 C 150,140 190,100 196,42 Z"' \
    -fill "$AMBER" -draw 'polygon 60,204 92,204 70,226' \
    -resize "${s}x${s}" "$o"
}
mark 256 "$tmp/mark256.png"
for s in 16 32 48; do mark "$s" "$tmp/mark$s.png"; done
"$IM" "$tmp/mark16.png" "$tmp/mark32.png" "$tmp/mark48.png" "$out/quillmoor.ico"

# ---- logo 275 x 50, drawn on its own piece of the title background (it sits at 45,16) ----
crop 275x50+45+16 "$tmp/logo-bg.png"
"$IM" "$tmp/logo-bg.png" \( "$tmp/mark256.png" -resize 44x44 \) -geometry +2+3 -composite \
  -font "$FONT_BOLD" -pointsize 27 -fill "$WHITE" -annotate +54+31 'Quillmoor' \
  -font "$FONT" -pointsize 11 -fill "$BLUE_PALE" -annotate +56+46 'privacy cleaner' \
  -quality 93 "$out/logo.jpg"
"$IM" "$tmp/title.png" -quality 93 "$out/title.jpg"

# ---- title-bar buttons 84 x 33: Home, Update, Help; normal and hover (ImageList3) ----
titlebtn() {   # caption hover output
  local bg
  if [ "$2" = 1 ]; then bg='rgba(255,255,255,0.28)'; else bg='rgba(255,255,255,0.12)'; fi
  crop 84x33+473+30 "$tmp/tb.png"
  "$IM" "$tmp/tb.png" -fill "$bg" -stroke 'rgba(255,255,255,0.45)' -strokewidth 1 \
    -draw 'roundrectangle 1,3 82,29 6,6' -stroke none \
    -font "$FONT_BOLD" -pointsize 12 -fill "$WHITE" -gravity center -annotate +0+0 "$1" "$3"
}
i=0
for cap in Home Update Help; do
  titlebtn "$cap" 0 "$tmp/t$i.png"; i=$((i+1))
  titlebtn "$cap" 1 "$tmp/t$i.png"; i=$((i+1))
done
strip "$out/titlebuttons.bmp" "$tmp"/t{0..5}.png

# ---- Minimize and Close 20 x 19 (ImageList2): normal, hover ----
smallbtn() {   # glyph hover output
  local bg='rgba(255,255,255,0)'
  [ "$2" = 1 ] && bg='rgba(255,255,255,0.30)'
  crop 20x19+610+4 "$tmp/sb.png"
  local glyph
  if [ "$1" = min ]; then glyph='rectangle 5,12 14,13'; else glyph='line 5,5 14,14 line 14,5 5,14'; fi
  "$IM" "$tmp/sb.png" -fill "$bg" -draw 'roundrectangle 0,0 19,18 3,3' \
    -stroke "$WHITE" -strokewidth 2 -fill "$WHITE" -draw "$glyph" "$3"
}
smallbtn min 0 "$tmp/s0.png"; smallbtn min 1 "$tmp/s1.png"
smallbtn close 0 "$tmp/s2.png"; smallbtn close 1 "$tmp/s3.png"
strip "$out/windowbuttons.bmp" "$tmp"/s{0..3}.png

# ---- page buttons 162 x 44 (BtnImageList): Scan, Result, Exclude, Settings, Advanced ----
pageicon() {   # name colour -> draw primitives for a 20x20 glyph at 18,12
  case $1 in
    Scan)     echo "stroke $2 stroke-width 3 fill none circle 26,20 26,27 line 31,26 37,32" ;;
    Result)   echo "fill $2 rectangle 18,26 22,32 rectangle 25,20 29,32 rectangle 32,14 36,32" ;;
    Exclude)  echo "stroke $2 stroke-width 3 fill none circle 27,23 27,31 line 21,29 33,17" ;;
    Settings) echo "stroke $2 stroke-width 3 fill none circle 27,23 27,28 stroke-width 2 line 27,12 27,15 line 27,31 27,34 line 16,23 19,23 line 35,23 38,23" ;;
    Advanced) echo "fill $2 polygon 22,12 34,12 32,34 24,34 stroke $2 stroke-width 2 line 19,16 37,16" ;;
  esac
}
i=0
for cap in Scan Result Exclude Settings Advanced; do
  "$IM" -size 162x44 xc:"$GREY_COLUMN" -fill "$GREY_LINE" -draw 'rectangle 14,43 147,43' \
    -draw "$(pageicon "$cap" "$GREY_TEXT")" \
    -font "$FONT_BOLD" -pointsize 14 -fill "$GREY_TEXT" -annotate +50+28 "$cap" "$tmp/p$i.png"
  i=$((i+1))
  "$IM" -size 162x44 xc:"$WHITE" -fill "$AMBER" -draw 'rectangle 0,0 5,43' \
    -draw "$(pageicon "$cap" "$BLUE")" \
    -font "$FONT_BOLD" -pointsize 14 -fill "$BLUE_DARK" -annotate +50+28 "$cap" "$tmp/p$i.png"
  i=$((i+1))
done
strip "$out/pagebuttons.bmp" "$tmp"/p{0..9}.png

# ---- action buttons 221 x 52 on the white page (ImageList1), normal and hover ----
# The shred picture is shown in a 132 x 39 control: its button fills that corner only.
action() {   # caption hover output [w h pointsize x]
  local w=${4:-217} h=${5:-46} pt=${6:-17} x=${7:-2} top bot
  if [ "$2" = 1 ]; then top=$BLUE_LIGHT; bot=$BLUE; else top=$BLUE; bot=$BLUE_DARK; fi
  "$IM" -size "$((w))x$((h))" gradient:"$top-$bot" \
    \( -size "$((w))x$((h))" xc:black -fill white -draw "roundrectangle 0,0 $((w-1)),$((h-1)) 9,9" \) \
    -alpha off -compose CopyOpacity -composite "$tmp/face.png"
  "$IM" -size 221x52 xc:"$WHITE" \
    \( -size "$((w))x$((h))" xc:none -fill 'rgba(0,0,0,0.18)' -draw "roundrectangle 0,0 $((w-1)),$((h-1)) 9,9" \) \
    -geometry "+$((x+1))+4" -composite "$tmp/face.png" -geometry "+$x+2" -composite \
    -fill 'rgba(255,255,255,0.10)' -draw "roundrectangle $((x+1)),3 $((x+w-2)),$((h/2)) 8,8" \
    -font "$FONT_BOLD" -pointsize "$pt" -fill "$WHITE" \
    -annotate "+$(( x + w / 2 - ${#1} * pt * 31 / 100 ))+$(( h / 2 + pt * 36 / 100 + 2 ))" "$1" "$3"
  [ "$2" = 1 ] && "$IM" "$3" -fill "$AMBER" -draw "rectangle $((x+20)),$((h-3)) $((x+w-20)),$((h-2))" "$3"
  return 0
}
i=0
for cap in 'Scan Now' Abort Clean Finish Add Modify Remove Apply; do
  if [ "$cap" = Abort ]; then
    # Abort shares its place with Scan Now in a panel that narrows to 140 pixels while scanning,
    # keeping the button's right part: the picture's button fills its right 140 pixels.
    action "$cap" 0 "$tmp/a$i.png" 134 46 17 83; i=$((i+1))
    action "$cap" 1 "$tmp/a$i.png" 134 46 17 83; i=$((i+1))
    continue
  fi
  action "$cap" 0 "$tmp/a$i.png"; i=$((i+1))
  action "$cap" 1 "$tmp/a$i.png"; i=$((i+1))
done
action Shred 0 "$tmp/a16.png" 128 35 14
action Shred 1 "$tmp/a17.png" 128 35 14
strip "$out/actionbuttons.bmp" "$tmp"/a{0..17}.png

# ---- 16 x 16 pictures of the trees (TreeImageList), magenta is transparent ----
icon() { "$IM" -size 16x16 xc:"$MASK" +antialias "$@"; }
icon -fill '#c9ced6' -stroke '#5a5f66' -draw 'rectangle 1,2 14,11' -stroke none \
  -fill "$BLUE_LIGHT" -draw 'rectangle 3,4 12,9' -fill "$BLUE_PALE" -draw 'rectangle 4,5 6,6' \
  -fill '#5a5f66' -draw 'rectangle 6,12 9,13' -draw 'rectangle 3,14 12,14' "$tmp/i0.png"
icon -fill "$BLUE" -draw 'circle 7,7 7,14' -stroke "$BLUE_PALE" -fill none \
  -draw 'ellipse 7,7 3,7 0,360' -draw 'line 0,7 14,7' -draw 'line 2,3 12,3' -draw 'line 2,11 12,11' "$tmp/i1.png"
icon -fill "$WHITE" -stroke "$BLUE_DARK" -draw 'rectangle 1,2 14,13' -stroke none \
  -fill "$BLUE" -draw 'rectangle 2,3 13,5' -fill "$AMBER" -draw 'rectangle 4,8 7,11' \
  -fill "$GREY_LINE" -draw 'rectangle 9,8 11,8' -draw 'rectangle 9,10 12,10' "$tmp/i2.png"
icon -fill "$GREY_TEXT" -draw 'circle 7,7 7,13' -draw 'rectangle 6,0 8,14' -draw 'rectangle 0,6 14,8' \
  -draw 'polygon 2,1 4,1 13,11 11,13' -draw 'polygon 11,1 13,3 3,13 1,11' \
  -fill "$MASK" -draw 'circle 7,7 7,9' -fill "$AMBER" -draw 'point 7,7' "$tmp/i3.png"
icon -fill "$BLUE" -draw 'rectangle 6,1 9,7' -draw 'polygon 3,7 12,7 7,12' \
  -fill "$GREY_TEXT" -draw 'rectangle 1,12 14,14' -fill "$AMBER" -draw 'rectangle 12,13 13,13' "$tmp/i4.png"
icon -fill "$WHITE" -stroke '#7b8088' -draw 'polygon 3,1 10,1 13,4 13,14 3,14' -stroke none \
  -fill "$BLUE_LIGHT" -draw 'rectangle 5,6 11,6' -draw 'rectangle 5,8 11,8' -draw 'rectangle 5,10 9,10' \
  -fill '#c9ced6' -draw 'polygon 10,1 10,4 13,4' "$tmp/i5.png"
icon -fill "$WHITE" -stroke "$GREY_TEXT" -draw 'rectangle 2,2 13,13' -stroke "$BLUE" -strokewidth 2 \
  -draw 'line 4,8 6,10' -draw 'line 6,10 11,4' "$tmp/i6.png"
icon -fill "$WHITE" -stroke "$GREY_TEXT" -draw 'rectangle 2,2 13,13' "$tmp/i7.png"
# seven frames of a spinner: seven dots on a ring, the lit one amber with a fading tail
for f in 0 1 2 3 4 5 6; do
  args=()
  for d in 0 1 2 3 4 5 6; do
    x=$(awk -v d=$d 'BEGIN{printf "%d", 7.5 + 5.2*sin(d*6.2832/7)}')
    y=$(awk -v d=$d 'BEGIN{printf "%d", 7.5 - 5.2*cos(d*6.2832/7)}')
    age=$(( (f - d + 7) % 7 ))
    case $age in
      0) c=$AMBER; r=2 ;; 1) c='#f4c472'; r=2 ;; 2) c='#7fa8d0'; r=1 ;; *) c='#c9ced6'; r=1 ;;
    esac
    args+=(-fill "$c" -draw "circle $x,$y $((x+r)),$y")
  done
  icon "${args[@]}" "$tmp/i$((8+f)).png"
done
strip "$out/treeimages.bmp" "$tmp"/i{0..14}.png

# ---- tray menu pictures (PopupImageList): the program, and Update online ----
"$IM" -size 16x16 xc:"$WHITE" "$tmp/mark16.png" -composite -alpha off "$tmp/m0.png"
icon -stroke "$BLUE" -strokewidth 2 -fill none -draw 'arc 2,2 13,13 200,500' \
  -stroke none -fill "$BLUE" -draw 'polygon 9,0 14,3 9,6' -fill "$AMBER" -draw 'rectangle 6,6 9,9' "$tmp/m1.png"
strip "$out/popupimages.bmp" "$tmp"/m{0,1}.png

echo "artwork written to $out"
