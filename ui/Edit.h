// Single-line edit, and the edit with a caption label above it.
#pragma once
#include "ui/Control.h"
#include "ui/Label.h"

namespace ui {

class TEdit : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &text = std::string());
    void SetReadOnly(bool readOnly);
    void SetMaxLength(int chars);
    void SelectAll();
    TNotifyEvent OnChange;   // the text changed (by the user or by code)

protected:
    bool OnCommand(WORD code, LRESULT &result) override;
};

class TLabeledEdit : public TEdit {
public:
    // The label sits above the edit, flush with its left edge.
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &labelCaption);
    TLabel &EditLabel() { return label_; }
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;

private:
    TLabel label_;
};

}  // namespace ui
