// The Scan page: the item tree with its ticks and counts, and the scan driver behind Scan Now.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "app/SettingsUnit.h"
#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/DateTime.h"
#include "ui/Gauge.h"
#include "ui/Panel.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"
#include "app/ScanDispatchUnit.h"
#include "ui/ImageList.h"
#include "ui/Label.h"
#include "ui/Notebook.h"
#include "app/ResultItemUnit.h"
#include "ui/ListView.h"

namespace {

// Absolute node indexes of the item tree.
constexpr int32_t RootNode = 0;
constexpr int32_t CategoryNode[TraceCategoryCount] = {1, 11, 28, 44};
constexpr int32_t FirstItemNode[TraceCategoryCount] = {2, 12, 29, 45};
constexpr int32_t ItemCount[TraceCategoryCount] = {9, 16, 15, 10};

constexpr int StateTicked = 6;
constexpr int StateEmpty = 7;
constexpr int ImageItem = 5;
constexpr int ImageScanning = 8;

// The band behind a selected node's count: the colour value 0x979698 as the layout stores it.
constexpr COLORREF CountBandSelected = 0x979698;

constexpr int ChangePanelIdleWidth = 229;
constexpr int ChangePanelScanWidth = 140;

TSectionRec *Rec(ui::TTreeNode *node)
{
    return node != nullptr ? static_cast<TSectionRec *>(node->Data) : nullptr;
}

void SetTick(ui::TTreeNode *node, bool ticked)
{
    if (TSectionRec *r = Rec(node))
        r->Checked = ticked ? 1 : 0;
    node->SetStateIndex(ticked ? StateTicked : StateEmpty);
}

// The catalogue default: every item ticked but Internet Explorer's "Favorites".
uint8_t DefaultTick(const TSectionRec &r)
{
    return (r.Category == tcInternetExplorer && r.ItemNo == 4) ? 0 : 1;
}

// The Scan page's layout inside the notebook page (475 x 359).
constexpr int PageWidth = 475;
constexpr int TreeHeight = 295;
constexpr int StripTop = 301;
constexpr int StripHeight = 56;
constexpr int ActionWidth = 221;
constexpr int ActionHeight = 52;

}  // namespace

void TfrmMainForm::BuildScanPage()
{
    tvItemsList = new ui::TTreeView;
    tvItemsList->Create(ScanPage, 0, 0, PageWidth, TreeHeight);
    tvItemsList->SetRowSelect(true);   // whole rows: the control draws them only without tree lines
    ui::TFont font;
    font.Name = "MS Sans Serif";
    font.Height = -11;
    tvItemsList->SetFont(font);
    tvItemsList->SetIndent(19);
    tvItemsList->SetImages(DM->TreeImageList);
    tvItemsList->SetStateImages(DM->TreeImageList);
    tvItemsList->OnCustomDrawItem = [this](ui::TTreeNode *node, UINT state, bool &defaultDraw) {
        tvItemsListCustomDrawItem(node, state, defaultDraw);
    };
    tvItemsList->OnAfterDrawItem = [this](ui::TTreeNode *node, UINT state) {
        PaintNodeCountBeside(tvItemsList, node, state);
    };
    tvItemsList->OnMouseDown = [this](ui::TMouseButton, UINT, int x, int y) { tvItemsListMouseDown(x, y); };

    // The gauge shares the strip with the button panel, narrowed while scanning: it ends left of it.
    ScanGauge = new ui::TGauge;
    ScanGauge->Create(ScanPage, 0, StripTop + 18, PageWidth - ChangePanelScanWidth - 10, 20);
    ScanGauge->SetForeColor(RGB(0x2e, 0x6d, 0xa4));   // the blue of the action buttons
    ScanGauge->SetBackColor(RGB(0xe6, 0xe9, 0xed));
    ScanGauge->Hide();

    ChangePanel = new ui::TPanel;
    ChangePanel->Create(ScanPage, PageWidth - ChangePanelIdleWidth, StripTop, ChangePanelIdleWidth, StripHeight);
    ChangePanel->SetColor(RGB(255, 255, 255));
    ScanNowBtn = new TImageEx;
    ScanNowBtn->Create(ChangePanel, ChangePanelIdleWidth - ActionWidth, 2, ActionWidth, ActionHeight);
    ScanNowBtn->ShowListImage(DM->ImageList1, 0);
    AbortBtn = new TImageEx;
    AbortBtn->Create(ChangePanel, ChangePanelIdleWidth - ActionWidth, 2, ActionWidth, ActionHeight);
    AbortBtn->ShowListImage(DM->ImageList1, 2);
    AbortBtn->Hide();
    ScanNowBtn->OnClick = [this] { ScanNowBtnClick(ScanNowBtn); };
    AbortBtn->OnClick = [this] { AbortBtnClick(AbortBtn); };
    for (TImageEx *b : {ScanNowBtn, AbortBtn}) {
        b->OnMouseEnter = [this, b] { ScanNowBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { ScanNowBtnMouseLeave(b); };
    }
}

void TfrmMainForm::SetChangePanelWidth(int width)
{
    // The panel sits at the right of the strip and its buttons at its right edge, so a narrow panel
    // keeps the right part of the Abort picture.
    ChangePanel->SetBounds(PageWidth - width, StripTop, width, StripHeight);
    ScanNowBtn->SetLeft(width - ActionWidth);
    AbortBtn->SetLeft(width - ActionWidth);
}

void TfrmMainForm::ClearResultRows()
{
    ResultRows.Clear();
}

void TfrmMainForm::ShowEmptyResult()
{
    if (abResultCount != nullptr)
        abResultCount->SetCaption("0");
    if (abResultSpace != nullptr)
        abResultSpace->SetCaption("0");
    if (ResultTreeView != nullptr)
        ResultTreeView->Clear();
    ClearResultRows();
    if (ResultListView != nullptr) {
        ResultListView->SetItemCount(ResultRows.Count());
        ResultListView->Invalidate();
    }
}

TSectionRec *TfrmMainForm::NewTreeRecord()
{
    treeRecords_.push_back(std::make_unique<TSectionRec>());
    return treeRecords_.back().get();
}

void TfrmMainForm::BuildScanItemTree()
{
    ui::TTreeView *tree = tvItemsList;
    tree->Clear();
    TSectionRec *rootRec = NewTreeRecord();
    rootRec->CategoryCaption = "My Computer";
    rootRec->Checked = 1;
    ui::TTreeNode *root = tree->AddChild(nullptr, "My Computer", rootRec);
    root->SetImageIndex(0);
    root->SetSelectedIndex(0);
    root->SetStateIndex(StateTicked);
    for (int c = 0; c < TraceCategoryCount; ++c) {
        TSectionRec *catRec = NewTreeRecord();
        catRec->Category = c;
        catRec->ItemNo = 0;
        catRec->CategoryCaption = CategoryCaption(c);
        catRec->Checked = 1;
        ui::TTreeNode *cat = tree->AddChild(root, catRec->CategoryCaption, catRec);
        cat->SetImageIndex(c + 1);
        cat->SetSelectedIndex(c + 1);
        cat->SetStateIndex(StateTicked);
        if (ScanItemLists[c] == nullptr)
            continue;
        for (TSectionRec *item : *ScanItemLists[c]) {
            item->Checked = DefaultTick(*item);
            ui::TTreeNode *node = tree->AddChild(cat, item->ItemCaption, item);
            node->SetImageIndex(ImageItem);
            node->SetSelectedIndex(ImageItem);
            node->SetStateIndex(item->Checked == 1 ? StateTicked : StateEmpty);
        }
    }
    root->Expand(true);
    tree->SetSelected(root);
}

void TfrmMainForm::ResetItemCounts()
{
    for (int i = 0; i < tvItemsList->NodeCount(); ++i)
        if (TSectionRec *r = Rec(tvItemsList->Node(i)))
            r->Count = 0;
    tvItemsList->Repaint();
}

void TfrmMainForm::SumItemCounts()
{
    ui::TTreeView *tree = tvItemsList;
    TSectionRec *root = Rec(tree->Node(RootNode));
    if (root == nullptr)
        return;
    for (int i = 0; i < tree->NodeCount(); ++i) {
        ui::TTreeNode *node = tree->Node(i);
        if (node->Level() == 2 && Rec(node) != nullptr && Rec(node->Parent()) != nullptr)
            Rec(node->Parent())->Count += Rec(node)->Count;
    }
    root->Count = 0;
    for (int c = 0; c < TraceCategoryCount; ++c)
        if (TSectionRec *cat = Rec(tree->Node(CategoryNode[c])))
            root->Count += cat->Count;
    tree->Repaint();
}

int32_t TfrmMainForm::CountCheckedScanItems()
{
    int32_t n = 0;
    for (int i = 0; i < tvItemsList->NodeCount(); ++i) {
        ui::TTreeNode *node = tvItemsList->Node(i);
        if (node->Level() == 2 && node->StateIndex() == StateTicked)
            ++n;
    }
    return n;
}

void TfrmMainForm::ToggleNodeTick(ui::TTreeNode *node)
{
    const int state = node->StateIndex();
    if (state != StateTicked && state != StateEmpty)
        return;
    const bool tick = state == StateEmpty;
    switch (node->Level()) {
    case 0:
        for (int i = 0; i < tvItemsList->NodeCount(); ++i)
            SetTick(tvItemsList->Node(i), tick);
        break;
    case 1:
        for (int i = 0; i < node->Count(); ++i)
            SetTick(node->Item(i), tick);
        SetTick(node, tick);
        break;
    default:
        SetTick(node, tick);
        break;
    }
}

void TfrmMainForm::tvItemsListMouseDown(int x, int y)
{
    ui::TTreeNode *node = tvItemsList->GetNodeAt(x, y);
    if (node == nullptr)
        return;
    const UINT hit = tvItemsList->GetHitTestInfoAt(x, y);
    if (hit & ui::htOnStateIcon) {
        // The clicked node is the one the tree selects for this click.
        tvItemsList->SetSelected(node);
        ToggleNodeTick(node);
    } else if (hit & ui::htOnRight) {
        tvItemsList->SetSelected(node);
    }
}

void TfrmMainForm::tvItemsListCustomDrawItem(ui::TTreeNode *node, UINT state, bool &defaultDraw)
{
    defaultDraw = true;
    TSectionRec *r = Rec(node);
    if (r == nullptr)
        return;
    ui::TCanvas *canvas = tvItemsList->Canvas();
    const int indent = tvItemsList->Indent();
    RECT rc = node->DisplayRect(false);
    rc.left += node->Level() == 0 ? indent + 32 : 2 * (indent + 32);
    rc.right = tvItemsList->Width() - 24;
    canvas->SetFont("MS Sans Serif", 9, node->Level() < 2, ui::clWindowText);
    canvas->SetBrushColor((state & CDIS_SELECTED) ? CountBandSelected : ui::clWindow);
    canvas->FillRect(rc);
    // The count follows once the tree has drawn the row (PaintNodeCountBeside).
}

void PaintNodeCountBeside(ui::TTreeView *tree, ui::TTreeNode *node, UINT state)
{
    TSectionRec *r = Rec(node);
    if (r == nullptr)
        return;
    ui::TCanvas *canvas = tree->Canvas();
    canvas->SetFont("MS Sans Serif", 9, node->Level() < 2, ui::clWindowText);
    canvas->SetBrushColor((state & CDIS_SELECTED) ? CountBandSelected : ui::clWindow);
    char text[16];
    std::snprintf(text, sizeof(text), "%d", static_cast<int>(r->Count));
    canvas->TextOut(tree->Width() - canvas->TextWidth(text) - 30, node->DisplayRect(false).top + 2, text);
}

void TfrmMainForm::ScanBtnClick(void *sender)
{
    (void)sender;
    if (ScanState == 1)
        return;
    if (FinishBtn != nullptr && FinishBtn->Visible()) {
        for (int c = 0; c < TraceCategoryCount; ++c)
            PurgeCleanedItems(ResultContents[c]);
        CleanBtn->Show();
        FinishBtn->Hide();
    }
    HighlightPageButton(ScanBtn);
    BuildScanItemTree();
    SumItemCounts();
    DataNotebook->SetPageIndex(0);
}

void TfrmMainForm::ScanNowBtnClick(void *sender)
{
    (void)sender;
    // A scan or a shred is running (their walks pump messages): no second one inside it.
    if (ScanState == 1)
        return;
    if (IsFirefoxRunning()) {
        ui::Application->MessageBox("Mozilla Firefox is running, please close Firefox!", "Quillmoor",
                                    MB_OK | MB_ICONWARNING);
        return;
    }
    SetChangePanelWidth(ChangePanelScanWidth);
    ScanNowBtn->Hide();
    AbortBtn->Show();
    ScanState = 1;

    // A scanner error must not leave the page scanning: the idle state comes back in every case,
    // and the error is shown once, after the page is usable again.
    std::string failure;
    try {
        ScanGauge->SetProgress(0);
        ScanGauge->Show();
        ScanGauge->SetMaxValue(CountCheckedScanItems());
        DM->ClearResults();
        ClearResultRows();
        ResetItemCounts();
        Settings.LastScanTime = ui::Now();
        RunScan();
    } catch (const ui::EAbort &) {
        failure.clear();
    } catch (const std::exception &e) {
        failure = e.what();
        // Like an abort, the traces of every category that ran count, the interrupted one included.
        Settings.DetectedTotal = 0;
        for (int c = 0; c < TraceCategoryCount; ++c)
            if (ResultContents[c] != nullptr)
                Settings.DetectedTotal += ResultContents[c]->Count();
    }
    DM->ScanTimer->SetEnabled(false);
    try {
        SaveSettings(0);
        if (Settings.DetectedTotal > 0)
            BuildResultTree();
        else
            ShowEmptyResult();
    } catch (const std::exception &e) {
        if (failure.empty())
            failure = e.what();
    }
    ScanGauge->Hide();
    SetChangePanelWidth(ChangePanelIdleWidth);
    ScanNowBtn->Show();
    AbortBtn->Hide();
    ScanState = 0;
    ResultBtnClick(ResultBtn);
    if (!failure.empty())
        ui::Application->HandleException(ui::Exception(failure));
}

void TfrmMainForm::AbortBtnClick(void *sender)
{
    (void)sender;
    ScanState = 2;
}

void TfrmMainForm::RunScan()
{
    auto found = [](int c) { return ResultContents[c] != nullptr ? ResultContents[c]->Count() : 0; };
    ScanInternetExplorerCategory();
    Settings.DetectedTotal = found(tcInternetExplorer);
    if (ScanState == 2)
        return;
    ScanWindowsSoftwareCategory();
    Settings.DetectedTotal += found(tcWindowsSoftware);
    if (ScanState == 2)
        return;
    ScanWindowsSystemCategory();
    Settings.DetectedTotal += found(tcWindowsSystem);
    if (ScanState == 2)
        return;
    ScanInternetSoftwareCategory();
    Settings.DetectedTotal += found(tcInternetSoftware);
}

void TfrmMainForm::ScanInternetExplorerCategory() { ScanCategory(tcInternetExplorer, 2, 9); }
void TfrmMainForm::ScanWindowsSoftwareCategory() { ScanCategory(tcWindowsSoftware, 12, 16); }
void TfrmMainForm::ScanWindowsSystemCategory() { ScanCategory(tcWindowsSystem, 29, 15); }
void TfrmMainForm::ScanInternetSoftwareCategory() { ScanCategory(tcInternetSoftware, 45, 10); }

void TfrmMainForm::ScanCategory(int category, int32_t first, int32_t n)
{
    DM->ScanFrame = 8;
    DM->ScanTimer->SetEnabled(true);
    TResultContents *results = ResultContents[category];
    if (results != nullptr)
        results->Clear();
    int32_t i = 0;
    for (; i < n; ++i) {
        if (ScanState == 2)
            break;
        const int32_t nodeIndex = first + i;
        ui::TTreeNode *node = tvItemsList->Node(nodeIndex);
        if (node == nullptr || node->StateIndex() != StateTicked)
            continue;
        DM->ScanNodeIndex = nodeIndex;
        node->SetImageIndex(ImageScanning);
        try {
            switch (category) {
            case tcInternetExplorer: DispatchInternetExplorerScanner(i, nodeIndex, results); break;
            case tcWindowsSoftware: DispatchWindowsSoftwareScanner(i, nodeIndex, results); break;
            case tcWindowsSystem: DispatchWindowsSystemScanner(i, nodeIndex, results); break;
            default: DispatchInternetSoftwareScanner(i, nodeIndex, results); break;
            }
        } catch (...) {
            // A scanner that fails leaves no animation behind: its node gets its picture back.
            DM->ScanTimer->SetEnabled(false);
            if (ui::TTreeNode *again = tvItemsList->Node(nodeIndex))
                again->SetImageIndex(ImageItem);
            throw;
        }
        // The scanner pumps messages: a Scan page click while stopping rebuilds the tree, so the
        // node is looked up again rather than trusted.
        if (ui::TTreeNode *again = tvItemsList->Node(nodeIndex))
            again->SetImageIndex(ImageItem);
        ScanGauge->AddProgress(1);
    }
    DM->ScanTimer->SetEnabled(false);
    // The last node touched keeps its normal picture; a loop that ran no step touched none.
    if (i > 0)
        if (ui::TTreeNode *last = tvItemsList->Node(first + i - 1))
            last->SetImageIndex(ImageItem);
}

namespace {

void CallScanner(const TScanProc *table, int size, int32_t itemIndex, ui::TTreeView *tree, int32_t nodeIndex,
              TResultContents *results)
{
    if (itemIndex < 0 || itemIndex >= size || table[itemIndex] == nullptr)
        return;
    table[itemIndex](tree, nodeIndex, results);
}

}  // namespace

void TfrmMainForm::DispatchInternetExplorerScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results)
{
    CallScanner(InternetExplorerScanTable, 9, itemIndex, tvItemsList, nodeIndex, results);
}

void TfrmMainForm::DispatchWindowsSoftwareScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results)
{
    CallScanner(WindowsSoftwareScanTable, 16, itemIndex, tvItemsList, nodeIndex, results);
}

void TfrmMainForm::DispatchWindowsSystemScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results)
{
    CallScanner(WindowsSystemScanTable, 15, itemIndex, tvItemsList, nodeIndex, results);
}

void TfrmMainForm::DispatchInternetSoftwareScanner(int32_t itemIndex, int32_t nodeIndex, TResultContents *results)
{
    CallScanner(InternetSoftwareScanTable, 10, itemIndex, tvItemsList, nodeIndex, results);
}
