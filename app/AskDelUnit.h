// The delete-mode dialog a clean shows first while "Always ask when delete" is on.
#pragma once
#include <memory>
#include <vector>
#include "ui/Form.h"

namespace ui {
class TLabel;
class TComboBox;
class TButton;
class TCheckBox;
}

class TAskDelForm : public ui::TForm {
public:
    TAskDelForm();
    ~TAskDelForm() override;

    ui::TLabel *Label2 = nullptr;
    ui::TComboBox *cbEras = nullptr;        // item index = the delete mode 0..3
    ui::TButton *GoButton = nullptr;        // "&Go": the OK result
    ui::TCheckBox *cbAskWhenDel = nullptr;

    // "&Go" is enabled exactly while the combo box has one of its items selected.
    void cbErasChange(void *sender);
    // Runs at every change of the tick (also one made by code): keeps Settings.ErasAskWhenDel and the
    // registry value "ErasAskWhenDel" in step with it.
    void cbAskWhenDelClick(void *sender);

private:
    std::vector<std::unique_ptr<ui::TControl>> owned_;
};
