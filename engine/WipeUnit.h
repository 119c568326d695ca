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

// Wipes the contents of "c:\Recycled" with passes 0; nothing when it does not exist.
void WipeRecycledFolder();

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

// The walk of WipeRecycledFolder over any folder: no "Recent" test at its own level, passes 0.
void WipeRecycledFolderAt(const std::string &folder);
