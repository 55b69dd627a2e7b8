// The course file as the race reads it, gate crossings and post hits.
#include <gtest/gtest.h>

#include <cmath>

#include "app/config.h"
#include "race_world.h"
#include "track_files.h"

namespace {

class CourseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConfigureOneTrack();
        ResetRaceWorld(1);
        gRaceSetup.track = 0;
    }
    ScratchAppDir dir;
};

void ExpectPoint(const float* p, float x, float z)
{
    EXPECT_NEAR(p[0], x, 1e-5f);
    EXPECT_NEAR(p[2], z, 1e-5f);
}

TEST_F(CourseTest, GatesAreScaledAndTurnedAndHiddenWaypointsWidened)
{
    // x, z scaled by 1.25; posts W along (cos a, -sin a); aim point 1 / W
    // along (sin a, cos a).  Gate 1 (W 0.5) is a hidden waypoint of width 3.
    dir.Write("data/tracks/checkpoints/t.txt", "8 -4 0 2\n4 0 90 0.5\n4 8 0 0\n");
    LoadCheckpoints();
    ASSERT_EQ(gCheckpoints.gateCount, 3u);
    const Checkpoint& a = gCheckpoints.gates[0];
    ExpectPoint(a.leftPost, 8.0f, -5.0f);
    ExpectPoint(a.rightPost, 12.0f, -5.0f);
    ExpectPoint(a.aimPoint, 10.0f, -4.5f);
    const Checkpoint& b = gCheckpoints.gates[1];
    ExpectPoint(b.leftPost, 5.0f, 3.0f);
    ExpectPoint(b.rightPost, 5.0f, -3.0f);
    ExpectPoint(b.aimPoint, 5.0f + 1.0f / 3.0f, 0.0f);
    // A width of 0 is aimed at its centre.
    ExpectPoint(gCheckpoints.gates[2].aimPoint, 5.0f, 10.0f);
}

TEST_F(CourseTest, LoadTrackReadsTheCourseThenTheHeightsAndAMissingFileEndsTheProgram)
{
    EXPECT_EXIT(LoadCheckpoints(), ::testing::ExitedWithCode(1),
                "ERROR \\(not found\\): data/tracks/checkpoints/t.txt");
    dir.Write("data/tracks/terrains/t.tga", GreyTga(64, 64, 80));
    dir.Write("data/tracks/checkpoints/t.txt", "0 0 0 1 4 4 0 1");
    gRaceSetup.terrainPixelSkip = 2;
    LoadTrack();
    EXPECT_EQ(gCheckpoints.gateCount, 2u);
    EXPECT_EQ(gTerrain.pixelSkip, 2u);
    EXPECT_FLOAT_EQ(GridHeight(10, 10), 1.0f);
}

TEST(Gates, SegmentsCrossTheFirstGateBetweenItsPosts)
{
    ResetRaceWorld(1);
    SetGate(0, 5.0f, -1.0f, 5.0f, 1.0f);
    SetGate(1, -1.0f, 0.0f, 1.0f, 0.0f);
    SetGate(2, -1.0f, 0.1f, 1.0f, 0.1f);
    SetGate(3, 21.0f, 21.0f, 23.0f, 23.0f);
    const struct { float a[3], b[3]; int gate; } cases[] = {
        {{0.2f, 0, -0.5f}, {0.3f, 0, 0.5f}, 1},   // the first of two crossed
        {{0.3f, 0, 0.5f}, {0.2f, 0, -0.5f}, 1},   // either direction
        {{1.5f, 0, -0.5f}, {1.5f, 0, 0.5f}, -1},  // beside the posts
        {{0.2f, 0, 0.3f}, {0.3f, 0, 0.5f}, -1},   // stops short of the lines
        {{4.5f, 0, 0.3f}, {5.5f, 0, 0.3f}, 0},    // a gate along z
        {{-2.0f, 0, 0.0f}, {2.0f, 0, 0.0f}, -1},  // along the gate's line
        {{20.0f, 0, 20.0f}, {24.0f, 0, 24.0f}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindCrossedGate(c.a, c.b), c.gate) << c.a[0] << " " << c.a[2];
}

TEST(Gates, PostsAreHitWithinFiveHundredths)
{
    ResetRaceWorld(1);
    SetGate(0, -1.0f, 0.0f, 1.0f, 0.0f);
    SetGate(1, 10.0f, 10.0f, 12.0f, 10.0f);
    const struct { float a[3], b[3]; bool hit; float post[2]; } cases[] = {
        {{0.96f, 0, -1.0f}, {0.96f, 0, 1.0f}, false, {}},  // 0.04 away, outside the x range
        {{0.9f, 0, -1.0f}, {1.06f, 0, 1.0f}, true, {1.0f, 0.0f}},  // 0.02 from the right post
        {{0.8f, 0, -1.0f}, {1.4f, 0, 1.0f}, false, {}},    // 0.096 from the post
        {{12.0f, 0, 9.0f}, {12.0f, 0, 11.0f}, true, {12.0f, 10.0f}},  // along z over a post
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HitGatePost(c.a, c.b), c.hit) << c.a[0];
        if (c.hit) {
            EXPECT_FLOAT_EQ(lastPostHit[0], c.post[0]);
            EXPECT_FLOAT_EQ(lastPostHit[1], c.post[1]);
        }
    }
}

}  // namespace
