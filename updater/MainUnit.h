// qmUpdate's window and its update run: read "Update.ini", download every named file with progress
// into a temporary file beside it, and only when all of them have arrived whole replace the files,
// keeping each replaced one as its backup; then restart the main program. A failed or aborted run
// leaves every file as it was, or its error names each file that could not be put back.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Bevel.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/Gauge.h"
#include "ui/Image.h"
#include "ui/ListView.h"
#include "ui/Panel.h"

namespace ui {
class THttpClient;
class TStringList;
}

// The update folder on the maker's server, ending in "/update/" (the same address as the main
// program's); fixed at build time, and only tests point it elsewhere.
extern std::string UpdateFolderURL;

// The backup of a file: its last extension replaced by ".BAK", or ".BAK" appended when it has none.
std::string BackupName(const std::string &fileName);
// The backups of the files of one run, row by row. A file keeps its BackupName when no other file
// of the run has the same one and no file of the run is named so; otherwise its whole name gets
// ".BAK" appended ("Quillmoor.exe.BAK", "Quillmoor.dll.BAK"), with ".2", ".3" ... before ".BAK"
// should even that be taken. A file named twice has one backup.
std::vector<std::string> RunBackupNames(const std::vector<std::string> &fileNames);
// True when name stays inside the program folder: relative, no drive or stream colon, no ".."
// step, no device name (CON, NUL, COM1 ...), and it ends in a file name. Names come from a
// downloaded file and must never reach outside.
bool IsSafeUpdateName(const std::string &name);

// The update run without its window: state and steps of TMainForm. The window mirrors the rows, the
// gauge and the Update button through the On... events and supplies the system hooks.
class TUpdateFlow {
public:
    TUpdateFlow();    // FormCreate: creates FileList and the HTTP client
    ~TUpdateFlow();   // FormDestroy

    // ---- state
    std::unique_ptr<ui::TStringList> FileList;   // the [HTTP] entries, "key=address", in file order
    std::unique_ptr<ui::THttpClient> IdHTTP1;
    int32_t CurrentRow = 0;                      // the row being downloaded
    bool AbortRequested = false;
    std::string ProgramFolder;                   // ends in a backslash

    struct TRow {
        std::string FileName;    // relative to the program folder
        std::string Downloads;   // "%d KB"
    };
    std::vector<TRow> Rows;
    long long GaugeMax = 0;
    long long GaugeProgress = 0;
    bool UpdateEnabled = true;

    // ---- what the window shows (each may be empty)
    std::function<void()> OnRowsChanged;
    std::function<void(int row)> OnRowChanged;
    std::function<void()> OnGaugeChanged;
    std::function<void()> OnUpdateEnabledChanged;

    // ---- the system; the defaults use the platform directly
    std::function<int(const std::string &text, const std::string &caption, UINT flags)> MessageBoxFn;
    std::function<void(const std::string &path)> StartProgram;   // shell "open"
    std::function<void()> Terminate;                             // ask the application to end
    std::function<void()> ProcessMessages;
    HWND Owner = nullptr;   // of the shell operations and message boxes

    // ---- operations
    void LoadUpdateList();
    void RunUpdate();
    // Downloads one file into a new temporary file beside its target and returns that file's path.
    // A transfer that fails, is aborted, comes short of its announced length or brings nothing
    // removes the temporary file and raises the silent abort.
    std::string DownloadUpdateFile(const std::string &entry, const std::string &fileName);
    // True when the window may close now.
    bool CanClose();

    void IdHTTP1WorkBegin(long long expected);
    void IdHTTP1Work(long long soFar);
    void IdHTTP1WorkEnd();

    static const char *const CompletedText;   // "OK, Update Completed!" CR CR "Click OK Button to run now?"
    static const char *const AbortQuestion;   // "File not download Completed, Aborted?"

private:
    void SetGauge(long long max, long long progress);
    void SetUpdateEnabled(bool enabled);
    void DiscardDownloads();
    void RemoveLeftoverDownloads(const std::vector<std::string> &names);
    void ReplaceFiles(const std::vector<std::string> &names, const std::vector<std::string> &backups);
    std::vector<std::string> downloads_;   // the finished temporary files of this run, row by row
    long long expected_ = 0;               // of the transfer running: its announced size, 0 for none
    long long received_ = 0;               // and the bytes it has brought
};


// The updater's window: the file list, the gauge and the Update and Close buttons over a TUpdateFlow.
class TMainForm : public ui::TForm {
public:
    TMainForm();    // makes the window and its controls (FormCreate)
    ~TMainForm() override;

    TUpdateFlow Flow;   // FileList, CurrentRow, AbortRequested and the steps

    ui::TPanel Panel1;            // lowered bevel around the decoration
    ui::TImage Image1;
    ui::TListView FileListView;   // report view: "File Name", "Downloads"
    ui::TGauge PB_Whole;          // the file being downloaded
    ui::TBevel Bevel1;
    ui::TButton btn_Update;
    ui::TButton Btn_Cancel;

    void FormShow();
    void FormActivate();
    void FormClose(ui::TCloseAction &action);
    void btn_UpdateClick();
    void Btn_CancelClick();

    // What the window shows, read back from its controls.
    int RowCount() const;
    std::string RowText(int row, int column) const;
    int GaugeMax() const;
    int GaugePosition() const;

private:
    void ShowRows();
    void ShowRow(int row);
    void ShowGauge();
    bool activated_ = false;
    long long scale_ = 1;   // the gauge holds ints: large files are shown in coarser steps
};

extern TMainForm *MainForm;
