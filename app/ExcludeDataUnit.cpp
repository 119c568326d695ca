#include "app/ExcludeDataUnit.h"
#include "engine/CatalogueUnit.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"

namespace {

bool IsBlank(const std::string &s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

}  // namespace

TExcludeDataForm::TExcludeDataForm()
{
    CreateForm("TExcludeDataForm", "", 336, 161, ui::bsDialog, true);
    Label1 = new ui::TLabel;
    Label1->Create(this, 16, 14, "Item:");
    cbSection = new ui::TComboBox;
    cbSection->Create(this, 16, 30, 304, 21, 100);
    edTextName = new ui::TLabeledEdit;
    edTextName->Create(this, 16, 80, 304, 21, "Enter Text:");
    mrOkBtn = new ui::TButton;
    mrOkBtn->Create(this, 164, 122, 75, 25, "OK");
    mrOkBtn->ModalResult = ui::mrOk;
    mrOkBtn->SetDefault(true);
    mrOkBtn->SetEnabled(false);
    CancelBtn = new ui::TButton;
    CancelBtn->Create(this, 245, 122, 75, 25, "Cancel");
    CancelBtn->ModalResult = ui::mrCancel;
    CancelBtn->SetCancel(true);
    DefaultButton = mrOkBtn;
    CancelButton = CancelBtn;
    cbSection->OnChange = [this] { cbSectionChange(); };
    edTextName->OnChange = [this] { cbSectionChange(); };
    FormCreate();
}

TExcludeDataForm::~TExcludeDataForm()
{
    delete Label1;
    delete CancelBtn;
    delete mrOkBtn;
    delete edTextName;
    delete cbSection;
}

void TExcludeDataForm::FormCreate()
{
    // The Internet Explorer items 2 to 4 of the catalogue are the sections an exclusion can name.
    const TScanItemList *ie = ScanItemLists[tcInternetExplorer];
    for (int i = 1; ie && i <= 3 && i < static_cast<int>(ie->size()); ++i) cbSection->AddItem((*ie)[i]->ItemCaption);
}

void TExcludeDataForm::cbSectionChange()
{
    mrOkBtn->SetEnabled(!cbSection->Text().empty() && !IsBlank(edTextName->Text()));
}

int TExcludeDataForm::SectionOfCaption(const std::string &caption)
{
    if (caption == "Address Bar History") return 0;
    if (caption == "Cookies") return 1;
    if (caption == "Favorites") return 2;
    return -1;
}
