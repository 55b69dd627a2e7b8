// The track maker.  A driving line is planned as a loop round one side of
// the world: it leaves the start grid toward -z along x = -1 (as every
// shipped line does), swings round an ellipse whose size, centre and
// wobble come from the seed, and comes back to the grid from +z.  The
// kind of ground adds its bumps (hills), pit (quarry) or lakes.  A plan
// whose built line bends too tightly, comes too near itself or leaves the
// safe part of the world, or whose track fails the checker, is dropped and
// the next plan from the same seed is tried.
#include "track_maker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "race/track_check.h"
#include "raster.h"

namespace {

const float kPi = 3.14159265f;

// The maker's own generator (the same numbers on every machine).
struct Rng {
  uint32_t state;
  uint32_t Next() {
    state += 0x9e3779b9u;
    uint32_t z = state;
    z = (z ^ (z >> 16)) * 0x85ebca6bu;
    z = (z ^ (z >> 13)) * 0xc2b2ae35u;
    return z ^ (z >> 16);
  }
  float Range(float lo, float hi) { return lo + (hi - lo) * (float)(Next() >> 8) / 16777216.0f; }
};

struct Names {
  const char* name;
  Ground ground;
};
const Names kGrounds[] = {{"dunes", Ground::kDunes},   {"hills", Ground::kHills},   {"canyon", Ground::kCanyon},
                          {"lakes", Ground::kLakes},   {"meadow", Ground::kMeadow}, {"quarry", Ground::kQuarry}};

float LineDistance(const std::vector<Point2>& line, float x, float z) {
  float best = 1e9f;
  for (const Point2& p : line) best = std::min(best, (p.x - x) * (p.x - x) + (p.z - z) * (p.z - z));
  return std::sqrt(best);
}

// A quarter circle round (cx, cz) of radius r from angle a0 to a1
// (radians; 0 along +x, pi / 2 along +z), appended to `path`.
void Arc(std::vector<Point2>* path, float cx, float cz, float r, float a0, float a1) {
  for (int k = 1; k <= 8; k++) {
    const float a = a0 + (a1 - a0) * k / 8.0f;
    path->push_back({cx + r * std::cos(a), cz + r * std::sin(a)});
  }
}

// One plan: a rounded rectangle beside the grid, its inner edge the start
// straight (x = -1), bent by a smooth wobble that fades out round the
// grid; every sixth unit of it a control point.  Then the ground's bumps.
TrackTable Plan(Rng* rng, Ground ground, const char* name, uint32_t seed) {
  TrackTable t;
  t.plan.name = name;
  t.plan.ground = ground;
  t.plan.seed = seed;
  const float side = (rng->Next() & 1) ? 1.0f : -1.0f;
  const float width = rng->Range(18.0f, 23.0f);
  const float top = rng->Range(-23.0f, -17.0f), bottom = rng->Range(20.0f, 21.5f);
  float r[4];
  for (float& corner : r) corner = rng->Range(7.5f, 9.5f);
  r[3] = rng->Range(6.5f, 7.5f);  // the corner back onto the grid's straight
  // Drawn for side +1 (the loop to the right of the grid), then mirrored.
  const float x0 = -1.0f, x1 = -1.0f + width;
  std::vector<Point2> path = {{x0, 12.0f}, {x0, top + r[0]}};
  Arc(&path, x0 + r[0], top + r[0], r[0], kPi, 1.5f * kPi);
  path.push_back({x1 - r[1], top});
  Arc(&path, x1 - r[1], top + r[1], r[1], 1.5f * kPi, 2.0f * kPi);
  path.push_back({x1, bottom - r[2]});
  Arc(&path, x1 - r[2], bottom - r[2], r[2], 0.0f, 0.5f * kPi);
  path.push_back({x0 + r[3], bottom});
  Arc(&path, x0 + r[3], bottom - r[3], r[3], 0.5f * kPi, kPi);
  const std::vector<Point2> even = Resample(path, 0.5f);
  // The wobble: two long waves across the loop.
  const float ax = rng->Range(0.0f, 3.0f), az = rng->Range(0.0f, 3.0f);
  const float kx = rng->Range(0.12f, 0.25f), kz = rng->Range(0.12f, 0.25f);
  const float px = rng->Range(0.0f, 2 * kPi), pz = rng->Range(0.0f, 2 * kPi);
  for (size_t k = 0; k < even.size(); k += 12) {
    Point2 p = even[k];
    const float fromGrid = std::hypot(p.x + 1.0f, p.z - 5.0f);
    const float fade = Clamp01((fromGrid - 10.0f) / 8.0f);
    p.x += fade * ax * std::sin(kz * p.z + px);
    p.z += fade * az * std::sin(kx * p.x + pz);
    p.x = -1.0f + side * (p.x + 1.0f);
    t.plan.controls.push_back(p);
  }
  const float cx = -1.0f + side * width / 2.0f, cz = (top + bottom) / 2.0f;
  const float rx = width / 2.0f;

  // The line as BuildTrack will smooth it is close enough to the controls'
  // loop for keeping bumps and lakes off the road.
  const std::vector<Point2> loop = Resample(SmoothLoop(t.plan.controls, 12), 0.5f);
  switch (ground) {
    case Ground::kHills: {
      const int hills = 3 + (int)(rng->Next() % 3);
      for (int k = 0; k < hills; k++)
        t.bumps.push_back({rng->Range(-24.0f, 22.0f), rng->Range(-24.0f, 22.0f), rng->Range(6.0f, 11.0f),
                           rng->Range(0.8f, 2.2f)});
      break;
    }
    case Ground::kQuarry:
      // The pit inside the loop, its benches stopping short of the road.
      t.bumps.push_back({cx + side * rng->Range(-1.0f, 1.0f), cz + rng->Range(-3.0f, 3.0f),
                         std::max(4.0f, std::min(rx, 9.0f) * 0.8f), rng->Range(2.0f, 2.6f)});
      break;
    case Ground::kLakes:
      for (int tries = 0; tries < 40 && t.bumps.size() < 5; tries++) {
        const Bump b = {rng->Range(-26.0f, 24.0f), rng->Range(-26.0f, 24.0f), rng->Range(3.0f, 7.0f),
                        -rng->Range(1.0f, 1.3f)};
        if (LineDistance(loop, b.x, b.z) > b.radius + 4.0f && !(b.x > -9 && b.x < 7 && b.z > 1 && b.z < 19))
          t.bumps.push_back(b);
      }
      break;
    default:
      break;
  }
  return t;
}

// The built line: no bend tighter than 6, never nearer itself than 11
// (parts more than 20 apart along it), inside -26 .. 24.
const char* LineFault(const std::vector<Point2>& line) {
  const size_t n = line.size();
  const size_t span = 16;  // 4 units either side
  for (size_t k = 0; k < n; k++) {
    const Point2 a = line[(k + n - span) % n], b = line[k], c = line[(k + span) % n];
    if (b.x < -26 || b.x > 24 || b.z < -26 || b.z > 24) return "the line leaves the world";
    const float ab = std::hypot(b.x - a.x, b.z - a.z), bc = std::hypot(c.x - b.x, c.z - b.z),
                ca = std::hypot(a.x - c.x, a.z - c.z);
    const float area2 = std::fabs((b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x));
    if (area2 > 1e-6f && ab * bc * ca / (2.0f * area2) < 6.0f) return "the line bends too tightly";
    for (size_t m = k + 80; m + 80 < k + n; m += 2) {
      const Point2 o = line[m % n];
      if (std::hypot(o.x - b.x, o.z - b.z) < 11.0f) return "the line comes too near itself";
    }
  }
  return nullptr;
}

}  // namespace

bool ParseGround(const std::string& text, Ground* ground) {
  for (const Names& g : kGrounds) {
    if (text == g.name) {
      *ground = g.ground;
      return true;
    }
  }
  return false;
}

const char* GroundName(Ground ground) {
  for (const Names& g : kGrounds)
    if (g.ground == ground) return g.name;
  return "?";
}

Ground GroundForSeed(uint32_t seed) { return kGrounds[seed % 6].ground; }

bool CheckBuiltTrack(const TrackData& track, TrackProblems* problems) {
  TrackProblems local;
  if (problems == nullptr) problems = &local;
  ClearTrackProblems(problems);
  // The heights as the written heightmap gives them back: whole grey levels.
  float heights[kGrid * kGrid];
  for (int p = 0; p < kGrid * kGrid; p++)
    heights[p] = Clamp(std::round(track.heights[p] / kHeightStep), 0.0f, 255.0f) * 0.0125f;
  const std::string text = FormatCourse(track.gates);
  CourseRead course;
  ReadCourseText(text.data(), text.size(), &course, problems);
  CheckTrackShape(heights, course, problems);
  return problems->count == 0 && problems->dropped == 0;
}

MadeTrack MakeTrack(uint32_t seed, Ground ground, const char* name, FILE* why) {
  Rng rng = {seed * 0x27d4eb2du + static_cast<uint32_t>(ground)};
  MadeTrack made;
  made.tries = 0;
  for (int attempt = 1; attempt <= 64; attempt++) {
    made.table = Plan(&rng, ground, name, seed);
    made.data = BuildTrack(made.table);
    if (const char* fault = LineFault(made.data.line)) {
      if (why) std::fprintf(why, "plan %d: %s\n", attempt, fault);
      continue;
    }
    TrackProblems problems;
    if (CheckBuiltTrack(made.data, &problems)) {
      made.tries = attempt;
      return made;
    }
    for (int k = 0; why && k < problems.count; k++) std::fprintf(why, "plan %d: %s\n", attempt, problems.text[k]);
  }
  return made;
}
