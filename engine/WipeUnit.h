// File destruction: overwrite, rename to a random number, delete; the folder walks that wipe every
// file of a tree; and the recycle bin.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>

// Overwrites the file with "01" units passes + 1 times (none when passes is negative), renames it to
// a random number in its own folder and deletes it. A missing file in an existing folder is created
// first, so it counts as wiped. False on any failure, the file then still under a name.
bool WipeFile(const std::string &path, int32_t passes);

// Wipes every file of the tree below folder whose attribute word is one of the walk's fixed set;
// pumps messages before each entry and stops when ScanState is 2. Folders themselves stay.
void WipeFolder(const std::string &folder, int32_t passes);

// Wipes, with passes 0, the contents of the system drive's recycled folders: "Recycled" whole, and
// the deleted entries of the current user's own bin folders (their index files stay for the shell's
// emptying). A folder that does not exist is passed over.
void WipeRecycledFolder();

// The cleaner's wipe of a deleted folder in the recycle bin: the folder walk over it, without
// pumping messages or looking at ScanState, then the removal of its emptied folders, the deepest
// first and the folder itself last. True when the folder is gone; one that still holds something (a
// file that could not be wiped, a folder that cannot be listed) stays.
bool WipeRecycledFolderEntry(const std::string &folder, int32_t passes);

// Empties the recycle bins of all drives without asking, showing or sounding anything.
void EmptyRecycleBin();
// The same, for the "/auto" start.
void EmptyRecycleBinForAutoRun();

// The pass count for a delete mode of the settings (0 no overwrite, 1 once, 2 three times,
// 3 seven times): WipeFile writes passes + 1 rounds.
int32_t WipePassesForDeleteMode(int32_t mode);

// WipeFile with a callback after each overwrite round (round counts from 1), given the open handle;
// lets a caller watch or disturb the file between rounds.
using TWipeRoundHook = std::function<void(HANDLE file, int32_t round)>;
bool WipeFileWithHook(const std::string &path, int32_t passes, const TWipeRoundHook &afterRound);

// The walk of WipeRecycledFolder over one folder: no "Recent" test at its own level, passes 0; in a
// user's own bin folder (by its parent's name) only the deleted entries.
void WipeRecycledFolderAt(const std::string &folder);
