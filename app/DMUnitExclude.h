// The exclusion list file "Exclude1Items.qmt" and the operations that keep it and ExcludeContents
// in step. The data module's methods forward here with the file beside the program.
#pragma once
#include <string>
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

// The program's folder followed by "Exclude1Items.qmt".
std::string ExclusionFilePath();

// One line: ItemName "|" Location "!" Entry "<" Data, cut at the first of each separator in the
// whole line; a missing separator gives the empty fields that the cut rule yields. Not trimmed.
exclude::TContent ParseExclusionLine(const std::string &line);
// The stored layout "%s|%s!%s<%s\r\n"; fields are written as they are.
std::string FormatExclusionLine(const exclude::TContent &c);

// Clears list, then adds one exclusion per non-blank line of the file (none when it is missing).
void LoadExclusionFile(const std::string &path, TExcludeContents *list);
// Writes every exclusion to a new file beside path and puts it in path's place in one step, so a
// crash leaves either the old or the new list. False when the new file could not be written.
bool RewriteExclusionFile(const std::string &path, const TExcludeContents *list);

// Appends the exclusion to list and to the file unless one with the same four fields exists; then
// deletes the first Internet Explorer result (ieResults may be nullptr) whose Entry is the Location
// and gives its index in removedIndex (-1 when none went). True when the exclusion was added.
bool AddExclusionTo(const std::string &path, TExcludeContents *list, const exclude::TContent &c,
                    TResultContents *ieResults, int *removedIndex = nullptr);
// The first exclusion with this ItemName and Location takes newText as Location; the file is rewritten.
void ModifyExclusionIn(const std::string &path, TExcludeContents *list, const std::string &itemName,
                       const std::string &oldText, const std::string &newText);
// Deletes the first exclusion with this ItemName and Location; the file is rewritten.
void RemoveExclusionFrom(const std::string &path, TExcludeContents *list, const std::string &itemName,
                         const std::string &text);

// The Exclude page's rows stand for one exclusion each and act on it directly.
// The text a row shows in its "Name" column: Data when not empty, else Location.
std::string ExclusionShownText(const exclude::TContent &c);
// Sets the item's section and the field its row shows to the new text; the file is rewritten.
// False when the item is no longer in the list.
bool ChangeExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item,
                         const std::string &itemName, const std::string &newText);
// Deletes that item; the file is rewritten. False when it is no longer in the list.
bool DeleteExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item);

// The exclusion a result row gives: Cache, Favorites and Cookies rows are kept out by their URL or
// file name (the row's Entry) as location, the rest by their location, value name and data.
exclude::TContent ExclusionForResultRow(const std::string &itemName, const std::string &entry,
                                        const std::string &data, const std::string &location);

int CountExclusionsForItem(const TExcludeContents *list, const std::string &name);

// The rows of ResultRows after item `removed` of the Internet Explorer collection was deleted: rows
// of that item go, and the later items' rows move down by one so each still names its own item.
void FollowResultItemRemoval(int removed);

// The "Exclude" command on row rowIndex of ResultRows: adds the row's exclusion (Internet Explorer
// results from ResultContents), drops the row, and moves the Internet Explorer rows that come after
// a removed result item down by one so that each still names its own item. Gives the row's item
// name; false when there is no such row.
bool ExcludeResultRow(const std::string &path, TExcludeContents *list, int rowIndex, std::string &itemName);
