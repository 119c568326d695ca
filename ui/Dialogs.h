// The system's common dialogs: open a file, pick a folder.
#pragma once
#include <windows.h>
#include <string>

namespace ui {

class TOpenDialog {
public:
    std::string FileName;     // in: proposed, out: the chosen file's full path
    std::string Filter;       // "Text files|*.txt|All|*.*"; empty: no filter
    std::string Title;        // empty: the system's
    std::string InitialDir;
    // True when the user chose a file.
    bool Execute(HWND owner = nullptr);
};

// The shell's folder picker rooted at the desktop; the chosen folder's path, or "" when cancelled or
// when the choice has no file-system path.
std::string BrowseForFolder(HWND owner, const std::string &title);

}  // namespace ui
