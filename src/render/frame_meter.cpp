#include "render/frame_meter.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/log.h"
#include "platform/sys.h"

FrameMeter gFrameMeter;

namespace {

const char* const kPassNames[kPassCount] = {"other", "shadows", "clear", "cars",    "gates", "terrain",
                                            "sky",   "decals",  "dust",  "markers", "hud",   "swap"};

double Seconds(uint64_t ticks)
{
    return (double)ticks / (double)SysFrequency();
}

}  // namespace

void ResetFrameMeter()
{
    gFrameMeter = FrameMeter();
    gFrameMeter.passTiming = getenv("QUIBBIT_PASS_TIMES") != nullptr;
}

void MeterRaceFrame()
{
    FrameMeter& m = gFrameMeter;
    const uint64_t now = SysCounter();
    if (m.lastCounter == 0) {
        m.firstCounter = now;
        m.firstProcess = SysProcessSeconds();
    } else {
        m.frames++;
        if (m.passTiming)
            m.passSeconds[kPassOther] += Seconds(now - m.passMark);
    }
    m.lastCounter = now;
    m.lastProcess = SysProcessSeconds();
    m.passMark = now;
}

void EndPass(FramePass pass)
{
    FrameMeter& m = gFrameMeter;
    if (!m.passTiming || m.lastCounter == 0)
        return;
    glFinish();
    const uint64_t now = SysCounter();
    m.passSeconds[pass] += Seconds(now - m.passMark);
    m.passMark = now;
}

void LogFrameMeter()
{
    const FrameMeter& m = gFrameMeter;
    if (m.frames == 0)
        return;
    const double wall = Seconds(m.lastCounter - m.firstCounter);
    const double process = m.lastProcess - m.firstProcess;
    LogMessage("Race frames: %llu in %.2f s: %.1f fps, %.2f ms processor time per frame (%.2f cores)",
               (unsigned long long)m.frames, wall, wall > 0.0 ? (double)m.frames / wall : 0.0,
               process * 1000.0 / (double)m.frames, wall > 0.0 ? process / wall : 0.0);
    if (!m.passTiming)
        return;
    char line[512];
    size_t used = 0;
    for (int p = 0; p < kPassCount && used < sizeof line; p++)
        used += (size_t)snprintf(line + used, sizeof line - used, "%s%s %.2f", p ? ", " : "", kPassNames[p],
                                 m.passSeconds[p] * 1000.0 / (double)m.frames);
    LogMessage("Pass times, ms per frame: %s", line);
}
