// A list of strings kept in order: text files split into lines, "name=value" entries.
#pragma once
#include <string>
#include <vector>

namespace ui {

class TStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises ui::Exception for an index out of range.
    const std::string &Strings(int index) const;
    void SetStrings(int index, const std::string &s);
    const std::string &operator[](int index) const { return Strings(index); }
    int Add(const std::string &s);
    void Insert(int index, const std::string &s);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int IndexOf(const std::string &s) const;   // exact, case-sensitive; -1 when missing

    // The part before / after the first '=' of line i (the whole line is the name when it has none).
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;

    // Lines end at CR LF, a lone CR or a lone LF; a last line without an end still counts.
    void SetText(const std::string &text);
    // Every line followed by CR LF.
    std::string Text() const;
    // Raise ui::Exception when the file cannot be opened, read or written.
    void LoadFromFile(const std::string &fileName);
    void SaveToFile(const std::string &fileName) const;

private:
    std::vector<std::string> items_;
};

}  // namespace ui
