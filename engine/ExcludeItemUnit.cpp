#include "engine/ExcludeItemUnit.h"

TExcludeContents *ExcludeContents = nullptr;

namespace {

// Each field but the last goes in with its length in front, so no two field lists share a key.
void AppendField(std::string &key, const std::string &field)
{
    key += std::to_string(field.size());
    key += ':';
    key += field;
}

std::string PlaceKey(const std::string &itemName, const std::string &location)
{
    std::string key;
    AppendField(key, itemName);
    key += location;
    return key;
}

std::string DataKey(const std::string &itemName, const std::string &location, const std::string &trimmedData)
{
    std::string key;
    AppendField(key, itemName);
    AppendField(key, location);
    key += trimmedData;
    return key;
}

}  // namespace

std::string exclude::TrimData(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return s.substr(b, e - b);
}

void TExcludeContents::Clear()
{
    Base::Clear();
    places_.clear();
    data_.clear();
    stale_ = false;
}

bool TExcludeContents::HasPlace(const std::string &itemName, const std::string &location) const
{
    if (stale_) Reindex();
    return places_.count(PlaceKey(itemName, location)) != 0;
}

bool TExcludeContents::HasData(const std::string &itemName, const std::string &location,
                               const std::string &trimmedData) const
{
    if (stale_) Reindex();
    return data_.count(DataKey(itemName, location, trimmedData)) != 0;
}

void TExcludeContents::Reindex() const
{
    places_.clear();
    data_.clear();
    places_.reserve(static_cast<size_t>(Count()));
    data_.reserve(static_cast<size_t>(Count()));
    for (int i = 0; i < Count(); ++i) {
        const exclude::TContent &c = Items(i)->Content;
        places_.insert(PlaceKey(c.ItemName, c.Location));
        data_.insert(DataKey(c.ItemName, c.Location, exclude::TrimData(c.Data)));
    }
    stale_ = false;
}
