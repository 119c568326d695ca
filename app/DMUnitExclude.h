// The exclusion list file "Exclude1Items.qmt" and the operations that keep it and ExcludeContents
// in step. The data module's methods forward here with the file beside the program.
#pragma once
#include <string>
#include <vector>
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

// The program's folder followed by "Exclude1Items.qmt".
std::string ExclusionFilePath();

// One line: ItemName "|" Location "!" Entry "<" Data, not trimmed. ItemName ends at the first "|".
// When a "!" and then a "<" follow it, the rest is read so that every exclusion for which
// ExclusionReadsBack holds comes back with its own fields (a line holding each separator once reads
// as it always has); any other line is cut at the first "|", "!" and "<" of the whole line, and a
// missing separator gives the empty fields that this cut yields.
exclude::TContent ParseExclusionLine(const std::string &line);
// The stored layout "%s|%s!%s<%s\r\n"; fields are written as they are.
std::string FormatExclusionLine(const exclude::TContent &c);
// The exclusion's line reads back to the same four fields: no field holds a line break, and no
// separator stands in a field where the reading would take it for one of its own.
bool ExclusionReadsBack(const exclude::TContent &c);

// What an editing operation did to the list and the file.
enum class TExclusionSave {
    Saved,        // the list changed and the file follows it
    Unchanged,    // nothing to change (the same exclusion exists, or no exclusion matched)
    Unstorable,   // refused, nothing changed: its line would not read back the same
    NotSaved,     // the list changed but the file could not be written
};
// The message for the user, "" when there is nothing to say.
std::string ExclusionSaveMessage(TExclusionSave saved, const std::string &path);
// Shows that message, for the file beside the program, in a message box.
void ShowExclusionSave(TExclusionSave saved);

// Clears list, then adds one exclusion per non-blank line of the file (none when it is missing).
void LoadExclusionFile(const std::string &path, TExcludeContents *list);
// Writes every exclusion to a new file beside path and puts it in path's place in one step, so a
// crash leaves either the old or the new list. False when the new file could not be written.
bool RewriteExclusionFile(const std::string &path, const TExcludeContents *list);

// Appends the exclusion to list and to the file unless one with the same four fields exists or it
// cannot be stored. The results it keeps out leave through DropExcludedResults.
TExclusionSave AddExclusionTo(const std::string &path, TExcludeContents *list, const exclude::TContent &c);
// The first exclusion with this ItemName and Location takes newText as Location; the file is rewritten.
TExclusionSave ModifyExclusionIn(const std::string &path, TExcludeContents *list, const std::string &itemName,
                                 const std::string &oldText, const std::string &newText);
// Deletes the first exclusion with this ItemName and Location; the file is rewritten.
TExclusionSave RemoveExclusionFrom(const std::string &path, TExcludeContents *list, const std::string &itemName,
                                   const std::string &text);

// The Exclude page's rows stand for one exclusion each and act on it directly.
// The text a row shows in its "Name" column: Data when not empty, else Location.
std::string ExclusionShownText(const exclude::TContent &c);
// Sets the item's section and the field its row shows to the new text; the file is rewritten.
// Unchanged when the item is no longer in the list.
TExclusionSave ChangeExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item,
                                   const std::string &itemName, const std::string &newText);
// Deletes that item; the file is rewritten. Unchanged when it is no longer in the list.
TExclusionSave DeleteExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item);

// The exclusion a result row gives: Cache, Favorites and Cookies rows are kept out by their URL or
// file name (the row's Entry) as location, the rest by their location, value name and data.
exclude::TContent ExclusionForResultRow(const std::string &itemName, const std::string &entry,
                                        const std::string &data, const std::string &location);

int CountExclusionsForItem(const TExcludeContents *list, const std::string &name);

// The rows of ResultRows after item `removed` of ResultContents[category] was deleted: rows of that
// item go, and the later items' rows move down by one so each still names its own item.
// FoundSizeTotal becomes the total of the rows left.
void FollowResultItemRemoval(int category, int removed);

// A result that left the four collections because an exclusion keeps it out: its catalogue item
// (ItemNo 0 when no item's rule takes it in).
struct TExcludedResult {
    int32_t Category = 0;
    int32_t ItemNo = 0;
};
// Takes every result that list keeps out of a new scan (IsResultExcluded) out of ResultContents, and
// its rows out of ResultRows; the other rows keep naming their own items, and FoundSizeTotal
// becomes the total of the rows left. An excluded entry of the recycle bin or of a history or cookie
// file is noted, so that no clean empties the bin or wipes the file. Returns what left, in order.
std::vector<TExcludedResult> DropExcludedResults(const TExcludeContents *list);

// The "Exclude" command on row rowIndex of ResultRows: adds the row's exclusion, drops the row and
// deletes the row's own result item from its collection, so no clean, fill or recount reaches it
// again; the other rows keep naming their own items. Gives the row's item name and what became of
// the list and file. False, with nothing changed, when there is no such row or the exclusion cannot
// be stored.
bool ExcludeResultRow(const std::string &path, TExcludeContents *list, int rowIndex, std::string &itemName,
                      TExclusionSave &saved);
