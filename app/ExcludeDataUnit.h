// The dialog that takes one exclusion: a section of the Internet Explorer items and a text.
#pragma once
#include <string>
#include "ui/Form.h"

namespace ui {
class TLabel;
class TComboBox;
class TLabeledEdit;
class TButton;
}

class TExcludeDataForm : public ui::TForm {
public:
    // The caller sets the caption.
    TExcludeDataForm();
    ~TExcludeDataForm() override;

    ui::TLabel *Label1 = nullptr;          // "Item:"
    ui::TComboBox *cbSection = nullptr;
    ui::TLabeledEdit *edTextName = nullptr;
    ui::TButton *mrOkBtn = nullptr;
    ui::TButton *CancelBtn = nullptr;

    void FormCreate();
    void cbSectionChange();

    // The section preselected for a tree node's caption: "Address Bar History" 0, "Cookies" 1,
    // "Favorites" 2, anything else -1 (none).
    static int SectionOfCaption(const std::string &caption);
};
