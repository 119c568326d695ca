// The Advanced page: the shredder form, made at the first visit and kept.
#include "app/UnitFileDelete.h"
#include "app/frmMainUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"

void TfrmMainForm::BuildAdvancedPage()
{
    AdvancedPanel = new ui::TPanel;
    AdvancedPanel->Create(AdvancedPage, 0, 0, AdvancedPage->ClientWidth(), AdvancedPage->ClientHeight());
    AdvancedPanel->SetColor(RGB(255, 255, 255));
}

void TfrmMainForm::AdvancedBtnClick(void *sender)
{
    if (ScanState == 1) return;
    HighlightPageButton(sender);
    if (!AdvancedShredForm) AdvancedShredForm = new TAdvancedShredForm(AdvancedPanel);
    AdvancedShredForm->Show();
    DataNotebook->SetPageIndex(4);
}
