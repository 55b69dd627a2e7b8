#include "render/frame_meter.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "app/log.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "render/gl_util.h"

FrameMeter gFrameMeter;

namespace {

const char* const kPassNames[kPassCount] = {"other", "shadows", "clear",   "cars", "gates",    "terrain", "sky",
                                            "decals", "dust",   "markers", "hud",  "doubling", "swap"};

double Seconds(uint64_t ticks)
{
    return (double)ticks / (double)SysFrequency();
}

// The pass counters: two statistics queries kept running, ended and read at
// every pass's end (after its glFinish, so the results are there) and begun
// again for the next pass.
const GLenum kFragmentsQuery = 0x82F4;  // GL_FRAGMENT_SHADER_INVOCATIONS_ARB
const GLenum kVerticesQuery = 0x82EE;   // GL_VERTICES_SUBMITTED_ARB
const GLenum kQueryResult = 0x8866;     // GL_QUERY_RESULT
typedef void(GLAPIENTRY* GenQueriesFn)(GLsizei, GLuint*);
typedef void(GLAPIENTRY* DeleteQueriesFn)(GLsizei, const GLuint*);
typedef void(GLAPIENTRY* BeginQueryFn)(GLenum, GLuint);
typedef void(GLAPIENTRY* EndQueryFn)(GLenum);
typedef void(GLAPIENTRY* GetQueryObjectFn)(GLuint, GLenum, GLuint*);

struct PassCounters {
    GenQueriesFn genQueries;
    DeleteQueriesFn deleteQueries;
    BeginQueryFn beginQuery;
    EndQueryFn endQuery;
    GetQueryObjectFn getQueryObject;
    GLuint queries[2];  // fragments, vertices
    bool running;
};
PassCounters counters;

// At the first race frame with pass timing: true when the renderer counts.
bool StartCounters()
{
    PassCounters& q = counters;
    q = PassCounters();
    if (!HasExtension("GL_ARB_pipeline_statistics_query"))
        return false;
    q.genQueries = (GenQueriesFn)GlFunction("glGenQueries");
    q.deleteQueries = (DeleteQueriesFn)GlFunction("glDeleteQueries");
    q.beginQuery = (BeginQueryFn)GlFunction("glBeginQuery");
    q.endQuery = (EndQueryFn)GlFunction("glEndQuery");
    q.getQueryObject = (GetQueryObjectFn)GlFunction("glGetQueryObjectuiv");
    if (!q.genQueries || !q.deleteQueries || !q.beginQuery || !q.endQuery || !q.getQueryObject)
        return false;
    q.genQueries(2, q.queries);
    q.beginQuery(kFragmentsQuery, q.queries[0]);
    q.beginQuery(kVerticesQuery, q.queries[1]);
    q.running = true;
    return true;
}

// Ends the running queries and adds their counts to `pass` (none: drops them).
void EndCounters(FramePass pass)
{
    PassCounters& q = counters;
    if (!q.running)
        return;
    q.endQuery(kFragmentsQuery);
    q.endQuery(kVerticesQuery);
    q.running = false;
    GLuint fragments = 0, vertices = 0;
    q.getQueryObject(q.queries[0], kQueryResult, &fragments);
    q.getQueryObject(q.queries[1], kQueryResult, &vertices);
    if (pass == kPassCount)
        return;
    gFrameMeter.passFragments[pass] += (double)fragments;
    gFrameMeter.passVertices[pass] += (double)vertices;
}

// The next pass's counts.
void RestartCounters(FramePass finished)
{
    PassCounters& q = counters;
    EndCounters(finished);
    q.beginQuery(kFragmentsQuery, q.queries[0]);
    q.beginQuery(kVerticesQuery, q.queries[1]);
    q.running = true;
}

}  // namespace

void ResetFrameMeter()
{
    gFrameMeter = FrameMeter();
    gFrameMeter.passTiming = getenv("QUIBBIT_PASS_TIMES") != nullptr;
}

void MeterRaceFrame(uint32_t trackGeneration)
{
    FrameMeter& m = gFrameMeter;
    const uint64_t now = SysCounter();
    const double process = SysProcessSeconds(), thread = SysThreadSeconds();
    const bool first = m.lastCounter == 0;
    const bool newTrack = first || trackGeneration != m.generation;
    const bool counted = !newTrack && !m.firstDrawing;
    if (first && m.passTiming)
        m.passCounting = StartCounters();
    if (counted) {
        const uint64_t frame = now - m.lastCounter;
        m.frames++;
        m.ticks += frame;
        m.processSeconds += process - m.lastProcess;
        m.threadSeconds += thread - m.lastThread;
        if (frame > m.longestTicks) {
            m.longestTicks = frame;
            m.longestAt = m.ticks;
        }
        if (m.passTiming)
            m.passSeconds[kPassOther] += Seconds(now - m.passMark);
    }
    if (m.passCounting)
        RestartCounters(counted ? kPassOther : kPassCount);
    m.generation = trackGeneration;
    m.firstDrawing = newTrack;
    m.lastCounter = now;
    m.lastProcess = process;
    m.lastThread = thread;
    m.passMark = now;
}

void EndPass(FramePass pass)
{
    FrameMeter& m = gFrameMeter;
    if (!m.passTiming || m.lastCounter == 0)
        return;
    glFinish();
    const uint64_t now = SysCounter();
    if (!m.firstDrawing)
        m.passSeconds[pass] += Seconds(now - m.passMark);
    if (m.passCounting)
        RestartCounters(m.firstDrawing ? kPassCount : pass);
    m.passMark = SysCounter();  // reading the counters is not the next pass's time
}

void LogFrameMeter()
{
    const FrameMeter& m = gFrameMeter;
    if (counters.running) {
        // Whatever ran after the last frame's swap is not a frame's.
        counters.endQuery(kFragmentsQuery);
        counters.endQuery(kVerticesQuery);
        counters.running = false;
    }
    if (m.passCounting)
        counters.deleteQueries(2, counters.queries);
    if (m.frames == 0)
        return;
    const double wall = Seconds(m.ticks);
    const double process = m.processSeconds;
    LogMessage("Race frames: %llu in %.2f s: %.1f fps, %.2f ms processor time per frame (%.2f cores), "
               "%.2f ms on the game's thread",
               (unsigned long long)m.frames, wall, wall > 0.0 ? (double)m.frames / wall : 0.0,
               process * 1000.0 / (double)m.frames, wall > 0.0 ? process / wall : 0.0,
               m.threadSeconds * 1000.0 / (double)m.frames);
    LogMessage("Longest race frame: %.1f ms, %.2f s into the race frames", Seconds(m.longestTicks) * 1000.0,
               Seconds(m.longestAt));
    if (!m.passTiming)
        return;
    char line[512];
    size_t used = 0;
    for (int p = 0; p < kPassCount && used < sizeof line; p++)
        used += (size_t)snprintf(line + used, sizeof line - used, "%s%s %.2f", p ? ", " : "", kPassNames[p],
                                 m.passSeconds[p] * 1000.0 / (double)m.frames);
    LogMessage("Pass times, ms per frame: %s", line);
    if (!m.passCounting)
        return;
    used = 0;
    for (int p = 0; p < kPassCount && used < sizeof line; p++)
        used += (size_t)snprintf(line + used, sizeof line - used, "%s%s %.0f/%.1f", p ? ", " : "", kPassNames[p],
                                 m.passFragments[p] / 1000.0 / (double)m.frames,
                                 m.passVertices[p] / 1000.0 / (double)m.frames);
    LogMessage("Pass counts, thousand fragments/vertices per frame: %s", line);
}
