// Read-only INI file: "[Section]" headers and "key=value" lines, read once when the object is made.
// Section and key names match without regard to case and surrounding blanks, as Windows' own INI
// functions do; a value loses its surrounding blanks and one pair of enclosing quotes.
#pragma once
#include <string>
#include <vector>

namespace ui {

class TStringList;

class TIniFile {
public:
    // A file that is missing or cannot be read reads as empty.
    explicit TIniFile(const std::string &fileName);
    const std::string &FileName() const { return fileName_; }

    // The value of the first such key in the first such section, or def when either is missing.
    std::string ReadString(const std::string &section, const std::string &ident, const std::string &def) const;
    bool SectionExists(const std::string &section) const;
    // Replaces strings with every "key=value" entry of the section, in file order, duplicates kept.
    void ReadSectionValues(const std::string &section, TStringList &strings) const;

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section *Find(const std::string &section) const;

    std::string fileName_;
    std::vector<Section> sections_;
};

}  // namespace ui
