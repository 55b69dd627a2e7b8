// The checkpoint course file: gates worked by hand, and hostile numbers
// (a width of 0, values at the edge of the float range, text) that end the
// course instead of leaving gates that are not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/config.h"
#include "app/log.h"
#include "game/prefs.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "test_util.h"

namespace {

class CourseFileTest : public ::testing::Test {
protected:
    void Load(const std::string& text)
    {
        dir.Write("data/tracks/checkpoints/course.txt", text);
        gConfig.trackCount = 1;
        snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "course");
        gRaceSetup.track = 0;
        OpenLog();
        LoadCheckpoints();
    }
    ScratchAppDir dir;
};

TEST_F(CourseFileTest, GatesAreScaledAndTurnedAndHiddenWaypointsWidened)
{
    // x, z scaled by 1.25; posts W along (cos a, -sin a); aim point 1 / W
    // along (sin a, cos a).  Gate 1 (W 0.5) is a hidden waypoint of width 3.
    Load("8 -4 0 2\n4 0 90 0.5\n");
    ASSERT_EQ(gCheckpoints.gateCount, 2u);
    const Checkpoint& a = gCheckpoints.gates[0];
    EXPECT_FLOAT_EQ(a.centre[0], 10.0f);
    EXPECT_FLOAT_EQ(a.centre[2], -5.0f);
    EXPECT_FLOAT_EQ(a.leftPost[0], 8.0f);
    EXPECT_FLOAT_EQ(a.rightPost[0], 12.0f);
    EXPECT_NEAR(a.leftPost[2], -5.0f, 1e-6);
    EXPECT_NEAR(a.aimPoint[0], 10.0f, 1e-6);
    EXPECT_FLOAT_EQ(a.aimPoint[2], -4.5f);
    EXPECT_EQ(gCheckpoints.visible[0], 1);
    const Checkpoint& b = gCheckpoints.gates[1];
    EXPECT_EQ(gCheckpoints.visible[1], 0);
    EXPECT_NEAR(b.leftPost[2], 3.0f, 1e-5);   // z + sin 90 * 3
    EXPECT_NEAR(b.rightPost[2], -3.0f, 1e-5);
    EXPECT_NEAR(b.aimPoint[0], 5.0f + 1.0f / 3.0f, 1e-5);
}

TEST_F(CourseFileTest, NumbersBeyondFloatsEndTheCourseAndWidthZeroIsAimedAtItsCentre)
{
    // Found by the course fuzzer: "69.8.0" reads as 69.8 and .0, a width of
    // 0, whose aim point 1 / W would be infinite: such a gate stays, aimed
    // at its centre, while numbers beyond the float range end the course.
    const char* courses[] = {
        "1 1 0 3\n2 2 0 0\n3 3 0 3\n",        // width 0: kept
        "1 1 0 3\n2 2 0 1e-45\n3 3 0 3\n",    // 1 / W beyond floats
        "1 1 0 3\n3e38 2 0 3\n3 3 0 3\n",     // x * 1.25 beyond floats
        "1 1 0 3\n2 2 0 3e38\n3 3 0 3\n",     // a huge width still fits: all three stay
        "1 1 0 3\n1 2 10.4 69.8.0\n3 3 0 3\n",  // ".0 3 3 0" is a gate of width 0: kept
    };
    const uint32_t expected[] = {3, 1, 1, 3, 3};
    for (int i = 0; i < 5; i++) {
        Load(courses[i]);
        EXPECT_EQ(gCheckpoints.gateCount, expected[i]) << courses[i];
        for (uint32_t g = 0; g < gCheckpoints.gateCount; g++) {
            const Checkpoint& gate = gCheckpoints.gates[g];
            for (const float* p : {gate.leftPost, gate.centre, gate.rightPost, gate.aimPoint})
                for (int k = 0; k < 3; k++)
                    EXPECT_TRUE(std::isfinite(p[k])) << courses[i];
        }
    }
}

TEST_F(CourseFileTest, TextAndNumbersBeyondFloatsEndTheCourse)
{
    Load("1 1 0 3\n2 2 zero 3\n3 3 0 3\n");
    EXPECT_EQ(gCheckpoints.gateCount, 1u);
    Load("1 1 0 3\n2 2 1e39 3\n");
    EXPECT_EQ(gCheckpoints.gateCount, 1u);
    Load("");
    EXPECT_EQ(gCheckpoints.gateCount, 0u);
}

}  // namespace
