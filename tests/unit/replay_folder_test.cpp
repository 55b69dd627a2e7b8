// Where recordings go when the game's own folder cannot be written: the
// player's data folder, like screenshots.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/appdir.h"
#include "race/replay.h"
#include "test_util.h"

namespace {

TEST(ReplayFolder, AnInstalledGameRecordsIntoThePlayersDataFolder)
{
    ScratchAppDir dir;
    const std::string config = dir.path() + "/cfg/", data = dir.path() + "/share/";
    dir.Write("cfg/.keep", "");
    dir.Write("share/.keep", "");
    SetUserDirectories(config.c_str(), data.c_str());
    Replay r;
    ClearReplay(r);
    snprintf(r.track, sizeof r.track, "dunes");
    r.setup.carCount = 1;
    char path[64];
    const bool saved = SaveReplay(r, path, sizeof path);
    char full[256] = "data/replays/000.qbr";
    const bool madeAbsolute = MakeAbsolutePath(full, sizeof full);
    SetUserDirectories("", "");
    ASSERT_TRUE(saved);
    EXPECT_STREQ(path, "data/replays/000.qbr");
    EXPECT_TRUE(dir.Exists("share/replays/000.qbr"));
    EXPECT_FALSE(dir.Exists("data/replays/000.qbr"));
    EXPECT_FALSE(dir.Exists("share/replays/recording.part"));
    ASSERT_TRUE(madeAbsolute);
    EXPECT_EQ(std::string(full), data + "replays/000.qbr");
}

}  // namespace
