// The track maker: the same seed gives the same track, and what it writes
// passes the track checker, for a seed of every kind of ground.
#include <gtest/gtest.h>

#include <string>

#include "race/track_check.h"
#include "test_util.h"
#include "track_files.h"
#include "track_maker.h"

namespace {

TEST(TrackMaker, SameSeedSameTrackAndOtherSeedsDiffer)
{
    const MadeTrack a = MakeTrack(7, Ground::kHills, "a");
    const MadeTrack b = MakeTrack(7, Ground::kHills, "b");
    const MadeTrack c = MakeTrack(8, Ground::kHills, "c");
    ASSERT_GT(a.tries, 0);
    EXPECT_EQ(a.data.heights, b.data.heights);
    EXPECT_EQ(FormatCourse(a.data.gates), FormatCourse(b.data.gates));
    EXPECT_NE(FormatCourse(a.data.gates), FormatCourse(c.data.gates));
    EXPECT_NE(a.data.heights, c.data.heights);
}

TEST(TrackMaker, WrittenTracksOfEveryGroundPassTheChecker)
{
    ScratchAppDir dir;
    for (uint32_t seed = 100; seed < 106; seed++) {
        const Ground ground = GroundForSeed(seed);
        const std::string name = std::string("made-") + GroundName(ground);
        const MadeTrack made = MakeTrack(seed, ground, name.c_str());
        ASSERT_GT(made.tries, 0) << name;
        EXPECT_GE(made.data.gates.size(), 3u);
        // The maker's heightmap and course as files; a stand-in texture.
        dir.Write("data/tracks/textures/" + name + ".tga", RunLengthTga(1024, 1024));
        dir.Write("data/tracks/checkpoints/" + name + ".txt", "");  // makes the folders
        dir.Write("data/tracks/terrains/" + name + ".tga", "");
        WriteHeightmap(dir.path() + "data/tracks/terrains/" + name + ".tga", made.data);
        WriteCourse(dir.path() + "data/tracks/checkpoints/" + name + ".txt", made.data);
        TrackProblems problems;
        EXPECT_TRUE(CheckTrack(name.c_str(), &problems)) << name << ": " << (problems.count ? problems.text[0] : "");
    }
}

TEST(TrackMaker, GroundNamesRoundTrip)
{
    for (const char* name : {"dunes", "hills", "canyon", "lakes", "meadow", "quarry"}) {
        Ground g;
        ASSERT_TRUE(ParseGround(name, &g));
        EXPECT_STREQ(GroundName(g), name);
    }
    Ground g;
    EXPECT_FALSE(ParseGround("moon", &g));
}

}  // namespace
