#include "ui/Edit.h"

namespace ui {

void TEdit::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &text)
{
    CreateHandle(parent, "EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, left, top, width, height,
                 text);
}

void TEdit::SetReadOnly(bool readOnly) { SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0); }

void TEdit::SetMaxLength(int chars) { SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(chars), 0); }

void TEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

bool TEdit::OnCommand(WORD code, LRESULT &result)
{
    if (code != EN_CHANGE) return false;
    SafeCall(OnChange);
    result = 0;
    return true;
}

void TLabeledEdit::Create(TWinControl *parent, int left, int top, int width, int height,
                          const std::string &labelCaption)
{
    TEdit::Create(parent, left, top, width, height);
    label_.Create(parent, left, top, labelCaption);
    label_.SetTop(top - label_.Height() - 3);
}

void TLabeledEdit::SetVisible(bool visible)
{
    TEdit::SetVisible(visible);
    label_.SetVisible(visible);
}

void TLabeledEdit::SetEnabled(bool enabled)
{
    TEdit::SetEnabled(enabled);
    label_.SetEnabled(enabled);
    label_.Invalidate();
}

}  // namespace ui
