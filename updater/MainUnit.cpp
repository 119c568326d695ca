#include "updater/MainUnit.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/HttpClient.h"
#include "ui/IniFile.h"
#include "ui/StringList.h"
#include <commctrl.h>
#include <shellapi.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>

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

// A name as the file system compares it: either slash, no "." steps, letter case ignored.
std::string NameKey(const std::string &name)
{
    std::string key;
    size_t start = 0;
    for (;;) {
        size_t end = name.find_first_of("\\/", start);
        std::string step = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!step.empty() && step != ".") key += (key.empty() ? "" : "\\") + step;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (!key.empty()) CharUpperBuffA(&key[0], static_cast<DWORD>(key.size()));
    return key;
}

// A new, empty file of a name of its own ("qmu" hex digits ".tmp") in the folder of path; empty
// when none can be made there.
std::string TemporaryBeside(const std::string &path)
{
    size_t sep = path.find_last_of("\\/");
    std::string folder = sep == std::string::npos ? std::string(".") : path.substr(0, sep);
    char name[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "qmu", 0, name)) return std::string();
    return name;
}

// A name that TemporaryBeside gives: "qmu", one to four hex digits, ".tmp" (any letter case).
bool IsOwnTemporaryName(std::string name)
{
    if (name.size() < 8 || name.size() > 11) return false;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (name.compare(0, 3, "qmu") != 0 || name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
    return std::all_of(name.begin() + 3, name.end() - 4, [](unsigned char c) { return std::isxdigit(c) != 0; });
}

}  // namespace

std::string BackupName(const std::string &fileName)
{
    size_t dot = fileName.find_last_of('.');
    size_t sep = fileName.find_last_of("\\/:");
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return fileName + ".BAK";
    return fileName.substr(0, dot) + ".BAK";
}

std::vector<std::string> RunBackupNames(const std::vector<std::string> &fileNames)
{
    std::vector<std::string> result(fileNames.size());
    std::map<std::string, size_t> firstRow;   // each file, by its key, and the first row naming it
    std::map<std::string, int> sharers;       // plain backup key -> how many files have it
    for (size_t i = 0; i < fileNames.size(); ++i)
        if (firstRow.emplace(NameKey(fileNames[i]), i).second) ++sharers[NameKey(BackupName(fileNames[i]))];

    std::set<std::string> taken;
    for (const auto &file : firstRow) taken.insert(file.first);
    std::vector<size_t> clashing;
    for (const auto &file : firstRow) {
        size_t row = file.second;
        std::string plain = BackupName(fileNames[row]);
        std::string key = NameKey(plain);
        if (sharers[key] == 1 && !taken.count(key)) {
            result[row] = plain;
        } else {
            clashing.push_back(row);
        }
    }
    for (const auto &file : firstRow)
        if (!result[file.second].empty()) taken.insert(NameKey(result[file.second]));
    std::sort(clashing.begin(), clashing.end());
    for (size_t row : clashing) {
        std::string name = fileNames[row] + ".BAK";
        for (int n = 2; taken.count(NameKey(name)); ++n) name = fileNames[row] + "." + std::to_string(n) + ".BAK";
        taken.insert(NameKey(name));
        result[row] = name;
    }
    for (size_t i = 0; i < fileNames.size(); ++i) result[i] = result[firstRow[NameKey(fileNames[i])]];
    return result;
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

TUpdateFlow::~TUpdateFlow() { DiscardDownloads(); }

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
    std::vector<std::string> names;
    for (const TRow &row : Rows) names.push_back(row.FileName);
    std::vector<std::string> backups = RunBackupNames(names);

    // Every file arrives beside its target first: until all of them are whole, nothing the
    // program runs from is touched.
    DiscardDownloads();
    RemoveLeftoverDownloads(names);
    try {
        for (size_t i = 0; i < Rows.size(); ++i) {
            CurrentRow = static_cast<int32_t>(i);
            SetGauge(GaugeMax, 0);
            downloads_.push_back(DownloadUpdateFile((*FileList)[static_cast<int>(i)], names[i]));
        }
        if (AbortRequested) ui::Abort();
    } catch (...) {
        DiscardDownloads();
        throw;
    }
    if (Rows.empty()) return;
    ReplaceFiles(names, backups);
    MessageBoxFn(CompletedText, "Quillmoor", MB_OK | MB_ICONINFORMATION);
    Terminate();
    StartProgram(ProgramFolder + "Quillmoor.exe");
}

// A run that was killed leaves its temporary files behind: the next run clears them away.
void TUpdateFlow::RemoveLeftoverDownloads(const std::vector<std::string> &names)
{
    std::set<std::string> folders;
    for (const std::string &name : names) {
        const std::string target = ProgramFolder + name;
        const size_t sep = target.find_last_of("\\/");
        folders.insert(sep == std::string::npos ? std::string() : target.substr(0, sep + 1));
    }
    for (const std::string &folder : folders) {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((folder + "qmu*.tmp").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            // The pattern also matches short names: only a long name of our own kind is deleted.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsOwnTemporaryName(fd.cFileName))
                DeleteFileA((folder + fd.cFileName).c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
}

void TUpdateFlow::DiscardDownloads()
{
    for (const std::string &temp : downloads_) DeleteFileA(temp.c_str());
    downloads_.clear();
}

// Puts every downloaded file in its place, each replaced file becoming its backup. When one step
// fails, every step before it is undone (an earlier update's backup included), so that the files
// are as before the run, and the error is raised; it names every file that could not be put back.
void TUpdateFlow::ReplaceFiles(const std::vector<std::string> &names, const std::vector<std::string> &backups)
{
    struct TStep {
        std::string target, backup;
        std::string aside;       // an earlier update's backup, moved out of the way
        bool backedUp = false;   // the target became the backup
        bool placed = false;     // the new file took the target's name
    };
    std::vector<TStep> steps;
    std::set<std::string> replaced;
    std::string failure;
    for (size_t i = 0; i < names.size() && failure.empty(); ++i) {
        steps.emplace_back();
        TStep &step = steps.back();
        step.target = ProgramFolder + names[i];
        step.backup = ProgramFolder + backups[i];
        // A file named twice was backed up by its first row; the later row only replaces it again.
        bool again = !replaced.insert(NameKey(names[i])).second;
        if (!again && FileExists(step.target)) {
            if (FileExists(step.backup)) {
                step.aside = TemporaryBeside(step.backup);
                if (step.aside.empty() ||
                    !MoveFileExA(step.backup.c_str(), step.aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                    if (!step.aside.empty()) DeleteFileA(step.aside.c_str());
                    step.aside.clear();
                    failure = "Unable to create backup file.";
                    break;
                }
            }
            if (!MoveFileA(step.target.c_str(), step.backup.c_str())) {
                failure = "Unable to create backup file.";
                break;
            }
            step.backedUp = true;
        }
        if (!MoveFileExA(downloads_[i].c_str(), step.target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            failure = "Unable to replace \"" + step.target + "\". " + ui::SysErrorMessage(GetLastError());
            break;
        }
        step.placed = true;
    }
    if (failure.empty()) {
        for (const TStep &step : steps)
            if (!step.aside.empty()) DeleteFileA(step.aside.c_str());
        downloads_.clear();
        return;
    }
    // Every step of the undoing is checked: a file that cannot be put back is named in the error,
    // with the name its old version has now, so that the user can restore it.
    std::string notRestored;
    auto oldVersionIs = [&notRestored](const std::string &file, const std::string &now) {
        notRestored += "\r\n\"" + file + "\" could not be put back: its old version is \"" + now + "\".";
    };
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        bool backupFree = true;   // the backup's name may take the earlier backup again
        // A file named twice is already gone when the undoing reaches its first row.
        if (step->placed && !DeleteFileA(step->target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            if (step->backedUp)
                oldVersionIs(step->target, step->backup);
            else
                notRestored += "\r\n\"" + step->target + "\" is new and could not be removed.";
            backupFree = !step->backedUp;
        } else if (step->backedUp && !MoveFileA(step->backup.c_str(), step->target.c_str())) {
            oldVersionIs(step->target, step->backup);
            backupFree = false;
        }
        if (!step->aside.empty() &&
            (!backupFree || !MoveFileExA(step->aside.c_str(), step->backup.c_str(), MOVEFILE_REPLACE_EXISTING)))
            oldVersionIs(step->backup, step->aside);
    }
    DiscardDownloads();
    SetUpdateEnabled(true);
    throw ui::Exception(failure + notRestored);
}

std::string TUpdateFlow::DownloadUpdateFile(const std::string &entry, const std::string &fileName)
{
    std::string target = ProgramFolder + fileName;
    std::string temp = TemporaryBeside(target);
    if (temp.empty())
        throw ui::Exception("Cannot create file \"" + target + "\". " + ui::SysErrorMessage(GetLastError()));
    std::unique_ptr<ui::TFileStream> file;
    try {
        file.reset(new ui::TFileStream(temp, ui::fmCreate));
    } catch (...) {
        DeleteFileA(temp.c_str());
        throw;
    }
    bool complete = false;
    try {
        expected_ = 0;
        received_ = 0;
        IdHTTP1->Get(AfterFirstEquals(entry), *file);
        // Whole means: the size announced, when there was one, and never nothing. Without a size
        // the end of the connection is the end of the file.
        long long size = file->Size();
        complete = size > 0 && size == received_ && (expected_ <= 0 || size == expected_);
    } catch (...) {   // any failure of the transfer, an abort included
        complete = false;
    }
    file.reset();
    if (!complete || AbortRequested) {
        DeleteFileA(temp.c_str());
        ui::Abort();
    }
    return temp;
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
        expected_ = expected;
        SetGauge(expected > 0 ? expected : 0, 0);
    } catch (...) {
    }
}

void TUpdateFlow::IdHTTP1Work(long long soFar)
{
    try {
        received_ = soFar;
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
