// Race recordings: the file format, the numbered files and playing one back.
#include "race/replay.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/appdir.h"
#include "app/config.h"
#include "app/log.h"
#include "platform/sys.h"
#include "race/dust.h"
#include "race/standings.h"

static const char kMagic[4] = {'Q', 'B', 'R', 0x1a};

void ClearReplay(Replay& r)
{
    r.runs.clear();
    memset(r.gameVersion, 0, sizeof r.gameVersion);
    memset(r.track, 0, sizeof r.track);
    r.trackChecksum = 0;
    r.setup = RaceSetup{};
    memset(r.names, 0, sizeof r.names);
    r.randomState = 0;
    r.steps = 0;
    r.finished = 0;
    r.full = false;
    memset(r.score, 0, sizeof r.score);
    memset(r.place, 0, sizeof r.place);
}

static uint8_t Flags(const CarControls& c)
{
    return (uint8_t)((c.accelerate ? 1 : 0) | (c.left ? 2 : 0) | (c.brake ? 4 : 0) | (c.right ? 8 : 0) |
                     (c.mouseSteering ? 16 : 0) | (c.wheelSteering ? 32 : 0));
}

// The controls as stored: flags as 0 or 1, nothing of computer cars.
static CarControls Stored(const Replay& r, uint32_t car, const CarControls& c)
{
    CarControls s = {};
    if (!r.setup.human[car])
        return s;
    const uint8_t f = Flags(c);
    s.accelerate = f & 1;
    s.left = (f >> 1) & 1;
    s.brake = (f >> 2) & 1;
    s.right = (f >> 3) & 1;
    s.mouseSteering = (f >> 4) & 1;
    s.wheelSteering = (f >> 5) & 1;
    s.mouseSteer = c.mouseSteer;
    s.wheelX = c.wheelX;
    s.wheelY = c.wheelY;
    return s;
}

static bool SameControls(const CarControls* a, const CarControls* b)
{
    for (int c = 0; c < kMaxCars; c++) {
        if (Flags(a[c]) != Flags(b[c]) || a[c].mouseSteer != b[c].mouseSteer || a[c].wheelX != b[c].wheelX ||
            a[c].wheelY != b[c].wheelY)
            return false;
    }
    return true;
}

// A file's bytes besides its runs, and one run's: its length and, per
// person driving, the flags and three floats.  A recording stops growing
// where its file would pass kReplayMaxBytes, so every file the game writes
// loads back.
static const size_t kReplayFixedBytes = 210;

static size_t RunBytes(const Replay& r)
{
    size_t bytes = 4;
    for (int c = 0; c < kMaxCars; c++)
        bytes += r.setup.human[c] ? 13 : 0;
    return bytes;
}

size_t ReplayFileBytes(const Replay& r)
{
    return kReplayFixedBytes + r.runs.size() * RunBytes(r);
}

void AppendReplayStep(Replay& r, const CarControls* controls)
{
    // Steps hold no times: once one is dropped, a later one kept would be
    // played a step early, so the recording ends at the first drop.
    if (r.full)
        return;
    ReplayRun run = {};
    run.steps = 1;
    for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++)
        run.controls[c] = Stored(r, c, controls[c]);
    const bool same = !r.runs.empty() && SameControls(r.runs.back().controls, run.controls);
    const bool room = r.runs.size() < kReplayMaxRuns && ReplayFileBytes(r) + RunBytes(r) <= kReplayMaxBytes;
    if (r.steps >= kReplayMaxSteps || (!same && !room)) {
        r.full = true;
        return;
    }
    if (same)
        r.runs.back().steps++;
    else
        r.runs.push_back(run);
    r.steps++;
}

void TakeReplayResults(Replay& r, bool finished)
{
    const uint32_t cars = r.setup.carCount > (uint32_t)kMaxCars ? (uint32_t)kMaxCars : r.setup.carCount;
    // The format's one mark for a race that does not play to its end.
    r.finished = finished && !r.full ? 1 : 0;
    memset(r.place, 0, sizeof r.place);
    for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++)
        r.score[c] = c < cars ? gStandings.score[c] : 0.0f;
    for (uint32_t i = 0; i < cars; i++) {
        const uint32_t c = gStandings.rankByScore[i];
        if (c < cars)
            r.place[c] = (uint8_t)(cars - i);
    }
}

// --- Writing -----------------------------------------------------------------

static void PutBytes(std::string& out, const void* p, size_t n) { out.append((const char*)p, n); }
static void PutU8(std::string& out, uint8_t v) { out.push_back((char)v); }
static void PutU32(std::string& out, uint32_t v)
{
    for (int k = 0; k < 4; k++)
        out.push_back((char)((v >> (8 * k)) & 0xff));
}
static void PutI32(std::string& out, int32_t v) { PutU32(out, (uint32_t)v); }
static void PutF32(std::string& out, float v)
{
    uint32_t bits;
    memcpy(&bits, &v, 4);
    PutU32(out, bits);
}
// A string field of `size` bytes, NUL-terminated and NUL-padded.
static void PutText(std::string& out, const char* text, size_t size)
{
    char field[32] = {};
    snprintf(field, size, "%s", text);
    PutBytes(out, field, size);
}

std::string EncodeReplay(const Replay& r)
{
    std::string out;
    PutBytes(out, kMagic, 4);
    PutU32(out, kReplayFormat);
    PutText(out, r.gameVersion, sizeof r.gameVersion);
    PutText(out, r.track, sizeof r.track);
    PutU32(out, r.trackChecksum);
    const RaceSetup& s = r.setup;
    PutU32(out, s.carCount);
    for (int c = 0; c < kMaxCars; c++)
        PutU8(out, s.human[c] ? 1 : 0);
    PutI32(out, s.gamemode);
    PutI32(out, s.laps);
    PutI32(out, s.timelimit);
    PutI32(out, s.opponentskill);
    PutU8(out, s.funnywheels);
    PutU8(out, s.particles);
    PutU8(out, s.seffects);
    PutF32(out, s.medalshowtime);
    PutI32(out, s.terrainPixelSkip);
    for (int c = 0; c < kMaxCars; c++)
        PutText(out, r.names[c], sizeof r.names[c]);
    PutU32(out, r.randomState);
    PutU32(out, (uint32_t)r.runs.size());
    for (const ReplayRun& run : r.runs) {
        PutU32(out, run.steps);
        for (int c = 0; c < kMaxCars; c++) {
            if (!s.human[c])
                continue;
            const CarControls& k = run.controls[c];
            PutU8(out, Flags(k));
            PutF32(out, k.mouseSteer);
            PutF32(out, k.wheelX);
            PutF32(out, k.wheelY);
        }
    }
    PutU8(out, r.finished);
    for (int c = 0; c < kMaxCars; c++)
        PutF32(out, r.score[c]);
    for (int c = 0; c < kMaxCars; c++)
        PutU8(out, r.place[c]);
    return out;
}

// --- Reading -----------------------------------------------------------------

namespace {

// A bounded cursor over the file's bytes: every read checks what is left.
struct Reader {
    const uint8_t* data;
    size_t size, at;
    bool ok;

    bool Take(void* out, size_t n)
    {
        if (!ok || size - at < n) {
            ok = false;
            return false;
        }
        memcpy(out, data + at, n);
        at += n;
        return true;
    }
    uint8_t U8()
    {
        uint8_t v = 0;
        Take(&v, 1);
        return v;
    }
    uint32_t U32()
    {
        uint8_t b[4] = {};
        Take(b, 4);
        return (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
    }
    int32_t I32() { return (int32_t)U32(); }
    float F32()
    {
        const uint32_t bits = U32();
        float v;
        memcpy(&v, &bits, 4);
        return v;
    }
    // A text field: false unless a NUL ends it inside the field and only
    // NULs follow (the way the game writes it).
    bool Text(char* out, size_t n)
    {
        if (!Take(out, n))
            return false;
        const char* end = (const char*)memchr(out, 0, n);
        if (!end)
            return false;
        for (const char* p = end; p < out + n; p++) {
            if (*p != 0)
                return false;
        }
        return true;
    }
};

}  // namespace

static bool Fail(char* error, size_t size, const char* why)
{
    snprintf(error, size, "damaged recording: %s", why);
    return false;
}

bool DecodeReplay(const uint8_t* data, size_t size, Replay* out, char* error, size_t errorSize)
{
    Replay& r = *out;
    ClearReplay(r);
    if (size > kReplayMaxBytes)
        return Fail(error, errorSize, "file too large");
    Reader in = {data, size, 0, true};
    char magic[4] = {};
    if (!in.Take(magic, 4) || memcmp(magic, kMagic, 4) != 0) {
        snprintf(error, errorSize, "not a Quibbit recording");
        return false;
    }
    const uint32_t format = in.U32();
    if (in.ok && format != kReplayFormat) {
        snprintf(error, errorSize, "recording format %u, this game reads format %u", format, kReplayFormat);
        return false;
    }
    if (!in.Text(r.gameVersion, sizeof r.gameVersion) || !in.Text(r.track, sizeof r.track))
        return Fail(error, errorSize, "bad version or track name");
    if (r.track[0] == 0 || strchr(r.track, '/') || strchr(r.track, '.'))
        return Fail(error, errorSize, "bad track name");
    r.trackChecksum = in.U32();
    RaceSetup& s = r.setup;
    s.carCount = in.U32();
    for (int c = 0; c < kMaxCars; c++) {
        s.human[c] = in.U8();
        if (s.human[c] > 1)
            return Fail(error, errorSize, "bad driver list");
    }
    s.gamemode = in.I32();
    s.laps = in.I32();
    s.timelimit = in.I32();
    s.opponentskill = in.I32();
    s.funnywheels = in.U8();
    s.particles = in.U8();
    s.seffects = in.U8();
    s.medalshowtime = in.F32();
    s.terrainPixelSkip = in.I32();
    if (!in.ok)
        return Fail(error, errorSize, "header cut short");
    if (s.carCount < 1 || s.carCount > (uint32_t)kMaxCars || s.gamemode < 0 || s.gamemode > 1 ||
        s.laps < 1 || s.laps > 100000 || s.timelimit < 1 || s.timelimit > 1000000 || s.opponentskill < 0 ||
        s.opponentskill > 2 || s.funnywheels > 1 || s.particles > 1 || s.seffects > 1 ||
        !std::isfinite(s.medalshowtime) || s.terrainPixelSkip < 1 || s.terrainPixelSkip > 2)
        return Fail(error, errorSize, "race settings out of range");
    for (int c = 0; c < kMaxCars; c++) {
        if (!in.Text(r.names[c], sizeof r.names[c]))
            return Fail(error, errorSize, "bad player name");
    }
    r.randomState = in.U32();
    const uint32_t runCount = in.U32();
    if (!in.ok)
        return Fail(error, errorSize, "header cut short");
    // Each run takes at least its four-byte length: no count beyond the bytes left.
    if (runCount > (in.size - in.at) / 4 || runCount > kReplayMaxRuns)
        return Fail(error, errorSize, "more runs than the file holds");
    r.runs.reserve(runCount);
    for (uint32_t i = 0; i < runCount; i++) {
        ReplayRun run = {};
        run.steps = in.U32();
        if (in.ok && (run.steps == 0 || run.steps > kReplayMaxSteps - r.steps))
            return Fail(error, errorSize, "bad step count");
        for (int c = 0; c < kMaxCars && in.ok; c++) {
            if (!s.human[c])
                continue;
            CarControls& k = run.controls[c];
            const uint8_t f = in.U8();
            if (f > 63)
                return Fail(error, errorSize, "bad control flags");
            k.accelerate = f & 1;
            k.left = (f >> 1) & 1;
            k.brake = (f >> 2) & 1;
            k.right = (f >> 3) & 1;
            k.mouseSteering = (f >> 4) & 1;
            k.wheelSteering = (f >> 5) & 1;
            k.mouseSteer = in.F32();
            k.wheelX = in.F32();
            k.wheelY = in.F32();
            if (in.ok && (!std::isfinite(k.mouseSteer) || fabsf(k.wheelX) > 1.0f || fabsf(k.wheelY) > 1.0f ||
                          !std::isfinite(k.wheelX) || !std::isfinite(k.wheelY)))
                return Fail(error, errorSize, "control values out of range");
        }
        if (!in.ok)
            return Fail(error, errorSize, "controls cut short");
        r.steps += run.steps;
        r.runs.push_back(run);
    }
    r.finished = in.U8();
    for (int c = 0; c < kMaxCars; c++)
        r.score[c] = in.F32();
    for (int c = 0; c < kMaxCars; c++)
        r.place[c] = in.U8();
    if (!in.ok)
        return Fail(error, errorSize, "results cut short");
    if (in.at != in.size)
        return Fail(error, errorSize, "bytes after the results");
    if (r.finished > 1)
        return Fail(error, errorSize, "bad finish mark");
    for (int c = 0; c < kMaxCars; c++) {
        if (!std::isfinite(r.score[c]) || r.place[c] > s.carCount)
            return Fail(error, errorSize, "bad results");
    }
    return true;
}

// --- Files -------------------------------------------------------------------

static void Fnv(uint32_t& h, const uint8_t* p, size_t n)
{
    for (size_t i = 0; i < n; i++) {
        h ^= p[i];
        h *= 16777619u;
    }
}

bool TrackChecksum(const char* track, uint32_t* out)
{
    static const char* const kFolders[3][2] = {
        {"data/tracks/terrains/", ".tga"}, {"data/tracks/checkpoints/", ".txt"}, {"data/tracks/textures/", ".tga"}};
    uint32_t h = 2166136261u;
    for (const auto& f : kFolders) {
        char path[256];
        snprintf(path, sizeof path, "%s%s%s", f[0], track, f[1]);
        FILE* file = OpenDataFile(path, "rb");
        if (!file)
            return false;
        uint8_t buffer[4096];
        uint32_t length = 0;
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
            Fnv(h, buffer, n);
            length += (uint32_t)n;
        }
        fclose(file);
        uint8_t len[4] = {(uint8_t)length, (uint8_t)(length >> 8), (uint8_t)(length >> 16), (uint8_t)(length >> 24)};
        Fnv(h, len, 4);
    }
    *out = h;
    return true;
}

// The number of a recording's file name "NNN.qbr", or -1.
static long RecordingNumber(const std::string& name)
{
    if (name.size() < 5 || name.compare(name.size() - 4, 4, ".qbr") != 0)
        return -1;
    long n = 0;
    for (size_t i = 0; i + 4 < name.size(); i++) {
        if (name[i] < '0' || name[i] > '9' || n > 100000000)
            return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

bool SaveReplay(const Replay& r, char* path, size_t pathSize)
{
    // Beside the executable, or in the player's folder for an installed game.
    char dir[512] = "data/replays/";
    if (!MakeAbsolutePath(dir, sizeof dir))
        return false;
    dir[strlen(dir) - 1] = 0;  // no trailing "/"
    SysMakeDirectory(dir);
    std::vector<std::string> names;
    SysListDirectory(dir, names);
    long next = 0;
    std::vector<long> numbers;
    for (const std::string& name : names) {
        const long n = RecordingNumber(name);
        if (n >= 0) {
            numbers.push_back(n);
            if (n >= next)
                next = n + 1;
        }
    }

    const std::string bytes = EncodeReplay(r);
    char temp[600];
    snprintf(temp, sizeof temp, "%s/recording.part", dir);
    FILE* file = fopen(temp, "wb");
    if (!file)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (fclose(file) != 0 || !written) {
        remove(temp);
        return false;
    }
    bool published = false;
    for (int tries = 0; tries < 1000 && !published; tries++, next++) {
        char final[600];
        snprintf(final, sizeof final, "%s/%03ld.qbr", dir, next);
        published = SysPublishFile(temp, final);
        if (published) {
            snprintf(path, pathSize, "data/replays/%03ld.qbr", next);
            numbers.push_back(next);
        }
    }
    if (!published) {
        remove(temp);
        return false;
    }
    // The newest kReplayKept stay: remove the lowest numbers.
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 0; i + (size_t)kReplayKept < numbers.size(); i++) {
        char old[600];
        snprintf(old, sizeof old, "%s/%03ld.qbr", dir, numbers[i]);
        remove(old);
    }
    return true;
}

bool LoadReplayFile(const char* path, Replay* out, char* error, size_t errorSize)
{
    FILE* file = fopen(path, "rb");
    if (!file) {
        snprintf(error, errorSize, "cannot open %s: %s", path, strerror(errno));
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > kReplayMaxBytes)
            break;
    }
    fclose(file);
    return DecodeReplay(bytes.data(), bytes.size(), out, error, errorSize);
}

// --- Playing -----------------------------------------------------------------

bool StartReplay(const Replay& r, char* error, size_t errorSize)
{
    if (strcmp(r.gameVersion, kProgramVersion) != 0) {
        snprintf(error, errorSize, "recorded by version %s, this is %s", r.gameVersion, kProgramVersion);
        return false;
    }
    int32_t track = -1;
    for (int32_t i = 0; i < gConfig.trackCount && i < kMaxTracks; i++) {
        if (strcmp(gConfig.trackNames[i], r.track) == 0)
            track = i;
    }
    uint32_t checksum = 0;
    if (track < 0 || !TrackChecksum(r.track, &checksum)) {
        snprintf(error, errorSize, "track \"%s\" is missing", r.track);
        return false;
    }
    if (checksum != r.trackChecksum) {
        snprintf(error, errorSize, "track \"%s\" has changed since the race was recorded", r.track);
        return false;
    }
    gRaceSetup = r.setup;
    gRaceSetup.track = track;
    ClearDust();
    LoadTrack();
    SetRandomState(r.randomState);  // the grid draws the first tag holder
    ResetCars();
    return true;
}

bool ReplayStep(const Replay& r, ReplayCursor& cursor)
{
    while (cursor.run < r.runs.size() && cursor.inRun >= r.runs[cursor.run].steps) {
        cursor.run++;
        cursor.inRun = 0;
    }
    if (cursor.run >= r.runs.size())
        return false;
    const ReplayRun& run = r.runs[cursor.run];
    for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++) {
        if (r.setup.human[c])
            gControls[c] = run.controls[c];
    }
    UpdateRace(kRaceDriving);
    cursor.inRun++;
    cursor.step++;
    return true;
}
