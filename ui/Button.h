// Push button; a modal result closes its modal form.
#pragma once
#include "ui/Control.h"

namespace ui {

class TForm;

class TButton : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption);
    // Runs OnClick, then hands the modal result to the form.
    void Click();
    int ModalResult = 0;
    // Enter clicks the default button and Escape the cancel button of the form.
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);

protected:
    bool OnCommand(WORD code, LRESULT &result) override;
};

// The form a control sits on (the nearest one), or nullptr.
TForm *ParentForm(TControl *control);

}  // namespace ui
