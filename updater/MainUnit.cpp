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
    ProcessMessages = [] { ui::Application->ProcessMessages(); };
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

// The picture beside the list: a green fade with the program's icon.
static HBITMAP DecorationPicture(int width, int height)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < height; ++y) {
        int k = 255 - y * 160 / height;
        HBRUSH b = CreateSolidBrush(RGB(k * 3 / 4, k, k * 7 / 8));
        RECT line = {0, y, width, y + 1};
        FillRect(dc, &line, b);
        DeleteObject(b);
    }
    DrawIconEx(dc, (width - 32) / 2, 24, ui::Application->Icon(), 32, 32, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bmp;
}

TMainForm::TMainForm()
{
    CreateForm("TMainForm", "Quillmoor Update", 426, 246, ui::bsSingle, true);

    Panel1.Create(this, 8, 8, 115, 229);
    Panel1.SetBevelOuter(ui::bvLowered);
    Image1.Create(&Panel1, 1, 1, 113, 227);
    Image1.SetStretch(true);
    Image1.SetPicture(DecorationPicture(113, 227));

    FileListView.Create(this, 128, 8, 289, 161, false);
    FileListView.SetRowSelect(true);
    FileListView.AddColumn("File Name", 188);
    FileListView.AddColumn("Downloads", 80, LVCFMT_RIGHT);

    PB_Whole.Create(this, 128, 176, 289, 17);
    PB_Whole.SetForeColor(GaugeColour);
    PB_Whole.SetMaxValue(0);
    PB_Whole.SetProgress(0);
    Bevel1.Create(this, 128, 200, 289, 2, ui::bsTopLine);

    btn_Update.Create(this, 216, 208, 97, 30, "Update");
    Btn_Cancel.Create(this, 320, 208, 97, 30, "Close");
    btn_Update.OnClick = [this] { btn_UpdateClick(); };
    Btn_Cancel.OnClick = [this] { Btn_CancelClick(); };
    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnClose = [this](ui::TCloseAction &action) { FormClose(action); };

    Flow.Owner = Handle();
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
    FileListView.Clear();
    for (const TUpdateFlow::TRow &row : Flow.Rows) FileListView.AddItem(row.FileName, {row.Downloads});
}

void TMainForm::ShowRow(int row)
{
    FileListView.SetItemText(row, 1, Flow.Rows[static_cast<size_t>(row)].Downloads);
    UpdateWindow(FileListView.Handle());
}

void TMainForm::ShowGauge()
{
    scale_ = 1;
    while (Flow.GaugeMax / scale_ > 0x7FFFFFFF) scale_ *= 1024;
    PB_Whole.SetMaxValue(static_cast<int>(Flow.GaugeMax / scale_));
    PB_Whole.SetProgress(static_cast<int>(Flow.GaugeProgress / scale_));
}

int TMainForm::RowCount() const { return FileListView.ItemCount(); }

std::string TMainForm::RowText(int row, int column) const { return FileListView.ItemText(row, column); }

int TMainForm::GaugeMax() const { return PB_Whole.MaxValue(); }

int TMainForm::GaugePosition() const { return PB_Whole.Progress(); }
