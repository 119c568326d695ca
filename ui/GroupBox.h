// Group box: an etched frame with a caption that holds controls. Radio group: a group box of radio
// buttons of which one is chosen.
#pragma once
#include <memory>
#include <vector>
#include "ui/Control.h"

namespace ui {

class TGroupBox : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption);
    void SetText(const std::string &text) override;

protected:
    void PaintWindow(TCanvas &canvas) override;
};

class TRadioButton : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption,
                bool firstOfGroup);
    bool Checked() const;
    void SetChecked(bool checked);

protected:
    bool OnCommand(WORD code, LRESULT &result) override;
    HBRUSH OnCtlColor(HDC dc) override { return ParentBackground(dc); }
};

class TRadioGroup : public TGroupBox {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption);
    void AddItem(const std::string &caption);
    int Count() const { return static_cast<int>(buttons_.size()); }
    // -1 when none is chosen.
    int ItemIndex() const;
    // Chooses item i (-1: none); OnClick runs when the choice changes.
    void SetItemIndex(int i);
    void SetEnabled(bool enabled) override;

private:
    void Arrange();
    void ButtonClicked();
    std::vector<std::unique_ptr<TRadioButton>> buttons_;
    int index_ = -1;
};

}  // namespace ui
