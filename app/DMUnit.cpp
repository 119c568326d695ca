#include "app/DMUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "app/DMUnitExclude.h"
#include "app/DMUnitUpdate.h"
#include "ui/HttpClient.h"
#include "app/AboutUnit.h"

TDM *DM = nullptr;

namespace {

// The pictures of a list come as one strip per list from the program's resources.
void LoadStrip(ui::TImageList *list, int width, int height, const char *resource, bool masked)
{
    list->Create(width, height);
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), resource, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip == nullptr)
        return;   // a program without its pictures still works
    if (masked)
        list->AddMasked(strip, RGB(255, 0, 255));
    else
        list->Add(strip);
    DeleteObject(strip);
}

}  // namespace

TDM::TDM()
{
    CreateComponents();
    DataModuleCreate();
}

TDM::~TDM()
{
    DataModuleDestroy();
    FreeComponents();
}

void TDM::CreateComponents()
{
    BtnImageList = new ui::TImageList;
    LoadStrip(BtnImageList, 162, 44, "BTNIMAGES", false);
    ScanTimer = new ui::TTimer;
    ScanTimer->SetInterval(20);
    ScanTimer->SetEnabled(false);
    ScanTimer->OnTimer = [this] { ScanTimerTimer(); };
    TreeImageList = new ui::TImageList;
    LoadStrip(TreeImageList, 16, 16, "TREEIMAGES", true);
    ImageList2 = new ui::TImageList;
    LoadStrip(ImageList2, 20, 19, "WINDOWIMAGES", false);
    ImageList3 = new ui::TImageList;
    LoadStrip(ImageList3, 84, 33, "TITLEIMAGES", false);
    PopupImageList = new ui::TImageList;
    LoadStrip(PopupImageList, 16, 16, "POPUPIMAGES", true);
    ImageList1 = new ui::TImageList;
    LoadStrip(ImageList1, 221, 52, "ACTIONIMAGES", false);

    IdHTTP1 = new ui::THttpClient;
    MainPopupMenu = new ui::TPopupMenu;
    OpenMenu = MainPopupMenu->Add("Quillmoor", [this] { OpenMenuClick(); });
    OpenMenu->Default = true;
    OpenMenu->SetBitmap(PopupImageList->GetBitmap(0, GetSysColor(COLOR_MENU)));
    About1 = MainPopupMenu->Add("About", [this] { About1Click(); });
    MainPopupMenu->AddSeparator();
    OnlineUpdate1 = MainPopupMenu->Add("Update online", [this] { OnlineUpdate1Click(); });
    OnlineUpdate1->SetBitmap(PopupImageList->GetBitmap(1, GetSysColor(COLOR_MENU)));
    MainPopupMenu->AddSeparator();
    Exit1 = MainPopupMenu->Add("Exit", [this] { Exit1Click(); });

    pmExclude = new ui::TPopupMenu;
    Exclude1 = pmExclude->Add("Exclude", [this] { Exclude1Click(); });
}

void TDM::FreeComponents()
{
    delete pmExclude;
    delete MainPopupMenu;
    delete ImageList1;
    delete PopupImageList;
    delete ImageList3;
    delete ImageList2;
    delete TreeImageList;
    delete IdHTTP1;
    delete ScanTimer;
    delete BtnImageList;
    pmExclude = MainPopupMenu = nullptr;
    ImageList1 = PopupImageList = ImageList3 = ImageList2 = TreeImageList = BtnImageList = nullptr;
    ScanTimer = nullptr;
    IdHTTP1 = nullptr;
    OpenMenu = About1 = OnlineUpdate1 = Exit1 = Exclude1 = nullptr;
}

void TDM::DataModuleCreate()
{
    // An error ends the handler where it happens (a failed settings load skips the update check);
    // it is shown and the data module is there all the same.
    try {
        CreateCollections();
        LoadExclusions();
        LoadSettings();
        if (Settings.CheckUpdate)
            CheckForUpdate();
    } catch (const std::exception &e) {
        ui::Application->HandleException(e);
    }
}

void TDM::DataModuleDestroy()
{
    FreeCollections();
}

void TDM::CreateCollections()
{
    for (int c = 0; c < TraceCategoryCount; ++c)
        if (ResultContents[c] == nullptr)
            ResultContents[c] = new TResultContents;
    if (ExcludeContents == nullptr)
        ExcludeContents = new TExcludeContents;
}

void TDM::FreeCollections()
{
    for (int c = 0; c < TraceCategoryCount; ++c) {
        delete ResultContents[c];
        ResultContents[c] = nullptr;
    }
    delete ExcludeContents;
    ExcludeContents = nullptr;
}

void TDM::ClearResults()
{
    for (int c = 0; c < TraceCategoryCount; ++c)
        if (ResultContents[c] != nullptr)
            ResultContents[c]->Clear();
}

void TDM::LoadSettings()
{
    ::LoadSettings();
}

void TDM::CheckForUpdate()
{
    UpdateCheck::TUpdateActions actions;
    actions.Ask = [](const std::string &text, const std::string &caption, UINT flags) {
        return ui::Application->MessageBox(text, caption, flags);
    };
    actions.StartProgram = [](const std::string &path) { UpdateCheck::ShellOpen(ui::Application->Handle(), path); };
    actions.Terminate = [] { ui::Application->Terminate(); };
    UpdateCheck::CheckForUpdate(*IdHTTP1, ProgramFolder(), Settings.Version, actions);
}

bool TDM::IsNewerVersionAvailable()
{
    return UpdateCheck::IsNewerVersionAvailable(*IdHTTP1, ProgramFolder(), Settings.Version);
}

void TDM::DownloadFile(const std::string &url, const std::string &fileName)
{
    UpdateCheck::DownloadFile(*IdHTTP1, url, fileName);
}

void TDM::ScanTimerTimer()
{
    if (ScanFrame > 14)
        ScanFrame = 8;
    if (frmMainForm != nullptr && frmMainForm->tvItemsList != nullptr)
        if (ui::TTreeNode *node = frmMainForm->tvItemsList->Node(ScanNodeIndex))
            node->SetImageIndex(ScanFrame);
    ++ScanFrame;
}

void TDM::OpenMenuClick()
{
    ShowWindow(ui::Application->Handle(), SW_SHOW);
    ui::Application->Restore();
}

void TDM::About1Click()
{
    // The tray menu still works while the dialog is up: one dialog only, brought to the front.
    if (AboutForm) {
        SetForegroundWindow(AboutForm->Handle());
        return;
    }
    AboutForm = new TAboutForm();
    try {
        AboutForm->ShowModal();
    } catch (...) {
        delete AboutForm;
        AboutForm = nullptr;
        throw;
    }
    delete AboutForm;
    AboutForm = nullptr;
}

void TDM::OnlineUpdate1Click()
{
    CheckForUpdate();
}

void TDM::Exit1Click()
{
    ui::Application->Terminate();
}

void TDM::LoadExclusions()
{
    LoadExclusionFile(ExclusionFilePath(), ExcludeContents);
}
