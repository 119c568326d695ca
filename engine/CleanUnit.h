// The cleaner: deletes the checked traces of one category's result collection.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "engine/ResultContentUnit.h"

// Shows the entry being handled (the clean page's step label; set and repaint at once).
using TStepTextProc = std::function<void(const std::string &text)>;
// Moves the clean gauge (0 to 100).
using TGaugePositionProc = std::function<void(int32_t position)>;

// Deletes every checked item of contents: registry values and keys, URL-cache entries and files
// (removed as the delete mode Settings.ErasValue says). Marks each deleted item Removed, adds it to
// Settings.RemoveTotal and sets the gauge to RemoveTotal out of total. An item that cannot be
// deleted is skipped silently. Either callback may be empty. A deleted folder in the recycle bin
// loses every file below it and counts as deleted when none is left.
void CleanResultContents(TResultContents *contents, const TStepTextProc &setStepText,
                         const TGaugePositionProc &setGaugePosition, int32_t total);

// 100 * done / total rounded to the nearest whole number, a half to the even one; 0 when total
// is not positive.
int32_t GaugePercent(int64_t done, int64_t total);
