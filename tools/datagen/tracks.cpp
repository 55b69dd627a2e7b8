// The tracks: for each, a table of control points for the driving line and
// a kind of ground.  From these come the 64 x 64 heightmap (the ground
// flattened into a gently graded road bed along the line and around the
// start grid), the course of gates and the painted texture.
//
// Each driving line starts in the middle of the start grid (the cars stand
// at x = -5 .. 3, z = 5 .. 13 facing -z) and heads toward -z, so that gate 0
// is straight ahead of them.  Keep lines smooth (no bend tighter than about
// 7 units), 12 or more units away from themselves, and inside -25 .. 23
// in x and z: the world ends at -32 and +30.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "datagen.h"
#include "raster.h"
#include "track.h"

namespace {

TrackTable Make(const char* name, Ground ground, uint32_t seed, std::vector<Point2> controls,
               std::vector<Bump> bumps) {
  TrackTable t;
  t.plan.name = name;
  t.plan.ground = ground;
  t.plan.seed = seed;
  t.plan.controls = std::move(controls);
  t.bumps = std::move(bumps);
  return t;
}

// One table per track.  Edit the control points to change a course.
std::vector<TrackTable> TrackTables() {
  std::vector<TrackTable> tracks;
  tracks.push_back(Make("meadow", Ground::kMeadow, 1101u,
                        {{-1, 12}, {-1, -2}, {-4, -11}, {-13, -13}, {-20, -15}, {-21, -21.5}, {-14, -24}, {-4, -23},
                         {4, -21}, {14, -21}, {21, -13}, {20.5, -2}, {14, 5}, {17, 14}, {12, 21}, {3, 22}, {-1, 19}},
                        {}));
  tracks.push_back(Make("dunes", Ground::kDunes, 2202u,
                        {{-1, 12}, {-1, -2}, {2, -12}, {9, -19}, {18, -21}, {21.5, -13}, {19, -5}, {10.5, -4}, {8.5, 3.5},
                         {12, 11}, {20.5, 10}, {21.5, 19}, {15, 21.5}, {5, 21.5}, {-1, 19}},
                        {}));
  tracks.push_back(Make("canyon", Ground::kCanyon, 3303u,
                        {{-1, 12}, {-1, -2}, {-3, -14}, {5, -21.5}, {16, -21}, {20.5, -12}, {15, -3}, {14, 7},
                         {20.5, 14}, {18, 20.5}, {7, 21}, {0, 20}},
                        {}));
  tracks.push_back(Make("hills", Ground::kHills, 4404u,
                        {{-1, 12}, {-1, 0}, {3, -11}, {-3, -21}, {-14, -22}, {-21.5, -15}, {-20, -6}, {-15.5, 2},
                         {-19.5, 11}, {-18.5, 19.5}, {-11, 22}, {-3, 21}},
                        {{-13, -11, 9, 1.6f}, {14, -4, 11, 2.2f}, {-9, 16, 7, 0.9f}, {12, 20, 8, 1.4f}}));
  tracks.push_back(Make("quarry", Ground::kQuarry, 5505u,
                        {{-1, 12}, {-1, -2}, {-3, -12}, {-11, -19}, {-21, -17}, {-22, -6}, {-20, 5}, {-21.5, 16},
                         {-14, 21.5}, {-5, 22}, {-1, 19}},
                        {{-10.5, 0, 8, 2.6f}}));
  tracks.push_back(Make("lakes", Ground::kLakes, 6606u,
                        {{-1, 12}, {-1, -2}, {2, -11}, {11, -13}, {18, -15}, {19, -21.5}, {12, -24}, {2, -23},
                         {-6, -21}, {-16, -21}, {-22, -13}, {-21.5, -2}, {-15, 5}, {-19, 14}, {-14, 21}, {-5, 22},
                         {-1, 19}},
                        {{-11, -9, 6, -1.3f}, {-9, 13, 5, -1.2f}, {14, 6, 8, -1.3f}, {21, 23, 6, -1.1f},
                         {8, -19, 3, -1.0f}}));
  return tracks;
}

const float kRoadHalf = 3.5f;    // flat road bed either side of the line
const float kShoulder = 4.0f;    // blend from road bed to open ground
const float kMaxGrade = 0.10f;   // rise per unit along the line

float Fbm2(float x, float z, float scale, uint32_t seed, int octaves = 4) {
  return Fbm(x / scale + 100.0f, z / scale + 100.0f, octaves, seed) - 0.5f;
}

// The open ground before the road is cut in.  `d` is the distance to the
// driving line (the canyon is carved along it).
float BaseHeight(const TrackTable& t, float x, float z, float d) {
  const uint32_t s = t.plan.seed;
  float h = 0.0f;
  switch (t.plan.ground) {
    case Ground::kMeadow:
      h = 1.3f + 2.2f * Fbm2(x, z, 20.0f, s) + 0.5f * Fbm2(x, z, 6.0f, s + 7);
      break;
    case Ground::kDunes: {
      const float warp = 6.0f * Fbm2(x, z, 14.0f, s + 3);
      float u = (x * 0.8f + z * 0.6f + warp) / 8.0f;
      u -= std::floor(u);
      const float crest = u < 0.72f ? Smoothstep(0.0f, 0.72f, u) : Smoothstep(1.0f, 0.72f, u);
      h = 0.8f + 1.3f * crest + 0.8f * Fbm2(x, z, 18.0f, s + 5);
      break;
    }
    case Ground::kCanyon: {
      const float floor = 0.5f + 0.3f * Fbm2(x, z, 10.0f, s);
      const float plateau = 2.7f + 0.4f * Fbm2(x, z, 8.0f, s + 1);
      const float wall = Smoothstep(5.5f, 10.5f, d + 2.0f * Fbm2(x, z, 4.0f, s + 2));
      h = floor + (plateau - floor) * wall;
      break;
    }
    case Ground::kHills:
    case Ground::kQuarry:
    case Ground::kLakes:
      h = (t.plan.ground == Ground::kQuarry ? 2.6f : 1.2f) + 0.9f * Fbm2(x, z, 14.0f, s);
      for (const Bump& b : t.bumps) {
        const float r = std::sqrt((x - b.x) * (x - b.x) + (z - b.z) * (z - b.z)) / b.radius;
        if (t.plan.ground == Ground::kQuarry) {
          // A pit cut in terraces: three benches with steep faces between.
          const float depth = Clamp01(1.15f - r);
          const float steps = depth * 3.0f;
          const float level = std::floor(steps) + Smoothstep(0.75f, 1.0f, steps - std::floor(steps));
          h -= b.height * std::min(level, 3.0f) / 3.0f;
        } else {
          h += b.height * std::exp(-r * r * 1.6f);
        }
      }
      break;
  }
  return h;
}


// Nearest point of the line: its index and distance.
void Nearest(const std::vector<Point2>& line, float x, float z, size_t* index, float* distance) {
  float best = 1e9f;
  size_t at = 0;
  for (size_t k = 0; k < line.size(); k++) {
    const float dx = line[k].x - x, dz = line[k].z - z;
    const float d2 = dx * dx + dz * dz;
    if (d2 < best) best = d2, at = k;
  }
  *index = at;
  *distance = std::sqrt(best);
}

}  // namespace

TrackData BuildTrack(const TrackTable& t) {
  TrackData track;
  // The curve through the control points, its tightest bends eased by
  // averaging each point with its neighbours 3 units either way.
  std::vector<Point2> line0 = Resample(SmoothLoop(t.plan.controls, 24), 0.25f);
  for (int pass = 0; pass < 3; pass++) {
    std::vector<Point2> eased(line0.size());
    const int reach = 12;
    for (size_t k = 0; k < line0.size(); k++) {
      Point2 sum = {0, 0};
      for (int o = -reach; o <= reach; o++) {
        const Point2& p = line0[(k + line0.size() + o) % line0.size()];
        sum.x += p.x, sum.z += p.z;
      }
      eased[k] = {sum.x / (2 * reach + 1), sum.z / (2 * reach + 1)};
    }
    line0 = eased;
  }
  track.line = Resample(line0, 0.25f);
  const std::vector<Point2>& line = track.line;
  const size_t n = line.size();
  // The road bed's height along the line: the ground smoothed, then held to
  // a gentle grade both ways round.
  std::vector<float> road(n);
  for (size_t k = 0; k < n; k++) road[k] = BaseHeight(t, line[k].x, line[k].z, 0.0f);
  for (int pass = 0; pass < 4; pass++) {
    std::vector<float> next(n);
    const int reach = 24;
    for (size_t k = 0; k < n; k++) {
      float sum = 0.0f;
      for (int o = -reach; o <= reach; o++) sum += road[(k + n + o) % n];
      next[k] = sum / (2 * reach + 1);
    }
    road = next;
  }
  const float step = LoopLength(line) / n;
  for (int pass = 0; pass < 8; pass++) {
    for (size_t k = 0; k < 2 * n; k++) {
      const size_t a = k % n, b = (k + 1) % n;
      road[b] = Clamp(road[b], road[a] - kMaxGrade * step, road[a] + kMaxGrade * step);
    }
    for (size_t k = 2 * n; k > 0; k--) {
      const size_t a = k % n, b = (k - 1) % n;
      road[b] = Clamp(road[b], road[a] - kMaxGrade * step, road[a] + kMaxGrade * step);
    }
  }
  const float startHeight = road[0];
  track.heights.assign(kGrid * kGrid, 0.0f);
  for (int j = 0; j < kGrid; j++) {
    for (int i = 0; i < kGrid; i++) {
      const float x = GridX(i), z = GridZ(j);
      size_t k = 0;
      float d = 0.0f;
      Nearest(line, x, z, &k, &d);
      const float base = BaseHeight(t, x, z, d);
      float h = road[k] + (base - road[k]) * Smoothstep(kRoadHalf, kRoadHalf + kShoulder, d);
      // The start grid: level ground round the five cars and gate 0.
      const float outside = std::max(std::max(-7.0f - x, x - 5.0f), std::max(-6.0f - z, z - 16.0f));
      const float grid = Smoothstep(4.0f, 0.0f, outside);
      h += (startHeight - h) * grid;
      track.heights[i + kGrid * j] = Clamp(h, 0.0f, 255.0f * kHeightStep);
    }
  }
  if (t.plan.ground == Ground::kLakes) track.water = 0.55f;
  // The gate posts stand on height 0 whatever the ground does: lower the
  // whole map (never below 0) so that the road runs near the bottom and
  // the posts stand tall.
  const float lowestRoad = *std::min_element(road.begin(), road.end());
  const float lowestGround = *std::min_element(track.heights.begin(), track.heights.end());
  const float shift = std::max(0.0f, std::min(lowestRoad - 0.3f, lowestGround));
  for (float& h : track.heights) h -= shift;
  if (track.water > 0.0f) track.water -= shift;
  // Gates keep clear of the grid, where the cars stand at x = -5 .. 3,
  // z = 5 .. 13 and reach 1.25 ahead of that.
  GateRules rules = {14.0f, 11.0f, 4.0f, 4.0f, 1.0f, -12.0f, 1.0f, 10.0f, 15.8f};
  track.gates = PlaceGates(Resample(line, 0.1f), rules);
  // Gate 0 is the start line: straight ahead of the grid whatever the
  // eased line does there, wide enough for all five cars.
  track.gates[0] = {-1.0f, -2.0f, 180.0f, 4.0f};
  return track;
}

namespace {

// Figures for whoever tunes the tables: the tightest bend, the steepest
// grade along the line, the closest approach of the line to itself, and
// the gate spacing.
void Report(const TrackTable& t, const TrackData& track) {
  const std::vector<Point2>& line = track.line;
  const size_t n = line.size();
  float tightest = 1e9f, steepest = 0.0f, closest = 1e9f;
  float lo = 1e9f, hi = -1e9f;
  const size_t span = 16;  // 4 units either side
  for (size_t k = 0; k < n; k++) {
    const Point2 a = line[(k + n - span) % n], b = line[k], c = line[(k + span) % n];
    const float ab = std::hypot(b.x - a.x, b.z - a.z), bc = std::hypot(c.x - b.x, c.z - b.z),
                ca = std::hypot(a.x - c.x, a.z - c.z);
    const float area2 = std::fabs((b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x));
    if (area2 > 1e-6f) tightest = std::min(tightest, ab * bc * ca / (2.0f * area2));
    const Point2 e = line[(k + 4) % n];
    steepest = std::max(steepest, std::fabs(HeightAt(track, e.x, e.z) - HeightAt(track, b.x, b.z)) /
                                      std::max(1e-3f, std::hypot(e.x - b.x, e.z - b.z)));
    lo = std::min(lo, std::min(b.x, b.z));
    hi = std::max(hi, std::max(b.x, b.z));
    for (size_t m = k + 80; m + 80 < k + n; m += 2) {
      const Point2 o = line[m % n];
      closest = std::min(closest, std::hypot(o.x - b.x, o.z - b.z));
    }
  }
  float near = 1e9f, far = 0.0f;
  const CourseGate* previous = nullptr;
  int hidden = 0;
  for (const CourseGate& g : track.gates) {
    if (g.halfWidth == kHiddenWidth) {
      hidden++;
      continue;
    }
    if (previous != nullptr) {
      const float d = std::hypot(g.x - previous->x, g.z - previous->z);
      near = std::min(near, d), far = std::max(far, d);
    }
    previous = &g;
  }
  std::printf("track %-7s length %5.1f  gates %2zu (%d hidden)  spacing %4.1f..%4.1f  bend >= %4.1f  "
              "grade <= %4.2f  self-distance %4.1f  extent %5.1f..%4.1f\n",
              t.plan.name, LoopLength(line), track.gates.size(), hidden, near, far, tightest, steepest,
              closest, lo, hi);
}

}  // namespace

void WriteHeightmap(const std::string& path, const TrackData& track) {
  // Grid row j is picture row j from the top (the file stores it bottom first).
  Mask m(kGrid, kGrid);
  for (int j = 0; j < kGrid; j++) {
    for (int i = 0; i < kGrid; i++) {
      const float grey = std::round(track.heights[i + kGrid * j] / kHeightStep);
      m.at(i, j) = Clamp(grey, 0.0f, 255.0f) / 255.0f;
    }
  }
  SaveMask(path, m, false);
}

void WriteCourse(const std::string& path, const TrackData& track) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write " + path);
  const std::string text = FormatCourse(track.gates);
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !ok) Fail("cannot write " + path);
}

float HeightAt(const TrackData& track, float x, float z) {
  const float fi = Clamp(x + 32.5f, 0.0f, kGrid - 1.001f), fj = Clamp(z + 32.5f, 0.0f, kGrid - 1.001f);
  const int i = static_cast<int>(fi), j = static_cast<int>(fj);
  const float u = fi - i, v = fj - j;
  const float* h = track.heights.data();
  const float top = h[i + kGrid * j] + (h[i + 1 + kGrid * j] - h[i + kGrid * j]) * u;
  const float bottom = h[i + kGrid * (j + 1)] + (h[i + 1 + kGrid * (j + 1)] - h[i + kGrid * (j + 1)]) * u;
  return top + (bottom - top) * v;
}

void GenerateTracks(const std::string& root) {
  for (const TrackTable& t : TrackTables()) {
    const TrackData track = BuildTrack(t);
    Report(t, track);
    const std::string name = t.plan.name;
    WriteHeightmap(root + "/tracks/terrains/" + name + ".tga", track);
    WriteCourse(root + "/tracks/checkpoints/" + name + ".txt", track);
    PaintTrack(root + "/tracks/textures/" + name + ".tga", t.plan, track, 1024);
  }
}
