#include "app/UnitFileDelete.h"
#include <shlobj.h>
#include <shellapi.h>
#include <cstdlib>
#include <ctime>
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "engine/WipeUnit.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Dialogs.h"
#include "ui/GroupBox.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Memo.h"
#include "ui/Menu.h"
#include "ui/Panel.h"

namespace {

// Code page 936 texts, shown as they always were: "deleting folder" and "please choose the folder".
const char DeletingFolderTitle[] = "\xd5\xfd\xd4\xda\xc9\xbe\xb3\xfd\xce\xc4\xbc\xfe\xbc\xd0";
const char ChooseFolderTitle[] = "\xc7\xeb\xd1\xa1\xd4\xf1\xcf\xe0\xd3\xa6\xce\xc4\xbc\xfe\xbc\xd0";

bool IsExistingFile(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFolder(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Upper(std::string s)
{
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

int32_t ShredLevelPasses(int level)
{
    switch (level) {
    case 1: return 2;
    case 2: return 7;
    default: return 1;
    }
}

bool ShredFile(const std::string &path, int32_t passes)
{
    // The user asked for this file to be destroyed: a read-only mark does not protect it here.
    const DWORD attr = GetFileAttributesA(path.c_str());
    const bool readOnly =
        attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY) && (attr & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        const DWORD writable = attr & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (!SetFileAttributesA(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)) return false;
    }
    if (WipeFile(path, passes)) return true;
    // Not wiped: the file keeps its mark (when it is still under its own name).
    if (readOnly) SetFileAttributesA(path.c_str(), attr);
    return false;
}

void ShredFolder(const std::string &folder, int32_t passes, TShredOutcome &outcome)
{
    // The entries are read first: the wipe renames files inside the folder being listed.
    struct Entry {
        std::string name;
        DWORD attr;
    };
    std::vector<Entry> entries;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) {
        // A folder that is there but cannot be listed keeps whatever it holds.
        if (IsExistingFolder(folder)) ++outcome.NotShredded;
        return;
    }
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..") entries.push_back({name, fd.dwFileAttributes});
    } while (FindNextFileA(find, &fd));
    FindClose(find);

    for (const Entry &e : entries) {
        if (ScanState == 2) {
            outcome.Stopped = true;
            return;
        }
        ui::Application->ProcessMessages();   // keeps the window alive during a long walk
        if (ScanState == 2) {
            outcome.Stopped = true;
            return;
        }
        const std::string full = folder + "\\" + e.name;
        if (e.attr & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link leads out of the listed folder: its target is not the user's to shred here.
            ++outcome.NotShredded;
        } else if (e.attr & FILE_ATTRIBUTE_DIRECTORY) {
            ShredFolder(full, passes, outcome);
            if (outcome.Stopped) return;
        } else if (!ShredFile(full, passes)) {
            ++outcome.NotShredded;
        }
    }
}

void RemoveFolder(const std::string &path)
{
    // The shell would take wildcards or a relative name as patterns: only a folder that is there goes.
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || path.find_first_of("*?") != std::string::npos)
        return;
    // The source list ends with two zeros.
    std::string from = path;
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof(op));
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = 0x450;   // FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI: to the Recycle Bin, silently
    op.lpszProgressTitle = DeletingFolderTitle;
    SHFileOperationA(&op);
}

std::string BrowseForFolder(HWND owner)
{
    char display[MAX_PATH] = {0};
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.hwndOwner = owner;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = display;
    bi.lpszTitle = ChooseFolderTitle;
    bi.ulFlags = 0;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return std::string();
    char path[MAX_PATH] = {0};
    BOOL ok = SHGetPathFromIDListA(pidl, path);
    CoTaskMemFree(pidl);
    return ok ? std::string(path) : std::string();
}

void AddRecycledFilesToList(std::vector<std::string> &lines, const std::string &folder)
{
    if (!SetCurrentDirectoryA(folder.c_str())) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("*.*", &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    const TRecycledLayout layout = RecycledLayoutOf(folder);
    TScanPacer turns;
    do {
        turns.Turn();
        if (IsRecycledEntry(layout, fd.cFileName, fd.dwFileAttributes)) lines.push_back(folder + "\\" + fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

TShredOutcome ShredLines(const std::vector<std::string> &lines, int32_t passes)
{
    TShredOutcome outcome;
    const size_t count = lines.size();
    for (size_t i = 0; i < count; ++i) {
        if (ScanState == 2) {
            outcome.Stopped = true;
            break;
        }
        const std::string &line = lines[i];
        // An empty line would make the walk start at the root of the current drive.
        if (line.empty()) continue;
        if (IsExistingFile(line)) {
            if (!ShredFile(line, passes)) ++outcome.NotShredded;
            continue;
        }
        const int32_t before = outcome.NotShredded;
        ShredFolder(line, passes, outcome);
        // A folder not gone through, or still holding a file, stays where it is: in the Recycle Bin
        // that file could be restored.
        if (outcome.Stopped) break;
        if (outcome.NotShredded > before) continue;
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        RemoveFolder(line);
    }
    return outcome;
}

namespace {

// The full, long, upper-case form of a path without a trailing separator, for comparing folders.
std::string ComparablePath(const std::string &path)
{
    if (path.empty()) return path;
    char buffer[4 * MAX_PATH];
    std::string s = path;
    DWORD n = GetFullPathNameA(s.c_str(), sizeof(buffer), buffer, nullptr);
    if (n > 0 && n < sizeof(buffer)) s.assign(buffer, n);
    n = GetLongPathNameA(s.c_str(), buffer, sizeof(buffer));
    if (n > 0 && n < sizeof(buffer)) s.assign(buffer, n);
    while (s.size() > 1 && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    return Upper(s);
}

// True when inner lies below outer (both comparable paths).
bool IsBelow(const std::string &inner, const std::string &outer)
{
    return inner.size() > outer.size() + 1 && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '\\';
}

bool IsDriveRoot(const std::string &path, const std::string &comparable)
{
    if (comparable.size() == 2 && comparable[1] == ':') return true;
    char volume[4 * MAX_PATH] = {0};
    if (!GetVolumePathNameA(path.c_str(), volume, sizeof(volume))) return false;
    return ComparablePath(volume) == comparable;
}

std::string WindowsFolder()
{
    char buffer[MAX_PATH + 1] = {0};
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string SystemFolder()
{
    char buffer[MAX_PATH + 1] = {0};
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

std::string ProgramFolder()
{
    char buffer[4 * MAX_PATH] = {0};
    DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    if (n == 0 || n >= sizeof(buffer)) return std::string();
    std::string file(buffer, n);
    const size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace

std::string ShredListRefusal(const std::string &path)
{
    const std::string p = ComparablePath(path);
    if (p.empty()) return std::string();
    if (IsDriveRoot(path, p)) return path + " is the root folder of a drive: it cannot be shredded.";
    const struct {
        std::string folder;
        const char *what;
    } kept[] = {{WindowsFolder(), "the Windows folder"},
                {SystemFolder(), "the system folder"},
                {ProgramFolder(), "Quillmoor's own folder"}};
    for (const auto &k : kept) {
        if (k.folder.empty()) continue;
        const std::string folder = ComparablePath(k.folder);
        if (p == folder) return path + " is " + k.what + ": it cannot be shredded.";
        if (IsBelow(folder, p)) return path + " holds " + k.what + ": it cannot be shredded.";
    }
    return std::string();
}

// ---------------------------------------------------------------------------------------------
// The form

namespace {

constexpr int FormWidth = 475;
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF HeaderGrey = 9934488;   // the shred list's header band
constexpr int ShredPicture = 16;           // btnShred's normal picture in ImageList1; 17 on hover

// The level chosen for the shred that runs.
int32_t ShredPasses = 1;

}  // namespace

TAdvancedShredForm::TAdvancedShredForm(ui::TWinControl *owner)
{
    CreateForm("TAdvancedShredForm", "", FormWidth, 325, ui::bsNone, false, owner);
    SetColor(White);
    const int width = ClientWidth() > 0 ? ClientWidth() : FormWidth;
    const int height = ClientHeight() > 0 ? ClientHeight() : 325;

    Panel1 = new ui::TPanel;
    Panel1->Create(this, 0, 0, width, 29);
    Panel1->SetColor(White);
    Memo1 = new ui::TMemo;
    Memo1->Create(Panel1, 0, 0, width, 29, false);
    Memo1->AddLine("Use the Add and Remove buttons to select items for the Shred list. Once you are sure of your ");
    Memo1->AddLine("selection,choose a shred level and click the Shred button to permanently erase the files.");
    Memo1->SetReadOnly(true);
    ui::TFont memoFont;
    memoFont.Name = "Tahoma";
    memoFont.Height = -10;
    Memo1->SetFont(memoFont);
    // Two fixed lines: no scroll bar.
    SetWindowLongPtrA(Memo1->Handle(), GWL_STYLE, GetWindowLongPtrA(Memo1->Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VSCROLL));
    SetWindowPos(Memo1->Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Panel1->SetEnabled(false);

    Panel3 = new ui::TPanel;
    Panel3->Create(this, 0, 33, width, 20);
    Panel3->SetColor(HeaderGrey);
    Panel3Caption = new ui::TLabel;
    Panel3Caption->Create(Panel3, 0, 3, "  Shred list");
    Panel3Caption->SetFontColor(White);
    Panel3Caption->SetFontStyle(true);
    Panel3Caption->SetTransparent(true);

    const int footer = 51;
    const int levelHeight = 70;
    const int buttonsTop = height - footer - levelHeight - 33;
    listAdd = new ui::TListBox;
    listAdd->Create(this, 0, 53, width, buttonsTop - 53 - 4, false, false);

    btnAdd = new ui::TButton;
    btnAdd->Create(this, 0, buttonsTop, 90, 25, "Add..");
    BitBtn1 = new ui::TButton;
    BitBtn1->Create(this, 96, buttonsTop, 90, 25, "Add Folder");
    BitBtn2 = new ui::TButton;
    BitBtn2->Create(this, 192, buttonsTop, 90, 25, "Remove..");

    RG = new ui::TRadioGroup;
    RG->Create(this, 0, buttonsTop + 31, width, levelHeight - 4, "Shred Level");
    RG->AddItem("Quick(1 overwrite pass)");
    RG->AddItem("Safe(DOD 5220.22-M: 3 overwrite passes)");
    RG->AddItem("Thorough(7 overwrite passes)");
    RG->SetItemIndex(0);

    Panel8 = new ui::TPanel;
    Panel8->Create(this, 0, height - footer, width, footer);
    Panel8->SetColor(White);
    Panel8Caption = new ui::TLabel;
    Panel8Caption->Create(Panel8, 8, 19, "Warning:Files cannot be recovered.");
    Panel8Caption->SetTransparent(true);
    btnShred = new TImageEx;
    btnShred->Create(Panel8, width - 132 - 6, 6, 132, 39);
    if (DM && DM->ImageList1) btnShred->ShowListImage(DM->ImageList1, ShredPicture);

    PopupMenu1 = new ui::TPopupMenu;
    AddFiles1 = PopupMenu1->Add("Add Files...", [this] { AddFiles1Click(); });
    AddAllRecycleFile1 = PopupMenu1->Add("Add All Recycle Files...", [this] { AddAllRecycleFile1Click(); });
    PopupMenu2 = new ui::TPopupMenu;
    RemoveSelectedFilesfromthelist1 =
        PopupMenu2->Add("Remove Selected Files from the list", [this] { RemoveSelectedFilesfromthelist1Click(); });
    RemoveAllFilesfromthelist1 =
        PopupMenu2->Add("Remove All Files from the list", [this] { RemoveAllFilesfromthelist1Click(); });
    OpenDialog1 = new ui::TOpenDialog;

    btnAdd->OnClick = [this] { btnAddClick(); };
    BitBtn1->OnClick = [this] { BitBtn1Click(); };
    BitBtn2->OnClick = [this] { BitBtn2Click(); };
    // The two menu buttons carry their menu as context menu too.
    btnAdd->OnMouseUp = [this](ui::TMouseButton b, UINT, int, int) {
        if (b == ui::mbRight) btnAddClick();
    };
    BitBtn2->OnMouseUp = [this](ui::TMouseButton b, UINT, int, int) {
        if (b == ui::mbRight) BitBtn2Click();
    };
    btnShred->OnClick = [this] { btnShredClick(); };
    btnShred->OnMouseEnter = [this] { btnShredMouseEnter(); };
    btnShred->OnMouseLeave = [this] { btnShredMouseLeave(); };
}

TAdvancedShredForm::~TAdvancedShredForm()
{
    delete OpenDialog1;
    delete PopupMenu2;
    delete PopupMenu1;
    delete Panel8Caption;
    delete btnShred;
    delete Panel3Caption;
    delete Panel8;
    delete RG;
    delete BitBtn2;
    delete BitBtn1;
    delete btnAdd;
    delete listAdd;
    delete Panel3;
    delete Memo1;
    delete Panel1;
}

std::vector<std::string> TAdvancedShredForm::Lines() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < listAdd->Count(); ++i) lines.push_back(listAdd->Item(i));
    return lines;
}

bool TAdvancedShredForm::AddToShredList(const std::string &path)
{
    const std::string refusal = ShredListRefusal(path);
    if (!refusal.empty()) {
        ui::Application->MessageBox(refusal, "Quillmoor", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    listAdd->AddItem(path);
    return true;
}

void TAdvancedShredForm::btnShredClick()
{
    // A scan or a shred is running.
    if (ScanState == 1) return;
    if (listAdd->Count() == 0) {
        ui::Application->MessageBox("You haven't added the files you want to deleted to the list!", "Quillmoor",
                                    MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShredPasses = ShredLevelPasses(RG->ItemIndex());
    if (ui::Application->MessageBox("The selected file will be permanently deleted! Do you want to continue?"
                                    "\r\r"
                                    "Important: This action is immediate and is NOT reversible!",
                                    "Quillmoor", MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    // The walk pumps messages: as during a scan, the page buttons, Scan Now and Shred wait for it.
    ScanState = 1;
    TShredOutcome outcome;
    try {
        outcome = ShredLines(Lines(), ShredPasses);
    } catch (...) {
        ScanState = 0;
        throw;
    }
    ScanState = 0;
    if (!outcome.Stopped && outcome.NotShredded == 0) {
        ui::Application->MessageBox("File Shreds Completed Successfully!", "Quillmoor", MB_OK);
        listAdd->Clear();
        return;
    }
    // What is still there stays listed, for another try once it is free.
    for (int i = listAdd->Count() - 1; i >= 0; --i) {
        const std::string line = listAdd->Item(i);
        if (line.empty() || GetFileAttributesA(line.c_str()) == INVALID_FILE_ATTRIBUTES) listAdd->Delete(i);
    }
    // A stop comes from quitting through the tray: the program is closing, nothing more to say.
    if (outcome.Stopped) return;
    const int32_t n = outcome.NotShredded;
    const std::string text =
        n == 1 ? "1 file could not be shredded (in use or access denied). It was left in place, together "
                 "with any listed folder that holds it."
               : std::to_string(n) + " files could not be shredded (in use or access denied). They were left "
                                     "in place, together with any listed folder that holds them.";
    ui::Application->MessageBox(text, "Quillmoor", MB_OK | MB_ICONWARNING);
}

void TAdvancedShredForm::btnAddClick()
{
    POINT p;
    GetCursorPos(&p);
    PopupMenu1->Popup(p.x, p.y);
}

void TAdvancedShredForm::BitBtn2Click()
{
    POINT p;
    GetCursorPos(&p);
    PopupMenu2->Popup(p.x, p.y);
}

void TAdvancedShredForm::AddFiles1Click()
{
    OpenDialog1->FileName.clear();
    if (OpenDialog1->Execute(Handle()) && !OpenDialog1->FileName.empty()) AddToShredList(OpenDialog1->FileName);
}

void TAdvancedShredForm::BitBtn1Click()
{
    std::string folder = BrowseForFolder(Handle());
    if (!folder.empty()) AddToShredList(folder);
}

void TAdvancedShredForm::AddAllRecycleFile1Click()
{
    std::vector<std::string> folders, lines;
    ListRecycledFoldersOfDrive(SystemDriveRoot(), folders);
    for (const std::string &folder : folders) AddRecycledFilesToList(lines, folder);
    for (const std::string &line : lines) AddToShredList(line);
}

void TAdvancedShredForm::RemoveSelectedFilesfromthelist1Click()
{
    int i = listAdd->ItemIndex();
    if (i >= 0) listAdd->Delete(i);
}

void TAdvancedShredForm::RemoveAllFilesfromthelist1Click()
{
    listAdd->Clear();
}

void TAdvancedShredForm::btnShredMouseEnter()
{
    btnShred->ShowListImage(DM->ImageList1, ShredPicture + 1);
}

void TAdvancedShredForm::btnShredMouseLeave()
{
    btnShred->ShowListImage(DM->ImageList1, ShredPicture);
}
