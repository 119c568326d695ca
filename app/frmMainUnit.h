// The main window: a borderless, rounded frame drawn from pictures, a column of five page buttons and
// a notebook with the Scan, Result, Exclude, Settings and Advanced pages. Each page has its own
// section below (controls, handlers, helpers) and its own builder that creates its controls; the
// pages' code lives in frmMainUnit.cpp (the frame), frmMainUnitScan.cpp and frmMainUnit<Page>.cpp.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "engine/ResultContentUnit.h"
#include "ui/Form.h"

namespace ui {
class TPanel;
class TLabel;
class TImage;
class TGauge;
class TNotebook;
class TTreeView;
class TTreeNode;
class TListView;
struct TListItem;
class TCanvas;
}
class TImageEx;

// The controls of the Exclude, Settings and Advanced pages.
namespace ui {
class TCheckBox;
class TComboBox;
class TGroupBox;
class TDateTimePicker;
class TSpinEdit;
}
class TAdvancedShredForm;
struct TSettingsPageValues;
class TExcludeContentItem;
struct TExcludedResult;

// The private messages of the main window.
constexpr UINT WM_QM_TRAY = 0x500;       // the tray icon's callback; lParam is the mouse message
constexpr UINT WM_QM_RESTORE = 0x2400;   // posted by a second start of the program

// Pumps messages until at least `milliseconds` have passed.
void Delay(int32_t milliseconds);
// Opens the address in a new browser window through its automation object.
void OpenUrlInBrowser(const std::string &url);
// Paints a node's Count right-aligned beside it, after the tree drew the node: the item tree and
// the result tree select whole rows, and the tree fills a row after its custom draw.
void PaintNodeCountBeside(ui::TTreeView *tree, ui::TTreeNode *node, UINT state);
// Loads a decorative JPEG picture of the program's resources into image; a missing or damaged
// one leaves the image empty, so that the window it sits on opens all the same.
void LoadDecoration(ui::TImage *image, const char *name);

class TfrmMainForm : public ui::TForm {
public:
    TfrmMainForm();
    ~TfrmMainForm() override;

    // ================================================================ frame
    ui::TPanel *TitalPanel = nullptr;            // sic: the name the layout has always had
    ui::TImage *TitleImage = nullptr;            // the decorative background of the title panel
    ui::TImage *LogoImage = nullptr;
    ui::TLabel *AppVersion = nullptr;
    TImageEx *UpdateBtn = nullptr;
    TImageEx *HelpBtn = nullptr;
    TImageEx *MinimizeBtn = nullptr;
    TImageEx *CloseBtn = nullptr;
    ui::TPanel *PageColumn = nullptr;            // the left column with the page buttons
    TImageEx *ScanBtn = nullptr;
    TImageEx *ResultBtn = nullptr;
    TImageEx *ExcludeBtn = nullptr;
    TImageEx *SettingsBtn = nullptr;
    TImageEx *AdvancedBtn = nullptr;
    ui::TNotebook *DataNotebook = nullptr;

    void FormCreate();
    void FormDestroy();
    void FormActivate();
    void FormResize();
    void FormClose(ui::TCloseAction &action);    // caNone refuses the close
    void HighlightPageButton(void *sender);
    void DrawButtonImages();
    void AddTrayIcon();
    void TitalPanelMouseDown(int button, int x, int y);
    void MinimizeBtnClick();
    void CloseBtnClick();
    void HelpBtnClick();
    void UpdateBtnClick();
    void MinimizeBtnMouseEnter(void *sender);
    void MinimizeBtnMouseLeave(void *sender);
    void HelpBtnMouseEnter(void *sender);
    void HelpBtnMouseLeave(void *sender);
    void ScanNowBtnMouseEnter(void *sender);     // the action buttons of every page
    void ScanNowBtnMouseLeave(void *sender);
    void ScanBtnMouseEnter(void *) {}            // page buttons have no hover picture
    void ScanBtnMouseLeave(void *) {}
    void WMTray(WPARAM wParam, LPARAM lParam);   // 0x500
    void WMRestore();                            // 0x2400
    // Stores the scan statistics (mode 0), the removed total (1) or the Settings page (2).
    void SaveSettings(int mode);

    bool FirstActivation = true;
    NOTIFYICONDATAA TrayIconData{};

    // ================================================================ Scan page (page 0)
    ui::TPanel *ScanPage = nullptr;
    ui::TTreeView *tvItemsList = nullptr;
    ui::TGauge *ScanGauge = nullptr;
    ui::TPanel *ChangePanel = nullptr;
    TImageEx *ScanNowBtn = nullptr;
    TImageEx *AbortBtn = nullptr;

    void BuildScanPage();
    void ScanBtnClick(void *sender);
    void ScanNowBtnClick(void *sender);
    void AbortBtnClick(void *sender);
    void tvItemsListMouseDown(int x, int y);
    void tvItemsListCustomDrawItem(ui::TTreeNode *node, UINT state, bool &defaultDraw);
    void BuildScanItemTree();
    void ResetItemCounts();
    void SumItemCounts();
    int32_t CountCheckedScanItems();
    void RunScan();
    void ScanInternetExplorerCategory();
    void ScanWindowsSoftwareCategory();
    void ScanWindowsSystemCategory();
    void ScanInternetSoftwareCategory();
    void DispatchInternetExplorerScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results);
    void DispatchWindowsSoftwareScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results);
    void DispatchWindowsSystemScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results);
    void DispatchInternetSoftwareScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results);
    void ScanCategory(int category, int32_t first, int32_t n);   // the four loops' shared steps
    void ToggleNodeTick(ui::TTreeNode *node);
    void ClearResultRows();
    void ShowEmptyResult();                      // the Result page of a scan that found nothing
    void SetChangePanelWidth(int width);

    // ================================================================ Result page (page 1)
    ui::TPanel *ResultPage = nullptr;
    TImageEx *CleanBtn = nullptr;
    TImageEx *FinishBtn = nullptr;
    ui::TLabel *abResultCount = nullptr;
    ui::TLabel *abResultSpace = nullptr;
    ui::TTreeView *ResultTreeView = nullptr;
    ui::TListView *ResultListView = nullptr;
    ui::TGauge *cdGauge = nullptr;

    void BuildResultPage();
    void ResultBtnClick(void *sender);
    void BuildResultTree();
    void PurgeCleanedItems(TResultContents *contents);
    ui::TPanel *panResultItemName = nullptr;     // the chosen node's text
    ui::TPanel *panResultSpace = nullptr;        // the size's unit
    ui::TLabel *abStepMsg = nullptr;             // the cleaner's step text; never shown
    ui::TLabel *abHintStr1 = nullptr;
    ui::TLabel *abHintStr2 = nullptr;

    void ResultTreeViewChange(void *sender, ui::TTreeNode *node);
    void FillResultList(int32_t category, int32_t itemNo, bool append);
    void ResultTreeViewCustomDrawItem(void *sender, ui::TTreeNode *node, UINT state, bool &defaultDraw);
    void ResultListViewData(void *sender, ui::TListItem &item);
    void ResultListViewCustomDrawSubItem(void *sender, int item, int subItem, UINT state, bool &defaultDraw);
    void ShowResultHints();
    void DecrementResultCounts(ui::TTreeNode *node, const std::string &itemName);
    // Follows results that an exclusion took out of the collections and the rows: each lowers the
    // counts of its item, category and root; the list, its footer and the hints follow what is left.
    void ExcludedResultsLeft(const std::vector<TExcludedResult> &left);
    void ResultTreeViewMouseDown(void *sender, ui::TMouseButton button, UINT shift, int x, int y);
    void ResultListViewMouseDown(void *sender, ui::TMouseButton button, UINT shift, int x, int y);
    void SetResultItemsChecked(int32_t category, int32_t itemNo, bool value);
    void CleanBtnClick(void *sender);
    void AskDeleteMode();
    void CleanCheckedResults();
    int32_t CountCheckedResultItems();
    void FinishBtnClick(void *sender);
    void RecountItems();
    void CountResultItemsForItem(int32_t category, int32_t itemNo, TSectionRec *node);
    void FillForNode(ui::TTreeNode *node);       // the rows of a result-tree node
    void WriteResultFooter();

    // ================================================================ Exclude page (page 2)
    ui::TPanel *ExcludePage = nullptr;
    TImageEx *AddBtn = nullptr;
    TImageEx *ModifyBtn = nullptr;
    TImageEx *RemoveBtn = nullptr;
    ui::TListView *ExcludeListView = nullptr;

    void BuildExcludePage();
    void ExcludeBtnClick(void *sender);
    ui::TTreeView *tvExclude = nullptr;

    void BuildExcludeTree();
    void RefreshExclusionCounts();
    int32_t CountExclusionsForItem(const std::string &name);
    void tvExcludeChange();
    void tvExcludeCustomDrawItem(ui::TTreeNode *node, UINT state, bool &defaultDraw);
    void tvExcludeMouseDown(int x, int y);
    void AddBtnClick(void *sender);
    void ModifyBtnClick(void *sender);
    void RemoveBtnClick(void *sender);
    // The tree's own records (the exclusion counts it paints), freed with the tree's nodes.
    void FreeExcludeTreeRecords();
    // The exclusion a list row stands for (nullptr when the row is gone).
    TExcludeContentItem *ExclusionOfRow(int row);

    // ================================================================ Settings page (page 3)
    ui::TPanel *SettingsPage = nullptr;
    TImageEx *SettingsAppleBtn = nullptr;        // sic: the Apply button's name in the layout

    void BuildSettingsPage();
    void SettingsBtnClick(void *sender);
    void CreateTaskScheduler();
    ui::TGroupBox *gbStartup = nullptr;
    ui::TGroupBox *gbRemoval = nullptr;
    ui::TGroupBox *gbCheckUpdate = nullptr;
    ui::TGroupBox *gbDelete = nullptr;
    ui::TGroupBox *gbScheduler = nullptr;
    ui::TCheckBox *ChkRun = nullptr;
    ui::TCheckBox *ChkCheckItem = nullptr;
    ui::TCheckBox *cbCheckUpdate = nullptr;
    ui::TComboBox *cbEras = nullptr;
    ui::TCheckBox *cbAskDelete = nullptr;
    ui::TImage *ImageTask = nullptr;
    ui::TLabel *abTaskName = nullptr;
    ui::TDateTimePicker *dtpStartTime = nullptr;
    ui::TSpinEdit *SpinEditDays = nullptr;
    ui::TCheckBox *cbActivateTask = nullptr;

    void SettingsAppleBtnClick(void *sender);
    void cbActivateTaskClick();
    // The five options as the page's controls hold them.
    TSettingsPageValues SettingsPageValues();

    // ================================================================ Advanced page (page 4)
    ui::TPanel *AdvancedPage = nullptr;

    void BuildAdvancedPage();
    void AdvancedBtnClick(void *sender);
    ui::TPanel *AdvancedPanel = nullptr;
    TAdvancedShredForm *AdvancedShredForm = nullptr;   // made at the first visit, kept

protected:
    void CreateParams(ui::TCreateParams &params) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT &result) override;

private:
    void BuildFrame();
    // The root and category records of every build of the item tree: the result tree may still
    // show those of an earlier build, so they live as long as the window.
    std::vector<std::unique_ptr<TSectionRec>> treeRecords_;
    TSectionRec *NewTreeRecord();
};

extern TfrmMainForm *frmMainForm;
