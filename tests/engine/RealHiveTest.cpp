// Exports of four real user hives imported into the test registry: the scanners must find exactly
// the values (or subkeys) that the hives hold under the keys they cover.
#include "PublicFunctionFixture.h"
#include <algorithm>
#include <map>
#include "engine/WindowSystemUnit.h"
#include "engine/WindowsSoftWareUnit.h"

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

// The values and subkey names of a key that other tests rely on, put back as they were.
class KeySnapshot {
public:
    explicit KeySnapshot(const std::string &key) : key_(key)
    {
        HKEY h;
        if (RegOpenKeyExA(HKCU, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
        existed_ = true;
        for (DWORD i = 0;; ++i) {
            char name[16384];
            DWORD len = sizeof(name), type = 0, size = 0;
            if (RegEnumValueA(h, i, name, &len, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            std::string data(size, '\0');
            DWORD len2 = sizeof(name);
            RegEnumValueA(h, i, name, &len2, nullptr, &type, reinterpret_cast<BYTE *>(&data[0]), &size);
            values_[std::string(name, len2)] = {type, data};
        }
        for (DWORD i = 0;; ++i) {
            char name[1024];
            DWORD len = sizeof(name);
            if (RegEnumKeyExA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            subKeys_.emplace_back(name, len);
        }
        RegCloseKey(h);
    }
    ~KeySnapshot()
    {
        if (!existed_) {
            qmtest::RegDeleteTreeA(HKCU, key_);
            return;
        }
        HKEY h;
        if (RegOpenKeyExA(HKCU, key_.c_str(), 0, KEY_ALL_ACCESS, &h) != ERROR_SUCCESS) return;
        std::vector<std::string> names = qmtest::EnumValueNames(HKCU, key_);
        for (const std::string &n : names) RegDeleteValueA(h, n.c_str());
        for (const auto &v : values_)
            RegSetValueExA(h, v.first.c_str(), 0, v.second.first, reinterpret_cast<const BYTE *>(v.second.second.data()),
                           static_cast<DWORD>(v.second.second.size()));
        std::vector<std::string> added;
        for (DWORD i = 0;; ++i) {
            char name[1024];
            DWORD len = sizeof(name);
            if (RegEnumKeyExA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            std::string sub(name, len);
            if (std::find(subKeys_.begin(), subKeys_.end(), sub) == subKeys_.end()) added.push_back(sub);
        }
        RegCloseKey(h);
        for (const std::string &sub : added) qmtest::RegDeleteTreeA(HKCU, key_ + "\\" + sub);
    }

private:
    std::string key_;
    bool existed_ = false;
    std::map<std::string, std::pair<DWORD, std::string>> values_;
    std::vector<std::string> subKeys_;
};

// Imports one hive export and removes what it wrote when the object goes.
class HiveImport {
public:
    explicit HiveImport(const std::string &file)
    {
        for (const char *key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU",
                                "Software\\Microsoft\\Internet Explorer\\TypedURLs",
                                "Software\\Microsoft\\Internet Explorer\\IntelliForms",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TrayNotify",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Map Network Drive MRU",
                                "Software\\Microsoft\\Windows\\ShellNoRoam",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit",
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint",
                                "Software\\WinRAR"})
            guards_.emplace_back(new qmtest::RegKeyGuard(HKCU, key));
        snapshots_.emplace_back(new KeySnapshot("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
        snapshots_.emplace_back(new KeySnapshot("Software\\Microsoft\\Internet Explorer\\Main"));
        imported_ = qmtest::ImportRegFile(qmtest::TestDataPath("registry/" + file));
    }
    bool Imported() const { return imported_; }

private:
    std::vector<std::unique_ptr<qmtest::RegKeyGuard>> guards_;
    std::vector<std::unique_ptr<KeySnapshot>> snapshots_;
    bool imported_ = false;
};

struct RealHive : qmtest::ScanTest {
    // Runs one scanner on a fresh collection and gives the number of items and the node's count.
    std::pair<int, int32_t> Scan(TScanProc scanner, int node)
    {
        results.Clear();
        qmtest::RecordOfNode(node)->Count = 0;
        scanner(Tree(), node, &results);
        return {results.Count(), Count(node)};
    }
    using P = std::pair<int, int32_t>;
};

TEST_F(RealHive, Windows10UserWithWinRARAndPaint)
{
    HiveImport hive("regipy-NTUSER_with_winscp.hkcu.reg");
    ASSERT_TRUE(hive.Imported());
    EXPECT_EQ(Scan(ScanRunMRU, 29), P(19, 19));
    EXPECT_EQ(Scan(ScanPaintHistory, 12), P(9, 9));
    EXPECT_EQ(Scan(ScanWinRARHistory, 23), P(4, 4));       // ArcHistory 4, no ExtrPath
    EXPECT_EQ(Scan(ScanRegedit32History, 37), P(1, 1));    // the subkey Favorites
    EXPECT_EQ(Item(0).SubKey, "Favorites");
    // Win10 keeps UserAssist under other GUIDs: neither Start Menu item finds anything.
    EXPECT_EQ(Scan(ScanStartMenuClickHistory, 38), P(0, 0));
    EXPECT_EQ(Scan(ScanStartMenuOrderHistory, 39), P(0, 0));
}

TEST_F(RealHive, WindowsXPUserWithMUICacheAndTrayNotify)
{
    HiveImport hive("plaso-NTUSER-XP.hkcu.reg");
    ASSERT_TRUE(hive.Imported());
    EXPECT_EQ(Scan(ScanMUICache, 42), P(130, 130));   // 131 values, one of them REG_BINARY
    EXPECT_EQ(Scan(ScanTrayNotifyHistory, 40), P(2, 2));
    EXPECT_EQ(Scan(ScanStartMenuClickHistory, 38), P(15, 15));
    EXPECT_EQ(Scan(ScanStartMenuOrderHistory, 39), P(1, 1));
    EXPECT_EQ(Scan(ScanRunMRU, 29), P(0, 0));          // the key is there but empty
}

TEST_F(RealHive, Windows7UserWithRunMRUAndEmptyLists)
{
    HiveImport hive("plaso-NTUSER-WIN7.hkcu.reg");
    ASSERT_TRUE(hive.Imported());
    EXPECT_EQ(Scan(ScanRunMRU, 29), P(2, 2));
    EXPECT_EQ(Scan(ScanMapNetworkDriveMRU, 34), P(0, 0));
    EXPECT_EQ(Scan(ScanRegedit32History, 37), P(0, 0));   // three values, no subkey
    EXPECT_EQ(Scan(ScanMUICache, 42), P(0, 0));
}

TEST_F(RealHive, Windows7UserWithWinRARHistory)
{
    HiveImport hive("regipy-NTUSER.hkcu.reg");
    ASSERT_TRUE(hive.Imported());
    EXPECT_EQ(Scan(ScanWinRARHistory, 23), P(4, 4));   // ArcHistory 2 and ExtrPath 2
    for (int i = 0; i < results.Count(); ++i) {
        EXPECT_FALSE(Item(i).Data.empty());
        EXPECT_TRUE(Item(i).Location == "HKEY_CURRENT_USER\\Software\\WinRAR\\ArcHistory" ||
                    Item(i).Location == "HKEY_CURRENT_USER\\Software\\WinRAR\\DialogEditHistory\\ExtrPath")
            << Item(i).Location;
    }
    EXPECT_EQ(Scan(ScanRunMRU, 29), P(0, 0));
}

}  // namespace
