// The dust pass in a real rendering context: it writes no depth (so a near
// puff never cuts a square out of the puffs behind it) and leaves the depth
// write mask as it found it; a puff is laid over the background in its own
// colour.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "io_test_util.h"
#include "race/camera.h"
#include "race/dust.h"
#include "race/terrain.h"
#include "render/dust_gl.h"
#include "render/race_frame.h"

namespace {

class DustDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gTerrain, 0, sizeof gTerrain);  // flat: the ground query answers 0 everywhere
        ClearDust();
        ClearDustGround();
        gDust.texture = 0;  // untextured: each puff a flat square
        currentView = 0;
        memset(&gCameras[0], 0, sizeof gCameras[0]);  // at the origin, looking along -z
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 0.1, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override { ClearDust(); }
    iotest::ScratchGame game{64, 64, true};
};

TEST_F(DustDraw, WritesNoDepthAndRestoresTheMask)
{
    // One puff 5 units ahead, 1.0 across at the start of its life.
    EmitDust(0.0f, -0.25f, -5.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    gDust.particles[0].size = 1.0f;
    gDust.particles[0].startSize = 1.0f - 1e-4f;
    const float colour[3] = {1.0f, 0.5f, 0.25f};
    memcpy(gDust.particles[0].colour, colour, sizeof colour);
    for (GLboolean before : {GL_TRUE, GL_FALSE}) {
        SCOPED_TRACE(before ? "depth writes on" : "depth writes off");
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDepthMask(before);
        DrawDust();
        GLboolean after = !before;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &after);
        EXPECT_EQ(after, before);
        float depth = 0.0f;
        glReadPixels(32, 32, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f);  // nothing written
        uint8_t rgb[3];  // over black: the puff's own colour at 0.6 strength
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(32, 32, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
        EXPECT_NEAR(rgb[0], 153, 2);
        EXPECT_NEAR(rgb[1], 77, 2);
        EXPECT_NEAR(rgb[2], 38, 2);
    }
    glDepthMask(GL_TRUE);
}

}  // namespace
