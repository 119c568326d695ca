// What the Firefox and Netscape members of the Internet Software scanners (declared with the others
// in InternetSoftWareUnit.h) are built from: the recursive finders, the cache folder listing, and the
// history.dat and cookies.txt text scans.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "engine/InternetSoftWareUnit.h"

// The full path that the last finder call matched; each scanner empties it before its search.
extern std::string FoundPath;

// Searches the tree below folder for an entry called name (exact case); every folder stops at
// its own first match, and a later match elsewhere replaces FoundPath. The sub-folders share the
// caller's pacer: the window gets its turns by time over the whole walk.
void FindFileRecursive(const std::string &folder, const std::string &name, TScanPacer *pacer = nullptr);
// The same for a folder called "Cache" (a file of that name never matches).
void FindCacheFolderRecursive(const std::string &folder, TScanPacer *pacer = nullptr);
// One item per entry of the cache folder itself that no exclusion keeps out (by its full path);
// type 1 Firefox, 2 Netscape.
void ScanCacheFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t type,
                     TResultContents *results);

// The working text of a history or cookie scan: the file's lines (ended by CR, LF or CR LF) joined
// again with CR LF after each, cut before the first NUL, upper-cased for cookies. False when the
// file cannot be read (missing, locked, a folder).
bool LoadWorkingText(const std::string &path, bool upperCase, std::string &text);

// Calls onItem(text) for each item of the working text, in order: from each start token up to the
// next end token; the search goes on from the item's last character. A start token with no end
// token after it ends the scan. Stops when ScanState is 2 or onItem returns false. Linear in the
// size of the text.
void ScanTokens(const std::string &text, const std::string &startToken, const std::string &endToken,
                const std::function<bool(const std::string &)> &onItem);

// A Firefox or Netscape history or cookie row is one entry of a file that holds many (Kinds
// tkFirefoxHistory, tkFirefoxCookie, tkNetscapeHistory, tkNetscapeCookie); deleting it wipes that
// whole file, its Location.
bool IsBrowserFileEntry(int32_t kind);
// The text by which such an entry is excluded, and which an exclusion made from its row stores as
// its place: the address, or the cookie's domain, without the line break and tab around it. Empty
// for any other trace.
std::string BrowserEntryPlace(const TContent &c);

// The files of such entries that hold an entry the user excluded: one the last scan of that Kind
// passed over, or one whose row was excluded since. Each history or cookie scan first forgets the
// files of its own Kind.
void NoteExcludedBrowserEntry(int32_t kind, const std::string &file);
bool HoldsExcludedBrowserEntry(int32_t kind, const std::string &file);
// Whether the last scan of that Kind was stopped (Abort, or a quit from the tray) before the end of
// the file, so that its later entries have no row.
bool BrowserFileScannedInPart(int32_t kind, const std::string &file);
