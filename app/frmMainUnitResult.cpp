// The Result page: the result tree and the virtual result list, the ticks on both, the clean with its
// delete-mode question, and Finish.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>
#include "app/AskDelUnit.h"
#include "app/DMUnit.h"
#include "app/DMUnitExclude.h"
#include "app/ImageEx.h"
#include "app/ResultItemUnit.h"
#include "app/ResultTreeUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CleanUnit.h"
#include "engine/WipeUnit.h"
#include "ui/Application.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Gauge.h"
#include "ui/ImageList.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Menu.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/TreeView.h"

namespace {

// The page's layout inside the notebook page (475 x 359).
constexpr int PageWidth = 475;
constexpr int TreeHeight = 105;
constexpr int ListTop = TreeHeight + 2;
constexpr int ListHeight = 150;
constexpr int InfoTop = ListTop + ListHeight + 2;
constexpr int InfoHeight = 22;
constexpr int InfoNameWidth = 235;
constexpr int BottomTop = InfoTop + InfoHeight + 2;
constexpr int BottomHeight = 359 - BottomTop;
constexpr int ActionWidth = 221;
constexpr int ActionHeight = 52;

constexpr COLORREF InfoColor = RGB(0x5a, 0x6a, 0x80);
// The band behind a selected node's count: the colour value 0x979698 as the layout stores it.
constexpr COLORREF CountBandSelected = 0x979698;
constexpr COLORREF DeletedColor = RGB(0, 128, 0);

TSectionRec *Rec(ui::TTreeNode *node)
{
    return node ? static_cast<TSectionRec *>(node->Data) : nullptr;
}

// Joins reasons as "a", "a and b", "a, b and c".
std::string JoinReasons(const std::vector<std::string> &why)
{
    std::string text;
    for (size_t i = 0; i < why.size(); ++i) text += (i == 0 ? "" : i + 1 == why.size() ? " and " : ", ") + why[i];
    return text;
}

// The completion message, with a word for each browser file that the clean left in place and for
// a recycle bin it did not empty although a RecycleBin trace was ticked: binWiped of the binTicked
// entries it was to wipe went.
std::string CleanCompleteText(const std::vector<TKeptFile> &kept, const TRecycleBinChoice &bin, int32_t binTicked,
                              int32_t binWiped)
{
    std::string text = "Clean evidence complete!";
    if (!kept.empty()) {
        text += "\n\nSome ticked entries were not deleted. Firefox and Netscape keep all their history, or all "
                "their cookies, in one file, which can only be deleted as a whole:";
        for (const TKeptFile &f : kept) {
            std::vector<std::string> why;
            if (f.NotAllTicked) why.push_back("not every entry of it was ticked");
            if (f.HoldsExcluded) why.push_back("it holds an entry that you excluded");
            if (f.NotAllListed) why.push_back("the scan was stopped before it listed every entry");
            text += "\n\n\"" + f.Path + "\" was kept: " + JoinReasons(why) + ".";
        }
    }
    if (bin.Kept()) {
        std::vector<std::string> why;
        if (bin.NotAllTicked) why.push_back("not every entry of it was ticked");
        if (bin.HoldsExcluded) why.push_back("it holds an entry that you excluded");
        if (bin.PassedOver) why.push_back("it holds an entry that the scan does not list");
        if (bin.NotAllListed) why.push_back("the scan was stopped before it listed every entry");
        // Worded from what the clean did: a ticked entry that could not be wiped is still there.
        if (binTicked > 0 && binWiped == binTicked) {
            text += "\n\nThe Recycle Bin was not emptied, only its ticked entries were wiped: " + JoinReasons(why) +
                    ".";
        } else {
            text += "\n\nThe Recycle Bin was not emptied: " + JoinReasons(why) + ".";
            if (binTicked > 0 && binWiped == 0)
                text += " None of its ticked entries could be wiped.";
            else if (binTicked > 0)
                text += " Only " + std::to_string(binWiped) + " of its " + std::to_string(binTicked) +
                        " ticked entries could be wiped.";
        }
    }
    return text;
}

ui::TFont MakeFont(const char *name, int height, COLORREF color, bool bold = false)
{
    ui::TFont f;
    f.Name = name;
    f.Height = height;
    f.Color = color;
    f.Bold = bold;
    return f;
}

}  // namespace

void TfrmMainForm::BuildResultPage()
{
    ResultTreeView = new ui::TTreeView;
    ResultTreeView->Create(ResultPage, 0, 0, PageWidth, TreeHeight);
    ResultTreeView->SetRowSelect(true);   // whole rows: the control draws them only without tree lines
    ResultTreeView->SetFont(MakeFont("MS Sans Serif", -11, ui::clWindowText));
    ResultTreeView->SetIndent(19);
    ResultTreeView->SetImages(DM->TreeImageList);
    ResultTreeView->SetStateImages(DM->TreeImageList);
    ResultTreeView->OnChange = [this](ui::TTreeNode *node) { ResultTreeViewChange(ResultTreeView, node); };
    ResultTreeView->OnCustomDrawItem = [this](ui::TTreeNode *node, UINT state, bool &defaultDraw) {
        ResultTreeViewCustomDrawItem(ResultTreeView, node, state, defaultDraw);
    };
    ResultTreeView->OnAfterDrawItem = [this](ui::TTreeNode *node, UINT state) {
        PaintNodeCountBeside(ResultTreeView, node, state);
    };
    ResultTreeView->OnMouseDown = [this](ui::TMouseButton button, UINT shift, int x, int y) {
        ResultTreeViewMouseDown(ResultTreeView, button, shift, x, y);
    };

    ResultListView = new ui::TListView;
    ResultListView->Create(ResultPage, 0, ListTop, PageWidth, ListHeight, true);
    ResultListView->SetGridLines(true);
    ResultListView->SetRowSelect(true);
    ResultListView->AddColumn("Type", 140, LVCFMT_LEFT);
    ResultListView->AddColumn("Name", 500, LVCFMT_LEFT);
    ResultListView->AddColumn("Size", 60, LVCFMT_RIGHT);
    ResultListView->AddColumn("Status", 60, LVCFMT_CENTER);
    ResultListView->SetStateImages(DM->TreeImageList);
    ResultListView->PopupMenu = DM->pmExclude;
    ResultListView->OnData = [this](ui::TListItem &item) { ResultListViewData(ResultListView, item); };
    ResultListView->OnCustomDrawSubItem = [this](int item, int subItem, UINT state, bool &defaultDraw) {
        ResultListViewCustomDrawSubItem(ResultListView, item, subItem, state, defaultDraw);
    };
    ResultListView->OnMouseDown = [this](ui::TMouseButton button, UINT shift, int x, int y) {
        ResultListViewMouseDown(ResultListView, button, shift, x, y);
    };

    const ui::TFont white = MakeFont("MS Sans Serif", -13, RGB(255, 255, 255));
    panResultItemName = new ui::TPanel;
    panResultItemName->Create(ResultPage, 0, InfoTop, InfoNameWidth, InfoHeight);
    panResultItemName->SetColor(InfoColor);
    panResultItemName->SetFont(white);
    ui::TPanel *totals = new ui::TPanel;
    totals->Create(ResultPage, InfoNameWidth, InfoTop, PageWidth - InfoNameWidth, InfoHeight);
    totals->SetColor(InfoColor);
    auto label = [&](ui::TWinControl *parent, int left, const std::string &caption) {
        ui::TLabel *l = new ui::TLabel;
        l->Create(parent, left, 4, caption);
        l->SetFont(white);
        return l;
    };
    label(totals, 8, "Total:");
    abResultCount = label(totals, 48, "0");
    label(totals, 112, "Size:");
    abResultSpace = label(totals, 146, "0");
    panResultSpace = new ui::TPanel;
    panResultSpace->Create(totals, 204, 2, 30, InfoHeight - 4, "KB");
    panResultSpace->SetColor(InfoColor);
    panResultSpace->SetFont(white);

    ui::TPanel *bottom = new ui::TPanel;
    bottom->Create(ResultPage, 0, BottomTop, PageWidth, BottomHeight);
    bottom->SetColor(RGB(255, 255, 255));
    cdGauge = new ui::TGauge;
    cdGauge->Create(bottom, 4, (BottomHeight - 20) / 2, PageWidth - ActionWidth - 16, 20);
    cdGauge->SetMaxValue(100);
    cdGauge->SetProgress(0);
    cdGauge->Hide();
    abStepMsg = new ui::TLabel;
    abStepMsg->Create(bottom, 4, 12, "");
    abStepMsg->Hide();
    const ui::TFont hint = MakeFont("MS Sans Serif", -11, RGB(255, 0, 0), true);
    for (ui::TLabel **l : {&abHintStr1, &abHintStr2}) {
        *l = new ui::TLabel;
        (*l)->Create(bottom, 4, 12, "");
        (*l)->SetFont(hint);
        (*l)->Hide();
    }
    CleanBtn = new TImageEx;
    CleanBtn->Create(bottom, PageWidth - ActionWidth - 2, (BottomHeight - ActionHeight) / 2, ActionWidth,
                     ActionHeight);
    CleanBtn->ShowListImage(DM->ImageList1, 4);
    FinishBtn = new TImageEx;
    FinishBtn->Create(bottom, PageWidth - ActionWidth - 2, (BottomHeight - ActionHeight) / 2, ActionWidth,
                      ActionHeight);
    FinishBtn->ShowListImage(DM->ImageList1, 6);
    FinishBtn->Hide();
    CleanBtn->OnClick = [this] { CleanBtnClick(CleanBtn); };
    FinishBtn->OnClick = [this] { FinishBtnClick(FinishBtn); };
    for (TImageEx *b : {CleanBtn, FinishBtn}) {
        b->OnMouseEnter = [this, b] { ScanNowBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { ScanNowBtnMouseLeave(b); };
    }
}

// ---------------------------------------------------------------------------------------------
// The tree and the list

void TfrmMainForm::ResultBtnClick(void *sender)
{
    if (ScanState == 1) return;
    HighlightPageButton(sender);
    DataNotebook->SetPageIndex(1);
}

void TfrmMainForm::BuildResultTree()
{
    CopyResultTree(tvItemsList, ResultTreeView);
    ShowResultHints();
}

void TfrmMainForm::ResultTreeViewChange(void *, ui::TTreeNode *node)
{
    if (!node) return;
    panResultItemName->SetCaption(" " + node->Text());
    FillForNode(node);
}

void TfrmMainForm::FillForNode(ui::TTreeNode *node)
{
    TSectionRec *rec = Rec(node);
    switch (node->Level()) {
    case 0:
        // The rows of every category first, then one update of the footer and the list: each new
        // item count costs the list view a new layout.
        FillResultRows(-1, 0, false);
        for (int i = 0; i < node->Count(); ++i)
            if (TSectionRec *cat = Rec(node->Item(i))) FillResultRows(cat->Category, 0, true);
        FillResultList(-1, 0, true);
        break;
    case 1:
        if (rec) FillResultList(rec->Category, 0, false);
        break;
    default:
        if (rec) FillResultList(rec->Category, rec->ItemNo, false);
        break;
    }
}

void TfrmMainForm::FillResultList(int32_t category, int32_t itemNo, bool append)
{
    FillResultRows(category, itemNo, append);
    WriteResultFooter();
    ResultListView->SetItemCount(ResultRows.Count());
    ResultListView->Invalidate();
}

void TfrmMainForm::WriteResultFooter()
{
    abResultCount->SetCaption(std::to_string(ResultRows.Count()));
    std::string number, unit;
    FormatResultSpace(FoundSizeTotal, number, unit);
    abResultSpace->SetCaption(number);
    panResultSpace->SetCaption(unit);
}

void TfrmMainForm::ResultTreeViewCustomDrawItem(void *, ui::TTreeNode *node, UINT state, bool &defaultDraw)
{
    defaultDraw = true;
    TSectionRec *r = Rec(node);
    if (!r) return;
    ui::TCanvas *canvas = ResultTreeView->Canvas();
    const int indent = ResultTreeView->Indent();
    RECT rc = node->DisplayRect(false);
    rc.left += node->Level() == 0 ? indent + 32 : 2 * (indent + 32);
    rc.right = ResultTreeView->Width() - 24;
    canvas->SetFont("MS Sans Serif", 9, node->Level() < 2, ui::clWindowText);
    canvas->SetBrushColor((state & CDIS_SELECTED) ? CountBandSelected : ui::clWindow);
    canvas->FillRect(rc);
    // The count follows once the tree has drawn the row (PaintNodeCountBeside).
}

void TfrmMainForm::ResultListViewData(void *, ui::TListItem &item)
{
    const TResultItem *row = ResultRows.Items(item.Index);
    if (!row) return;
    item.Caption = row->ItemName();
    item.SubItems = ResultRowSubItems(*row);
    item.StateIndex = row->Checked ? TreeStateTicked : TreeStateEmpty;
}

void TfrmMainForm::ResultListViewCustomDrawSubItem(void *, int item, int subItem, UINT, bool &defaultDraw)
{
    defaultDraw = true;
    const TResultItem *row = ResultRows.Items(item);
    if (!row) return;
    ResultListView->Canvas()->SetFontColor(subItem == 3 && row->Removed ? DeletedColor : RGB(0, 0, 0));
}

void TfrmMainForm::ShowResultHints()
{
    int32_t count = 0;
    int64_t size = 0;
    SumCheckedResultContents(count, size);
    std::string line1, line2;
    ResultHintTexts(count, size, line1, line2);
    abHintStr1->SetCaption(line1);
    abHintStr2->SetCaption(line2);
    if (!line1.empty()) {
        abHintStr1->SetBounds(abStepMsg->Left(), abStepMsg->Top(), abHintStr1->Width(), abHintStr1->Height());
        abHintStr2->SetBounds(abStepMsg->Left(), abHintStr1->Top() + abHintStr1->Height() + 4, abHintStr2->Width(),
                              abHintStr2->Height());
    }
    abHintStr1->Show();
    abHintStr2->Show();
}

void TfrmMainForm::DecrementResultCounts(ui::TTreeNode *node, const std::string &itemName)
{
    LowerResultCounts(ResultTreeView, node, itemName);
    ResultTreeView->Invalidate();
}

void TfrmMainForm::ExcludedResultsLeft(const std::vector<TExcludedResult> &left)
{
    // The result tree's nodes carry the scan tree's records: lowering those lowers both trees.
    if (!left.empty()) {
        std::vector<int32_t> byItem[TraceCategoryCount];
        for (int c = 0; c < TraceCategoryCount; ++c) byItem[c].assign(CategoryItemCount(c) + 1, 0);
        for (const TExcludedResult &r : left)
            if (r.Category >= 0 && r.Category < TraceCategoryCount && r.ItemNo >= 0 &&
                r.ItemNo <= CategoryItemCount(r.Category))
                ++byItem[r.Category][static_cast<size_t>(r.ItemNo)];
        auto lower = [](TSectionRec *rec, int32_t n) {
            if (rec) rec->Count = rec->Count - n < 0 ? 0 : rec->Count - n;
        };
        for (int i = 0; i < tvItemsList->NodeCount(); ++i) {
            ui::TTreeNode *node = tvItemsList->Node(i);
            TSectionRec *rec = Rec(node);
            if (rec && node->Level() == 0) lower(rec, static_cast<int32_t>(left.size()));
            if (!rec || node->Level() == 0 || rec->Category < 0 || rec->Category >= TraceCategoryCount) continue;
            const std::vector<int32_t> &items = byItem[rec->Category];
            if (node->Level() == 1)
                lower(rec, std::accumulate(items.begin(), items.end(), 0));
            else if (rec->ItemNo >= 1 && rec->ItemNo < static_cast<int32_t>(items.size()))
                lower(rec, items[static_cast<size_t>(rec->ItemNo)]);
        }
        tvItemsList->Invalidate();
        ResultTreeView->Invalidate();
    }
    WriteResultFooter();
    ResultListView->SetItemCount(ResultRows.Count());
    ResultListView->Invalidate();
    // The hints count what is ticked; after a clean they stay blank until the next tick.
    if (!abHintStr1->Caption().empty()) ShowResultHints();
}

// ---------------------------------------------------------------------------------------------
// Ticks

void TfrmMainForm::ResultTreeViewMouseDown(void *, ui::TMouseButton, UINT, int x, int y)
{
    const UINT hit = ResultTreeView->GetHitTestInfoAt(x, y);
    if (hit & ui::htOnStateIcon) {
        ui::TTreeNode *node = ResultTreeView->GetNodeAt(x, y);
        if (!node) return;
        // Any button ticks: a right press selects the node just as a left one does.
        if (ResultTreeView->Selected() != node) ResultTreeView->SetSelected(node);
        ToggleResultNode(ResultTreeView, node);
        FillForNode(node);
        ShowResultHints();
    } else if (hit & ui::htOnRight) {
        ResultTreeView->SetSelected(ResultTreeView->GetNodeAt(x, y));
    }
}

void TfrmMainForm::ResultListViewMouseDown(void *, ui::TMouseButton button, UINT, int x, int y)
{
    if (button != ui::mbLeft) return;
    UINT flags = 0;
    const int index = ResultListView->HitTest(x, y, &flags);
    if (flags & LVHT_ONITEMSTATEICON) {
        if (TResultItem *row = ResultRows.Items(index)) {
            row->Checked = row->Checked ? 0 : 1;
            TResultContents *contents =
                row->Category >= 0 && row->Category < TraceCategoryCount ? ResultContents[row->Category] : nullptr;
            if (contents && row->ContentIndex >= 0 && row->ContentIndex < contents->Count())
                contents->GetItem(row->ContentIndex)->Content.Checked = row->Checked;
            ResultListView->Invalidate();
        }
    }
    ShowResultHints();
}

void TfrmMainForm::SetResultItemsChecked(int32_t category, int32_t itemNo, bool value)
{
    CheckResultItems(category, itemNo, value);
}

// ---------------------------------------------------------------------------------------------
// Clean and Finish

void TfrmMainForm::CleanBtnClick(void *)
{
    if (ResultTreeView->NodeCount() == 0) return;
    AskDeleteMode();
    Settings.RemoveTotal = 0;
    for (ui::TLabel *l : {abStepMsg, abHintStr1, abHintStr2}) l->SetCaption("");
    cdGauge->SetProgress(0);
    cdGauge->Show();
    // What the clean will leave of the browser files, as it stands before anything is deleted.
    std::vector<TKeptFile> kept;
    for (TResultContents *contents : ResultContents) {
        const std::vector<TKeptFile> files = KeptBrowserFiles(contents);
        kept.insert(kept.end(), files.begin(), files.end());
    }
    const TRecycleBinChoice bin = RecycleBinChoice(ResultContents[tcWindowsSystem]);
    try {
        CleanCheckedResults();
        SaveSettings(1);
    } catch (...) {
        cdGauge->SetProgress(0);
        cdGauge->Hide();
        throw;
    }
    cdGauge->SetProgress(0);
    cdGauge->Hide();
    for (ui::TLabel *l : {abStepMsg, abHintStr1, abHintStr2}) l->SetCaption("");
    int32_t binTicked = 0, binWiped = 0;
    CountRecycleBinWipes(ResultContents[tcWindowsSystem], binTicked, binWiped);
    ui::Application->MessageBox(CleanCompleteText(kept, bin, binTicked, binWiped), "Quillmoor",
                                MB_OK | MB_ICONINFORMATION);
    CleanBtn->Hide();
    FinishBtn->Show();
    BuildResultTree();
    abHintStr1->SetCaption("");
    abHintStr2->SetCaption("");
}

void TfrmMainForm::AskDeleteMode()
{
    if (!Settings.ErasAskWhenDel) return;
    std::unique_ptr<TAskDelForm> dialog(new TAskDelForm);
    // A stored mode the list does not have selects nothing, so "&Go" waits for a real choice.
    const bool known = Settings.ErasValue >= 0 && Settings.ErasValue < dialog->cbEras->Count();
    dialog->cbEras->SetItemIndex(known ? Settings.ErasValue : -1);
    dialog->cbErasChange(dialog->cbEras);
    // Setting the tick runs its click handler, which writes the value again.
    dialog->cbAskWhenDel->SetChecked(Settings.ErasAskWhenDel);
    if (dialog->ShowModal() == ui::mrOk) {
        const int mode = dialog->cbEras->ItemIndex();
        if (mode >= 0 && mode < dialog->cbEras->Count()) Settings.ErasValue = mode;
    }
}

void TfrmMainForm::CleanCheckedResults()
{
    const int32_t total = CountCheckedResultItems();
    // Emptying takes every entry of every bin: only when the user chose all of what the bins hold.
    const bool emptyBin = RecycleBinChoice(ResultContents[tcWindowsSystem]).MayEmpty();
    ui::TTreeNode *root = ResultTreeView->Node(0);
    if (!root) return;
    auto step = [this](const std::string &text) { abStepMsg->SetCaption(text); };
    auto gauge = [this](int32_t position) { cdGauge->SetProgress(position); };
    for (int i = 0; i < root->Count(); ++i) {
        TSectionRec *rec = Rec(root->Item(i));
        if (!rec || rec->Category < 0 || rec->Category >= TraceCategoryCount) continue;
        CleanResultContents(ResultContents[rec->Category], step, gauge, total);
        if (rec->Category == tcWindowsSystem && emptyBin) EmptyRecycleBin();
    }
}

int32_t TfrmMainForm::CountCheckedResultItems()
{
    return CountCheckedResultContents();
}

void TfrmMainForm::FinishBtnClick(void *)
{
    for (int c = 0; c < TraceCategoryCount; ++c) PurgeCleanedItems(ResultContents[c]);
    RecountItems();
    CleanBtn->Show();
    FinishBtn->Hide();
    ScanBtnClick(ScanBtn);
    // The rows and the tree are rebuilt from what is left, so every row names its own item again.
    TSectionRec *root = Rec(tvItemsList->Node(0));
    if (root && root->Count > 0)
        BuildResultTree();
    else
        ShowEmptyResult();
}

void TfrmMainForm::PurgeCleanedItems(TResultContents *contents)
{
    int category = -1;
    for (int c = 0; c < TraceCategoryCount; ++c)
        if (contents && ResultContents[c] == contents) category = c;
    const std::vector<int32_t> newIndex = PurgeRemovedItems(contents);
    if (category < 0) return;
    // Rows keep pointing at their own items: removed ones leave the list, the others follow.
    RemapResultRows(category, newIndex);
    WriteResultFooter();
    ResultListView->SetItemCount(ResultRows.Count());
    ResultListView->Invalidate();
    // The item counts follow what is left, also when the Scan page button purges without a Finish.
    RecountItems();
}

void TfrmMainForm::RecountItems()
{
    RecountScanTree(tvItemsList);
    tvItemsList->Invalidate();
}

void TfrmMainForm::CountResultItemsForItem(int32_t category, int32_t itemNo, TSectionRec *node)
{
    if (node) CountResultItemsFor(category, itemNo, *node);
}
