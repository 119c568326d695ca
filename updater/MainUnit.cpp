#include "updater/MainUnit.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/HttpClient.h"
#include "ui/IniFile.h"
#include "ui/StringList.h"
#include <commctrl.h>
#include <shellapi.h>
#include <cstdio>

std::string UpdateFolderURL = QM_UPDATE_URL;

const char *const TUpdateFlow::CompletedText = "OK, Update Completed!\r\rClick OK Button to run now?";
// The wording is the program's own and stays as it is.
const char *const TUpdateFlow::AbortQuestion = "File not download Completed, Aborted?";

namespace {

bool FileExists(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::string RemoveAll(std::string text, const std::string &what)
{
    if (what.empty()) return text;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
    return text;
}

std::string AfterFirstEquals(const std::string &entry)
{
    size_t eq = entry.find('=');
    return eq == std::string::npos ? std::string() : entry.substr(eq + 1);
}

// Deletes for good (not into the recycle bin), without questions or error boxes.
bool ShellDelete(HWND owner, const std::string &path)
{
    std::string from = path;
    from.push_back('\0');   // the list ends with a second zero
    SHFILEOPSTRUCTA op = {};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

std::string OwnFolder()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

// CON, NUL, COM1 ... name a device in every folder, with any extension.
bool IsDeviceName(const std::string &step)
{
    std::string base = step.substr(0, step.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    for (char &c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CLOCK$") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

std::string BackupName(const std::string &fileName)
{
    size_t dot = fileName.find_last_of('.');
    size_t sep = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return fileName + ".BAK";
    return fileName.substr(0, dot) + ".BAK";
}

bool IsSafeUpdateName(const std::string &name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/') return false;
    if (name.find(':') != std::string::npos) return false;
    size_t start = 0;
    std::string step;
    for (;;) {
        size_t end = name.find_first_of("\\/", start);
        step = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Windows drops trailing dots and blanks from a step, so ". ." and "..." climb like "..".
        if (!step.empty() && step.find_last_not_of(". ") == std::string::npos && step != ".") return false;
        if (IsDeviceName(step)) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return !step.empty() && step != ".";   // the name ends in a file, not a folder
}

TUpdateFlow::TUpdateFlow()
    : FileList(new ui::TStringList), IdHTTP1(new ui::THttpClient), ProgramFolder(OwnFolder())
{
    IdHTTP1->OnWorkBegin = [this](long long n) { IdHTTP1WorkBegin(n); };
    IdHTTP1->OnWork = [this](long long n) { IdHTTP1Work(n); };
    IdHTTP1->OnWorkEnd = [this] { IdHTTP1WorkEnd(); };
    MessageBoxFn = [this](const std::string &text, const std::string &caption, UINT flags) {
        return MessageBoxA(Owner, text.c_str(), caption.c_str(), flags);
    };
    StartProgram = [this](const std::string &path) {
        ShellExecuteA(Owner, "open", path.c_str(), "", "", SW_SHOW);   // the result is not checked
    };
    Terminate = [] { PostQuitMessage(0); };
    ProcessMessages = [] {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));   // leave it for the message loop
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    };
}

TUpdateFlow::~TUpdateFlow() = default;

void TUpdateFlow::SetGauge(long long max, long long progress)
{
    GaugeMax = max;
    GaugeProgress = progress;
    if (OnGaugeChanged) OnGaugeChanged();
}

void TUpdateFlow::SetUpdateEnabled(bool enabled)
{
    UpdateEnabled = enabled;
    if (OnUpdateEnabledChanged) OnUpdateEnabledChanged();
}

void TUpdateFlow::LoadUpdateList()
{
    ui::TIniFile ini(ProgramFolder + "Update.ini");
    ini.ReadSectionValues("HTTP", *FileList);
    Rows.clear();
    for (int i = 0; i < FileList->Count(); ++i)
        Rows.push_back(TRow{RemoveAll(AfterFirstEquals((*FileList)[i]), UpdateFolderURL), std::string()});
    if (OnRowsChanged) OnRowsChanged();
}

void TUpdateFlow::RunUpdate()
{
    AbortRequested = false;
    SetGauge(GaugeMax, 0);
    SetUpdateEnabled(false);
    // A name that reaches outside the program folder, or names a device, stops the run before any
    // file is touched.
    for (size_t i = 0; i < Rows.size(); ++i) {
        if (!IsSafeUpdateName(Rows[i].FileName)) {
            SetUpdateEnabled(true);
            throw ui::Exception("Update.ini names a file that may not be written: \"" +
                                (*FileList)[static_cast<int>(i)] + "\"");
        }
    }
    int finished = 0;
    for (size_t i = 0; i < Rows.size(); ++i) {
        CurrentRow = static_cast<int32_t>(i);
        SetGauge(GaugeMax, 0);
        std::string name = Rows[i].FileName;
        std::string target = ProgramFolder + name, backup = ProgramFolder + BackupName(name);
        backupMade_ = false;
        if (FileExists(target)) {
            if (FileExists(backup)) DeleteFileA(backup.c_str());
            if (!MoveFileA(target.c_str(), backup.c_str())) {
                SetUpdateEnabled(true);
                throw ui::Exception("Unable to create backup file.");
            }
            backupMade_ = true;
        }
        DownloadUpdateFile((*FileList)[static_cast<int>(i)], name);
        ++finished;
    }
    if (finished == static_cast<int>(Rows.size()) && !Rows.empty()) {
        MessageBoxFn(CompletedText, "Quillmoor", MB_OK | MB_ICONINFORMATION);
        Terminate();
        StartProgram(ProgramFolder + "Quillmoor.exe");
    }
}

void TUpdateFlow::DownloadUpdateFile(const std::string &entry, const std::string &fileName)
{
    std::string target = ProgramFolder + fileName, backup = ProgramFolder + BackupName(fileName);
    bool failed = false;
    {
        std::unique_ptr<ui::TFileStream> file;
        try {
            file.reset(new ui::TFileStream(target, ui::fmCreate));
        } catch (...) {
            // The old file must not stay hidden under its backup name.
            if (backupMade_ && !FileExists(target)) MoveFileA(backup.c_str(), target.c_str());
            throw;
        }
        try {
            IdHTTP1->Get(AfterFirstEquals(entry), *file);
        } catch (...) {   // any failure of the transfer, an abort included
            failed = true;
        }
    }
    if ((failed || AbortRequested) && FileExists(target)) {
        // Only a backup made for this file is put back: a stale ".BAK" of another file is not it.
        if (ShellDelete(Owner, target) && backupMade_ && FileExists(backup))
            MoveFileA(backup.c_str(), target.c_str());
    }
    if (failed || AbortRequested) ui::Abort();
}

bool TUpdateFlow::CanClose()
{
    if (UpdateEnabled) return true;
    if (MessageBoxFn(AbortQuestion, "Quillmoor", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    AbortRequested = true;
    return true;
}

void TUpdateFlow::IdHTTP1WorkBegin(long long expected)
{
    try {
        AbortRequested = false;
        SetGauge(expected > 0 ? expected : 0, 0);
    } catch (...) {
    }
}

void TUpdateFlow::IdHTTP1Work(long long soFar)
{
    try {
        ProcessMessages();
        if (AbortRequested) IdHTTP1->Disconnect();
        SetGauge(GaugeMax, soFar);
        if (CurrentRow >= 0 && CurrentRow < static_cast<int32_t>(Rows.size())) {
            char text[32];
            std::snprintf(text, sizeof(text), "%d KB", static_cast<int>(soFar / 1024));
            Rows[static_cast<size_t>(CurrentRow)].Downloads = text;
            if (OnRowChanged) OnRowChanged(CurrentRow);
        }
    } catch (...) {
    }
}

void TUpdateFlow::IdHTTP1WorkEnd()
{
    if (AbortRequested) ui::Abort();
}

// ---------------------------------------------------------------------------------------------------
// The window


TMainForm *MainForm = nullptr;

namespace {
const COLORREF GaugeColour = RGB(0, 128, 64);
}

TMainForm::TMainForm()
{
    CreateForm("TMainForm", "Quillmoor Update", 426, 246, ui::bsSingle, true);

    Panel1.CreateHandle(this, "STATIC", WS_VISIBLE | SS_SUNKEN, 0, 8, 8, 115, 229);
    Image1.CreateHandle(&Panel1, "STATIC", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, 0, 1, 1, 113, 227);
    SendMessageA(Image1.Handle(), STM_SETICON, reinterpret_cast<WPARAM>(ui::Application->Icon()), 0);

    FileListView.CreateHandle(this, WC_LISTVIEWA,
                              WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                  LVS_NOSORTHEADER,
                              WS_EX_CLIENTEDGE, 128, 8, 289, 161);
    ListView_SetExtendedListViewStyle(FileListView.Handle(), LVS_EX_FULLROWSELECT);
    struct {
        const char *caption;
        int width, format;
    } columns[] = {{"File Name", 188, LVCFMT_LEFT}, {"Downloads", 80, LVCFMT_RIGHT}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        c.fmt = columns[i].format;
        c.cx = columns[i].width;
        c.pszText = const_cast<char *>(columns[i].caption);
        c.iSubItem = i;
        SendMessageA(FileListView.Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    }

    PB_Whole.CreateHandle(this, PROGRESS_CLASSA, WS_VISIBLE | PBS_SMOOTH, 0, 128, 176, 289, 17);
    SendMessageA(PB_Whole.Handle(), PBM_SETBARCOLOR, 0, static_cast<LPARAM>(GaugeColour));
    SendMessageA(PB_Whole.Handle(), PBM_SETRANGE32, 0, 0);
    Bevel1.CreateHandle(this, "STATIC", WS_VISIBLE | SS_ETCHEDHORZ, 0, 128, 200, 289, 2);

    btn_Update.Create(this, 216, 208, 97, 30, "Update");
    Btn_Cancel.Create(this, 320, 208, 97, 30, "Close");
    btn_Update.OnClick = [this] { btn_UpdateClick(); };
    Btn_Cancel.OnClick = [this] { Btn_CancelClick(); };
    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnClose = [this](ui::TCloseAction &action) { FormClose(action); };

    Flow.Owner = Handle();
    Flow.ProcessMessages = [] { ui::Application->ProcessMessages(); };
    Flow.Terminate = [] { ui::Application->Terminate(); };
    Flow.OnRowsChanged = [this] { ShowRows(); };
    Flow.OnRowChanged = [this](int row) { ShowRow(row); };
    Flow.OnGaugeChanged = [this] { ShowGauge(); };
    Flow.OnUpdateEnabledChanged = [this] { btn_Update.SetEnabled(Flow.UpdateEnabled); };
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormShow() { Flow.LoadUpdateList(); }

// The update starts by itself at the first activation, as if Update had been pressed.
void TMainForm::FormActivate()
{
    if (activated_) return;
    activated_ = true;
    btn_UpdateClick();
}

void TMainForm::FormClose(ui::TCloseAction &action)
{
    if (!Flow.CanClose()) action = ui::caNone;
}

void TMainForm::btn_UpdateClick() { Flow.RunUpdate(); }

void TMainForm::Btn_CancelClick() { Close(); }

void TMainForm::ShowRows()
{
    HWND lv = FileListView.Handle();
    ListView_DeleteAllItems(lv);
    for (size_t i = 0; i < Flow.Rows.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char *>(Flow.Rows[i].FileName.c_str());
        SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ShowRow(static_cast<int>(i));
    }
}

void TMainForm::ShowRow(int row)
{
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = const_cast<char *>(Flow.Rows[static_cast<size_t>(row)].Downloads.c_str());
    SendMessageA(FileListView.Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    UpdateWindow(FileListView.Handle());
}

void TMainForm::ShowGauge()
{
    scale_ = 1;
    while (Flow.GaugeMax / scale_ > 0x7FFFFFFF) scale_ *= 1024;
    SendMessageA(PB_Whole.Handle(), PBM_SETRANGE32, 0, static_cast<LPARAM>(Flow.GaugeMax / scale_));
    SendMessageA(PB_Whole.Handle(), PBM_SETPOS, static_cast<WPARAM>(Flow.GaugeProgress / scale_), 0);
    UpdateWindow(PB_Whole.Handle());
}

int TMainForm::RowCount() const { return ListView_GetItemCount(FileListView.Handle()); }

std::string TMainForm::RowText(int row, int column) const
{
    char buf[1024] = "";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof(buf);
    SendMessageA(FileListView.Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buf;
}

int TMainForm::GaugeMax() const
{
    return static_cast<int>(SendMessageA(PB_Whole.Handle(), PBM_GETRANGE, FALSE, 0));
}

int TMainForm::GaugePosition() const { return static_cast<int>(SendMessageA(PB_Whole.Handle(), PBM_GETPOS, 0, 0)); }
