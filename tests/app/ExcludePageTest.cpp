// The Exclude page on the real main window and the real exclusion file beside the program: the
// tree's own counts, the listing per node, and Add, Modify and Remove through the real dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "SettingsPageDialogs.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/DMUnitExclude.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Notebook.h"
#include "ui/TreeView.h"

using namespace qmtest;

namespace {

constexpr int CookiesNode = 4;
constexpr int FavoritesNode = 5;
constexpr int CacheNode = 2;
constexpr int AddressBarNode = 3, RunNode = 29;
const char *const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char *const TypedKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

int Count(ui::TTreeNode *node) { return static_cast<TSectionRec *>(node->Data)->Count; }

std::string ComboText(HWND combo)
{
    LRESULT i = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (i < 0) return std::string();
    char text[128] = {0};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    return text;
}

// Chooses a section as the user would: the selection, then the change notice to the dialog.
void ChooseSection(HWND dialog, HWND combo, int index)
{
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

// What the dialog looked like when it opened, and what the driver saw along the way.
struct DialogSeen {
    std::string caption, section, text;
    bool okAtOpen = true, okWithBlank = true, okAtEnd = false;
};

class ExcludePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ExclusionFilePath();
        hadFile = FileExists(path);
        if (hadFile) saved = ReadFileBytes(path);
        DeleteFileA(path.c_str());
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        CloseMainWindow();
        DeleteFileA(path.c_str());
        if (hadFile) WriteFileBytes(path, saved);
    }
    void Open() { form->ExcludeBtnClick(form->ExcludeBtn); }
    ui::TTreeNode *Node(int i) { return form->tvExclude->Node(i); }
    void Select(int node) { form->tvExclude->SetSelected(Node(node)); PumpMessages(); }
    int Rows() { return form->ExcludeListView->ItemCount(); }
    std::string Cell(int row, int col) { return form->ExcludeListView->ItemText(row, col); }

    // Runs Add or Modify with a driver of the dialog: choose section (-1 keep), type text, press
    // OK or Cancel.
    DialogSeen RunDialog(bool modify, int section, const std::string &text, bool ok)
    {
        DialogSeen seen;
        {
            ModalAnswerer driver({}, "TExcludeDataForm", [&](HWND w) {
                char caption[64] = {0};
                GetWindowTextA(w, caption, sizeof(caption));
                seen.caption = caption;
                HWND combo = ChildOfClass(w, "ComboBox");
                HWND edit = ChildOfClass(w, "Edit");
                HWND okButton = ButtonWithCaption(w, "OK");
                seen.section = ComboText(combo);
                char current[256] = {0};
                GetWindowTextA(edit, current, sizeof(current));
                seen.text = current;
                seen.okAtOpen = IsWindowEnabled(okButton) != 0;
                SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("   "));
                seen.okWithBlank = IsWindowEnabled(okButton) != 0;
                SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                if (section >= 0) ChooseSection(w, combo, section);
                seen.okAtEnd = IsWindowEnabled(okButton) != 0;
                HWND press = ok ? okButton : ButtonWithCaption(w, "Cancel");
                PostMessageA(press, BM_CLICK, 0, 0);
            });
            if (modify)
                form->ModifyBtnClick(form->ModifyBtn);
            else
                form->AddBtnClick(form->AddBtn);
        }
        return seen;
    }

    std::string path, saved;
    bool hadFile = false;
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
    TfrmMainForm *form = nullptr;
};

TEST_F(ExcludePage, TreeCountsItsOwnRecordsAndListsByNode)
{
    const TSectionRec *systemItem = (*ScanItemLists[tcWindowsSystem])[0];
    DM->AddExclusion("Cookies", "abc", "", "");
    DM->AddExclusion("Cookies", "def", "", "");
    DM->AddExclusion(systemItem->ItemCaption, "HKEY_CURRENT_USER\\Software\\X", "v", "shown data");
    (*ScanItemLists[tcInternetExplorer])[2]->Count = 7;   // a found count of the Scan page

    Open();
    EXPECT_EQ(form->DataNotebook->PageIndex(), 2);
    ASSERT_EQ(form->tvExclude->NodeCount(), 55);
    EXPECT_EQ(Node(0)->Text(), "My Computer");
    EXPECT_EQ(Count(Node(0)), 3);
    EXPECT_EQ(Count(Node(1)), 2);                // Internet Explorer
    EXPECT_EQ(Node(CookiesNode)->Text(), "Cookies");
    EXPECT_EQ(Count(Node(CookiesNode)), 2);
    EXPECT_EQ(Count(Node(28)), 1);               // Windows System
    EXPECT_EQ(Count(Node(29)), 1);
    EXPECT_EQ(Count(Node(11)), 0);
    EXPECT_EQ((*ScanItemLists[tcInternetExplorer])[2]->Count, 7);

    // The root lists every exclusion; "Name" shows the data where there is some.
    ASSERT_EQ(Rows(), 3);
    EXPECT_EQ(Cell(0, 0), "Cookies");
    EXPECT_EQ(Cell(0, 1), "abc");
    EXPECT_EQ(Cell(2, 1), "shown data");

    Select(CookiesNode);
    EXPECT_EQ(Rows(), 2);
    Select(1);
    EXPECT_EQ(Rows(), 2);
    Select(28);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 0), systemItem->ItemCaption);
    Select(CacheNode);
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ExcludePage, RemoveTakesTheRowsOwnExclusionEvenWhenItShowsData)
{
    DM->AddExclusion("Cookies", "abc", "", "");
    DM->AddExclusion("Run", "HKEY_CURRENT_USER\\R", "v", "C:\\p.exe");
    Open();
    ASSERT_EQ(Rows(), 2);
    form->ExcludeListView->SetSelected(1);
    form->RemoveBtnClick(form->RemoveBtn);
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(ReadFileBytes(path), "Cookies|abc!<\r\n");
    EXPECT_EQ(Count(Node(0)), 1);

    form->ExcludeListView->SetSelected(0);
    form->RemoveBtnClick(form->RemoveBtn);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(path), "");
    EXPECT_EQ(Count(Node(0)), 0);
    EXPECT_EQ(Count(Node(CookiesNode)), 0);

    form->RemoveBtnClick(form->RemoveBtn);   // no row: nothing happens
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ExcludePage, AddPreselectsTheSectionOfTheChosenNodeAndOkWaitsForText)
{
    Open();
    Select(FavoritesNode);
    DialogSeen seen = RunDialog(false, -1, "x.url", true);
    EXPECT_EQ(seen.caption, "Add Exclude Item");
    EXPECT_EQ(seen.section, "Favorites");
    EXPECT_FALSE(seen.okAtOpen);
    EXPECT_FALSE(seen.okWithBlank);
    EXPECT_TRUE(seen.okAtEnd);
    EXPECT_EQ(ReadFileBytes(path), "Favorites|x.url!<\r\n");
    EXPECT_EQ(Count(Node(FavoritesNode)), 1);
    EXPECT_EQ(Count(Node(1)), 1);
    EXPECT_EQ(Count(Node(0)), 1);
    ASSERT_EQ(Rows(), 1);
    EXPECT_EQ(Cell(0, 1), "x.url");

    // The same again adds nothing, in the file or in the counts.
    RunDialog(false, -1, "x.url", true);
    EXPECT_EQ(ReadFileBytes(path), "Favorites|x.url!<\r\n");
    EXPECT_EQ(Count(Node(0)), 1);
    EXPECT_EQ(Rows(), 1);
}

TEST_F(ExcludePage, AddFromANodeThatIsNoSectionNeedsAChosenSection)
{
    Open();
    Select(CacheNode);
    DialogSeen seen = RunDialog(false, 1, "abc", false);
    EXPECT_EQ(seen.section, "");
    EXPECT_FALSE(seen.okAtOpen);
    EXPECT_TRUE(seen.okAtEnd);   // a section and a text
    EXPECT_FALSE(FileExists(path));   // cancelled
    EXPECT_EQ(ExcludeContents->Count(), 0);

    seen = RunDialog(false, 1, "abc", true);
    EXPECT_EQ(ReadFileBytes(path), "Cookies|abc!<\r\n");
}

TEST_F(ExcludePage, ModifyAppliesTheChosenSectionAndTextToTheRowsExclusion)
{
    DM->AddExclusion("Cookies", "same", "", "");
    DM->AddExclusion("Favorites", "same", "", "");
    Open();
    form->ExcludeListView->SetSelected(1);
    DialogSeen seen = RunDialog(true, 0, "typed", true);
    EXPECT_EQ(seen.caption, "Modify Exclude Item");
    EXPECT_EQ(seen.section, "Favorites");
    EXPECT_EQ(seen.text, "same");
    EXPECT_TRUE(seen.okAtOpen);
    EXPECT_EQ(ReadFileBytes(path), "Cookies|same!<\r\nAddress Bar History|typed!<\r\n");
    EXPECT_EQ(Count(Node(FavoritesNode)), 0);
    EXPECT_EQ(Count(Node(3)), 1);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(1, 0), "Address Bar History");
    EXPECT_EQ(Cell(1, 1), "typed");

    // The stored list reloads to the same fields.
    TExcludeContents reloaded;
    LoadExclusionFile(path, &reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    EXPECT_EQ(reloaded.GetItem(1)->Content.ItemName, "Address Bar History");
    EXPECT_EQ(reloaded.GetItem(1)->Content.Location, "typed");
}

TEST_F(ExcludePage, ModifyOfAnotherItemsExclusionKeepsItsItemAndChangesTheShownData)
{
    DM->AddExclusion("Run", "HKEY_CURRENT_USER\\R", "v", "C:\\old.exe");
    Open();
    form->ExcludeListView->SetSelected(0);
    DialogSeen seen = RunDialog(true, -1, "C:\\new.exe", true);
    EXPECT_EQ(seen.section, "Run");
    EXPECT_EQ(seen.text, "C:\\old.exe");
    EXPECT_EQ(ReadFileBytes(path), "Run|HKEY_CURRENT_USER\\R!v<C:\\new.exe\r\n");
}

TEST_F(ExcludePage, ModifyStartsFromTheWholeTextOfALongRow)
{
    const std::string data = "C:\\" + std::string(3000, 'd') + ".exe";
    DM->AddExclusion("Run", "HKEY_CURRENT_USER\\R", "v", data);
    const std::string stored = ReadFileBytes(path);
    Open();
    form->ExcludeListView->SetSelected(0);
    LRESULT shownLength = -1;
    {
        // OK at once: the exclusion keeps the text the dialog was given.
        ModalAnswerer driver({}, "TExcludeDataForm", [&](HWND w) {
            shownLength = SendMessageA(ChildOfClass(w, "Edit"), WM_GETTEXTLENGTH, 0, 0);
            PostMessageA(ButtonWithCaption(w, "OK"), BM_CLICK, 0, 0);
        });
        form->ModifyBtnClick(form->ModifyBtn);
    }
    EXPECT_EQ(shownLength, static_cast<LRESULT>(data.size()));
    EXPECT_TRUE(ReadFileBytes(path) == stored);   // (no dump of 3000 characters when it fails)
    EXPECT_TRUE(ExcludeContents->GetItem(0)->Content.Data == data);
}

// An exclusion added or changed while a result list is shown takes off the list every row that it
// keeps out of a new scan, with the counts and the footer.
TEST_F(ExcludePage, AddOrModifyTakesTheRowsItKeepsOutOffTheResultList)
{
    RegKeyGuard run{HKEY_CURRENT_USER, RunKey}, typed{HKEY_CURRENT_USER, TypedKey};
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, RunKey, "a", "cmd\\1") &&
                RegSetString(HKEY_CURRENT_USER, RunKey, "b", "notepad\\1") &&
                RegSetString(HKEY_CURRENT_USER, TypedKey, "url1", "http://x.example/"));
    DM->AddExclusion("Run History", "HKEY_CURRENT_USER\\" + std::string(RunKey), "a", "nothing listed");
    ui::TTreeView *items = form->tvItemsList;
    for (int i = 0; i < items->NodeCount(); ++i)
        items->Node(i)->SetStateIndex(i == RunNode || i == AddressBarNode ? 6 : 7);
    form->ScanNowBtnClick(form->ScanNowBtn);
    PumpMessages();
    ASSERT_EQ(ResultRows.Count(), 3);
    auto found = [&](int node) { return static_cast<TSectionRec *>(items->Node(node)->Data)->Count; };
    const int32_t root = found(0);

    Open();   // Modify: the Run History exclusion now holds what "b" holds
    Select(RunNode);
    form->ExcludeListView->SetSelected(0);
    RunDialog(true, -1, "notepad\\1", true);
    ASSERT_EQ(ResultRows.Count(), 2);
    EXPECT_EQ(found(RunNode), 1);
    Select(AddressBarNode);   // Add: an address typed for Address Bar History
    RunDialog(false, 0, "http://x.example/", true);
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(ResultRows.Items(0)->Entry(), "a");
    EXPECT_EQ(found(AddressBarNode), 0);
    EXPECT_EQ(found(0), root - 2);
    EXPECT_EQ(form->abResultCount->Caption(), "1");
}

}  // namespace
