// Checkpoint courses: the driving line, the gates and the course file.
#include "course.h"

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

Point2 Along(const std::vector<Point2>& line, float s, Point2* direction) {
  const size_t n = line.size();
  const float step = LoopLength(line) / n;
  float f = s / step;
  f -= std::floor(f / n) * n;
  const size_t i = static_cast<size_t>(f) % n, j = (i + 1) % n;
  const float t = f - std::floor(f);
  Point2 d = Sub(line[j], line[i]);
  const float len = Length(d);
  if (direction != nullptr) *direction = {d.x / len, d.z / len};
  return {line[i].x + d.x * t, line[i].z + d.z * t};
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

// The arc position near `s` (at most `reach` away) where the line's
// direction is furthest from the x axis, preferring small shifts: a gate
// across a line that runs along x would have its posts along z.
static float Nudge(const std::vector<Point2>& line, float s, float reach) {
  float best = s, bestScore = -1.0f;
  for (float shift = 0.0f; shift <= reach; shift += 0.25f) {
    for (int sign = -1; sign <= 1; sign += 2) {
      Point2 d;
      Along(line, s + sign * shift, &d);
      const float score = std::fabs(d.z) >= 0.35f ? 2.0f - shift : std::fabs(d.z);
      if (score > bestScore) bestScore = score, best = s + sign * shift;
    }
  }
  return best;
}

std::vector<CourseGate> PlaceGates(const std::vector<Point2>& line, const GateRules& rules) {
  const float total = LoopLength(line);
  const int count = std::max(3, static_cast<int>(std::lround(total / rules.spacing)));
  const float step = total / count;
  std::vector<float> where;
  for (int k = 0; k < count; k++) {
    const float s0 = rules.firstDistance + step * k;
    where.push_back(k == 0 ? s0 : Nudge(line, s0, 2.5f));
  }
  std::vector<CourseGate> gates;
  for (int k = 0; k < count; k++) {
    Point2 d;
    const Point2 c = Along(line, where[k], &d);
    gates.push_back({c.x, c.z, GateAngle(d), k == 0 ? rules.firstHalfWidth : rules.halfWidth});
    // Does the line stray from the straight path to the next gate?
    const float s1 = where[k], s2 = k + 1 < count ? where[k + 1] : where[0] + total;
    const Point2 b = Along(line, s2, nullptr);
    float worst = 0.0f, worstAt = (s1 + s2) / 2.0f;
    for (float s = s1; s < s2; s += 0.25f) {
      const float off = SegmentDistance(Along(line, s, nullptr), c, b);
      if (off > worst) worst = off, worstAt = s;
    }
    if (worst > rules.bendLimit) {
      const float reach = std::min(2.0f, std::min(worstAt - s1, s2 - worstAt) - 3.0f);
      Point2 dw;
      const Point2 w = Along(line, reach > 0.0f ? Nudge(line, worstAt, reach) : worstAt, &dw);
      gates.push_back({w.x, w.z, GateAngle(dw), kHiddenWidth});
    }
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
