#include <gtest/gtest.h>
#include "TestSupport.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"

namespace {

const char *const Key = "Software\\QuillmoorTest\\Registry";

TEST(Registry, DeleteKeyRemovesNestedTreeAndFailsWhenMissing)
{
    qmtest::RegKeyGuard guard(HKEY_CURRENT_USER, Key);
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, std::string(Key) + "\\a\\b\\c", "v", "x"));
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.DeleteKey(std::string("\\") + Key + "\\a"));
    EXPECT_FALSE(qmtest::RegKeyExists(HKEY_CURRENT_USER, std::string(Key) + "\\a"));
    EXPECT_FALSE(reg.DeleteKey(std::string("\\") + Key + "\\a"));
}

TEST(Registry, WrongTypeReadRaises)
{
    qmtest::RegKeyGuard guard(HKEY_CURRENT_USER, Key);
    ASSERT_TRUE(qmtest::RegSetDword(HKEY_CURRENT_USER, Key, "num", 7));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, Key, "text", "hello"));
    const unsigned char four[4] = {1, 2, 3, 4};
    ASSERT_TRUE(qmtest::RegSetBinary(HKEY_CURRENT_USER, Key, "bin4", four, 4));
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(Key, false));
    EXPECT_THROW(reg.ReadString("num"), ui::ERegistryException);
    EXPECT_THROW(reg.ReadInteger("text"), ui::ERegistryException);
    EXPECT_THROW(reg.ReadInteger("missing"), ui::ERegistryException);
    EXPECT_THROW(reg.ReadDateTime("bin4"), ui::ERegistryException);
    EXPECT_EQ(reg.ReadInteger("num"), 7);
    EXPECT_EQ(reg.ReadString("text"), "hello");
    EXPECT_EQ(reg.ReadString("missing"), "");
    reg.WriteDateTime("when", 45000.25);
    EXPECT_DOUBLE_EQ(reg.ReadDateTime("when"), 45000.25);
    EXPECT_EQ(qmtest::RegGetType(HKEY_CURRENT_USER, Key, "when"), static_cast<DWORD>(REG_BINARY));
}

TEST(Registry, NamesInEnumerationOrderAndRelativeOpen)
{
    qmtest::RegKeyGuard guard(HKEY_CURRENT_USER, Key);
    for (const char *n : {"b", "a", "c"}) qmtest::RegSetString(HKEY_CURRENT_USER, Key, n, n);
    qmtest::RegSetString(HKEY_CURRENT_USER, std::string(Key) + "\\sub1", "x", "1");
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_FALSE(reg.OpenKey("Software\\QuillmoorTest\\Nope", false));
    ASSERT_TRUE(reg.OpenKey(Key, false));
    auto names = reg.GetValueNames();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"sub1"});
    ASSERT_TRUE(reg.OpenKey("sub1", false));   // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), std::string(Key) + "\\sub1");
    EXPECT_EQ(reg.ReadString("x"), "1");
}

}  // namespace
