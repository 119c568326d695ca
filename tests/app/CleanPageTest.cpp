// Clean and Finish on the real main window in this process, over registry traces that a real scan
// finds: what goes, what stays, the stored total, the recycle bin, the buttons and the recount.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "ResultPageDriver.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/DMUnitExclude.h"
#include "app/ImageEx.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "ui/Gauge.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Notebook.h"
#include "ui/TreeView.h"

using namespace qmtest;
using namespace resulttest;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";
const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
const char *const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char *const ShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr int PaintNode = 12, RunNode = 29, RecycleBinNode = 43, FirefoxHistoryNode = 49;



DWORD StoredRemoveTotal()
{
    HKEY key;
    DWORD v = 0xFFFFFFFF, size = sizeof v;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    if (RegQueryValueExA(key, "RemoveTotal", nullptr, nullptr, reinterpret_cast<BYTE *>(&v), &size) != ERROR_SUCCESS)
        v = 0xFFFFFFFF;
    RegCloseKey(key);
    return v;
}

class CleanPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = TMyRegistryInfo();   // nothing of an earlier test's settings carries over
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        ScanState = 0;
        CloseMainWindow();
    }
    // A file deleted into the session's Recycle Bin, as the user's own; the bin's item count after.
    LONGLONG PutAFileInTheBin()
    {
        TempDir dir;
        if (!WriteFileBytes(dir / "binned.txt", "x") || !Recycle(dir / "binned.txt")) return -1;
        return RecycleBinItems();
    }
    // A real scan of the given item nodes only.
    void ScanOnly(std::initializer_list<int> nodes)
    {
        ui::TTreeView *tree = form->tvItemsList;
        for (int i = 0; i < tree->NodeCount(); ++i) tree->Node(i)->SetStateIndex(7);
        for (int n : nodes) tree->Node(n)->SetStateIndex(6);
        form->ScanNowBtnClick(form->ScanNowBtn);
        PumpMessages();
    }
    // Clean with the completion message answered; returns the message's texts.
    std::string Clean()
    {
        std::string text;
        ModalAnswerer answer("#32770", [&](HWND box) {
            char caption[64] = {};
            GetWindowTextA(box, caption, sizeof caption);
            text = std::string(caption) + ":" + MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        form->CleanBtnClick(form->CleanBtn);
        PumpMessages();
        return text;
    }
    int RowOf(const std::string &name)
    {
        for (int i = 0; i < ResultRows.Count(); ++i)
            if (ResultRows.Items(i)->DisplayName() == name) return i;
        return -1;
    }
    void ClickRow(int row)
    {
        HWND list = form->ResultListView->Handle();
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        PumpMessages();
        POINT p = ListStatePoint(list, row);
        ASSERT_GE(p.x, 0);
        PostClick(list, p.x, p.y);
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    RegKeyGuard paint{HKEY_CURRENT_USER, PaintKey};
    RegKeyGuard run{HKEY_CURRENT_USER, RunKey};
    TfrmMainForm *form = nullptr;
};

TEST_F(CleanPage, BeforeAnyScanCleanDoesNothing)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "RemoveTotal", 77));
    Settings.ErasAskWhenDel = true;
    ModalAnswerer any("#32770|TAskDelForm", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
    form->CleanBtnClick(form->CleanBtn);
    PumpMessages();
    EXPECT_EQ(any.Answered(), 0);
    EXPECT_EQ(StoredRemoveTotal(), 77u);
    EXPECT_TRUE(form->CleanBtn->Visible());
    EXPECT_FALSE(form->FinishBtn->Visible());
}

TEST_F(CleanPage, ScanThatFoundNothingLeavesCleanIdle)
{
    ScanOnly({PaintNode});
    ASSERT_EQ(form->ResultTreeView->NodeCount(), 0);
    ModalAnswerer any("#32770", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
    form->CleanBtnClick(form->CleanBtn);
    EXPECT_EQ(any.Answered(), 0);
    EXPECT_TRUE(form->CleanBtn->Visible());
}

TEST_F(CleanPage, CleanRemovesExactlyTheCheckedTracesThenFinishRecounts)
{
    for (const char *v : {"File1", "File2", "File3"})
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, v, std::string("C:\\pics\\") + v + ".bmp"));
    for (const char *v : {"a", "b"}) ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, RunKey, v, std::string("cmd") + v));
    const LONGLONG binned = PutAFileInTheBin();
    ASSERT_GE(binned, 1);

    ScanOnly({PaintNode, RunNode});
    ASSERT_EQ(ResultContents[1]->Count(), 3);
    ASSERT_EQ(ResultContents[2]->Count(), 2);
    ui::TTreeView *tree = form->ResultTreeView;
    ASSERT_EQ(tree->NodeCount(), 5);   // root, Windows Software, Paint, Windows System, Run History

    // Untick one Paint row in the list and the whole Run History item on the tree.
    const int file2 = RowOf("C:\\pics\\File2.bmp");
    ASSERT_GE(file2, 0);
    ClickRow(file2);
    ASSERT_EQ(ResultRows.Items(file2)->Checked, 0);
    POINT p = TreeStatePoint(tree->Handle(), tree->Node(4)->ItemId());
    PostClick(tree->Handle(), p.x, p.y);
    ASSERT_EQ(tree->Node(4)->StateIndex(), 7);

    EXPECT_EQ(Clean(), "Quillmoor:Clean evidence complete!|");
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File1"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File2"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File3"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, RunKey, "a"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, RunKey, "b"));
    EXPECT_EQ(StoredRemoveTotal(), 2u);
    // Windows System was in the tree, but no RecycleBin trace was ticked: the bin keeps its files.
    EXPECT_EQ(RecycleBinItems(), binned);
    EXPECT_FALSE(form->CleanBtn->Visible());
    EXPECT_TRUE(form->FinishBtn->Visible());
    EXPECT_FALSE(form->cdGauge->Visible());
    EXPECT_EQ(form->abHintStr1->Caption(), "");
    EXPECT_EQ(form->abHintStr2->Caption(), "");
    // The rebuilt list shows the cleaned rows as deleted.
    int deleted = 0;
    for (int i = 0; i < form->ResultListView->ItemCount(); ++i)
        deleted += form->ResultListView->ItemText(i, 3) == "Deleted";
    EXPECT_EQ(deleted, 2);

    form->FinishBtnClick(form->FinishBtn);
    PumpMessages();
    EXPECT_TRUE(form->CleanBtn->Visible());
    EXPECT_FALSE(form->FinishBtn->Visible());
    EXPECT_EQ(form->DataNotebook->PageIndex(), 0);
    ASSERT_EQ(ResultContents[1]->Count(), 1);
    EXPECT_EQ(ResultContents[1]->GetItem(0)->Content.Data, "C:\\pics\\File2.bmp");
    auto count = [&](int node) { return static_cast<TSectionRec *>(form->tvItemsList->Node(node)->Data)->Count; };
    EXPECT_EQ(count(PaintNode), 1);
    EXPECT_EQ(count(11), 1);
    EXPECT_EQ(count(RunNode), 2);
    EXPECT_EQ(count(28), 2);
    EXPECT_EQ(count(0), 3);
    EXPECT_EQ(count(PaintNode + 1), 0);
    // Every row names its own item again.
    ASSERT_EQ(ResultRows.Count(), 3);
    for (int i = 0; i < ResultRows.Count(); ++i) {
        const TResultItem *row = ResultRows.Items(i);
        EXPECT_EQ(row->Data(), ResultContents[row->Category]->GetItem(row->ContentIndex)->Content.Data);
        EXPECT_EQ(row->Removed, 0);
    }
    SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

// Emptying takes every entry of every bin: only when every RecycleBin row is ticked, none was
// excluded and the scan passed none over. Otherwise only the ticked entries go, each with its index
// file; a deleted folder goes with its folders, or stays with its index.
TEST_F(CleanPage, BinIsEmptiedOnlyWhenTheUserChoseAllOfIt)
{
    // The user's own bin in the Vista layout, built by hand: wine keeps its bin elsewhere.
    std::string sid;
    ASSERT_TRUE(GetCurrentUserSid(sid));
    OwnedFolder bins("C:\\$Recycle.Bin");
    if (!bins.Made()) GTEST_SKIP() << "will not touch an existing C:\\$Recycle.Bin";
    const std::string bin = bins / sid + "\\";
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
    for (const char *id : {"AB12CD.txt", "KEEP01.txt", "XY34EF"}) ASSERT_TRUE(WriteFileBytes(bin + "$I" + id, "index"));
    ASSERT_TRUE(WriteFileBytes(bin + "$RAB12CD.txt", "recycled trace"));
    ASSERT_TRUE(WriteFileBytes(bin + "$RKEEP01.txt", "kept trace"));
    ASSERT_TRUE(CreateDirectoryA((bin + "$RXY34EF").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((bin + "$RXY34EF\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(bin + "$RXY34EF\\sub\\inner.doc", "recycled folder"));
    const std::string locked = bin + "$RXY34EF\\locked.doc";
    ASSERT_TRUE(WriteFileBytes(locked, "read-only") && SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "in wine's bin.txt", "x") && Recycle(dir / "in wine's bin.txt"));
    const std::string inWinesBin = WineTrashFolder() + "\\files\\in wine's bin.txt";
    ASSERT_TRUE(FileExists(inWinesBin));
    auto keepRow = [] {
        for (int i = 0; i < ResultRows.Count(); ++i)
            if (ResultRows.Items(i)->Location().find("$RKEEP01") != std::string::npos) return i;
        return -1;
    };

    // One row unticked: the others go with their index files, the bins are not emptied. The folder
    // holds a file that cannot be wiped: it stays with its index, and the message says so.
    ScanOnly({RecycleBinNode});
    ASSERT_EQ(ResultContents[tcWindowsSystem]->Count(), 3);
    ResultContents[tcWindowsSystem]->GetItem(ResultRows.Items(keepRow())->ContentIndex)->Content.Checked = 0;
    EXPECT_NE(Clean().find("Recycle Bin was not emptied: not every entry of it was ticked. Only 1 of its 2 ticked "
                           "entries could be wiped."),
              std::string::npos);
    for (const char *gone : {"$RAB12CD.txt", "$IAB12CD.txt", "$RXY34EF\\sub\\inner.doc"})
        EXPECT_FALSE(FileExists(bin + gone)) << gone;
    EXPECT_TRUE(FileExists(locked) && FileExists(bin + "$IXY34EF"));
    EXPECT_TRUE(FileExists(bin + "$RKEEP01.txt") && FileExists(bin + "$IKEEP01.txt"));
    EXPECT_TRUE(FileExists(inWinesBin));

    // Its row excluded: the same; the folder now goes whole, then its index, and is not listed again.
    form->FinishBtnClick(form->FinishBtn);
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_ARCHIVE));
    ScanOnly({RecycleBinNode});
    std::string name;
    TExclusionSave saved;
    ASSERT_TRUE(ExcludeResultRow(dir / "x.qmt", ExcludeContents, keepRow(), name, saved));
    EXPECT_NE(Clean().find("not emptied, only its ticked entries were wiped: it holds an entry that you excluded."),
              std::string::npos);
    EXPECT_TRUE(FileExists(bin + "$RKEEP01.txt") && FileExists(inWinesBin));
    EXPECT_FALSE(DirExists(bin + "$RXY34EF") || FileExists(bin + "$IXY34EF"));

    // An entry of the bin that the scan passes over has no row: the bin stays.
    form->FinishBtnClick(form->FinishBtn);
    ExcludeContents->Delete(ExcludeContents->Count() - 1);
    ASSERT_TRUE(WriteFileBytes(bin + "stray.txt", "no deleted entry of the layout"));
    ScanOnly({RecycleBinNode});
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_NE(Clean().find("only its ticked entries were wiped: it holds an entry that the scan does not list."),
              std::string::npos);
    EXPECT_TRUE(FileExists(inWinesBin));

    // Every entry chosen: the bins are emptied.
    form->FinishBtnClick(form->FinishBtn);
    ASSERT_TRUE(DeleteFileA((bin + "stray.txt").c_str()));
    ASSERT_TRUE(WriteFileBytes(bin + "$IKEEP01.txt", "index") && WriteFileBytes(bin + "$RKEEP01.txt", "kept trace"));
    ScanOnly({RecycleBinNode});
    EXPECT_EQ(Clean(), "Quillmoor:Clean evidence complete!|");
    EXPECT_FALSE(FileExists(bin + "$RKEEP01.txt") || FileExists(bin + "$IKEEP01.txt"));
    EXPECT_FALSE(FileExists(inWinesBin));
}

TEST_F(CleanPage, WithoutWindowsSystemTheBinIsLeftAlone)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, "File1", "C:\\a.bmp"));
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "keep.txt", "x"));
    ASSERT_TRUE(Recycle(dir / "keep.txt"));
    const LONGLONG before = RecycleBinItems();
    ASSERT_GE(before, 1);
    ScanOnly({PaintNode});
    // The delete-mode question comes first; closing it does not stop the clean.
    Settings.ErasAskWhenDel = true;
    std::string order;
    {
        ModalAnswerer answer("#32770|TAskDelForm", [&](HWND w) {
            order += ClassOf(w) + ";";
            PostMessageA(w, ClassOf(w) == "#32770" ? WM_COMMAND : WM_CLOSE, IDOK, 0);
        });
        form->CleanBtnClick(form->CleanBtn);
        PumpMessages();
    }
    EXPECT_EQ(order, "TAskDelForm;#32770;");
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File1"));
    EXPECT_EQ(RecycleBinItems(), before);
    SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

TEST_F(CleanPage, GaugeTotalIncludesCheckedTracesOfCategoriesWithoutANode)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, "File1", "C:\\a.bmp"));
    ScanOnly({PaintNode});
    // A checked trace in a category the result tree does not show: counted, never cleaned.
    TContent &other = ResultContents[0]->GetItem(ResultContents[0]->AddItem())->Content;
    other.CleanCaption = "Clean Address Bar History";
    other.Kind = tkRegValueName;
    other.Checked = 1;
    ASSERT_EQ(form->CountCheckedResultItems(), 2);
    Settings.RemoveTotal = 0;
    form->CleanCheckedResults();
    EXPECT_EQ(Settings.RemoveTotal, 1);
    EXPECT_EQ(form->cdGauge->Progress(), 50);
    EXPECT_EQ(other.Removed, 0);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File1"));
}

TEST_F(CleanPage, ScanPageButtonAfterCleanPurgesLikeFinish)
{
    for (const char *v : {"File1", "File2"}) ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, v, v));
    ScanOnly({PaintNode});
    const int row = RowOf("File2");
    ASSERT_GE(row, 0);
    ClickRow(row);
    Clean();
    ASSERT_TRUE(form->FinishBtn->Visible());
    form->ScanBtnClick(form->ScanBtn);
    EXPECT_TRUE(form->CleanBtn->Visible());
    ASSERT_EQ(ResultContents[1]->Count(), 1);
    // The rows still shown point at the survivors only.
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(ResultRows.Items(0)->ContentIndex, 0);
    EXPECT_EQ(ResultRows.Items(0)->DisplayName(), "File2");
    EXPECT_EQ(form->ResultListView->ItemCount(), 1);
    // The Scan page counts what is left.
    EXPECT_EQ(static_cast<TSectionRec *>(form->tvItemsList->Node(PaintNode)->Data)->Count, 1);
    EXPECT_EQ(static_cast<TSectionRec *>(form->tvItemsList->Node(0)->Data)->Count, 1);
}

// A history row is one entry of history.dat, which can only be wiped whole: the file stays while a
// row of it is unticked or one of its entries is excluded, and the completion says why.
TEST_F(CleanPage, AHistoryFileStaysWhileAnEntryOfItIsUntickedOrExcluded)
{
    std::string dir = RegGetString(HKEY_CURRENT_USER, ShellFolders, "AppData") + "\\Mozilla";
    OwnedFolder mozilla(dir);
    if (!mozilla.Made()) GTEST_SKIP() << "will not touch an existing " << dir;
    for (const char *sub : {"\\Firefox", "\\Profiles", "\\qm.default"}) CreateDirectoryA((dir += sub).c_str(), nullptr);
    const std::string history = dir + "\\history.dat";
    ASSERT_TRUE(WriteFileBytes(history, "(http://a.example/)(http://b.example/)"));
    ScanOnly({FirefoxHistoryNode});
    ResultContents[tcInternetSoftware]->GetItem(1)->Content.Checked = 0;
    EXPECT_NE(Clean().find('"' + history + "\" was kept: not every entry of it was ticked."), std::string::npos);
    EXPECT_TRUE(FileExists(history));

    // Excluded from its row by its address: the next scan passes it over, and the file still stays.
    TempDir list;
    std::string name;
    TExclusionSave saved;
    ASSERT_TRUE(ExcludeResultRow(list / "x.qmt", ExcludeContents, 1, name, saved));
    EXPECT_EQ(ReadFileBytes(list / "x.qmt"), "FireFoxHistory|http://b.example/!<\r\n");
    form->FinishBtnClick(form->FinishBtn);
    ScanOnly({FirefoxHistoryNode});
    EXPECT_EQ(ResultContents[tcInternetSoftware]->Count(), 1);
    EXPECT_NE(Clean().find("was kept: it holds an entry that you excluded."), std::string::npos);
    EXPECT_TRUE(FileExists(history));
    EXPECT_EQ(StoredRemoveTotal(), 0u);

    // An exclusion of an earlier version named the whole file: every entry is listed, the file stays.
    form->FinishBtnClick(form->FinishBtn);
    ExcludeContents->GetItem(ExcludeContents->Count() - 1)->Content = {"FireFoxHistory", history, "", ""};
    ScanOnly({FirefoxHistoryNode});
    EXPECT_EQ(ResultContents[tcInternetSoftware]->Count(), 2);
    EXPECT_NE(Clean().find("was kept: it holds an entry that you excluded."), std::string::npos);
    EXPECT_TRUE(FileExists(history));
}

}  // namespace
