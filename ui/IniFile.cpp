#include "ui/IniFile.h"
#include "ui/StringList.h"
#include <windows.h>

namespace ui {

static std::string Trim(const std::string &s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

static std::string Unquote(const std::string &s)
{
    if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) return s.substr(1, s.size() - 2);
    return s;
}

static bool SameName(const std::string &a, const std::string &b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

TIniFile::TIniFile(const std::string &fileName) : fileName_(fileName)
{
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (...) {
        return;
    }
    Section *current = nullptr;
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = lines[i];
        if (i == 0 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);   // a UTF-8 mark
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            sections_.push_back(Section{Trim(line.substr(1, close == std::string::npos ? std::string::npos
                                                                                          : close - 1)),
                                        {}});
            current = &sections_.back();
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;   // only key=value lines inside a section
        current->entries.push_back(Entry{Trim(line.substr(0, eq)), Unquote(Trim(line.substr(eq + 1)))});
    }
}

const TIniFile::Section *TIniFile::Find(const std::string &section) const
{
    std::string want = Trim(section);
    for (const Section &s : sections_)
        if (SameName(s.name, want)) return &s;
    return nullptr;
}

bool TIniFile::SectionExists(const std::string &section) const { return Find(section) != nullptr; }

std::string TIniFile::ReadString(const std::string &section, const std::string &ident,
                                 const std::string &def) const
{
    const Section *s = Find(section);
    if (!s) return def;
    std::string want = Trim(ident);
    for (const Entry &e : s->entries)
        if (SameName(e.key, want)) return e.value;
    return def;
}

void TIniFile::ReadSectionValues(const std::string &section, TStringList &strings) const
{
    strings.Clear();
    if (const Section *s = Find(section))
        for (const Entry &e : s->entries) strings.Add(e.key + "=" + e.value);
}

}  // namespace ui
