// The Advanced page: a file shredder over a list of files and folders that the user builds.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "ui/Form.h"

namespace ui {
class TPanel;
class TMemo;
class TLabel;
class TListBox;
class TButton;
class TRadioGroup;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;
}
class TImageEx;

// The pass count handed to the wipe for a shred level (0 Quick, 1 Safe, 2 Thorough): 1, 2, 7.
// The wipe writes one round more than that. Any other level gives the Quick count.
int32_t ShredLevelPasses(int level);

// What a shred left undone.
struct TShredOutcome {
    int32_t NotShredded = 0;   // files that could not be wiped (in use, no access), folders not readable
    bool Stopped = false;      // ScanState 2 ended the run early
};

// The engine's file wipe for a file the user listed: a read-only attribute is cleared first and put
// back when the wipe fails.
bool ShredFile(const std::string &path, int32_t passes);
// Wipes every file below folder whatever its attribute word; folders stay. Pumps messages before each
// entry and stops when ScanState is 2. Links are neither followed nor wiped: they count as left.
void ShredFolder(const std::string &folder, int32_t passes, TShredOutcome &outcome);
// Sends what is left at path to the Recycle Bin, without confirmation and without error messages.
void RemoveFolder(const std::string &path);

// The shell's folder picker; "" on cancel or for a choice without a file-system path.
std::string BrowseForFolder(HWND owner);

// Appends folder + "\" + name for each deleted entry of the recycled folder (the scanner's rule:
// no ".", "..", INFO2, desktop.ini or "$I..." index file, an attribute word below 101, and in a
// "$Recycle.Bin" folder only the "$R..." entries); makes folder the current folder to list it and
// adds nothing when it cannot.
void AddRecycledFilesToList(std::vector<std::string> &lines, const std::string &folder);

// Shreds every line: a file is wiped, anything else is walked as a folder and then sent to the
// Recycle Bin, unless a file in it could not be wiped. The number of lines is taken once, before the
// first; a stop (ScanState 2) ends the run and leaves the folder being walked where it is.
TShredOutcome ShredLines(const std::vector<std::string> &lines, int32_t passes);

// Why a path may not go on the shred list: a drive's root, the Windows folder, the system folder,
// the program's own folder, or a folder holding one of them. "" when it may.
std::string ShredListRefusal(const std::string &path);

// The shredder page's form, shown inside the main window's AdvancedPanel.
class TAdvancedShredForm : public ui::TForm {
public:
    explicit TAdvancedShredForm(ui::TWinControl *owner);
    ~TAdvancedShredForm() override;

    ui::TPanel *Panel1 = nullptr;
    ui::TMemo *Memo1 = nullptr;
    ui::TPanel *Panel3 = nullptr;
    ui::TLabel *Panel3Caption = nullptr;
    ui::TListBox *listAdd = nullptr;
    ui::TButton *btnAdd = nullptr;
    ui::TButton *BitBtn1 = nullptr;   // "Add Folder"
    ui::TButton *BitBtn2 = nullptr;   // "Remove.."
    ui::TRadioGroup *RG = nullptr;
    ui::TPanel *Panel8 = nullptr;
    ui::TLabel *Panel8Caption = nullptr;
    TImageEx *btnShred = nullptr;
    ui::TPopupMenu *PopupMenu1 = nullptr;
    ui::TMenuItem *AddFiles1 = nullptr;
    ui::TMenuItem *AddAllRecycleFile1 = nullptr;
    ui::TPopupMenu *PopupMenu2 = nullptr;
    ui::TMenuItem *RemoveSelectedFilesfromthelist1 = nullptr;
    ui::TMenuItem *RemoveAllFilesfromthelist1 = nullptr;
    ui::TOpenDialog *OpenDialog1 = nullptr;

    void btnShredClick();
    void btnAddClick();
    void BitBtn2Click();
    void AddFiles1Click();
    void BitBtn1Click();
    void AddAllRecycleFile1Click();
    void RemoveSelectedFilesfromthelist1Click();
    void RemoveAllFilesfromthelist1Click();
    void btnShredMouseEnter();
    void btnShredMouseLeave();

    // The lines of the shred list, first to last.
    std::vector<std::string> Lines() const;
    // Adds a line, or shows why the path may not be shredded and adds nothing.
    bool AddToShredList(const std::string &path);
};
