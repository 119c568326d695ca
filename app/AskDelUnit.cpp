#include "app/AskDelUnit.h"
#include "app/SettingsUnit.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Exceptions.h"
#include "ui/Label.h"
#include "ui/Registry.h"

namespace {

template <class T>
T *Own(std::vector<std::unique_ptr<ui::TControl>> &owned)
{
    T *control = new T;
    owned.emplace_back(control);
    return control;
}

}  // namespace

TAskDelForm::TAskDelForm()
{
    CreateForm("TAskDelForm", "Quillmoor", 368, 116, ui::bsDialog, true);
    ui::TFont font;
    font.Name = "MS Sans Serif";
    font.Height = 13;
    SetFont(font);

    Label2 = Own<ui::TLabel>(owned_);
    Label2->Create(this, 16, 8, "When erasing:");
    Label2->SetFont(font);

    cbEras = Own<ui::TComboBox>(owned_);
    cbEras->Create(this, 56, 32, 217, 24);
    cbEras->SetFont(font);
    for (const char *mode : {"Delete files without overwriting", "Overwrite once (Quick)",
                             "Overwrite three times (Safe)", "Overwrite seven times (Thorough)"})
        cbEras->AddItem(mode);
    cbEras->SetItemIndex(0);
    cbEras->OnChange = [this] { cbErasChange(cbEras); };

    GoButton = Own<ui::TButton>(owned_);
    GoButton->Create(this, 280, 32, 73, 25, "&Go");
    GoButton->SetFont(font);
    GoButton->ModalResult = ui::mrOk;

    cbAskWhenDel = Own<ui::TCheckBox>(owned_);
    cbAskWhenDel->Create(this, 16, 88, 169, 17, "Always ask when delete");
    cbAskWhenDel->SetFont(font);
    cbAskWhenDel->OnClick = [this] { cbAskWhenDelClick(cbAskWhenDel); };
}

TAskDelForm::~TAskDelForm()
{
    // The controls go before the form's window.
    owned_.clear();
}

void TAskDelForm::cbErasChange(void *)
{
    const int i = cbEras->ItemIndex();
    GoButton->SetEnabled(i >= 0 && i < cbEras->Count());
}

void TAskDelForm::cbAskWhenDelClick(void *)
{
    Settings.ErasAskWhenDel = cbAskWhenDel->Checked();
    // Without write access to the settings key the choice lasts for this run only, silently.
    try {
        ui::TRegistry reg(KEY_READ | KEY_WRITE);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (reg.OpenKey(SettingsKey, true)) {
            reg.WriteBool("ErasAskWhenDel", Settings.ErasAskWhenDel);
            reg.CloseKey();
        }
    } catch (const ui::Exception &) {
    }
}
