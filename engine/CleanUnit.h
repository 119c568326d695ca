// The cleaner: deletes the checked traces of one category's result collection.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "engine/ResultContentUnit.h"

// Shows the entry being handled (the clean page's step label; set and repaint at once).
using TStepTextProc = std::function<void(const std::string &text)>;
// Moves the clean gauge (0 to 100).
using TGaugePositionProc = std::function<void(int32_t position)>;

// Deletes every checked item of contents: registry values and keys, URL-cache entries and files
// (removed as the delete mode Settings.ErasValue says). Marks each deleted item Removed, adds it to
// Settings.RemoveTotal and sets the gauge to RemoveTotal out of total. An item that cannot be
// deleted is skipped silently. Either callback may be empty. A deleted folder in the recycle bin
// loses every file below it, then its emptied folders, and counts as deleted when it is gone.
// A Firefox or Netscape history or cookie row can only be deleted with the whole file that holds
// it: such a file is wiped only when every row of it is ticked and it holds no excluded entry;
// otherwise it stays and its rows are left unmarked (see KeptBrowserFiles).
// A checked item that the exclusion list, as it stands now, would keep out of a new scan is passed
// over: an exclusion made or changed since the scan holds for the clean too.
// A deleted entry of the "$Recycle.Bin" layout takes its "$I..." index file along (it names where
// the entry came from); its row counts as deleted when both are gone.
void CleanResultContents(TResultContents *contents, const TStepTextProc &setStepText,
                         const TGaugePositionProc &setGaugePosition, int32_t total);

// 100 * done / total rounded to the nearest whole number, a half to the even one; 0 when total
// is not positive.
int32_t GaugePercent(int64_t done, int64_t total);

// A history or cookie file that a clean leaves in place although some of its rows are ticked.
struct TKeptFile {
    int32_t Kind = 0;
    std::string Path;
    bool NotAllTicked = false;    // some row of it is not ticked
    bool HoldsExcluded = false;   // it holds an entry the user excluded, then or since
    bool NotAllListed = false;    // its scan was stopped before the end of it
};
// The files of contents that CleanResultContents keeps, each once, in the order of their first
// rows.
std::vector<TKeptFile> KeptBrowserFiles(const TResultContents *contents);

// Whether a clean may empty the recycle bin, which takes every entry of every bin at once: only when
// a RecycleBin row is ticked, every RecycleBin row is, and the last scan of the bins listed every
// entry there (none excluded, then or since; none passed over; not stopped). contents is the
// Windows System collection.
struct TRecycleBinChoice {
    bool AnyTicked = false;
    bool NotAllTicked = false;    // some RecycleBin row is not ticked
    bool HoldsExcluded = false;   // an entry of the bins is excluded
    bool PassedOver = false;      // the scan passed over an entry of the bins: it has no row
    bool NotAllListed = false;    // the scan of the bins was stopped before their end
    bool MayEmpty() const
    {
        return AnyTicked && !NotAllTicked && !HoldsExcluded && !PassedOver && !NotAllListed;
    }
    // A RecycleBin row is ticked, yet the bin stays: the completion message says why.
    bool Kept() const { return AnyTicked && !MayEmpty(); }
};
TRecycleBinChoice RecycleBinChoice(const TResultContents *contents);

// What a clean did to the RecycleBin rows of contents: the ticked rows it was to wipe (not those
// the exclusion list keeps out now) and how many of those are marked deleted.
void CountRecycleBinWipes(const TResultContents *contents, int32_t &ticked, int32_t &wiped);
