// The track checker: file formats first (heightmap, texture, course text
// line by line), then the course on the ground (gate count, the world's
// edge, ground a car can reach, spacing, gates clear of each other, the
// start grid).  Thresholds come from the car and the world rules: a car
// is 1.5 long and 1.25 wide, the world ends at -32 and 30, ground steeper
// than kClimbableSlope throws a car back.
#include "race/track_check.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "app/appdir.h"
#include "assets/tga.h"
#include "race/replay.h"
#include "race/terrain.h"
#include "race/terrain_image.h"

namespace {

const float kPi = 3.141592654f;
const float kWorldLow = -32.0f, kWorldHigh = 30.0f;
const float kMinSpacing = 3.0f;    // between neighbouring gate centres
const float kMaxSpacing = 30.0f;   // drivers aim straight at the next gate
const float kMinClearance = 1.5f;  // between two gates: a car's length
const float kMinHalfWidth = 1.0f;  // a gate narrower than 2 barely takes a car
const uint32_t kMinTextureSide = 512;
const long kMaxCourseBytes = 1 << 20;
const long kMaxImageBytes = 64L << 20;
// The grid: five cars at x = -5 .. 3, z = 5 .. 13, widened by a car's size.
const float kGridX0 = -6.0f, kGridX1 = 4.0f, kGridZ0 = 3.75f, kGridZ1 = 14.25f;
const int kCells = kGridSize - 1;  // cells per side of the 64 x 64 samples

// One more problem, as printf formats it; past the last slot it is only counted.
__attribute__((format(printf, 2, 3))) void AddTrackProblem(TrackProblems* problems, const char* format, ...)
{
    if (!problems)
        return;
    if (problems->count >= kMaxTrackProblems) {
        problems->dropped++;
        return;
    }
    va_list args;
    va_start(args, format);
    vsnprintf(problems->text[problems->count], kTrackProblemSize, format, args);
    va_end(args);
    problems->count++;
}

struct Vec2 {
    float x, z;
};

Vec2 Post(const float p[3])
{
    return {p[0], p[2]};
}

float Cross(Vec2 a, Vec2 b, Vec2 c)
{
    return (b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x);
}

bool SegmentsCross(Vec2 a, Vec2 b, Vec2 c, Vec2 d)
{
    const float d1 = Cross(c, d, a), d2 = Cross(c, d, b), d3 = Cross(a, b, c), d4 = Cross(a, b, d);
    return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 && d4 != 0;
}

float PointSegment(Vec2 p, Vec2 a, Vec2 b)
{
    const float dx = b.x - a.x, dz = b.z - a.z;
    const float len2 = dx * dx + dz * dz;
    float t = len2 > 0.0f ? ((p.x - a.x) * dx + (p.z - a.z) * dz) / len2 : 0.0f;
    t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
    return hypotf(p.x - (a.x + t * dx), p.z - (a.z + t * dz));
}

float SegmentGap(Vec2 a, Vec2 b, Vec2 c, Vec2 d)
{
    if (SegmentsCross(a, b, c, d))
        return 0.0f;
    return fminf(fminf(PointSegment(a, c, d), PointSegment(b, c, d)),
                 fminf(PointSegment(c, a, b), PointSegment(d, a, b)));
}

bool InsideGrid(Vec2 p)
{
    return p.x >= kGridX0 && p.x <= kGridX1 && p.z >= kGridZ0 && p.z <= kGridZ1;
}

bool SegmentMeetsGrid(Vec2 a, Vec2 b)
{
    if (InsideGrid(a) || InsideGrid(b))
        return true;
    const Vec2 c[4] = {{kGridX0, kGridZ0}, {kGridX1, kGridZ0}, {kGridX1, kGridZ1}, {kGridX0, kGridZ1}};
    for (int k = 0; k < 4; k++)
        if (SegmentGap(a, b, c[k], c[(k + 1) % 4]) == 0.0f)
            return true;
    return false;
}

// The steeper of a cell's two triangles, measured as the car step does:
// (|dy/dx| + |dy/dz|) / 2.
float CellSlope(const float* h, int i, int j)
{
    const float h00 = h[i + kGridSize * j], h10 = h[i + 1 + kGridSize * j];
    const float h01 = h[i + kGridSize * (j + 1)], h11 = h[i + 1 + kGridSize * (j + 1)];
    const float a = (fabsf(h10 - h00) + fabsf(h01 - h00)) / 2.0f;
    const float b = (fabsf(h11 - h01) + fabsf(h11 - h10)) / 2.0f;
    return fmaxf(a, b);
}

// Cell (i, j) under world (x, z), or false off the grid.
bool CellAt(float x, float z, int* i, int* j)
{
    const float u = x + 32.5f, v = z + 32.5f;
    if (!(u >= 0.0f && v >= 0.0f && u < (float)kCells && v < (float)kCells))
        return false;
    *i = (int)u;
    *j = (int)v;
    return true;
}

// A word of the course for a message: at most 20 characters, anything
// unprintable as '?'.
void Quote(const char* word, size_t length, char* out, size_t size)
{
    size_t n = 0;
    for (size_t k = 0; k < length && n + 1 < size && k < 20; k++, n++)
        out[n] = isprint((unsigned char)word[k]) ? word[k] : '?';
    out[n] = '\0';
}

// The whole of a data file, or null (with *size the reason: -1 missing,
// -2 too large).  The caller frees it.
char* ReadWholeFile(const char* path, long limit, long* size)
{
    FILE* file = OpenDataFile(path, "rb");
    if (!file) {
        *size = -1;
        return nullptr;
    }
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0)
        length = ftell(file);
    if (length < 0 || length > limit || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        *size = -2;
        return nullptr;
    }
    char* bytes = (char*)malloc((size_t)length + 1);
    if (bytes && fread(bytes, 1, (size_t)length, file) != (size_t)length) {
        free(bytes);
        bytes = nullptr;
    }
    fclose(file);
    if (!bytes) {
        *size = -2;
        return nullptr;
    }
    bytes[length] = '\0';
    *size = length;
    return bytes;
}

// The 18-byte TGA header's facts, as the game's readers use them.
struct TgaFacts {
    uint32_t width, height, bits;
    bool rle;
    bool typeOk;   // true colour: uncompressed (2) or run-length (10)
    bool extras;   // an image ID or a colour map, which the readers do not skip
};

// Run-length or not is decided as the readers decide it (TgaIsRunLength):
// a type-10 header with colour-map bytes set is read neither as packets nor
// sensibly as raw pixels, so it counts as a colour map here.
TgaFacts ReadFacts(const uint8_t* h)
{
    TgaFacts f;
    f.width = h[12] + 256u * h[13];
    f.height = h[14] + 256u * h[15];
    f.bits = h[16];
    f.rle = TgaIsRunLength(h);
    f.typeOk = h[2] == 2 || h[2] == 10;
    f.extras = h[0] != 0 || h[1] != 0 || (h[2] == 10 && !f.rle);
    return f;
}

// Heightmap rules; on success the grid in `heights` exactly as LoadTerrain
// builds it with a height scale of 0.0125.
bool CheckHeightmap(const char* name, float* heights, TrackProblems* problems)
{
    char path[256];
    snprintf(path, sizeof path, "data/tracks/terrains/%s.tga", name);
    long size = 0;
    char* bytes = ReadWholeFile(path, kMaxImageBytes, &size);
    if (!bytes) {
        AddTrackProblem(problems, size == -1 ? "the heightmap %s cannot be read." : "the heightmap %s is too large.",
                        path);
        return false;
    }
    bool ok = false;
    const uint8_t* b = (const uint8_t*)bytes;
    if (size < 18) {
        AddTrackProblem(problems, "the heightmap is not a TGA image (%ld bytes).", size);
    } else {
        const TgaFacts f = ReadFacts(b);
        if (!f.typeOk || f.extras)
            AddTrackProblem(problems, "the heightmap is not a plain true-colour TGA (uncompressed or run-length, "
                                      "without image ID or colour map).");
        else if (f.bits != 24 && f.bits != 32)
            AddTrackProblem(problems, "the heightmap has %u bits per pixel; it must have 24 or 32.", f.bits);
        else if (f.width != (uint32_t)kGridSize || f.height != (uint32_t)kGridSize)
            AddTrackProblem(problems, "the heightmap is %u x %u pixels; it must be 64 x 64.", f.width, f.height);
        else
            ok = true;
        if (ok) {
            const uint32_t bpp = f.bits / 8;
            const uint32_t count = (uint32_t)(kGridSize * kGridSize) * bpp;
            uint8_t* pixels = (uint8_t*)calloc(count, 1);
            if (!pixels) {
                ok = false;
            } else if (f.rle) {
                ok = DecodeRunLength(b + 18, (uint32_t)(size - 18), pixels, count, bpp);
            } else {
                ok = (uint32_t)(size - 18) >= count;
                if (ok)
                    memcpy(pixels, b + 18, count);
            }
            if (!ok) {
                AddTrackProblem(problems, "the heightmap's pixel data is cut short.");
            } else {
                for (int p = 0; p < kGridSize * kGridSize; p++) {
                    const uint8_t* px = pixels + p * bpp;
                    const float grey = ((float)px[0] + (float)px[1] + (float)px[2]) / 3.0f;
                    heights[p % kGridSize + kGridSize * (kGridSize - 1 - p / kGridSize)] = grey * 0.0125f;
                }
            }
            free(pixels);
        }
    }
    free(bytes);
    return ok;
}

// Whether run-length packets from `file` supply `pixels` pixels of
// `bytesPerPixel` bytes before the file ends.
bool RunLengthComplete(FILE* file, uint64_t pixels, uint32_t bytesPerPixel)
{
    uint64_t done = 0;
    while (done < pixels) {
        const int header = fgetc(file);
        if (header == EOF)
            return false;
        const uint32_t count = (uint32_t)(header & 127) + 1;
        const long skip = header < 128 ? (long)(count * bytesPerPixel) : (long)bytesPerPixel;
        if (fseek(file, skip - 1, SEEK_CUR) != 0 || fgetc(file) == EOF)
            return false;
        done += count;
    }
    return true;
}

void CheckTexture(const char* name, TrackProblems* problems)
{
    char path[256];
    snprintf(path, sizeof path, "data/tracks/textures/%s.tga", name);
    FILE* file = OpenDataFile(path, "rb");
    if (!file) {
        AddTrackProblem(problems, "the texture %s cannot be read.", path);
        return;
    }
    uint8_t h[18];
    if (fread(h, 1, sizeof h, file) != sizeof h) {
        fclose(file);
        AddTrackProblem(problems, "the texture is not a TGA image.");
        return;
    }
    const TgaFacts f = ReadFacts(h);
    if (!f.typeOk || f.extras) {
        AddTrackProblem(problems, "the texture is not a plain true-colour TGA (uncompressed or run-length, "
                                  "without image ID or colour map).");
    } else if (f.bits != 24 && f.bits != 32) {
        AddTrackProblem(problems, "the texture has %u bits per pixel; it must have 24 or 32.", f.bits);
    } else if (f.width < kMinTextureSide || f.height < kMinTextureSide) {
        AddTrackProblem(problems, "the texture is %u x %u pixels; it must be at least 512 x 512.", f.width,
                        f.height);
    } else if (f.width > kTgaMaxSide || f.height > kTgaMaxSide) {
        // The texture reader refuses it and ends the game at the race's start.
        AddTrackProblem(problems, "the texture is %u x %u pixels; it must be at most %u x %u.", f.width,
                        f.height, kTgaMaxSide, kTgaMaxSide);
    } else {
        const uint64_t pixels = (uint64_t)f.width * f.height;
        bool complete;
        if (f.rle) {
            complete = RunLengthComplete(file, pixels, f.bits / 8);
        } else {
            long size = -1;
            if (fseek(file, 0, SEEK_END) == 0)
                size = ftell(file);
            complete = size >= 0 && (uint64_t)size >= 18 + pixels * (f.bits / 8);
        }
        if (!complete)
            AddTrackProblem(problems, "the texture's pixel data is cut short.");
    }
    fclose(file);
}

}  // namespace

void ClearTrackProblems(TrackProblems* problems)
{
    problems->count = 0;
    problems->dropped = 0;
}

bool MakeGate(float x, float z, float a, float w, Checkpoint* gate, uint8_t* visible)
{
    *visible = 1;
    if (w == 0.5f) {  // a hidden waypoint
        *visible = 0;
        w = 3.0f;
    }
    x *= 1.25f;
    z *= 1.25f;
    const float s = sinf(a * kPi / 180.0f);
    const float c = cosf(a * kPi / 180.0f);
    gate->leftPost[0] = x - c * w;
    gate->leftPost[1] = 0.0f;
    gate->leftPost[2] = z + s * w;
    gate->centre[0] = x;
    gate->centre[1] = 0.0f;
    gate->centre[2] = z;
    gate->rightPost[0] = x + c * w;
    gate->rightPost[1] = 0.0f;
    gate->rightPost[2] = z - s * w;
    // 1 / W along the normal; a gate of width 0 has no such point (it
    // would be infinite or not a number), so the driver aims at its centre.
    gate->aimPoint[0] = w != 0.0f ? x + s / w : x;
    gate->aimPoint[1] = 0.0f;
    gate->aimPoint[2] = w != 0.0f ? z + c / w : z;
    const float* points[4] = {gate->leftPost, gate->centre, gate->rightPost, gate->aimPoint};
    for (const float* p : points)
        if (!std::isfinite(p[0]) || !std::isfinite(p[2]))
            return false;
    return true;
}

int ReadCourseText(const char* text, size_t size, CourseRead* course, TrackProblems* problems)
{
    course->gateCount = 0;
    size_t pos = 0;
    int line = 1;
    bool partial = false;  // a word only partly a number was reported
    auto skipSpace = [&]() {
        while (pos < size && isspace((unsigned char)text[pos])) {
            if (text[pos] == '\n')
                line++;
            pos++;
        }
    };
    while (course->gateCount < (uint32_t)kMaxGates) {
        float v[4];
        int gateLine = line;
        for (int k = 0; k < 4; k++) {
            skipSpace();
            if (pos >= size) {
                if (k > 0)
                    AddTrackProblem(problems, "course line %d: the text ends after %d of the last gate's 4 numbers.",
                                    gateLine, k);
                return 0;
            }
            if (k == 0)
                gateLine = line;
            size_t end = pos;
            while (end < size && !isspace((unsigned char)text[end]))
                end++;
            char word[64];
            const size_t length = end - pos < sizeof word - 1 ? end - pos : sizeof word - 1;
            memcpy(word, text + pos, length);
            word[length] = '\0';
            char* stop = nullptr;
            v[k] = strtof(word, &stop);
            const size_t used = (size_t)(stop - word);
            char quoted[32];
            Quote(text + pos, end - pos, quoted, sizeof quoted);
            if (used == 0 || !std::isfinite(v[k])) {
                AddTrackProblem(problems, "course line %d: \"%s\" is not a number; the game reads no further.",
                                line, quoted);
                return line;
            }
            if (used < end - pos && !partial) {
                // A formatted read takes the number at the front and goes on
                // with the rest of the word.
                AddTrackProblem(problems, "course line %d: \"%s\" is not a number.", line, quoted);
                partial = true;
            }
            pos += used;
        }
        const uint32_t n = course->gateCount;
        if (!MakeGate(v[0], v[1], v[2], v[3], &course->gates[n], &course->visible[n])) {
            AddTrackProblem(problems, "course line %d: gate %u lies beyond the range of numbers; the game reads "
                                      "no further.", gateLine, n);
            return gateLine;
        }
        course->halfWidth[n] = v[3];
        course->line[n] = gateLine;
        course->gateCount = n + 1;
    }
    skipSpace();
    if (pos < size)
        AddTrackProblem(problems, "course line %d: the course has more than 99 gates; the game ignores the rest.", line);
    return 0;
}

void CheckTrackShape(const float* heights, const CourseRead& course, TrackProblems* problems)
{
    const uint32_t n = course.gateCount;
    if (n < 3)
        AddTrackProblem(problems, "the course has %u gate%s; it needs at least 3.", n, n == 1 ? "" : "s");

    // Ground a car can reach: cells joined to the grid's cells through
    // cells no steeper than a car can climb.
    uint8_t reach[kCells * kCells];
    int queue[kCells * kCells];
    memset(reach, 0, sizeof reach);
    int head = 0, tail = 0;
    for (int c = 0; c < 5; c++) {
        const float x = 2.0f * (c - 2.5f), z = 2.0f * c + 5.0f;
        int i, j;
        if (!CellAt(x, z, &i, &j))
            continue;
        const float slope = CellSlope(heights, i, j);
        if (slope > kClimbableSlope) {
            AddTrackProblem(problems, "the start grid at (%.0f, %.0f) has a slope of %.1f; a car slides off "
                                      "above %.1f.", x, z, slope, kClimbableSlope);
            continue;
        }
        if (!reach[i + kCells * j]) {
            reach[i + kCells * j] = 1;
            queue[tail++] = i + kCells * j;
        }
    }
    while (head < tail) {
        const int cell = queue[head++];
        const int i = cell % kCells, j = cell / kCells;
        const int next[4][2] = {{i - 1, j}, {i + 1, j}, {i, j - 1}, {i, j + 1}};
        for (const auto& q : next) {
            if (q[0] < 0 || q[1] < 0 || q[0] >= kCells || q[1] >= kCells)
                continue;
            const int k = q[0] + kCells * q[1];
            if (reach[k] || CellSlope(heights, q[0], q[1]) > kClimbableSlope)
                continue;
            reach[k] = 1;
            queue[tail++] = k;
        }
    }

    for (uint32_t g = 0; g < n; g++) {
        const Checkpoint& gate = course.gates[g];
        const int line = course.line[g];
        const float w = course.halfWidth[g];
        if (w != 0.5f && w < kMinHalfWidth)
            AddTrackProblem(problems, "course line %d: gate %u has a half-width of %g; a car needs at least %.0f.",
                            line, g, w, kMinHalfWidth);
        bool inside = true;
        for (const float* p : {gate.leftPost, gate.rightPost})
            if (p[0] < kWorldLow || p[0] > kWorldHigh || p[2] < kWorldLow || p[2] > kWorldHigh)
                inside = false;
        if (!inside) {
            AddTrackProblem(problems, "course line %d: gate %u (at %.1f, %.1f) reaches outside the world, which "
                                      "ends at -32 and 30.", line, g, gate.centre[0], gate.centre[2]);
            continue;
        }
        int i, j;
        if (!CellAt(gate.centre[0], gate.centre[2], &i, &j) || !reach[i + kCells * j])
            AddTrackProblem(problems, "course line %d: gate %u (at %.1f, %.1f) stands on ground a car cannot reach "
                                      "from the start (past a slope above %.1f).", line, g, gate.centre[0],
                            gate.centre[2], kClimbableSlope);
        if (SegmentMeetsGrid(Post(gate.leftPost), Post(gate.rightPost)))
            AddTrackProblem(problems, "course line %d: gate %u stands on the start grid (x %.0f to %.0f, z %.2f to "
                                      "%.2f).", line, g, kGridX0, kGridX1, kGridZ0, kGridZ1);
    }

    if (n >= 2) {
        for (uint32_t g = 0; g < n; g++) {
            const uint32_t h = (g + 1) % n;
            if (n == 2 && h == 0)
                break;
            const float d = hypotf(course.gates[h].centre[0] - course.gates[g].centre[0],
                                   course.gates[h].centre[2] - course.gates[g].centre[2]);
            if (d < kMinSpacing)
                AddTrackProblem(problems, "course line %d: gates %u and %u are %.1f apart; neighbouring gates need "
                                          "%.0f or more.", course.line[h], g, h, d, kMinSpacing);
            else if (d > kMaxSpacing)
                AddTrackProblem(problems, "course line %d: gates %u and %u are %.1f apart; drivers aim straight at "
                                          "the next gate, so keep them within %.0f.", course.line[h], g, h, d,
                                kMaxSpacing);
        }
    }

    for (uint32_t g = 0; g < n; g++) {
        const Checkpoint& a = course.gates[g];
        for (uint32_t h = g + 1; h < n; h++) {
            const Checkpoint& b = course.gates[h];
            const float gap = SegmentGap(Post(a.leftPost), Post(a.rightPost), Post(b.leftPost), Post(b.rightPost));
            if (gap < kMinClearance)
                AddTrackProblem(problems, "course line %d: gates %u and %u come within %.1f of each other; a car "
                                          "passing one would hit or cross the other.", course.line[h], g, h, gap);
        }
    }
}

bool CheckTrack(const char* name, TrackProblems* problems)
{
    ClearTrackProblems(problems);
    // Races are recorded under the track's name, and a recording's field
    // holds 31 characters.  A longer name is refused here rather than cut
    // there: a cut name finds no track files, so its races would never be
    // recorded, and a wider field would make a new file format.
    const size_t length = strlen(name);
    if (length >= kReplayTrackSize)
        AddTrackProblem(problems, "the name has %zu characters; a race recording holds at most %zu.", length,
                        kReplayTrackSize - 1);
    float heights[kGridSize * kGridSize];
    const bool ground = CheckHeightmap(name, heights, problems);
    CheckTexture(name, problems);

    char path[256];
    snprintf(path, sizeof path, "data/tracks/checkpoints/%s.txt", name);
    long size = 0;
    char* text = ReadWholeFile(path, kMaxCourseBytes, &size);
    CourseRead course;
    course.gateCount = 0;
    if (!text) {
        AddTrackProblem(problems, size == -1 ? "the course %s cannot be read." : "the course %s is too large.", path);
    } else {
        ReadCourseText(text, (size_t)size, &course, problems);
        free(text);
        if (ground)
            CheckTrackShape(heights, course, problems);
    }
    return problems->count == 0 && problems->dropped == 0;
}
