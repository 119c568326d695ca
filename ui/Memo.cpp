#include "ui/Memo.h"

namespace ui {

void TMemo::Create(TWinControl *parent, int left, int top, int width, int height, bool border)
{
    CreateHandle(parent, "EDIT", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                 border ? WS_EX_CLIENTEDGE : 0, left, top, width, height, text_);
}

std::string TMemo::Text() const { return Handle() ? TWinControl::Text() : text_; }

void TMemo::SetText(const std::string &text)
{
    text_ = text.c_str();
    if (Handle()) TWinControl::SetText(text_);
}

void TMemo::AddLine(const std::string &line)
{
    std::string t = Text();
    if (!t.empty() && (t.size() < 2 || t.compare(t.size() - 2, 2, "\r\n") != 0)) t += "\r\n";
    SetText(t + line + "\r\n");
}

int TMemo::LineCount() const
{
    std::string t = Text();
    if (t.empty()) return 0;
    int n = 1;
    for (size_t i = 0; i < t.size(); ++i)
        if (t[i] == '\n') ++n;
    if (t.size() >= 1 && t.back() == '\n') --n;   // a last line break opens no new line
    return n;
}

std::string TMemo::Line(int i) const
{
    std::string t = Text();
    size_t start = 0;
    for (int k = 0; k < i; ++k) {
        size_t nl = t.find('\n', start);
        if (nl == std::string::npos) return std::string();
        start = nl + 1;
    }
    size_t end = t.find('\n', start);
    std::string line = t.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void TMemo::SetReadOnly(bool readOnly) { SendMessageA(Handle(), EM_SETREADONLY, readOnly, 0); }

}  // namespace ui
