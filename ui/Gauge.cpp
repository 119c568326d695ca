#include "ui/Gauge.h"
#include <cstdio>

namespace ui {

void TGauge::Create(TWinControl *parent, int left, int top, int width, int height)
{
    Attach(parent, left, top, width, height);
}

void TGauge::SetMinValue(int v)
{
    min_ = v;
    Repaint();
}

void TGauge::SetMaxValue(int v)
{
    max_ = v;
    Repaint();
}

void TGauge::SetProgress(int v)
{
    if (v == progress_) return;
    progress_ = v;
    Repaint();
}

int TGauge::PercentDone() const
{
    if (max_ <= min_) return 0;
    long long done = static_cast<long long>(progress_) - min_;
    if (done <= 0) return 0;
    long long range = static_cast<long long>(max_) - min_;
    if (done >= range) return 100;
    return static_cast<int>(done * 100 / range);
}

void TGauge::SetForeColor(COLORREF c)
{
    fore_ = c;
    Invalidate();
}

void TGauge::SetBackColor(COLORREF c)
{
    back_ = c;
    Invalidate();
}

void TGauge::SetShowText(bool show)
{
    showText_ = show;
    Invalidate();
}

void TGauge::Paint(TCanvas &canvas)
{
    RECT r = BoundsRect();
    canvas.SetPenColor(RGB(0, 0, 0));
    canvas.FrameRect(r);
    InflateRect(&r, -1, -1);
    int inner = r.right - r.left;
    long long filled = 0;
    if (max_ > min_) {
        long long done = static_cast<long long>(progress_) - min_, range = static_cast<long long>(max_) - min_;
        if (done < 0) done = 0;
        if (done > range) done = range;
        filled = done * inner / range;
    }
    RECT bar = r, rest = r;
    bar.right = r.left + static_cast<int>(filled);
    rest.left = bar.right;
    canvas.SetBrushColor(fore_);
    canvas.FillRect(bar);
    canvas.SetBrushColor(back_);
    canvas.FillRect(rest);
    if (showText_) {
        char text[8];
        snprintf(text, sizeof text, "%d%%", PercentDone());
        // The text is drawn over both parts in the colour that stands out from each.
        canvas.SetBrushClear(true);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        HDC dc = canvas.Handle();
        int hasClip = GetClipRgn(dc, clip);
        canvas.SetFontColor(back_);
        IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
        canvas.TextRect(r, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectClipRgn(dc, hasClip == 1 ? clip : nullptr);
        canvas.SetFontColor(fore_);
        IntersectClipRect(dc, rest.left, rest.top, rest.right, rest.bottom);
        canvas.TextRect(r, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectClipRgn(dc, hasClip == 1 ? clip : nullptr);
        DeleteObject(clip);
    }
}

}  // namespace ui
