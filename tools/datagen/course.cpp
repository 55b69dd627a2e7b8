// Checkpoint courses: the driving line, the gates and the course file.
#include "course.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const float kPi = 3.141592654f;

Point2 Sub(Point2 a, Point2 b) { return {a.x - b.x, a.z - b.z}; }
float Length(Point2 a) { return std::sqrt(a.x * a.x + a.z * a.z); }

// Point of the centripetal Catmull-Rom segment p1..p2 at t in 0..1.
Point2 CatmullRom(Point2 p0, Point2 p1, Point2 p2, Point2 p3, float t) {
  auto knot = [](float ti, Point2 a, Point2 b) {
    return ti + std::sqrt(std::max(Length(Sub(b, a)), 1e-4f));
  };
  const float t0 = 0.0f, t1 = knot(t0, p0, p1), t2 = knot(t1, p1, p2), t3 = knot(t2, p2, p3);
  const float u = t1 + (t2 - t1) * t;
  auto lerp = [](Point2 a, Point2 b, float ta, float tb, float x) {
    const float w = (x - ta) / (tb - ta);
    return Point2{a.x + (b.x - a.x) * w, a.z + (b.z - a.z) * w};
  };
  const Point2 a1 = lerp(p0, p1, t0, t1, u), a2 = lerp(p1, p2, t1, t2, u), a3 = lerp(p2, p3, t2, t3, u);
  const Point2 b1 = lerp(a1, a2, t0, t2, u), b2 = lerp(a2, a3, t1, t3, u);
  return lerp(b1, b2, t1, t2, u);
}

// As Along, with the line's sample spacing (its length / its size) given,
// so that callers asking many times measure the line once.
static Point2 AlongSpaced(const std::vector<Point2>& line, float step, float s, Point2* direction) {
  const size_t n = line.size();
  float f = s / step;
  f -= std::floor(f / n) * n;
  const size_t i = static_cast<size_t>(f) % n, j = (i + 1) % n;
  const float t = f - std::floor(f);
  Point2 d = Sub(line[j], line[i]);
  const float len = Length(d);
  if (direction != nullptr) *direction = {d.x / len, d.z / len};
  return {line[i].x + d.x * t, line[i].z + d.z * t};
}

Point2 Along(const std::vector<Point2>& line, float s, Point2* direction) {
  return AlongSpaced(line, LoopLength(line) / line.size(), s, direction);
}

float GateAngle(Point2 direction) {
  return std::atan2(direction.x, direction.z) * 180.0f / kPi;
}

}  // namespace

std::vector<Point2> SmoothLoop(const std::vector<Point2>& controls, int perSegment) {
  std::vector<Point2> out;
  const size_t n = controls.size();
  for (size_t i = 0; i < n; i++) {
    const Point2 p0 = controls[(i + n - 1) % n], p1 = controls[i];
    const Point2 p2 = controls[(i + 1) % n], p3 = controls[(i + 2) % n];
    for (int k = 0; k < perSegment; k++) out.push_back(CatmullRom(p0, p1, p2, p3, k / static_cast<float>(perSegment)));
  }
  return out;
}

float LoopLength(const std::vector<Point2>& loop) {
  float sum = 0.0f;
  for (size_t i = 0; i < loop.size(); i++) sum += Length(Sub(loop[(i + 1) % loop.size()], loop[i]));
  return sum;
}

std::vector<Point2> Resample(const std::vector<Point2>& loop, float step) {
  const size_t n = loop.size();
  std::vector<float> at(n + 1, 0.0f);
  for (size_t i = 0; i < n; i++) at[i + 1] = at[i] + Length(Sub(loop[(i + 1) % n], loop[i]));
  const float total = at[n];
  const int count = std::max(3, static_cast<int>(std::lround(total / step)));
  std::vector<Point2> out;
  size_t seg = 0;
  for (int k = 0; k < count; k++) {
    const float s = total * k / count;
    while (seg + 1 < n && at[seg + 1] <= s) seg++;
    const float t = (s - at[seg]) / std::max(at[seg + 1] - at[seg], 1e-6f);
    const Point2 a = loop[seg], b = loop[(seg + 1) % n];
    out.push_back({a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t});
  }
  return out;
}

// How far the line strays from the straight path between arc positions
// s1 and s2 (checked every half unit; it stops early beyond `limit`).
static float Stray(const std::vector<Point2>& line, float spacing, float s1, float s2, float limit) {
  const Point2 a = AlongSpaced(line, spacing, s1, nullptr), b = AlongSpaced(line, spacing, s2, nullptr);
  float worst = 0.0f;
  for (float s = s1; s < s2 && worst <= limit; s += 0.5f) {
    worst = std::max(worst, SegmentDistance(AlongSpaced(line, spacing, s, nullptr), a, b));
  }
  return worst;
}

// The game tells a crossing by comparing x ranges, which fails for a gate
// whose posts stand (almost exactly) along z: keep |cos A| above this.
const float kAcrossZ = 0.15f;

std::vector<CourseGate> PlaceGates(const std::vector<Point2>& line, const GateRules& rules) {
  const float total = LoopLength(line);
  const float unit = 0.25f;
  const int count = static_cast<int>(total / unit);
  const int shortest = static_cast<int>(5.0f / unit), longest = static_cast<int>((rules.spacing + 1.0f) / unit);
  auto arc = [&](int k) { return rules.firstDistance + k * total / count; };
  const float spacing = total / line.size();
  // Gate positions are arc steps 0..count (count is gate 0 again).  The
  // cheapest chain of steps from 0 to count, each 5 to spacing + 1 units
  // long, keeps near the wanted spacing, never lets the line stray more
  // than `bendLimit` from the straight path, and avoids positions where the
  // posts would stand almost along z (at a high price, so a course that
  // cannot avoid them still gets gates).
  std::vector<float> cost(count + 1, 1e30f);
  std::vector<int> from(count + 1, -1);
  cost[0] = 0.0f;
  for (int k = 0; k < count; k++) {
    if (cost[k] >= 1e30f) continue;
    // The last step, onto gate 0, may run the whole start straight (up to
    // twice the usual length) so that no gate stands on the grid.
    for (int d = shortest; d <= 2 * longest && k + d <= count; d++) {
      if (d > longest) d = std::max(d, count - k);  // only the step onto gate 0 is that long
      if (d > 2 * longest) break;
      const int j = k + d;
      const float sj = arc(j), length = d * total / count;
      float step = (length - rules.spacing) * (length - rules.spacing);
      if (Stray(line, spacing, arc(k), sj, rules.bendLimit) > rules.bendLimit) step += 1e4f;
      Point2 dir;
      const Point2 at = AlongSpaced(line, spacing, sj, &dir);
      if (j < count && std::fabs(dir.z) < kAcrossZ) step += 1e3f;
      if (j < count && at.x > rules.keepOutX0 && at.x < rules.keepOutX1 && at.z > rules.keepOutZ0 &&
          at.z < rules.keepOutZ1) {
        step += 1e3f;
      }
      if (cost[k] + step < cost[j]) cost[j] = cost[k] + step, from[j] = k;
    }
  }
  std::vector<int> chain;
  for (int k = count; k > 0; k = from[k]) {
    if (from[k] < 0) break;
    chain.push_back(from[k]);
  }
  std::reverse(chain.begin(), chain.end());
  std::vector<Point2> at;
  std::vector<float> angle;
  for (int k : chain) {
    Point2 d;
    at.push_back(Along(line, arc(k), &d));
    angle.push_back(GateAngle(d));
  }
  // A gate closer than 8 units to the one before, where the way turns by
  // 55 degrees or more, is a hidden waypoint: a hint for the computer
  // drivers in a tight bend.  (Its posts, 3 either side, still bounce
  // cars, so the milder bends keep wide visible gates.)
  std::vector<CourseGate> gates;
  const size_t n = chain.size();
  for (size_t g = 0; g < n; g++) {
    const Point2 p = at[(g + n - 1) % n], c = at[g], q = at[(g + 1) % n];
    const float turn = std::fabs(std::remainder(std::atan2(q.x - c.x, q.z - c.z) - std::atan2(c.x - p.x, c.z - p.z),
                                                2.0f * kPi)) * 180.0f / kPi;
    const float before = std::hypot(c.x - p.x, c.z - p.z);
    const bool hidden = g > 0 && before < 8.0f && turn >= 55.0f;
    gates.push_back({c.x, c.z, angle[g], g == 0 ? rules.firstHalfWidth : (hidden ? kHiddenWidth : rules.halfWidth)});
  }
  return gates;
}

float GameHalfWidth(const CourseGate& g) {
  return g.halfWidth == kHiddenWidth ? kHiddenPosts : g.halfWidth;
}

Point2 LeftPost(const CourseGate& g) {
  const float a = g.angle * kPi / 180.0f, w = GameHalfWidth(g);
  return {g.x - std::cos(a) * w, g.z + std::sin(a) * w};
}

Point2 RightPost(const CourseGate& g) {
  const float a = g.angle * kPi / 180.0f, w = GameHalfWidth(g);
  return {g.x + std::cos(a) * w, g.z - std::sin(a) * w};
}

std::string FormatCourse(const std::vector<CourseGate>& gates) {
  std::string out;
  char line[96];
  for (const CourseGate& g : gates) {
    std::snprintf(line, sizeof line, "%.3f %.3f %.1f %.1f\n", g.x / kMapScale, g.z / kMapScale,
                  g.angle, g.halfWidth);
    out += line;
  }
  return out;
}

bool ParseCourse(const std::string& text, std::vector<CourseGate>* gates) {
  gates->clear();
  const char* p = text.c_str();
  float values[4];
  int have = 0;
  while (gates->size() < 99) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') p++;
    if (*p == '\0') break;
    char* end = nullptr;
    const float v = std::strtof(p, &end);
    if (end == p) return false;
    p = end;
    values[have++] = v;
    if (have == 4) {
      gates->push_back({values[0] * kMapScale, values[1] * kMapScale, values[2], values[3]});
      have = 0;
    }
  }
  return true;
}

bool SegmentsMeet(Point2 a, Point2 b, Point2 c, Point2 d) {
  auto cross = [](Point2 o, Point2 p, Point2 q) {
    return (p.x - o.x) * (q.z - o.z) - (p.z - o.z) * (q.x - o.x);
  };
  const float d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
  return SegmentDistance(a, c, d) < 1e-4f || SegmentDistance(b, c, d) < 1e-4f ||
         SegmentDistance(c, a, b) < 1e-4f || SegmentDistance(d, a, b) < 1e-4f;
}

float SegmentDistance(Point2 p, Point2 a, Point2 b) {
  const Point2 ab = Sub(b, a), ap = Sub(p, a);
  const float len2 = ab.x * ab.x + ab.z * ab.z;
  float t = len2 > 0.0f ? (ap.x * ab.x + ap.z * ab.z) / len2 : 0.0f;
  t = std::min(std::max(t, 0.0f), 1.0f);
  return Length({ap.x - ab.x * t, ap.z - ab.z * t});
}
