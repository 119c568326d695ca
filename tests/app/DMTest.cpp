// The data module: the collections' lifetime, the settings load at creation, the pictures of its
// image lists, the tray menu and the scan animation.
#include <gtest/gtest.h>
#include "LoopbackHttpServer.h"
#include <windows.h>
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/DMUnitUpdate.h"
#include "app/SettingsUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"
#include "ui/Timer.h"

using namespace qmtest;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";

// Colour of one pixel of picture `index` of a list, drawn over the given background.
COLORREF PixelOf(ui::TImageList *list, int index, int x, int y, COLORREF background)
{
    HBITMAP bmp = list->GetBitmap(index, background);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    return c;
}

// Whether a picture has any pixel far from the background: it is not blank.
bool HasInk(ui::TImageList *list, int index, COLORREF background)
{
    for (int y = 0; y < list->Height(); y += 1)
        for (int x = 0; x < list->Width(); x += 1) {
            COLORREF c = PixelOf(list, index, x, y, background);
            int d = abs(GetRValue(c) - GetRValue(background)) + abs(GetGValue(c) - GetGValue(background)) +
                    abs(GetBValue(c) - GetBValue(background));
            if (d > 90)
                return true;
        }
    return false;
}

class DataModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteDefaultSettings();
        DM = new TDM();
    }
    void TearDown() override
    {
        delete DM;
        DM = nullptr;
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
};

}  // namespace

TEST_F(DataModule, CreatesAndFreesTheFiveCollections)
{
    for (int c = 0; c < TraceCategoryCount; ++c) {
        ASSERT_NE(ResultContents[c], nullptr);
        EXPECT_EQ(ResultContents[c]->Count(), 0);
    }
    ASSERT_NE(ExcludeContents, nullptr);
    delete DM;
    DM = nullptr;
    for (int c = 0; c < TraceCategoryCount; ++c)
        EXPECT_EQ(ResultContents[c], nullptr);
    EXPECT_EQ(ExcludeContents, nullptr);
}

TEST_F(DataModule, ClearResultsKeepsExclusionsAndSettings)
{
    for (int c = 0; c < TraceCategoryCount; ++c)
        for (int i = 0; i <= c; ++i)
            ResultContents[c]->AddItem();
    ExcludeContents->AddItem();
    ExcludeContents->GetItem(0)->Content.ItemName = "Paint";
    Settings.DetectedTotal = 17;
    DM->ClearResults();
    for (int c = 0; c < TraceCategoryCount; ++c)
        EXPECT_EQ(ResultContents[c]->Count(), 0);
    ASSERT_EQ(ExcludeContents->Count(), 1);
    EXPECT_EQ(ExcludeContents->GetItem(0)->Content.ItemName, "Paint");
    EXPECT_EQ(Settings.DetectedTotal, 17);
}

TEST_F(DataModule, LoadsTheStoredSettingsAtCreation)
{
    delete DM;
    DM = nullptr;
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "SelectAll", 1));
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "ErasValue", 2));
    Settings.SelectAll = false;
    Settings.ErasValue = 0;
    DM = new TDM();
    EXPECT_TRUE(Settings.SelectAll);
    EXPECT_EQ(Settings.ErasValue, 2);
}

TEST_F(DataModule, SettingsErrorIsShownAndTheModuleStillWorks)
{
    delete DM;
    DM = nullptr;
    // A number stored as text cannot be read as a number.
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, MachineSettings, "SelectAll", "yes"));
    std::string shown;
    int errors = 0;
    ui::Application->OnException = [&](const std::exception &e) {
        shown = e.what();
        ++errors;
    };
    DM = new TDM();
    ui::Application->OnException = nullptr;
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(shown.empty());
    for (int c = 0; c < TraceCategoryCount; ++c)
        EXPECT_NE(ResultContents[c], nullptr);
}

TEST_F(DataModule, ImageListsHoldTheirPictures)
{
    struct {
        ui::TImageList *list;
        int width, height, count;
    } lists[] = {
        {DM->BtnImageList, 162, 44, 10}, {DM->TreeImageList, 16, 16, 15}, {DM->ImageList2, 20, 19, 4},
        {DM->ImageList3, 84, 33, 6},     {DM->PopupImageList, 16, 16, 2}, {DM->ImageList1, 221, 52, 18},
    };
    for (auto &l : lists) {
        ASSERT_NE(l.list, nullptr);
        EXPECT_EQ(l.list->Width(), l.width);
        EXPECT_EQ(l.list->Height(), l.height);
        EXPECT_EQ(l.list->Count(), l.count) << l.width << "x" << l.height;
    }
    // The page buttons' normal and highlighted looks differ.
    int differing = 0;
    for (int y = 0; y < 44; y += 4)
        for (int x = 0; x < 162; x += 4)
            differing += PixelOf(DM->BtnImageList, 0, x, y, 0) != PixelOf(DM->BtnImageList, 1, x, y, 0);
    EXPECT_GT(differing, 50);
    // The tree pictures are drawn over a transparent colour: a corner of the ticked box shows the
    // background, whatever it is.
    EXPECT_EQ(PixelOf(DM->TreeImageList, 6, 0, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(PixelOf(DM->TreeImageList, 6, 0, 0, RGB(200, 100, 50)), RGB(200, 100, 50));
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(HasInk(DM->TreeImageList, i, RGB(255, 0, 255))) << "tree picture " << i;
    // The ticked and the empty box differ inside the box.
    int boxDiff = 0;
    for (int y = 3; y < 13; ++y)
        for (int x = 3; x < 13; ++x)
            boxDiff += PixelOf(DM->TreeImageList, 6, x, y, 0) != PixelOf(DM->TreeImageList, 7, x, y, 0);
    EXPECT_GT(boxDiff, 5);
}

TEST_F(DataModule, TrayMenuItems)
{
    ui::TPopupMenu *menu = DM->MainPopupMenu;
    ASSERT_EQ(menu->Count(), 6);
    const char *captions[] = {"Quillmoor", "About", "-", "Update online", "-", "Exit"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(menu->Item(i)->Caption, captions[i]);
        EXPECT_EQ(menu->Item(i)->Default, i == 0) << i;
        EXPECT_EQ(menu->Item(i)->Bitmap() != nullptr, i == 0 || i == 3) << i;
    }
    EXPECT_EQ(menu->Item(0), DM->OpenMenu);
    EXPECT_EQ(menu->Item(5), DM->Exit1);
    ASSERT_EQ(DM->pmExclude->Count(), 1);
    EXPECT_EQ(DM->pmExclude->Item(0)->Caption, "Exclude");
}

TEST_F(DataModule, ScanTimerSettings)
{
    EXPECT_EQ(DM->ScanTimer->Interval(), 20u);
    EXPECT_FALSE(DM->ScanTimer->Enabled());
}

// The update check at creation follows the stored CheckUpdate: off, nothing goes to the network.
TEST_F(DataModule, UpdateCheckAtStartOnlyWhenSwitchedOn)
{
    delete DM;
    DM = nullptr;
    LoopbackHttpServer server;
    ASSERT_TRUE(server.Listening());
    HttpReply ini;
    ini.body = "[Version]\r\nVersion=3.7\r\n";   // the same version: no question
    server.Set("/update/Update.ini", ini);
    const std::string saved = UpdateCheck::UpdateFolderURL;
    UpdateCheck::UpdateFolderURL = server.Url("/update/");

    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "CheckUpdate", 0));
    DM = new TDM();
    EXPECT_TRUE(server.Requests().empty());
    delete DM;
    DM = nullptr;

    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "CheckUpdate", 1));
    DM = new TDM();
    UpdateCheck::UpdateFolderURL = saved;
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].rfind("GET /update/Update.ini", 0), 0u) << server.Requests()[0];
    EXPECT_FALSE(ui::Application->Terminated());
    DeleteFileA((ProgramFolder() + "Update.ini").c_str());
}
