// The main window's frame: creation and destruction, the region, the title panel and its buttons,
// the page buttons, the tray icon and the two private messages. The pages are in their own files.
#include "app/frmMainUnit.h"
#include <ole2.h>
#include <oleauto.h>
#include <cstring>
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/SchedulerUnit.h"
#include "app/SettingsUnit.h"
#include "app/StartupUnit.h"
#include "engine/CatalogueUnit.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Gauge.h"
#include "ui/ImageList.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/Image.h"
#include "ui/Picture.h"
#include "ui/TreeView.h"

TfrmMainForm *frmMainForm = nullptr;

namespace {

constexpr int FormWidth = 650;
constexpr int FormHeight = 475;
constexpr int TitleTop = 1;          // a white line above the title panel
constexpr int TitleHeight = 81;
constexpr int ColumnWidth = 162;
constexpr int PageButtonTops[5] = {37, 91, 147, 203, 259};
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF ColumnColor = RGB(0xe6, 0xe9, 0xed);

}  // namespace

void LoadDecoration(ui::TImage *image, const char *name)
{
    try {
        image->Picture().LoadFromResource(name);
    } catch (const std::exception &) {
        image->Picture().Clear();
    }
}

void Delay(int32_t milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        ui::Application->ProcessMessages();
        Sleep(1);
    }
}

namespace {

[[noreturn]] void ThrowComError(const char *call, const wchar_t *member, HRESULT hr)
{
    char text[128];
    wsprintfA(text, "%s %ls failed, Error Code :%08X", call, member, static_cast<unsigned>(hr));
    throw ui::Exception(text);
}

// One property of an automation object by name; throws naming the failed call.
void SetAutomationProperty(IDispatch *object, const wchar_t *name, VARIANT value)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        ThrowComError("GetIDsOfNames", name, hr);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                        nullptr);
    if (FAILED(hr))
        ThrowComError("Invoke", name, hr);
}

VARIANT IntVariant(long v)
{
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_I4;
    r.lVal = v;
    return r;
}

}  // namespace

void OpenUrlInBrowser(const std::string &url)
{
    const bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    IDispatch *browser = nullptr;
    CLSID clsid;
    const char *call = "CLSIDFromProgID";
    HRESULT hr = CLSIDFromProgID(L"InternetExplorer.Application", &clsid);
    if (SUCCEEDED(hr)) {
        call = "CoCreateInstance";
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void **>(&browser));
    }
    if (FAILED(hr) || browser == nullptr) {
        if (comStarted)
            CoUninitialize();
        char text[96];
        wsprintfA(text, "%s failed, Error Code :%08X", call, static_cast<unsigned>(hr));
        throw ui::Exception(text);
    }
    std::string failure;
    try {
        SetAutomationProperty(browser, L"Left", IntVariant(0));
        SetAutomationProperty(browser, L"Width", IntVariant(GetSystemMetrics(SM_CXSCREEN)));
        SetAutomationProperty(browser, L"Top", IntVariant(0));
        SetAutomationProperty(browser, L"Height", IntVariant(GetSystemMetrics(SM_CYSCREEN) - 30));
        VARIANT visible;
        VariantInit(&visible);
        visible.vt = VT_BOOL;
        visible.boolVal = VARIANT_TRUE;
        SetAutomationProperty(browser, L"Visible", visible);

        DISPID id = 0;
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"Navigate")};
        HRESULT found = browser->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(found))
            ThrowComError("GetIDsOfNames", L"Navigate", found);
        int wide = MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, nullptr, 0);
        std::wstring w(static_cast<size_t>(wide > 0 ? wide : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, &w[0], wide);
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BSTR;
        arg.bstrVal = SysAllocString(w.c_str());
        DISPPARAMS params{&arg, nullptr, 1, 0};
        HRESULT inv = browser->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                                      nullptr, nullptr);
        VariantClear(&arg);
        if (FAILED(inv))
            ThrowComError("Invoke", L"Navigate", inv);
    } catch (const std::exception &e) {
        failure = e.what();
    }
    browser->Release();
    if (comStarted)
        CoUninitialize();
    if (!failure.empty())
        throw ui::Exception(failure);
}

TfrmMainForm::TfrmMainForm()
{
    CreateForm("TfrmMainForm", "Quillmoor", FormWidth, FormHeight, ui::bsNone, true);
    SetColor(White);
    BuildFrame();
    BuildScanPage();
    BuildResultPage();
    BuildExcludePage();
    BuildSettingsPage();
    BuildAdvancedPage();
    OnActivate = [this] { FormActivate(); };
    OnResize = [this] { FormResize(); };
    OnClose = [this](ui::TCloseAction &action) { FormClose(action); };
    FormCreate();
    FormResize();
}

TfrmMainForm::~TfrmMainForm()
{
    FormDestroy();
}

void TfrmMainForm::CreateParams(ui::TCreateParams &params)
{
    params.Style |= 0x00800008;
}

void TfrmMainForm::BuildFrame()
{
    TitalPanel = new ui::TPanel;
    TitalPanel->Create(this, 0, TitleTop, FormWidth, TitleHeight);
    TitleImage = new ui::TImage;
    TitleImage->Create(TitalPanel, 0, 0, FormWidth, TitleHeight);
    LoadDecoration(TitleImage, "TITLEJPG");
    LogoImage = new ui::TImage;
    LogoImage->Create(TitalPanel, 45, 16, 275, 50);
    LoadDecoration(LogoImage, "LOGOJPG");
    AppVersion = new ui::TLabel;
    AppVersion->Create(TitalPanel, 286, 58, "");
    ui::TFont versionFont;
    versionFont.Name = "Tahoma";
    versionFont.Height = -11;
    versionFont.Color = RGB(0xdb, 0xe8, 0xf5);
    AppVersion->SetFont(versionFont);
    AppVersion->SetTransparent(true);

    auto drag = [this](ui::TMouseButton button, UINT, int, int y) {
        TitalPanelMouseDown(button == ui::mbLeft ? 0 : 1, 0, y);
    };
    TitalPanel->OnMouseDown = drag;
    TitleImage->OnMouseDown = drag;
    LogoImage->OnMouseDown = drag;
    AppVersion->OnMouseDown = drag;

    auto titleButton = [this](TImageEx *&btn, int left, int top, int w, int h, const char *hint) {
        btn = new TImageEx;
        btn->Create(TitalPanel, left, top, w, h);
        btn->Hint = hint;
    };
    titleButton(UpdateBtn, 473, 30, 84, 33, "");
    titleButton(HelpBtn, 563, 30, 84, 33, "");
    titleButton(MinimizeBtn, 602, 4, 20, 19, "Minimize");
    titleButton(CloseBtn, 626, 4, 20, 19, "Hide");
    MinimizeBtn->ShowListImage(DM->ImageList2, 0);
    CloseBtn->ShowListImage(DM->ImageList2, 2);
    UpdateBtn->OnClick = [this] { UpdateBtnClick(); };
    HelpBtn->OnClick = [this] { HelpBtnClick(); };
    MinimizeBtn->OnClick = [this] { MinimizeBtnClick(); };
    CloseBtn->OnClick = [this] { CloseBtnClick(); };
    for (TImageEx *b : {MinimizeBtn, CloseBtn}) {
        b->OnMouseEnter = [this, b] { MinimizeBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { MinimizeBtnMouseLeave(b); };
    }
    for (TImageEx *b : {UpdateBtn, HelpBtn}) {
        b->OnMouseEnter = [this, b] { HelpBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { HelpBtnMouseLeave(b); };
    }

    PageColumn = new ui::TPanel;
    PageColumn->Create(this, 0, TitleTop + TitleHeight, ColumnWidth, FormHeight - TitleTop - TitleHeight);
    PageColumn->SetColor(ColumnColor);
    TImageEx **pageButtons[5] = {&ScanBtn, &ResultBtn, &ExcludeBtn, &SettingsBtn, &AdvancedBtn};
    for (int k = 0; k < 5; ++k) {
        TImageEx *b = *pageButtons[k] = new TImageEx;
        b->Create(PageColumn, 0, PageButtonTops[k], ColumnWidth, 44);
        b->OnMouseEnter = [this, b] { ScanBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { ScanBtnMouseLeave(b); };
    }
    // The Advanced button's picture is the one the layout stores: its normal look.
    AdvancedBtn->ShowListImage(DM->BtnImageList, 8);
    ScanBtn->OnClick = [this] { ScanBtnClick(ScanBtn); };
    ResultBtn->OnClick = [this] { ResultBtnClick(ResultBtn); };
    ExcludeBtn->OnClick = [this] { ExcludeBtnClick(ExcludeBtn); };
    SettingsBtn->OnClick = [this] { SettingsBtnClick(SettingsBtn); };
    AdvancedBtn->OnClick = [this] { AdvancedBtnClick(AdvancedBtn); };

    // The page area: a strip of 26 pixels above the notebook and 9 to its right.
    DataNotebook = new ui::TNotebook;
    DataNotebook->Create(this, FormWidth - 9 - 475, TitleTop + TitleHeight + 26, 475, 359, 5);
    // Pages in index order: Scan, Result, Exclude, Settings, Advanced.
    ScanPage = DataNotebook->Page(0);
    ResultPage = DataNotebook->Page(1);
    ExcludePage = DataNotebook->Page(2);
    SettingsPage = DataNotebook->Page(3);
    AdvancedPage = DataNotebook->Page(4);
    for (int i = 0; i < 5; ++i)
        DataNotebook->Page(i)->SetColor(White);
}

void TfrmMainForm::FormCreate()
{
    FirstActivation = true;
    ClearResultRows();
    ::CreateScanItemLists();
    SetRegion(CreateRoundRectRgn(2, 2, ClientWidth() + 2, ClientHeight() + 2, 16, 16));
    char version[32];
    wsprintfA(version, "v%s", "3.7");
    AppVersion->SetCaption(version);
    DrawButtonImages();
    ScanBtnClick(ScanBtn);
    CreateTaskScheduler();
    AddTrayIcon();
}

void TfrmMainForm::FormDestroy()
{
    Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
    ClearResultRows();
    ::FreeScanItemLists();
    // The Exclude page's own tree records and the scheduler's interfaces (Settings page).
    FreeExcludeTreeRecords();
    ReleaseTaskScheduler();
}

void TfrmMainForm::FormActivate()
{
    if (!FirstActivation)
        return;
    FirstActivation = false;
    std::string param = FirstParam;
    const char *blanks = " \t\r\n";
    param.erase(0, param.find_first_not_of(blanks) == std::string::npos ? param.size()
                                                                           : param.find_first_not_of(blanks));
    // An update accepted at start has asked the program to end so that qmUpdate can replace its
    // files: no scan then.
    if (param.empty() || ui::Application->Terminated())
        return;
    Delay(1000);
    ScanNowBtnClick(ScanNowBtn);
}

void TfrmMainForm::FormResize()
{
    // The rounded corner takes a few pixels: the two buttons keep the layout's margin from it.
    const int right = ClientWidth() - 4;
    CloseBtn->SetLeft(right - CloseBtn->Width());
    MinimizeBtn->SetLeft(right - MinimizeBtn->Width() - CloseBtn->Width() - 4);
    if (ExcludeListView != nullptr)
        ExcludeListView->SetColumnWidth(1, ExcludeListView->Width() - ExcludeListView->ColumnWidth(0) - 20);
}

void TfrmMainForm::FormClose(ui::TCloseAction &action)
{
    if (ScanState == 1)
        action = ui::caNone;
}

void TfrmMainForm::HighlightPageButton(void *sender)
{
    TImageEx *buttons[5] = {ScanBtn, ResultBtn, ExcludeBtn, SettingsBtn, AdvancedBtn};
    bool known = false;
    for (TImageEx *b : buttons)
        known = known || b == sender;
    if (!known)
        return;
    for (int k = 0; k < 5; ++k)
        buttons[k]->ShowListImage(DM->BtnImageList, buttons[k] == sender ? 2 * k + 1 : 2 * k);
}

void TfrmMainForm::DrawButtonImages()
{
    ScanBtn->ShowListImage(DM->BtnImageList, 0);
    ResultBtn->ShowListImage(DM->BtnImageList, 2);
    ExcludeBtn->ShowListImage(DM->BtnImageList, 4);
    SettingsBtn->ShowListImage(DM->BtnImageList, 6);
    UpdateBtn->ShowListImage(DM->ImageList3, 2);
    HelpBtn->ShowListImage(DM->ImageList3, 4);
}

void TfrmMainForm::AddTrayIcon()
{
    std::memset(&TrayIconData, 0, sizeof(TrayIconData));
    // The record of the oldest shell, which every shell accepts.
    TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    TrayIconData.hWnd = Handle();
    TrayIconData.uID = 0;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_QM_TRAY;
    TrayIconData.hIcon = ui::Application->Icon();
    lstrcpynA(TrayIconData.szTip, Text().c_str(), 64);
    Shell_NotifyIconA(NIM_ADD, &TrayIconData);
}

void TfrmMainForm::TitalPanelMouseDown(int button, int x, int y)
{
    (void)x;
    if (button != 0 || y < 0 || y > TitleHeight)
        return;
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);
    ReleaseCapture();
}

void TfrmMainForm::MinimizeBtnClick()
{
    ui::Application->Minimize();
}

void TfrmMainForm::CloseBtnClick()
{
    ui::Application->Minimize();
    ShowWindow(ui::Application->Handle(), SW_HIDE);
}

void TfrmMainForm::HelpBtnClick()
{
    OpenUrlInBrowser(Settings.HelpURL);
}

void TfrmMainForm::UpdateBtnClick()
{
    DM->CheckForUpdate();
}

void TfrmMainForm::MinimizeBtnMouseEnter(void *sender)
{
    if (sender == MinimizeBtn)
        MinimizeBtn->ShowListImage(DM->ImageList2, 1);
    else if (sender == CloseBtn)
        CloseBtn->ShowListImage(DM->ImageList2, 3);
}

void TfrmMainForm::MinimizeBtnMouseLeave(void *sender)
{
    if (sender == MinimizeBtn)
        MinimizeBtn->ShowListImage(DM->ImageList2, 0);
    else if (sender == CloseBtn)
        CloseBtn->ShowListImage(DM->ImageList2, 2);
}

void TfrmMainForm::HelpBtnMouseEnter(void *sender)
{
    if (sender == UpdateBtn)
        UpdateBtn->ShowListImage(DM->ImageList3, 3);
    else if (sender == HelpBtn)
        HelpBtn->ShowListImage(DM->ImageList3, 5);
}

void TfrmMainForm::HelpBtnMouseLeave(void *sender)
{
    if (sender == UpdateBtn)
        UpdateBtn->ShowListImage(DM->ImageList3, 2);
    else if (sender == HelpBtn)
        HelpBtn->ShowListImage(DM->ImageList3, 4);
}

namespace {

struct THover {
    TImageEx *TfrmMainForm::*button;
    int normal;
};

const THover ActionHovers[] = {
    {&TfrmMainForm::ScanNowBtn, 0}, {&TfrmMainForm::AbortBtn, 2},  {&TfrmMainForm::CleanBtn, 4},
    {&TfrmMainForm::FinishBtn, 6},  {&TfrmMainForm::AddBtn, 8},    {&TfrmMainForm::ModifyBtn, 10},
    {&TfrmMainForm::RemoveBtn, 12}, {&TfrmMainForm::SettingsAppleBtn, 14},
};

}  // namespace

void TfrmMainForm::ScanNowBtnMouseEnter(void *sender)
{
    for (const THover &h : ActionHovers)
        if (this->*h.button != nullptr && this->*h.button == sender) {
            (this->*h.button)->ShowListImage(DM->ImageList1, h.normal + 1);
            return;
        }
}

void TfrmMainForm::ScanNowBtnMouseLeave(void *sender)
{
    for (const THover &h : ActionHovers)
        if (this->*h.button != nullptr && this->*h.button == sender) {
            (this->*h.button)->ShowListImage(DM->ImageList1, h.normal);
            return;
        }
}

bool TfrmMainForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    if (msg == WM_QM_TRAY) {
        WMTray(wParam, lParam);
        result = 0;
        return true;
    }
    if (msg == WM_QM_RESTORE) {
        WMRestore();
        result = 0;
        return true;
    }
    return ui::TForm::OnMessage(msg, wParam, lParam, result);
}

void TfrmMainForm::WMTray(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    POINT cursor{};
    GetCursorPos(&cursor);
    switch (static_cast<UINT>(lParam)) {
    case WM_CLOSE:
        ScanState = 2;
        ui::Application->Terminate();
        break;
    case WM_LBUTTONDBLCLK:
        DM->OpenMenu->Click();
        break;
    case WM_RBUTTONDOWN:
        // The menu closes when the user clicks elsewhere only while our window is foreground.
        SetForegroundWindow(Handle());
        DM->MainPopupMenu->Popup(cursor.x, cursor.y);
        break;
    default:
        break;
    }
}

void TfrmMainForm::WMRestore()
{
    HWND app = ui::Application->Handle();
    if (IsIconic(app) || IsIconic(Handle())) {
        ShowWindow(app, SW_SHOW);
        ui::Application->Restore();
    }
}

void TfrmMainForm::SaveSettings(int mode)
{
    ::SaveSettings(mode);
}
