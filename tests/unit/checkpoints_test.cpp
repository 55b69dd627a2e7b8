// The course: reading gates (visible, hidden, cut short, too many, text),
// the gate-crossing test and the post test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "app/config.h"
#include "race_world.h"
#include "test_util.h"

namespace {

class CourseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gConfig, 0, sizeof gConfig);
        gConfig.trackCount = 1;
        snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "t");
        ResetRaceWorld(1);
        gRaceSetup.track = 0;
    }
    void Load(const std::string& text)
    {
        dir.Write("data/tracks/checkpoints/t.txt", text);
        LoadCheckpoints();
    }
    ScratchAppDir dir;
};

void ExpectPoint(const float* p, float x, float z)
{
    EXPECT_NEAR(p[0], x, 1e-3f);
    EXPECT_EQ(p[1], 0.0f);
    EXPECT_NEAR(p[2], z, 1e-3f);
}

TEST_F(CourseTest, AVisibleGate)
{
    Load("10 20 0 2\n");
    ASSERT_EQ(gCheckpoints.gateCount, 1u);
    const Checkpoint& g = gCheckpoints.gates[0];
    ExpectPoint(g.centre, 12.5f, 25.0f);
    ExpectPoint(g.leftPost, 10.5f, 25.0f);
    ExpectPoint(g.rightPost, 14.5f, 25.0f);
    ExpectPoint(g.aimPoint, 12.5f, 25.5f);
    EXPECT_EQ(gCheckpoints.visible[0], 1);
    EXPECT_EQ(gCheckpoints.generation, 1u);
    EXPECT_NE(dir.Read("log.txt").find("Loading checkpoints: data/tracks/checkpoints/t.txt"), std::string::npos);
}

TEST_F(CourseTest, AHiddenWaypoint)
{
    Load("0 0 45 0.5");
    ASSERT_EQ(gCheckpoints.gateCount, 1u);
    const Checkpoint& g = gCheckpoints.gates[0];
    EXPECT_EQ(gCheckpoints.visible[0], 0);
    ExpectPoint(g.leftPost, -2.121f, 2.121f);
    ExpectPoint(g.rightPost, 2.121f, -2.121f);
    ExpectPoint(g.aimPoint, 0.7071f / 3.0f, 0.7071f / 3.0f);
}

TEST_F(CourseTest, AGateOfWidthZeroIsAimedAtItsCentre)
{
    Load("4 8 0 0\n");
    ASSERT_EQ(gCheckpoints.gateCount, 1u);
    ExpectPoint(gCheckpoints.gates[0].aimPoint, 5.0f, 10.0f);
    ExpectPoint(gCheckpoints.gates[0].leftPost, 5.0f, 10.0f);
}

TEST_F(CourseTest, NineNumbersReadTwoGates)
{
    Load("1 2 0 1\n3 4 90 2\n5\n");
    EXPECT_EQ(gCheckpoints.gateCount, 2u);
    ExpectPoint(gCheckpoints.gates[1].centre, 3.75f, 5.0f);
    ExpectPoint(gCheckpoints.gates[1].leftPost, 3.75f, 7.0f);
}

TEST_F(CourseTest, ReadingStopsAtTheFirstGroupThatDoesNotParse)
{
    Load("1 2 0 1\n3 4 x 2\n5 6 0 1\n");
    EXPECT_EQ(gCheckpoints.gateCount, 1u);
    Load("1 2 0 1\n3 4 nan 2\n5 6 0 1\n");
    EXPECT_EQ(gCheckpoints.gateCount, 1u);
    Load("1 2 0 inf\n");
    EXPECT_EQ(gCheckpoints.gateCount, 0u);
    Load("");
    EXPECT_EQ(gCheckpoints.gateCount, 0u);
    EXPECT_EQ(gCheckpoints.generation, 4u);
}

TEST_F(CourseTest, AtMost99Gates)
{
    std::string text;
    for (int g = 0; g < 120; g++)
        text += std::to_string(g) + " 0 0 1\n";
    Load(text);
    EXPECT_EQ(gCheckpoints.gateCount, 99u);
    ExpectPoint(gCheckpoints.gates[98].centre, 98 * 1.25f, 0.0f);
}

TEST_F(CourseTest, AMissingCourseEndsTheProgram)
{
    EXPECT_EXIT(LoadCheckpoints(), ::testing::ExitedWithCode(1),
                "ERROR \\(not found\\): data/tracks/checkpoints/t.txt");
}

TEST_F(CourseTest, LoadTrackReadsTheCourseAndTheHeights)
{
    std::string map(18, '\0');
    map[2] = 2;
    map[12] = 64;
    map[14] = 64;
    map[16] = 24;
    map += std::string(64 * 64 * 3, (char)80);
    dir.Write("data/tracks/terrains/t.tga", map);
    dir.Write("data/tracks/checkpoints/t.txt", "0 0 0 1 4 4 0 1");
    gRaceSetup.terrainPixelSkip = 2;
    const uint32_t terrainBefore = gTerrain.generation;
    LoadTrack();
    EXPECT_EQ(gCheckpoints.gateCount, 2u);
    EXPECT_EQ(gTerrain.generation, terrainBefore + 1);
    EXPECT_EQ(gTerrain.cellSize, 1.0f);
    EXPECT_EQ(gTerrain.heightScale, 0.0125f);
    EXPECT_EQ(gTerrain.pixelSkip, 2u);
    EXPECT_FLOAT_EQ(GridHeight(10, 10), 1.0f);
    // The course is read before the heights.
    const std::string log = dir.Read("log.txt");
    EXPECT_LT(log.find("Loading checkpoints"), log.find("Loading terrain"));
}

class GateTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRaceWorld(1); }
};

TEST_F(GateTest, ASegmentThroughAGateCrossesIt)
{
    SetGate(0, -1.0f, 0.0f, 1.0f, 0.0f);
    const float a[3] = {0.2f, 0.0f, -0.5f}, b[3] = {0.3f, 0.0f, 0.5f};
    EXPECT_EQ(FindCrossedGate(a, b), 0);
    EXPECT_EQ(FindCrossedGate(b, a), 0);  // either direction
    const float c[3] = {1.5f, 0.0f, -0.5f}, d[3] = {1.5f, 0.0f, 0.5f};
    EXPECT_EQ(FindCrossedGate(c, d), -1);  // beside the posts
    const float e[3] = {0.2f, 0.0f, 0.1f}, f[3] = {0.3f, 0.0f, 0.5f};
    EXPECT_EQ(FindCrossedGate(e, f), -1);  // stops short of the line
}

TEST_F(GateTest, TheFirstCrossedGateIsReported)
{
    SetGate(0, 5.0f, -1.0f, 5.0f, 1.0f);
    SetGate(1, -1.0f, 0.0f, 1.0f, 0.0f);
    SetGate(2, -1.0f, 0.1f, 1.0f, 0.1f);
    const float a[3] = {0.0f, 0.0f, -0.5f}, b[3] = {0.0f, 0.0f, 0.5f};
    EXPECT_EQ(FindCrossedGate(a, b), 1);
}

TEST_F(GateTest, GatesAlongTheZAxisCanBePassed)
{
    // A gate at angle 90: both posts at the same x.
    SetGate(0, 3.0f, 2.0f, 3.0f, -2.0f);
    const float a[3] = {2.5f, 0.0f, 0.3f}, b[3] = {3.5f, 0.0f, 0.3f};
    EXPECT_EQ(FindCrossedGate(a, b), 0);
    const float c[3] = {2.5f, 0.0f, 2.5f}, d[3] = {3.5f, 0.0f, 2.5f};
    EXPECT_EQ(FindCrossedGate(c, d), -1);
}

TEST_F(GateTest, ASegmentAlongTheGatesLineNeverCrossesIt)
{
    SetGate(0, -1.0f, 0.0f, 1.0f, 0.0f);
    const float a[3] = {-2.0f, 0.0f, 0.0f}, b[3] = {2.0f, 0.0f, 0.0f};
    EXPECT_EQ(FindCrossedGate(a, b), -1);
    SetGate(0, 1.0f, 1.0f, 3.0f, 3.0f);
    const float c[3] = {0.0f, 0.0f, 0.0f}, d[3] = {4.0f, 0.0f, 4.0f};
    EXPECT_EQ(FindCrossedGate(c, d), -1);
}

TEST_F(GateTest, NoGateNoCrossing)
{
    const float a[3] = {0, 0, -1}, b[3] = {0, 0, 1};
    EXPECT_EQ(FindCrossedGate(a, b), -1);
    EXPECT_FALSE(HitGatePost(a, b));
}

TEST_F(GateTest, PostsAreHitWithinFiveHundredths)
{
    SetGate(0, -1.0f, 0.0f, 1.0f, 0.0f);
    SetGate(1, 10.0f, 10.0f, 12.0f, 10.0f);
    lastPostHit[0] = lastPostHit[1] = 99.0f;
    const float a[3] = {0.96f, 0.0f, -1.0f}, b[3] = {0.96f, 0.0f, 1.0f};
    EXPECT_FALSE(HitGatePost(a, b));  // 0.04 away but the post is outside the x range
    const float c[3] = {0.9f, 0.0f, -1.0f}, d[3] = {1.06f, 0.0f, 1.0f};
    EXPECT_TRUE(HitGatePost(c, d));  // passes 0.02 from the right post
    EXPECT_FLOAT_EQ(lastPostHit[0], 1.0f);
    EXPECT_FLOAT_EQ(lastPostHit[1], 0.0f);
    const float e[3] = {0.8f, 0.0f, -1.0f}, f[3] = {1.4f, 0.0f, 1.0f};
    EXPECT_FALSE(HitGatePost(e, f));  // passes 0.096 from the post
    const float g[3] = {12.0f, 0.0f, 9.0f}, h[3] = {12.0f, 0.0f, 11.0f};
    EXPECT_TRUE(HitGatePost(g, h));  // an edge running along z straight over a post
    EXPECT_FLOAT_EQ(lastPostHit[0], 12.0f);
    EXPECT_FLOAT_EQ(lastPostHit[1], 10.0f);
}

}  // namespace
