#include "ui/GroupBox.h"

namespace ui {

static const char kGroupClass[] = "QmGroupBox";

void TGroupBox::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption)
{
    RegisterOurClass(kGroupClass);
    CreateHandle(parent, kGroupClass, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left, top,
                 width, height, caption);
    if (parent) SetColor(parent->Color());
}

void TGroupBox::SetText(const std::string &text)
{
    TWinControl::SetText(text);
    Invalidate();
}

void TGroupBox::PaintWindow(TCanvas &canvas)
{
    TWinControl::PaintWindow(canvas);
    std::string caption = Text();
    canvas.SetFont(font_);
    int th = canvas.TextHeight("Ag");
    RECT frame = ClientRect();
    frame.top += th / 2;
    DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        canvas.SetBrushColor(color_ == clNone ? clBtnFace : color_);
        canvas.TextOut(8, 0, " " + caption + " ");
    }
}

void TRadioButton::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption,
                          bool firstOfGroup)
{
    CreateHandle(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP : 0), 0,
                 left, top, width, height, caption);
}

bool TRadioButton::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TRadioButton::SetChecked(bool checked)
{
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::OnCommand(WORD code, LRESULT &result)
{
    if (code != BN_CLICKED) return false;
    SafeCall(OnClick);
    result = 0;
    return true;
}

void TRadioGroup::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption)
{
    TGroupBox::Create(parent, left, top, width, height, caption);
}

void TRadioGroup::AddItem(const std::string &caption)
{
    auto b = std::make_unique<TRadioButton>();
    b->Create(this, 8, 0, Width() - 16, 17, caption, buttons_.empty());
    b->OnClick = [this] { ButtonClicked(); };
    buttons_.push_back(std::move(b));
    Arrange();
}

// The buttons share the height below the caption evenly.
void TRadioGroup::Arrange()
{
    if (buttons_.empty()) return;
    int top = 16, avail = Height() - top - 4;
    int n = static_cast<int>(buttons_.size());
    int step = avail / n;
    for (int i = 0; i < n; ++i) {
        int y = top + i * step + (step - 17) / 2;
        buttons_[static_cast<size_t>(i)]->SetBounds(8, y, Width() - 16, 17);
    }
}

int TRadioGroup::ItemIndex() const { return index_; }

void TRadioGroup::SetItemIndex(int i)
{
    if (i < -1 || i >= Count()) i = -1;
    for (int k = 0; k < Count(); ++k) buttons_[static_cast<size_t>(k)]->SetChecked(k == i);
    if (i == index_) return;
    index_ = i;
    SafeCall(OnClick);
}

void TRadioGroup::ButtonClicked()
{
    for (int k = 0; k < Count(); ++k)
        if (buttons_[static_cast<size_t>(k)]->Checked()) {
            if (k != index_) {
                index_ = k;
                SafeCall(OnClick);
            }
            return;
        }
}

void TRadioGroup::SetEnabled(bool enabled)
{
    TGroupBox::SetEnabled(enabled);
    for (auto &b : buttons_) b->SetEnabled(enabled);
}

}  // namespace ui
