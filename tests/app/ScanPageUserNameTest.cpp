// The user name that the scheduled scan's job runs under.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <string>
#include "engine/PublicFunctionUnit.h"

TEST(ScanPageUserName, IsTheLoggedOnUser)
{
    const char *env = std::getenv("USERNAME");
    ASSERT_NE(env, nullptr);
    std::string name = "unchanged";
    GetCurrentUserName(name);
    EXPECT_EQ(name, env);
    EXPECT_EQ(name.find('\0'), std::string::npos);
}
