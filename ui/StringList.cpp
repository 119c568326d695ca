#include "ui/StringList.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"

namespace ui {

static void CheckIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string &TStringList::Strings(int index) const
{
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

void TStringList::SetStrings(int index, const std::string &s)
{
    CheckIndex(index, Count());
    items_[static_cast<size_t>(index)] = s;
}

int TStringList::Add(const std::string &s)
{
    items_.push_back(s);
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string &s)
{
    if (index < 0 || index > Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, s);
}

void TStringList::Delete(int index)
{
    CheckIndex(index, Count());
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::string &s) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == s) return static_cast<int>(i);
    return -1;
}

std::string TStringList::Names(int index) const
{
    const std::string &s = Strings(index);
    return s.substr(0, s.find('='));
}

std::string TStringList::ValueFromIndex(int index) const
{
    const std::string &s = Strings(index);
    size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

void TStringList::SetText(const std::string &text)
{
    items_.clear();
    size_t start = 0, i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            items_.push_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) items_.push_back(text.substr(start));
}

std::string TStringList::Text() const
{
    std::string out;
    for (const std::string &s : items_) {
        out += s;
        out += "\r\n";
    }
    return out;
}

void TStringList::LoadFromFile(const std::string &fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    std::string text(static_cast<size_t>(f.Size()), '\0');
    if (!text.empty()) f.ReadBuffer(&text[0], static_cast<long long>(text.size()));
    SetText(text);
}

void TStringList::SaveToFile(const std::string &fileName) const
{
    TFileStream f(fileName, fmCreate);
    std::string text = Text();
    if (!text.empty()) f.WriteBuffer(text.data(), static_cast<long long>(text.size()));
}

}  // namespace ui
