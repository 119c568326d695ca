// The Advanced page: a file shredder over a list of files and folders that the user builds.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// The pass count handed to the wipe for a shred level (0 Quick, 1 Safe, 2 Thorough): 1, 2, 7.
// The wipe writes one round more than that. Any other level gives the Quick count.
int32_t ShredLevelPasses(int level);

// The form's entries for the engine's file wipe and folder walk, with exactly their behaviour.
bool ShredFile(const std::string &path, int32_t passes);
void ShredFolder(const std::string &folder, int32_t passes);
// Sends what is left at path to the Recycle Bin, without confirmation and without error messages.
void RemoveFolder(const std::string &path);

// The shell's folder picker; "" on cancel or for a choice without a file-system path.
std::string BrowseForFolder(HWND owner);

// The system drive's "Recycled" folder, as "C:\Recycled".
std::string RecycledFolderOfSystemDrive();
// Appends folder + "\" + name for each entry of folder other than ".", "..", INFO2 and desktop.ini
// (in any case) whose attribute word is below 101; makes folder the current folder to list it and
// adds nothing when it cannot.
void AddRecycledFilesToList(std::vector<std::string> &lines, const std::string &folder);

// Shreds every line: a file is wiped, anything else is walked as a folder and then sent to the
// Recycle Bin. The number of lines is taken once, before the first.
void ShredLines(const std::vector<std::string> &lines, int32_t passes);
