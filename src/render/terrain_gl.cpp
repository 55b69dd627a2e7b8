// The drawing half of the track: textures, mesh, decals, shadow textures and
// gate list.  The race's LoadTerrain and LoadCheckpoints fill only plain
// records and count their generations; UpdateTrackGraphics compares those
// with what it built last and rebuilds (free, then load) on a change.
#include "render/terrain_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/config.h"
#include "assets/tga.h"
#include "platform/sys.h"
#include "game/prefs.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/dust.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "render/race_assets.h"
#include "race/camera.h"
#include "render/frustum.h"
#include "render/quality.h"
#include "render/race_frame.h"

static_assert(kMaxCars == 5, "gShadowSlot holds one slot per car");
int32_t gShadowSlot[5] = {-1, -1, -1, -1, -1};
ShadowExtent gShadowExtent[5];

namespace {

// What the graphics were last built from.
struct TrackGraphics {
    uint32_t terrainGeneration;
    uint32_t gateGeneration;
    uint8_t terrainBuilt;
    uint8_t gatesBuilt;
};

// Per start-up pass: ForgetTrackGraphics (race assets load) and
// FreeTrackGraphics (shut-down) clear it.
TrackGraphics gTrackGraphics;

// The ground is drawn in square chunks, each with its bounding box and two
// display lists: the mesh at the terrain's own step and a coarse one at
// twice the step whose edges hang a skirt downward, so that no gap opens
// where it meets a finer neighbour or the scenery ring.  The scenery ring
// is cut into pieces around the square, an inner and an outer band each.
const int kChunksPerSide = 8;
const int kScenerySegments = 16;
const float kSkirtDepth = 0.6f;

struct GroundPiece {
    float lo[3], hi[3];  // bounding box, world units
    uint32_t list;       // fine mesh (or the scenery piece)
    uint32_t coarseList; // chunks only; 0 when the chunk is too small to coarsen
};

struct GroundLists {
    GroundPiece chunk[kChunksPerSide * kChunksPerSide];
    uint32_t chunkCount;
    GroundPiece scenery[kScenerySegments][2];  // [segment][inner, outer band]
    uint32_t sceneryCount;                    // segments built
    uint32_t listCount;                       // names from gTerrain.meshList on
};

// Per track graphics: LoadTerrainGraphics fills it, FreeTerrainGraphics clears it.
GroundLists gGround;

void GrowBox(GroundPiece* piece, float x, float y, float z)
{
    const float v[3] = {x, y, z};
    for (int c = 0; c < 3; c++) {
        if (v[c] < piece->lo[c])
            piece->lo[c] = v[c];
        if (v[c] > piece->hi[c])
            piece->hi[c] = v[c];
    }
}

void EmptyBox(GroundPiece* piece)
{
    for (int c = 0; c < 3; c++) {
        piece->lo[c] = 1e30f;
        piece->hi[c] = -1e30f;
    }
}

// Names for the next display list of the ground (from the range reserved
// at gTerrain.meshList).
uint32_t NextGroundList()
{
    return gTerrain.meshList + gGround.listCount++;
}

const float kDegToRad = 3.141592654f / 180.0f;

void BuildSceneryRing();

// Grid step of the mesh and the decals (a step of 0 could never advance).
int Skip()
{
    return gTerrain.pixelSkip ? (int)gTerrain.pixelSkip : 1;
}

// Height of grid vertex (i, j); a neighbour outside the grid takes the
// height of the vertex (oi, oj) whose normal is being made.
float HeightOr(int i, int j, int oi, int oj)
{
    if (i < 0 || j < 0 || i >= kGridSize || j >= kGridSize)
        return GridHeight(oi, oj);
    return GridHeight(i, j);
}

// The layout the atlas texture was last made for: copies into the same
// layout replace texels in place instead of making the texture anew.
ShadowAtlasLayout atlasMade;

// How far round the tag holder its light spot's picture is lit (LitReach).
float lightSpotReach = 2.5f;

// Shadow texture side in texels, as this frame's quality gives it.
int ShadowResolution()
{
    int r = gQuality.shadowResolution;
    if (r < 0)
        r = 0;
    if (r > 1024)
        r = 1024;
    return r;
}

void FreeTerrainGraphics()
{
    DeleteTexture(&gTerrain.trackTexture);
    DeleteTexture(&gTerrain.shadowAtlas);
    atlasMade = ShadowAtlasLayout();
    DeleteTexture(&gTerrain.lightmapTexture);
    DeleteTexture(&gTerrain.shadowmapTexture);
    if (gTerrain.meshList && glIsList(gTerrain.meshList))
        glDeleteLists(gTerrain.meshList, kChunksPerSide * kChunksPerSide * 2 + kScenerySegments * 2);
    gTerrain.meshList = 0;
    gGround = GroundLists();
}

// The track texture averaged over each terrain cell, for the dust colours.
// The picture lies over the grid as the mesh's texture coordinates say
// (u = i / 64, t = 1 - j / 64): column c belongs to cell column
// i = c * 64 / width and, the file's rows being bottom first, the row r
// from the top to cell row j = r * 64 / height.  A picture under 64 texels
// gives every cell at least one texel.
void SampleGroundColours(const char* path)
{
    TgaImage image;
    ReadTgaImage(path, &image);
    const uint32_t w = image.width, h = image.height, bytes = image.bitsPerPixel / 8;
    DustGround& ground = gDust.ground;
    for (int j = 0; j < kGridSize; j++) {
        const uint32_t top0 = (uint32_t)j * h / kGridSize, top1 = ((uint32_t)j + 1) * h / kGridSize;
        for (int i = 0; i < kGridSize; i++) {
            const uint32_t x0 = (uint32_t)i * w / kGridSize, x1 = ((uint32_t)i + 1) * w / kGridSize;
            uint32_t sum[3] = {0, 0, 0}, count = 0;
            for (uint32_t top = top0; top < top1 || (top == top0 && top < h); top++) {
                const uint32_t row = h - 1 - top;
                for (uint32_t x = x0; x < x1 || (x == x0 && x < w); x++) {
                    const uint8_t* p = image.pixels + ((size_t)row * w + x) * bytes;
                    for (int c = 0; c < 3; c++)
                        sum[c] += p[c];
                    count++;
                }
            }
            for (int c = 0; c < 3; c++)
                ground.rgb[i + kGridSize * j][c] = (uint8_t)(count ? sum[c] / count : 255);
        }
    }
    ground.known = true;
    FreeTgaImage(&image);
}

void LoadTerrainGraphics()
{
    int track = gRaceSetup.track;
    if (track < 0 || track >= gConfig.trackCount)
        track = 0;
    char path[256];
    snprintf(path, sizeof path, "data/tracks/textures/%s.tga", gConfig.trackNames[track]);
    LoadTexture(path, &gTerrain.trackTexture);
    SampleGroundColours(path);
    LoadTexture("data/textures/lightmap.tga", &gTerrain.lightmapTexture);
    TgaImage spot;
    ReadTgaImage("data/textures/lightmap.tga", &spot);
    lightSpotReach = LitReach(spot);
    FreeTgaImage(&spot);
    LoadTexture("data/textures/shadowmap.tga", &gTerrain.shadowmapTexture);
    UseBilinearFilter(gTerrain.lightmapTexture);
    UseBilinearFilter(gTerrain.shadowmapTexture);

    gGround = GroundLists();
    gTerrain.meshList = glGenLists(kChunksPerSide * kChunksPerSide * 2 + kScenerySegments * 2);
    if (gTerrain.meshList == 0)
        return;
    BuildTerrainMesh();
    BuildSceneryRing();
}

// The visible gates, each post with its head: green on the left, red on the
// right.  Gate n's list is gCheckpoints.gateList + n (empty for a hidden one).
void BuildGateList()
{
    const uint32_t count = gCheckpoints.gateCount <= (uint32_t)kMaxGates ? gCheckpoints.gateCount : kMaxGates;
    gCheckpoints.gateList = glGenLists(kMaxGates);
    if (gCheckpoints.gateList == 0)
        return;
    for (uint32_t n = 0; n < count; n++) {
        glNewList(gCheckpoints.gateList + n, GL_COMPILE);
        if (gCheckpoints.visible[n]) {
            const Checkpoint& gate = gCheckpoints.gates[n];
            for (int side = 0; side < 2; side++) {
                const float* post = side == 0 ? gate.leftPost : gate.rightPost;
                glPushMatrix();
                glTranslatef(post[0], 0.0f, post[2]);
                glColor3f(1.0f, 1.0f, 1.0f);
                gGateModels.post.CallDisplayList();
                glTranslatef(0.0f, 5.0f, 0.0f);
                if (side == 0)
                    glColor3f(0.0f, 1.0f, 0.0f);
                else
                    glColor3f(1.0f, 0.0f, 0.0f);
                gGateModels.head.CallDisplayList();
                glPopMatrix();
            }
        }
        glEndList();
    }
}

// Whether the view being drawn can see gate n (posts 0 to 6 units high).
bool GateSeen(const Checkpoint& gate)
{
    float lo[3], hi[3];
    for (int c = 0; c < 3; c += 2) {
        lo[c] = (gate.leftPost[c] < gate.rightPost[c] ? gate.leftPost[c] : gate.rightPost[c]) - 1.0f;
        hi[c] = (gate.leftPost[c] > gate.rightPost[c] ? gate.leftPost[c] : gate.rightPost[c]) + 1.0f;
    }
    lo[1] = -4.0f;
    hi[1] = 7.0f;
    return BoxInFrustum(gViewFrustum[currentView % kMaxViews], lo, hi);
}

struct PatchPoint {
    float x, y, z;
};

// A decal's rectangle on the ground, world x and z.
struct PatchArea {
    float x0, x1, z0, z1;
};

PatchArea SquareRound(float cx, float cz, float reach)
{
    return {cx - reach, cx + reach, cz - reach, cz + reach};
}

// Ground triangle (a, b, c) cut to the area and drawn with the patch's
// texture points, the texture's 5 units centred on (cx, cz).  The cut
// points lie on the triangle's own plane, so the patch lies exactly on the
// ground however small the area is in the cell.
void PatchTriangle(const PatchPoint& a, const PatchPoint& b, const PatchPoint& c, float cx, float cz,
                   const PatchArea& area)
{
    PatchPoint polygon[2][8] = {{a, b, c}};
    int count = 3, from = 0;
    for (int side = 0; side < 4 && count >= 3; side++) {
        // Keep the points on the area's side of x = x0, x1, then z = z0, z1.
        const bool alongX = side < 2;
        const float sign = side % 2 == 0 ? 1.0f : -1.0f;
        const float limit = alongX ? (side == 0 ? area.x0 : area.x1) : (side == 2 ? area.z0 : area.z1);
        const PatchPoint* in = polygon[from];
        PatchPoint* out = polygon[1 - from];
        int kept = 0;
        for (int k = 0; k < count; k++) {
            const PatchPoint& p = in[k];
            const PatchPoint& q = in[(k + 1) % count];
            const float dp = sign * ((alongX ? p.x : p.z) - limit), dq = sign * ((alongX ? q.x : q.z) - limit);
            if (dp >= 0.0f)
                out[kept++] = p;
            if ((dp >= 0.0f) != (dq >= 0.0f)) {
                const float t = dp / (dp - dq);
                out[kept++] = {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t};
            }
        }
        count = kept;
        from = 1 - from;
    }
    if (count < 3)
        return;
    glBegin(GL_POLYGON);
    for (int k = 0; k < count; k++) {
        const PatchPoint& p = polygon[from][k];
        glTexCoord2f((p.x - cx) / 5.0f + 0.5f, 0.5f - (p.z - cz) / 5.0f);
        glVertex3f(p.x, p.y, p.z);
    }
    glEnd();
}

// A decal on the ground: the ground's own triangles (each cell split as the
// ground's strips split it) cut to `area`, texture centred on (cx, cz).  A
// cut triangle's depths differ from the ground's by rounding; the decal
// pass's polygon offset keeps them in front.
void DrawPatch(float cx, float cz, const PatchArea& area)
{
    const int k = Skip();
    const float s = gTerrain.cellSize, step = (float)k * s;
    for (int j = 0; j + k < kGridSize; j += k) {
        const float z = ((float)j - 32.5f) * s;
        if (z + step <= area.z0)
            continue;
        if (z >= area.z1)
            break;
        for (int i = 0; i + k < kGridSize; i += k) {
            const float x = ((float)i - 32.5f) * s;
            if (x + step <= area.x0)
                continue;
            if (x >= area.x1)
                break;
            // The strip's order: (i, j), (i, j + k), (i + k, j), (i + k, j + k).
            const PatchPoint v0 = {x, GridHeight(i, j), z};
            const PatchPoint v1 = {x, GridHeight(i, j + k), z + step};
            const PatchPoint v2 = {x + step, GridHeight(i + k, j), z};
            const PatchPoint v3 = {x + step, GridHeight(i + k, j + k), z + step};
            PatchTriangle(v0, v1, v2, cx, cz, area);
            PatchTriangle(v2, v1, v3, cx, cz, area);
        }
    }
}

// How far from its body centre a car's static shadow can reach along x or
// z: the low-detail body's farthest point and the wheels' outer corners,
// with a little room to spare.
float ShadowReach()
{
    float r2 = 0.0f;
    for (const MeshObject& object : gCarAssets.silhouette.objects) {
        for (size_t v = 0; v + 2 < object.vertices.size(); v += 3) {
            const float x = object.vertices[v], y = object.vertices[v + 1];  // 3DS: z is up
            if (x * x + y * y > r2)
                r2 = x * x + y * y;
        }
    }
    const Car& car = gCars[0];
    const float front = car.frontAxleOffset * 2.0f - car.rearAxleOffset;
    const float along = (front > car.rearAxleOffset ? front : car.rearAxleOffset) + car.wheelRadius;
    const float across = (car.rearHalfTrack > car.frontHalfTrack ? car.rearHalfTrack : car.frontHalfTrack) + 0.1f;
    const float wheels = along * along + across * across;
    return sqrtf(r2 > wheels ? r2 : wheels) * 1.03f + 0.1f;
}

// --- the scenery ring ------------------------------------------------------
// Beyond the playable square the ground goes on: each vertex of the mesh's
// outer edge is carried outward (away from the middle) through a few rings,
// its height eased from the edge's own to a common level and then rising
// into hills that differ round the horizon.  The ring is drawn, never driven
// on: the race's ground query still ends at the edge.  It takes the track
// texture's border mirrored at the edge, so the ground runs on without a
// seam.

const int kRingCount = 8;
const float kRingDistance[kRingCount] = {0.0f, 2.0f, 6.0f, 13.0f, 24.0f, 42.0f, 70.0f, 105.0f};
const float kEdgeBand = 6.0f;  // grid cells of the texture's border that the ring repeats

// Deterministic value noise over one periodic coordinate t (period `cells`).
float PeriodicNoise(float t, int cells, uint32_t seed)
{
    const float f = t * (float)cells;
    const int i = (int)floorf(f);
    const float u = f - (float)i;
    auto hash = [&](int k) {
        uint32_t h = (uint32_t)(((k % cells) + cells) % cells) * 374761393u + seed * 668265263u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return (float)((h ^ (h >> 16)) & 0xffff) / 65535.0f;
    };
    const float s = u * u * (3.0f - 2.0f * u);
    return hash(i) + (hash(i + 1) - hash(i)) * s;
}

float SmoothStep(float e0, float e1, float x)
{
    float t = (x - e0) / (e1 - e0);
    t = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
    return t * t * (3.0f - 2.0f * t);
}

// The mesh's outer edge, counter-clockwise seen from above, as grid indexes.
void EdgeLoop(std::vector<int>* is, std::vector<int>* js)
{
    const int k = Skip();
    std::vector<int> columns, rows;
    for (int i = 0; i < kGridSize; i += k)
        columns.push_back(i);
    for (int j = 0; j < kGridSize - k; j += k)
        rows.push_back(j);
    rows.push_back(rows.empty() ? 0 : rows.back() + k);
    const int n = (int)columns.size(), m = (int)rows.size();
    for (int a = 0; a < n - 1; a++) { is->push_back(columns[a]); js->push_back(rows[0]); }
    for (int b = 0; b < m - 1; b++) { is->push_back(columns[n - 1]); js->push_back(rows[b]); }
    for (int a = n - 1; a > 0; a--) { is->push_back(columns[a]); js->push_back(rows[m - 1]); }
    for (int b = m - 1; b > 0; b--) { is->push_back(columns[0]); js->push_back(rows[b]); }
}

void BuildSceneryRing()
{
    std::vector<int> is, js;
    EdgeLoop(&is, &js);
    const size_t count = is.size();
    if (count < 3)
        return;
    const float s = gTerrain.cellSize;
    float level = 0.0f;
    for (size_t e = 0; e < count; e++)
        level += GridHeight(is[e], js[e]);
    level /= (float)count;
    // Ring positions, heights and texture points first, normals after.
    std::vector<float> px(count * kRingCount), py(count * kRingCount), pz(count * kRingCount);
    std::vector<float> tu(count * kRingCount), tv(count * kRingCount);
    for (size_t e = 0; e < count; e++) {
        const float ex = ((float)is[e] - 32.5f) * s, ez = ((float)js[e] - 32.5f) * s;
        const float cx = ex + 1.0f * s, cz = ez + 1.0f * s;  // the middle of the square
        const float length = sqrtf(cx * cx + cz * cz);
        const float dx = length > 0.0f ? cx / length : 1.0f, dz = length > 0.0f ? cz / length : 0.0f;
        const float around = atan2f(dz, dx) / (2.0f * 3.141592654f) + 0.5f;
        const float hill = 2.0f + 11.0f * PeriodicNoise(around, 7, 11u) + 5.0f * PeriodicNoise(around, 23, 12u);
        const float edge = GridHeight(is[e], js[e]);
        for (int r = 0; r < kRingCount; r++) {
            const float d = kRingDistance[r] * s;
            const float x = ex + dx * d, z = ez + dz * d;
            const float bumps = 1.2f * (PeriodicNoise(around + 0.013f * (float)r, 61, 13u + (uint32_t)r) - 0.5f);
            const float settle = SmoothStep(0.0f, 14.0f * s, d);
            float h = edge + (level - edge) * settle + bumps * settle;
            h += hill * SmoothStep(16.0f * s, 100.0f * s, d);
            const size_t v = e * kRingCount + (size_t)r;
            px[v] = x;
            py[v] = h;
            pz[v] = z;
            // The ground mirrored at the edge: the texture point as far
            // inside as the vertex is outside, but never deeper than the
            // band along the edge (where no road runs), so the ring repeats
            // the edge's ground outward without folds.
            const float inward = kEdgeBand * (1.0f - expf(-kRingDistance[r] / kEdgeBand));
            const float sx = (float)is[e] - dx * inward, sz = (float)js[e] - dz * inward;
            tu[v] = sx / 64.0f;
            tv[v] = 1.0f - sz / 64.0f;
        }
    }
    // Beyond the first band every other edge vertex is enough: the skipped
    // vertices of ring 1 are moved onto the line between their neighbours,
    // so the finer first band meets the coarser second without a crack.
    const size_t coarse = count % 2 == 0 ? 2 : 1;
    if (coarse == 2) {
        for (size_t e = 1; e < count; e += 2) {
            const size_t v = e * kRingCount + 1, a = (e - 1) * kRingCount + 1, b = ((e + 1) % count) * kRingCount + 1;
            px[v] = (px[a] + px[b]) / 2;
            py[v] = (py[a] + py[b]) / 2;
            pz[v] = (pz[a] + pz[b]) / 2;
            tu[v] = (tu[a] + tu[b]) / 2;
            tv[v] = (tv[a] + tv[b]) / 2;
        }
    }
    // Pieces: kScenerySegments runs of the edge loop, each split into the
    // rings up to kInnerRings and those beyond.
    const int kInnerRings = 6;
    const uint32_t segments = count < (size_t)kScenerySegments ? (uint32_t)count : (uint32_t)kScenerySegments;
    for (uint32_t g = 0; g < segments; g++) {
        // Edge vertices first .. last (last wraps to 0), on the coarse step.
        size_t first = count * g / segments, last = count * (g + 1) / segments;
        first -= first % coarse;
        last -= last % coarse;
        for (int band = 0; band < 2; band++) {
            GroundPiece& piece = gGround.scenery[g][band];
            EmptyBox(&piece);
            piece.list = NextGroundList();
            glNewList(piece.list, GL_COMPILE);
            const int r0 = band == 0 ? 0 : kInnerRings - 1, r1 = band == 0 ? kInnerRings - 1 : kRingCount - 1;
            for (int r = r0; r < r1; r++) {
                const size_t step = r == 0 ? 1 : coarse;
                glBegin(GL_TRIANGLE_STRIP);
                for (size_t k = first; k <= last; k += step) {
                    const size_t e = k % count;
                    for (int q = r + 1; q >= r; q--) {
                        const size_t v = e * kRingCount + (size_t)q;
                        // Normal from the neighbours along the ring and across it.
                        const size_t prev = ((e + count - 1) % count) * kRingCount + (size_t)q;
                        const size_t next = ((e + 1) % count) * kRingCount + (size_t)q;
                        const size_t in = e * kRingCount + (size_t)(q > 0 ? q - 1 : q);
                        const size_t out = e * kRingCount + (size_t)(q + 1 < kRingCount ? q + 1 : q);
                        const float a[3] = {px[next] - px[prev], py[next] - py[prev], pz[next] - pz[prev]};
                        const float b[3] = {px[out] - px[in], py[out] - py[in], pz[out] - pz[in]};
                        float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
                        if (n[1] < 0.0f)
                            n[0] = -n[0], n[1] = -n[1], n[2] = -n[2];
                        const float l = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                        if (q == 0)
                            TerrainVertexNormal(is[e], js[e]);  // the mesh's own normal at the seam
                        else if (l > 0.0f)
                            glNormal3f(n[0] / l, n[1] / l, n[2] / l);
                        else
                            glNormal3f(0.0f, 1.0f, 0.0f);
                        glTexCoord2f(tu[v], tv[v]);
                        glVertex3f(px[v], py[v], pz[v]);
                        GrowBox(&piece, px[v], py[v], pz[v]);
                    }
                }
                glEnd();
            }
            glEndList();
        }
    }
    gGround.sceneryCount = segments;
}

void BodyCentre(const Car& car, float* x, float* z)
{
    const float h = car.heading * kDegToRad;
    *x = car.position[0] - sinf(h) * car.rearAxleOffset;
    *z = car.position[2] - cosf(h) * car.rearAxleOffset;
}

}  // namespace

void UpdateTrackGraphics()
{
    TrackGraphics& g = gTrackGraphics;
    if (gTerrain.generation != 0 && (!g.terrainBuilt || g.terrainGeneration != gTerrain.generation)) {
        FreeTerrainGraphics();
        LoadTerrainGraphics();
        g.terrainGeneration = gTerrain.generation;
        g.terrainBuilt = 1;
    }
    if (gCheckpoints.generation != 0 && (!g.gatesBuilt || g.gateGeneration != gCheckpoints.generation)) {
        FreeGateList();
        BuildGateList();
        g.gateGeneration = gCheckpoints.generation;
        g.gatesBuilt = 1;
        SysReleaseFreedMemory();
    }
}

void FreeTrackGraphics()
{
    FreeTerrainGraphics();
    FreeGateList();
    ForgetTrackGraphics();
}

void ForgetTrackGraphics()
{
    gTrackGraphics = TrackGraphics();
    // Names of an earlier rendering context mean nothing in this one.
    gTerrain.trackTexture = gTerrain.lightmapTexture = gTerrain.shadowmapTexture = 0;
    gTerrain.shadowAtlas = 0;
    atlasMade = ShadowAtlasLayout();
    gTerrain.meshList = 0;
    gCheckpoints.gateList = 0;
}

void SlopeNormal(const float a[3], const float b[3], float out[3])
{
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[0] * b[2] - a[2] * b[0], a[0] * b[1] - a[1] * b[0]};
    const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int c = 0; c < 3; c++)
        out[c] = length != 0.0f ? n[c] / length : n[c];
}

void TerrainVertexNormal(int i, int j)
{
    const int k = Skip();
    const float d = (float)k * gTerrain.cellSize;
    const float h = GridHeight(i, j);
    const float left = HeightOr(i - k, j, i, j), right = HeightOr(i + k, j, i, j);
    const float back = HeightOr(i, j - k, i, j), front = HeightOr(i, j + k, i, j);
    const float quadrant[4][2] = {
        {left - h, back - h},   // NA
        {h - right, back - h},  // NB
        {left - h, h - front},  // NC
        {h - right, h - front}, // ND
    };
    float sum[3] = {0, 0, 0};
    for (const auto& q : quadrant) {
        const float a[3] = {d, q[0], 0.0f};
        const float b[3] = {0.0f, q[1], d};
        float n[3];
        SlopeNormal(a, b, n);
        for (int c = 0; c < 3; c++)
            sum[c] += n[c];
    }
    glNormal3f(sum[0] / 4, sum[1] / 4, sum[2] / 4);
}

namespace {

// One ground vertex of grid point (i, j) with its normal and texture point,
// lowered by `drop` (a skirt's lower edge).
void GroundVertex(int i, int j, float drop)
{
    const float s = gTerrain.cellSize;
    TerrainVertexNormal(i, j);
    glTexCoord2f((float)i / 64.0f, 1.0f - (float)j / 64.0f);
    glVertex3f(((float)i - 32.5f) * s, GridHeight(i, j) - drop, ((float)j - 32.5f) * s);
}

// Grid indexes from a to b (b included) in steps of `step`.
void Indexes(int a, int b, int step, std::vector<int>* out)
{
    out->clear();
    for (int i = a; i < b; i += step)
        out->push_back(i);
    out->push_back(b);
}

// The strips of the grid points columns x rows.
void GroundStrips(const std::vector<int>& columns, const std::vector<int>& rows)
{
    for (size_t r = 0; r + 1 < rows.size(); r++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int i : columns) {
            GroundVertex(i, rows[r], 0.0f);
            GroundVertex(i, rows[r + 1], 0.0f);
        }
        glEnd();
    }
}

// A skirt hanging from the edge through the given grid points.
void Skirt(const std::vector<int>& is, const std::vector<int>& js)
{
    glBegin(GL_TRIANGLE_STRIP);
    for (size_t n = 0; n < is.size(); n++) {
        GroundVertex(is[n], js[n], 0.0f);
        GroundVertex(is[n], js[n], kSkirtDepth);
    }
    glEnd();
}

}  // namespace

void BuildTerrainMesh()
{
    const int k = Skip();
    const int last = ((kGridSize - 1) / k) * k;  // the last grid point the mesh reaches
    const int cells = (kGridSize + kChunksPerSide - 1) / kChunksPerSide;
    const int span = ((cells + k - 1) / k) * k;  // chunk side in grid points, a multiple of the step
    std::vector<int> columns, rows, edgeI, edgeJ;
    gGround.chunkCount = 0;
    for (int cj = 0; cj * span < last; cj++) {
        for (int ci = 0; ci * span < last; ci++) {
            if (gGround.chunkCount >= (uint32_t)(kChunksPerSide * kChunksPerSide))
                return;
            const int i0 = ci * span, i1 = i0 + span < last ? i0 + span : last;
            const int j0 = cj * span, j1 = j0 + span < last ? j0 + span : last;
            GroundPiece& piece = gGround.chunk[gGround.chunkCount++];
            EmptyBox(&piece);
            for (int j = j0; j <= j1; j++) {
                for (int i = i0; i <= i1; i++)
                    GrowBox(&piece, ((float)i - 32.5f) * gTerrain.cellSize, GridHeight(i, j),
                            ((float)j - 32.5f) * gTerrain.cellSize);
            }
            piece.lo[1] -= kSkirtDepth;

            piece.list = NextGroundList();
            glNewList(piece.list, GL_COMPILE);
            Indexes(i0, i1, k, &columns);
            Indexes(j0, j1, k, &rows);
            GroundStrips(columns, rows);
            glEndList();

            piece.coarseList = 0;
            if (i1 - i0 < 2 * k || j1 - j0 < 2 * k)
                continue;
            piece.coarseList = NextGroundList();
            glNewList(piece.coarseList, GL_COMPILE);
            Indexes(i0, i1, 2 * k, &columns);
            Indexes(j0, j1, 2 * k, &rows);
            GroundStrips(columns, rows);
            // Skirts on all four sides, seen from either side.
            glDisable(GL_CULL_FACE);
            edgeI = columns;
            edgeJ.assign(columns.size(), j0);
            Skirt(edgeI, edgeJ);
            edgeJ.assign(columns.size(), j1);
            Skirt(edgeI, edgeJ);
            edgeJ = rows;
            edgeI.assign(rows.size(), i0);
            Skirt(edgeI, edgeJ);
            edgeI.assign(rows.size(), i1);
            Skirt(edgeI, edgeJ);
            glEnable(GL_CULL_FACE);
            glEndList();
        }
    }
}

void DrawTerrain()
{
    if (gTerrain.meshList == 0)
        return;
    const Frustum& frustum = gViewFrustum[currentView % kMaxViews];
    const Camera& camera = gCameras[currentView % kMaxCars];
    const float far2 = gQuality.terrainFar * gQuality.terrainFar;
    glEnable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gTerrain.trackTexture);
    // The seen chunks near to far, so that the depth test turns away the
    // hidden slopes' pixels before they are textured.
    uint32_t order[kChunksPerSide * kChunksPerSide];
    float distance2[kChunksPerSide * kChunksPerSide];
    uint32_t seen = 0;
    for (uint32_t c = 0; c < gGround.chunkCount; c++) {
        const GroundPiece& piece = gGround.chunk[c];
        if (!BoxInFrustum(frustum, piece.lo, piece.hi))
            continue;
        // The nearest point of the box (seen from above) decides the order and the detail.
        float d2 = 0.0f;
        for (int a = 0; a < 3; a += 2) {
            const float p = camera.position[a];
            const float d = p < piece.lo[a] ? piece.lo[a] - p : (p > piece.hi[a] ? p - piece.hi[a] : 0.0f);
            d2 += d * d;
        }
        uint32_t at = seen++;
        for (; at > 0 && distance2[at - 1] > d2; at--) {
            order[at] = order[at - 1];
            distance2[at] = distance2[at - 1];
        }
        order[at] = c;
        distance2[at] = d2;
    }
    for (uint32_t n = 0; n < seen; n++) {
        const GroundPiece& piece = gGround.chunk[order[n]];
        HazeFor(FarthestInBox(piece.lo, piece.hi));
        glCallList(piece.coarseList != 0 && distance2[n] > far2 ? piece.coarseList : piece.list);
    }
    for (uint32_t g = 0; g < gGround.sceneryCount; g++) {
        for (int band = 0; band < (gQuality.sceneryOuter ? 2 : 1); band++) {
            const GroundPiece& piece = gGround.scenery[g][band];
            if (BoxInFrustum(frustum, piece.lo, piece.hi)) {
                HazeFor(FarthestInBox(piece.lo, piece.hi));
                glCallList(piece.list);
            }
        }
    }
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
}

void DrawGroundDecals()
{
    const int r = ShadowResolution();
    const uint32_t cars = RaceCarCount();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    // Patches are cut where the ground's cells are not: their depths round
    // differently from the ground's, so they are drawn a step nearer.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -2.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, r == 1 ? gTerrain.shadowmapTexture : gTerrain.shadowAtlas);
    const ShadowAtlasLayout atlas = LayoutShadowAtlas(r, gConfig.width, kMaxCars);
    const Frustum& frustum = gViewFrustum[currentView % kMaxViews];
    const float bodyReach = ShadowReach();
    if (r != 0) {
        for (uint32_t c = 0; c < cars; c++) {
            const Car& car = gCars[c];
            const float centre[3] = {car.position[0], car.position[1] - 1.0f, car.position[2]};
            if (!SphereInFrustum(frustum, centre, 5.5f))
                continue;
            // The static shadow is a square round the body centre.
            if (r == 1) {
                float cx, cz;
                BodyCentre(car, &cx, &cz);
                const PatchArea square = SquareRound(cx, cz, bodyReach < 2.5f ? bodyReach : 2.5f);
                DrawPatch(cx, cz, square);
                continue;
            }
            // The dynamic one's texture is centred on the rear axle; its patch
            // is the ground where the outline reached (as drawn, leaning or
            // not, a texel more for the filter) within the texture's square.
            const int32_t slot = gShadowSlot[c];
            if (slot < 0 || slot >= kMaxCars)
                continue;
            glMatrixMode(GL_TEXTURE);
            glLoadIdentity();
            glTranslatef((float)((slot % atlas.perRow) * atlas.side) / (float)atlas.width,
                         (float)((slot / atlas.perRow) * atlas.side) / (float)atlas.height, 0.0f);
            glScalef((float)atlas.side / (float)atlas.width, (float)atlas.side / (float)atlas.height, 1.0f);
            glMatrixMode(GL_MODELVIEW);
            const float cx = car.position[0], cz = car.position[2];
            const ShadowExtent& e = gShadowExtent[c];
            const float texel = 5.0f / (float)atlas.side + 0.01f;
            const PatchArea reached = {std::max(cx + e.x0 - texel, cx - 2.5f), std::min(cx + e.x1 + texel, cx + 2.5f),
                                       std::max(cz + e.z0 - texel, cz - 2.5f), std::min(cz + e.z1 + texel, cz + 2.5f)};
            DrawPatch(cx, cz, reached);
        }
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
    const int32_t holder = gStandings.tagHolder;
    if (gRaceSetup.gamemode == 0 && holder >= 0 && (uint32_t)holder < cars) {
        float cx, cz;
        BodyCentre(gCars[holder], &cx, &cz);
        glBindTexture(GL_TEXTURE_2D, gTerrain.lightmapTexture);
        glBlendFunc(GL_ONE, GL_ONE);
        const float* colour = gPrefs.playerColour[holder];
        glColor3f(colour[0], colour[1], colour[2]);
        // Only as far as the picture is lit: it adds nothing beyond.
        const PatchArea square = SquareRound(cx, cz, lightSpotReach);
        if (lightSpotReach > 0.0f)
            DrawPatch(cx, cz, square);
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
}

void PrepareShadowPass()
{
    const int r = ShadowResolution();
    glViewport(0, 0, r, r);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(5.0, 1.0, 0.1, 300.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glTranslatef(0.0f, 0.0f, -57.5f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
}

float LitReach(const TgaImage& image)
{
    const uint32_t w = image.width, h = image.height, bytes = image.bitsPerPixel / 8;
    if (w == 0 || h == 0 || (bytes != 3 && bytes != 4) || image.pixels == nullptr ||
        image.byteCount < (size_t)w * h * bytes)
        return 2.5f;
    // From the middle, in world units along x or z: a lit texel's far corner
    // and half a texel more, where the filter has blended its light away.
    float reach = -1.0f;
    for (uint32_t y = 0; y < h; y++) {
        for (uint32_t x = 0; x < w; x++) {
            const uint8_t* p = image.pixels + ((size_t)y * w + x) * bytes;
            if (p[0] == 0 && p[1] == 0 && p[2] == 0)
                continue;
            const float dx = (fabsf((float)x + 0.5f - (float)w / 2) + 1.0f) * 5.0f / (float)w;
            const float dy = (fabsf((float)y + 0.5f - (float)h / 2) + 1.0f) * 5.0f / (float)h;
            reach = std::max(reach, std::max(dx, dy));
        }
    }
    if (reach < 0.0f)
        return 0.0f;
    return reach < 2.5f ? reach : 2.5f;
}

ShadowAtlasLayout LayoutShadowAtlas(int32_t side, int32_t windowWidth, int32_t cars)
{
    ShadowAtlasLayout a;
    a.side = side < 2 ? 2 : side > 1024 ? 1024 : side;
    if (cars < 1)
        cars = 1;
    a.perRow = windowWidth / a.side > 0 ? windowWidth / a.side : 1;
    const int32_t columns = cars < a.perRow ? cars : a.perRow;
    const int32_t rows = (cars + a.perRow - 1) / a.perRow;
    for (a.width = 1; a.width < columns * a.side; a.width *= 2) {
    }
    for (a.height = 1; a.height < rows * a.side; a.height *= 2) {
    }
    return a;
}

void CaptureShadows(int32_t first, int32_t count)
{
    const ShadowAtlasLayout a = LayoutShadowAtlas(ShadowResolution(), gConfig.width, kMaxCars);
    if (count <= 0 || first < 0 || first + count > kMaxCars)
        return;
    glBindTexture(GL_TEXTURE_2D, gTerrain.shadowAtlas);
    if (gTerrain.shadowAtlas == 0 || atlasMade.side != a.side || atlasMade.perRow != a.perRow) {
        // Grey where no slot was copied yet: the ground as it is.
        if (gTerrain.shadowAtlas == 0) {
            glGenTextures(1, &gTerrain.shadowAtlas);
            glBindTexture(GL_TEXTURE_2D, gTerrain.shadowAtlas);
        }
        const std::vector<uint8_t> grey((size_t)a.width * (size_t)a.height, 128);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, a.width, a.height, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                     grey.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        atlasMade = a;
    }
    const int32_t r = a.side;
    if (first == 0) {
        const int32_t fullRows = count / a.perRow, rest = count % a.perRow;
        if (fullRows > 0)
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, a.perRow * r, fullRows * r);
        if (rest > 0)
            glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, fullRows * r, 0, fullRows * r, rest * r, r);
        return;
    }
    for (int32_t k = 0; k < count; k++) {
        const int32_t s = first + k;
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, (s % a.perRow) * r, (s / a.perRow) * r, (k % a.perRow) * r,
                            (k / a.perRow) * r, r, r);
    }
}

void DrawGates()
{
    if (gCheckpoints.gateList == 0)
        return;
    const uint32_t count = gCheckpoints.gateCount <= (uint32_t)kMaxGates ? gCheckpoints.gateCount : kMaxGates;
    glEnable(GL_LIGHTING);
    for (uint32_t n = 0; n < count; n++) {
        if (gCheckpoints.visible[n] && GateSeen(gCheckpoints.gates[n]))
            glCallList(gCheckpoints.gateList + n);
    }
    glDisable(GL_LIGHTING);
}

void DrawGateFlags()
{
    const Car& viewer = gCars[currentView % kMaxCars];
    const uint32_t count = gCheckpoints.gateCount <= (uint32_t)kMaxGates ? gCheckpoints.gateCount : kMaxGates;
    glDisable(GL_CULL_FACE);
    for (uint32_t n = 0; n < count; n++) {
        if (!gCheckpoints.visible[n] || !GateSeen(gCheckpoints.gates[n]))
            continue;
        const Checkpoint& gate = gCheckpoints.gates[n];
        const bool next = n == viewer.nextCheckpoint;
        const float colour[3] = {1.0f, next ? 0.5f : 0.95f, next ? 0.0f : 0.92f};
        for (int side = 0; side < 2; side++) {
            const float* post = side == 0 ? gate.leftPost : gate.rightPost;
            const float* other = side == 0 ? gate.rightPost : gate.leftPost;
            float dx = other[0] - post[0], dz = other[2] - post[2];
            const float length = sqrtf(dx * dx + dz * dz);
            if (length <= 0.0f)
                continue;
            dx /= length;
            dz /= length;
            // A cloth of four strips, 1.1 along and 0.8 high, rippling.
            glBegin(GL_QUAD_STRIP);
            for (int k = 0; k <= 4; k++) {
                const float along = 0.08f + 1.1f * (float)k / 4.0f;
                const float ripple = 0.08f * sinf((float)k * 1.6f);
                const float x = post[0] + dx * along - dz * ripple, z = post[2] + dz * along + dx * ripple;
                const float shade = 0.8f + 0.2f * cosf((float)k * 1.6f);
                glColor3f(colour[0] * shade, colour[1] * shade, colour[2] * shade);
                glVertex3f(x, 4.55f, z);
                glVertex3f(x, 3.75f - 0.06f * (float)k, z);
            }
            glEnd();
        }
    }
    glEnable(GL_CULL_FACE);
}

void FreeGateList()
{
    if (gCheckpoints.gateList)
        glDeleteLists(gCheckpoints.gateList, kMaxGates);
    gCheckpoints.gateList = 0;
}
