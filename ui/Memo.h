// Multi-line edit. Without a window (no parent) it still keeps its text, as a hidden memo would.
#pragma once
#include "ui/Control.h"

namespace ui {

class TMemo : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, bool border = true);
    std::string Text() const;
    // The text ends at its first NUL, as in the edit control.
    void SetText(const std::string &text) override;
    void Clear() { SetText(std::string()); }
    // Appends a line (CR LF between lines).
    void AddLine(const std::string &line);
    int LineCount() const;
    std::string Line(int i) const;
    void SetReadOnly(bool readOnly);

private:
    std::string text_;   // used while there is no window
};

}  // namespace ui
