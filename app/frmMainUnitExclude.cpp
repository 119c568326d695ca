// The Exclude page: the catalogue tree with exclusion counts, the exclusions of the chosen node, and
// Add, Modify and Remove. Each list row carries the exclusion it shows, so the buttons act on it.
#include <windows.h>
#include <cstdio>
#include "app/DMUnit.h"
#include "app/DMUnitExclude.h"
#include "app/ExcludeDataUnit.h"
#include "app/ImageEx.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

namespace {

constexpr int PageWidth = 475;
constexpr int PageHeight = 359;
constexpr int TreeWidth = 240;
constexpr int ActionWidth = 221;
constexpr int ActionHeight = 52;
constexpr int ItemColumnWidth = 140;
constexpr COLORREF CountBandSelected = 0x979698;
constexpr int ImageRoot = 0;
constexpr int ImageItem = 5;
constexpr int InternetExplorerNode = 1;

TSectionRec *Rec(ui::TTreeNode *node) { return node ? static_cast<TSectionRec *>(node->Data) : nullptr; }

}  // namespace

void TfrmMainForm::BuildExcludePage()
{
    ui::TPanel *page = ExcludePage;
    page->SetColor(RGB(255, 255, 255));

    tvExclude = new ui::TTreeView;
    tvExclude->Create(page, 0, 0, TreeWidth, PageHeight, TVS_FULLROWSELECT | TVS_NOHSCROLL);
    ui::TFont font;
    font.Name = "MS Sans Serif";
    font.Height = -11;
    tvExclude->SetFont(font);
    tvExclude->SetIndent(19);
    tvExclude->SetImages(DM->TreeImageList);
    tvExclude->OnChange = [this](ui::TTreeNode *) { tvExcludeChange(); };
    tvExclude->OnCustomDrawItem = [this](ui::TTreeNode *node, UINT state, bool &defaultDraw) {
        tvExcludeCustomDrawItem(node, state, defaultDraw);
    };
    tvExclude->OnMouseDown = [this](ui::TMouseButton, UINT, int x, int y) { tvExcludeMouseDown(x, y); };

    const int listLeft = TreeWidth + 6;
    const int listHeight = PageHeight - 3 * (ActionHeight + 2);
    ExcludeListView = new ui::TListView;
    ExcludeListView->Create(page, listLeft, 0, PageWidth - listLeft, listHeight, false);
    ExcludeListView->SetRowSelect(true);
    ExcludeListView->SetGridLines(true);
    ExcludeListView->AddColumn("Item", ItemColumnWidth);
    ExcludeListView->AddColumn("Name", PageWidth - listLeft - ItemColumnWidth - 20);

    TImageEx **buttons[3] = {&AddBtn, &ModifyBtn, &RemoveBtn};
    const int pictures[3] = {8, 10, 12};
    for (int i = 0; i < 3; ++i) {
        TImageEx *b = *buttons[i] = new TImageEx;
        b->Create(page, PageWidth - ActionWidth, listHeight + 2 + i * (ActionHeight + 2), ActionWidth, ActionHeight);
        b->ShowListImage(DM->ImageList1, pictures[i]);
        b->OnMouseEnter = [this, b] { ScanNowBtnMouseEnter(b); };
        b->OnMouseLeave = [this, b] { ScanNowBtnMouseLeave(b); };
    }
    AddBtn->OnClick = [this] { AddBtnClick(AddBtn); };
    ModifyBtn->OnClick = [this] { ModifyBtnClick(ModifyBtn); };
    RemoveBtn->OnClick = [this] { RemoveBtnClick(RemoveBtn); };
}

void TfrmMainForm::ExcludeBtnClick(void *sender)
{
    if (ScanState == 1) return;
    HighlightPageButton(sender);
    BuildExcludeTree();
    RefreshExclusionCounts();
    ExcludeListView->SetColumnWidth(1, ExcludeListView->Width() - ExcludeListView->ColumnWidth(0) - 20);
    DataNotebook->SetPageIndex(2);
}

void TfrmMainForm::FreeExcludeTreeRecords()
{
    if (!tvExclude) return;
    for (int i = 0; i < tvExclude->NodeCount(); ++i) {
        ui::TTreeNode *node = tvExclude->Node(i);
        delete Rec(node);
        node->Data = nullptr;
    }
}

int32_t TfrmMainForm::CountExclusionsForItem(const std::string &name)
{
    return ::CountExclusionsForItem(ExcludeContents, name);
}

void TfrmMainForm::BuildExcludeTree()
{
    tvExclude->BeginUpdate();
    FreeExcludeTreeRecords();
    tvExclude->Clear();
    auto *rootRec = new TSectionRec;
    rootRec->CategoryCaption = "My Computer";
    rootRec->Checked = 1;
    rootRec->Count = ExcludeContents ? ExcludeContents->Count() : 0;
    ui::TTreeNode *root = tvExclude->AddChild(nullptr, "My Computer", rootRec);
    root->SetImageIndex(ImageRoot);
    root->SetSelectedIndex(ImageRoot);
    for (int c = 0; c < TraceCategoryCount; ++c) {
        auto *catRec = new TSectionRec;
        catRec->Category = c;
        catRec->CategoryCaption = CategoryCaption(c);
        catRec->Checked = 1;
        ui::TTreeNode *category = tvExclude->AddChild(root, catRec->CategoryCaption, catRec);
        category->SetImageIndex(c + 1);
        category->SetSelectedIndex(c + 1);
        if (!ScanItemLists[c]) continue;
        for (const TSectionRec *item : *ScanItemLists[c]) {
            auto *itemRec = new TSectionRec(*item);   // a copy: the found counts stay untouched
            itemRec->Count = CountExclusionsForItem(item->ItemCaption);
            ui::TTreeNode *node = tvExclude->AddChild(category, item->ItemCaption, itemRec);
            node->SetImageIndex(ImageItem);
            node->SetSelectedIndex(ImageItem);
        }
    }
    root->Expand(true);
    tvExclude->EndUpdate();
    tvExclude->SetSelected(root);
    tvExcludeChange();
}

void TfrmMainForm::RefreshExclusionCounts()
{
    if (tvExclude->NodeCount() == 0) return;
    ui::TTreeNode *root = tvExclude->Node(0);
    if (TSectionRec *r = Rec(root)) r->Count = ExcludeContents ? ExcludeContents->Count() : 0;
    for (int c = 0; c < root->Count(); ++c) {
        ui::TTreeNode *category = root->Item(c);
        int32_t sum = 0;
        for (int i = 0; i < category->Count(); ++i) {
            ui::TTreeNode *item = category->Item(i);
            if (TSectionRec *r = Rec(item)) {
                r->Count = CountExclusionsForItem(item->Text());
                sum += r->Count;
            }
        }
        if (TSectionRec *r = Rec(category)) r->Count = sum;
    }
    tvExclude->Invalidate();
}

void TfrmMainForm::tvExcludeChange()
{
    ExcludeListView->Clear();
    ui::TTreeNode *node = tvExclude->Selected();
    if (!node || !ExcludeContents) return;
    const int level = node->Level();
    const TScanItemList *categoryItems = level == 1 && node->Index() < TraceCategoryCount
                                             ? ScanItemLists[node->Index()]
                                             : nullptr;
    for (int i = 0; i < ExcludeContents->Count(); ++i) {
        TExcludeContentItem *item = ExcludeContents->GetItem(i);
        const exclude::TContent &c = item->Content;
        bool belongs = level == 0;
        if (level == 1 && categoryItems) {
            for (const TSectionRec *r : *categoryItems)
                if (r->ItemCaption == c.ItemName) {
                    belongs = true;
                    break;
                }
        } else if (level == 2) {
            belongs = c.ItemName == node->Text();
        }
        if (belongs) ExcludeListView->AddItem(c.ItemName, {ExclusionShownText(c)}, -1, item);
    }
}

void TfrmMainForm::tvExcludeCustomDrawItem(ui::TTreeNode *node, UINT state, bool &defaultDraw)
{
    defaultDraw = true;
    TSectionRec *r = Rec(node);
    if (!r) return;
    ui::TCanvas *canvas = tvExclude->Canvas();
    RECT rc = node->DisplayRect(false);
    rc.left += tvExclude->Indent() + 32;
    rc.right = tvExclude->Width() - 24;
    canvas->SetFont("MS Sans Serif", 9, node->Level() < 2, ui::clWindowText);
    canvas->SetBrushColor((state & CDIS_SELECTED) ? CountBandSelected : RGB(255, 255, 255));
    canvas->FillRect(rc);
    char text[16];
    std::snprintf(text, sizeof(text), "%d", static_cast<int>(r->Count));
    canvas->TextOut(tvExclude->Width() - canvas->TextWidth(text) - 30, rc.top + 2, text);
}

void TfrmMainForm::tvExcludeMouseDown(int x, int y)
{
    ui::TTreeNode *node = tvExclude->GetNodeAt(x, y);
    if (node && (tvExclude->GetHitTestInfoAt(x, y) & ui::htOnRight)) tvExclude->SetSelected(node);
}

TExcludeContentItem *TfrmMainForm::ExclusionOfRow(int row)
{
    if (row < 0 || row >= ExcludeListView->ItemCount() || !ExcludeContents) return nullptr;
    auto *item = static_cast<TExcludeContentItem *>(ExcludeListView->ItemData(row));
    // Only an exclusion that is still in the list.
    for (int i = 0; i < ExcludeContents->Count(); ++i)
        if (ExcludeContents->GetItem(i) == item) return item;
    return nullptr;
}

void TfrmMainForm::AddBtnClick(void *)
{
    TExcludeDataForm *dialog = new TExcludeDataForm;
    try {
        dialog->SetCaption("Add Exclude Item");
        ui::TTreeNode *node = tvExclude->Selected();
        dialog->cbSection->SetItemIndex(node ? TExcludeDataForm::SectionOfCaption(node->Text()) : -1);
        dialog->cbSectionChange();
        if (dialog->ShowModal() == ui::mrOk) {
            DM->AddExclusion(dialog->cbSection->Text(), dialog->edTextName->Text(), "", "");
            // Counted and listed from the list itself: adding an exclusion that exists changes nothing.
            RefreshExclusionCounts();
            tvExcludeChange();
        }
    } catch (...) {
        delete dialog;
        throw;
    }
    delete dialog;
}

void TfrmMainForm::ModifyBtnClick(void *)
{
    const int row = ExcludeListView->Selected();
    if (row < 0) return;
    TExcludeContentItem *item = ExclusionOfRow(row);
    TExcludeDataForm *dialog = new TExcludeDataForm;
    try {
        dialog->SetCaption("Modify Exclude Item");
        int section = -1;
        if (item) {
            // An exclusion of another item (made from a result row) keeps its own item to choose.
            section = TExcludeDataForm::SectionOfCaption(item->Content.ItemName);
            if (section < 0) section = dialog->cbSection->AddItem(item->Content.ItemName);
        } else if (ui::TTreeNode *node = tvExclude->Selected()) {
            section = TExcludeDataForm::SectionOfCaption(node->Text());
        }
        dialog->cbSection->SetItemIndex(section);
        dialog->edTextName->SetText(ExcludeListView->ItemText(row, 1));
        dialog->cbSectionChange();
        if (dialog->ShowModal() == ui::mrOk && item) {
            const TExclusionSave saved = ChangeExclusionItem(ExclusionFilePath(), ExcludeContents, item,
                                                             dialog->cbSection->Text(), dialog->edTextName->Text());
            DM->ExclusionsChanged(saved);
            ShowExclusionSave(saved);
            RefreshExclusionCounts();
            tvExcludeChange();
        }
    } catch (...) {
        delete dialog;
        throw;
    }
    delete dialog;
}

void TfrmMainForm::RemoveBtnClick(void *)
{
    const int row = ExcludeListView->Selected();
    if (row < 0) return;
    TExclusionSave saved = TExclusionSave::Unchanged;
    if (TExcludeContentItem *item = ExclusionOfRow(row))
        saved = DeleteExclusionItem(ExclusionFilePath(), ExcludeContents, item);
    ExcludeListView->DeleteItem(row);
    RefreshExclusionCounts();
    ShowExclusionSave(saved);
}
