#include "ui/Button.h"
#include "ui/Form.h"

namespace ui {

TForm *ParentForm(TControl *control)
{
    for (TControl *c = control; c; c = c->Parent())
        if (auto *f = dynamic_cast<TForm *>(c)) return f;
    return nullptr;
}

void TButton::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption)
{
    CreateHandle(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, left, top, width, height, caption);
}

void TButton::Click()
{
    SafeCall(OnClick);
    if (ModalResult != 0)
        if (TForm *f = ParentForm(this)) f->SetModalResult(ModalResult);
}

void TButton::SetDefault(bool isDefault)
{
    TForm *f = ParentForm(this);
    if (!f) return;
    if (isDefault) f->DefaultButton = this;
    else if (f->DefaultButton == this) f->DefaultButton = nullptr;
    if (Handle())
        SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool isCancel)
{
    TForm *f = ParentForm(this);
    if (!f) return;
    if (isCancel) f->CancelButton = this;
    else if (f->CancelButton == this) f->CancelButton = nullptr;
}

bool TButton::OnCommand(WORD code, LRESULT &result)
{
    if (code != BN_CLICKED) return false;
    Click();
    result = 0;
    return true;
}

}  // namespace ui
