// The player's folders of an installed game: which files move there, and
// the XDG defaults.
#include <gtest/gtest.h>

#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "test_util.h"

namespace {

TEST(UserFolders, XdgVariablesAndTheirDefaults)
{
    char config[256], data[256];
    ASSERT_TRUE(XdgDirectories(nullptr, "relative", "/home/p", config, data, sizeof config));
    EXPECT_EQ(std::string(config) + " " + data, "/home/p/.config/quibbit/ /home/p/.local/share/quibbit/");
    EXPECT_FALSE(XdgDirectories(nullptr, "/d", nullptr, config, data, sizeof config));
    EXPECT_FALSE(XdgDirectories("/c", "/d", "/h", config, data, 8));  // does not fit
}

TEST(UserFolders, WrittenFilesGoThereAndGameDataStays)
{
    ScratchAppDir dir;
    dir.Write("data/bg/menu.tga", "picture");
    const std::string config = dir.path() + "/cfg/", data = dir.path() + "/share/";
    dir.Write("cfg/.keep", "");
    dir.Write("share/screenshots/.keep", "");
    SetUserDirectories(config.c_str(), data.c_str());
    LoadConfig();  // missing: the defaults are written to the player's folder
    FILE* files[2] = {OpenDataFile("log.txt", "w"), OpenDataFile("data/bg/menu.tga", "r")};
    char shots[256] = "data/screenshots/";
    const bool madeAbsolute = MakeAbsolutePath(shots, sizeof shots);
    SetUserDirectories("", "");
    for (FILE* f : files) {
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    EXPECT_TRUE(dir.Exists("cfg/config.txt") && !dir.Exists("data/config.txt") && dir.Exists("share/log.txt"));
    EXPECT_TRUE(madeAbsolute && std::string(shots) == data + "screenshots/") << shots;
}

}  // namespace
