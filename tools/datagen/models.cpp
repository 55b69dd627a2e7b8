// The models, in 3DS axes (x right, y forward, z up; the game draws a model
// point (x, y, z) at (x, z, -y), so 3DS +y is the game's -z, the way a car
// faces at heading 0).  Triangles are wound counter-clockwise as seen from
// outside (from inside for the sky dome), the front faces of the game's
// back-face culling.  Flat parts get vertices of their own per face so that
// the game's vertex normals keep their edges crisp.
#include <cmath>
#include <cstdio>

#include "chunk3ds.h"
#include "datagen.h"
#include "raster.h"

namespace {

const float kPi = 3.14159265f;

struct V3 {
  float x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 Unit(V3 a) {
  const float l = std::sqrt(Dot(a, a));
  return l > 0 ? a * (1.0f / l) : a;
}

struct Mesh {
  MeshPart part;
  uint16_t Vertex(V3 p, float u = 0.0f, float v = 0.0f, bool uv = false) {
    part.points.insert(part.points.end(), {p.x, p.y, p.z});
    if (uv) part.uvs.insert(part.uvs.end(), {u, v});
    return static_cast<uint16_t>(part.points.size() / 3 - 1);
  }
  V3 At(uint16_t i) const { return {part.points[i * 3], part.points[i * 3 + 1], part.points[i * 3 + 2]}; }
  // One triangle of existing vertices, turned so that its front faces away
  // from `inside` (or toward it when `facingIn`).  Degenerate ones are left out.
  void Tri(uint16_t a, uint16_t b, uint16_t c, V3 inside, bool facingIn = false) {
    const V3 n = Cross(At(b) - At(a), At(c) - At(a));
    if (Dot(n, n) < 1e-14f) return;
    const V3 centre = (At(a) + At(b) + At(c)) * (1.0f / 3.0f);
    const bool outward = Dot(n, centre - inside) > 0.0f;
    if (outward != facingIn) part.faces.insert(part.faces.end(), {a, b, c});
    else part.faces.insert(part.faces.end(), {a, c, b});
  }
  // A flat quad (corners in order round its edge) with vertices of its own.
  void Quad(V3 a, V3 b, V3 c, V3 d, V3 inside) {
    const uint16_t i = Vertex(a), j = Vertex(b), k = Vertex(c), l = Vertex(d);
    Tri(i, j, k, inside);
    Tri(i, k, l, inside);
  }
  // A six-sided solid from its eight corners: bottom four then top four,
  // each in order round the edge (a box, a wedge, a tapered hull).
  void Hexa(const V3 c[8]) {
    V3 mid = {0, 0, 0};
    for (int i = 0; i < 8; i++) mid = mid + c[i] * 0.125f;
    Quad(c[0], c[1], c[2], c[3], mid);
    Quad(c[4], c[5], c[6], c[7], mid);
    for (int i = 0; i < 4; i++) {
      const int j = (i + 1) % 4;
      Quad(c[i], c[j], c[j + 4], c[i + 4], mid);
    }
  }
  void Box(V3 lo, V3 hi) {
    const V3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                     {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    Hexa(c);
  }
  // A square tube of side `t` from a to b.
  void Beam(V3 a, V3 b, float t) {
    const V3 along = Unit(b - a);
    V3 side = Cross(along, {0, 0, 1});
    if (Dot(side, side) < 1e-6f) side = Cross(along, {1, 0, 0});
    side = Unit(side) * (t / 2);
    const V3 up = Unit(Cross(side, along)) * (t / 2);
    const V3 c[8] = {a - side - up, a + side - up, a + side + up, a - side + up,
                     b - side - up, b + side - up, b + side + up, b - side + up};
    const V3 h[8] = {c[0], c[1], c[5], c[4], c[3], c[2], c[6], c[7]};
    Hexa(h);
  }
  // A mirrored pair: the part at +x and its twin at -x.
  void BoxPair(V3 lo, V3 hi) {
    Box(lo, hi);
    Box({-hi.x, lo.y, lo.z}, {-lo.x, hi.y, hi.z});
  }
  void BeamPair(V3 a, V3 b, float t) {
    Beam(a, b, t);
    Beam({-a.x, a.y, a.z}, {-b.x, b.y, b.z}, t);
  }
};

void Save(const std::string& path, const std::vector<MeshMaterial>& materials,
          const std::vector<MeshPart>& parts) {
  const std::vector<uint8_t> bytes = Build3ds(materials, parts);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Fail("cannot write " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !ok) Fail("cannot write " + path);
}

// The finished object: named, with vertices that no triangle uses left out.
MeshPart Named(const Mesh& m, const char* name, const char* material) {
  MeshPart out;
  out.name = name;
  out.material = material;
  std::vector<int> remap(m.part.points.size() / 3, -1);
  for (uint16_t i : m.part.faces) {
    if (remap[i] >= 0) continue;
    remap[i] = static_cast<int>(out.points.size() / 3);
    out.points.insert(out.points.end(), {m.part.points[i * 3], m.part.points[i * 3 + 1], m.part.points[i * 3 + 2]});
    if (!m.part.uvs.empty()) out.uvs.insert(out.uvs.end(), {m.part.uvs[i * 2], m.part.uvs[i * 2 + 1]});
  }
  for (uint16_t i : m.part.faces) out.faces.push_back(static_cast<uint16_t>(remap[i]));
  if (out.points.size() / 3 > 65535) Fail(std::string("model part too large: ") + name);
  return out;
}

// A ring of `n` shared vertices round the x axis at `x`, radius `r`.
uint16_t Ring(Mesh* m, float x, float r, int n) {
  const uint16_t first = static_cast<uint16_t>(m->part.points.size() / 3);
  for (int s = 0; s < n; s++) {
    const float a = 2 * kPi * s / n;
    m->Vertex({x, r * std::cos(a), r * std::sin(a)});
  }
  return first;
}

// A body of revolution about the x axis from a profile of (x, radius)
// points, ordered so that the outside is on the left of the direction of
// travel.  Each profile step gets rings of its own (crisp edges between
// steps, smooth normals round the axis); a step that starts or ends on the
// axis becomes a fan.  A profile that ends where it began is closed.
void Revolve(Mesh* m, const std::vector<std::pair<float, float>>& profile, int segments) {
  for (size_t p = 0; p + 1 < profile.size(); p++) {
    const float x0 = profile[p].first, r0 = profile[p].second;
    const float x1 = profile[p + 1].first, r1 = profile[p + 1].second;
    const uint16_t a = Ring(m, x0, r0, segments), b = Ring(m, x1, r1, segments);
    // The outside is on the left of the profile's direction.  Each face's
    // inside point lies a little behind its own centre against that
    // direction (a point shared by the segment would sit outside a face cut
    // coarsely across a wide ring).
    const float tx = x1 - x0, tr = r1 - r0, len = std::sqrt(tx * tx + tr * tr);
    const float nx = -tr / len, nr = tx / len;
    for (int s = 0; s < segments; s++) {
      const int s1 = (s + 1) % segments;
      const float am = 2 * kPi * (s + 0.5f) / segments;
      const V3 outward = {nx, nr * std::cos(am), nr * std::sin(am)};
      const auto face = [&](uint16_t i, uint16_t j, uint16_t k) {
        const V3 centre = (m->At(i) + m->At(j) + m->At(k)) * (1.0f / 3.0f);
        m->Tri(i, j, k, centre - outward * 0.01f);
      };
      face(a + s, a + s1, b + s1);
      face(a + s, b + s1, b + s);
    }
  }
}

// A round tube of radius `r` from a to b with `sides` sides, smooth round
// its axis and closed by flat caps.
void Tube(Mesh* m, V3 a, V3 b, float r, int sides = 6) {
  const V3 along = Unit(b - a);
  V3 u = Cross(along, {0, 0, 1});
  if (Dot(u, u) < 1e-6f) u = Cross(along, {1, 0, 0});
  u = Unit(u);
  const V3 v = Unit(Cross(along, u));
  const V3 mid = (a + b) * 0.5f;
  const uint16_t first = static_cast<uint16_t>(m->part.points.size() / 3);
  for (int end = 0; end < 2; end++) {
    for (int s = 0; s < sides; s++) {
      const float t = 2 * kPi * s / sides;
      m->Vertex((end ? b : a) + u * (r * std::cos(t)) + v * (r * std::sin(t)));
    }
  }
  for (int s = 0; s < sides; s++) {
    const int s1 = (s + 1) % sides;
    const float t = 2 * kPi * (s + 0.5f) / sides;
    const V3 inside = mid + (u * std::cos(t) + v * std::sin(t)) * (r * 0.5f);
    m->Tri(first + s, first + s1, first + sides + s1, inside);
    m->Tri(first + s, first + sides + s1, first + sides + s, inside);
  }
  // Caps with vertices of their own (flat), each a fan from its first corner.
  for (int end = 0; end < 2; end++) {
    const uint16_t k = static_cast<uint16_t>(m->part.points.size() / 3);
    for (int s = 0; s < sides; s++) m->Vertex(m->At(static_cast<uint16_t>(first + end * sides + s)));
    for (int s = 1; s + 1 < sides; s++) m->Tri(k, k + s, k + s + 1, mid);
  }
}

// A tube of fewer sides looks thinner: its mean width is 2r n sin(pi/n)/pi
// against the round tube's 2r.  The radius that gives a tube of `sides`
// sides the mean width of the full model's tube of `fullSides` and radius r.
float EvenGirth(float r, int sides, int fullSides) {
  if (sides == fullSides) return r;
  const auto width = [](int n) { return static_cast<float>(n) * std::sin(kPi / static_cast<float>(n)); };
  return r * width(fullSides) / width(sides);
}

void TubePair(Mesh* m, V3 a, V3 b, float r, int sides = 6) {
  Tube(m, a, b, r, sides);
  Tube(m, {-a.x, a.y, a.z}, {-b.x, b.y, b.z}, r, sides);
}

// One cross-section of the shell: at length y, half width w, from zb to
// zt, its corners rounded with radii rb (bottom) and rt (top).
struct Station {
  float y, w, zb, zt, rb, rt;
};

// The shell lofted through its stations (tail first), smooth all round,
// closed by a flat cap at each end.  Each section has four corners of
// `cornerPoints` points each (at least 2), spread over the corner's quarter
// turn.
void Loft(Mesh* m, const std::vector<Station>& stations, int cornerPoints) {
  const int n = 4 * cornerPoints;
  std::vector<uint16_t> first;
  for (const Station& st : stations) {
    first.push_back(static_cast<uint16_t>(m->part.points.size() / 3));
    // Corner centres counter-clockwise seen from the nose: bottom right,
    // top right, top left, bottom left.
    const float cx[4] = {st.w - st.rb, st.w - st.rt, -st.w + st.rt, -st.w + st.rb};
    const float cz[4] = {st.zb + st.rb, st.zt - st.rt, st.zt - st.rt, st.zb + st.rb};
    const float rad[4] = {st.rb, st.rt, st.rt, st.rb};
    for (int c = 0; c < 4; c++) {
      for (int k = 0; k < cornerPoints; k++) {
        const float a = (-90.0f + 90.0f * c + 90.0f * k / (cornerPoints - 1)) * kPi / 180.0f;
        m->Vertex({cx[c] + rad[c] * std::cos(a), st.y, cz[c] + rad[c] * std::sin(a)});
      }
    }
  }
  for (size_t k = 0; k + 1 < stations.size(); k++) {
    const V3 inside = {0.0f, (stations[k].y + stations[k + 1].y) / 2,
                       (stations[k].zb + stations[k].zt + stations[k + 1].zb + stations[k + 1].zt) / 4};
    for (int s = 0; s < n; s++) {
      const int s1 = (s + 1) % n;
      m->Tri(first[k] + s, first[k] + s1, first[k + 1] + s1, inside);
      m->Tri(first[k] + s, first[k + 1] + s1, first[k + 1] + s, inside);
    }
  }
  for (int end = 0; end < 2; end++) {
    const Station& st = end ? stations.back() : stations.front();
    const Station& next = end ? stations[stations.size() - 2] : stations[1];
    const V3 centre = {0.0f, st.y, (st.zb + st.zt) / 2};
    const V3 inside = {0.0f, next.y, (next.zb + next.zt) / 2};
    const uint16_t c = m->Vertex(centre);
    const uint16_t k = static_cast<uint16_t>(m->part.points.size() / 3);
    for (int s = 0; s < n; s++) m->Vertex(m->At(static_cast<uint16_t>((end ? first.back() : first.front()) + s)));
    for (int s = 0; s < n; s++) m->Tri(c, k + s, k + (s + 1) % n, inside);
  }
}

// A fender: an arched plate of thickness 0.025 over a wheel at (y, axle
// height), from x0 to x1, radius r, from 15 to 165 degrees in pieces.
void Fender(Mesh* m, float y, float x0, float x1, float r, int pieces) {
  for (int p = 0; p < pieces; p++) {
    const float a0 = (15.0f + 150.0f * p / pieces) * kPi / 180.0f;
    const float a1 = (15.0f + 150.0f * (p + 1) / pieces) * kPi / 180.0f;
    auto at = [&](float x, float rr, float a) { return V3{x, y + rr * std::cos(a), rr * std::sin(a)}; };
    const float ri = r, ro = r + 0.025f;
    const V3 c[8] = {at(x0, ri, a0), at(x1, ri, a0), at(x1, ri, a1), at(x0, ri, a1),
                     at(x0, ro, a0), at(x1, ro, a0), at(x1, ro, a1), at(x0, ro, a1)};
    m->Hexa(c);
  }
}

// How finely the buggy's round parts are cut: the full model, and the
// middle one for cars too small on screen for the difference to show.
struct BodyDetail {
  int cornerPoints;  // per rounded corner of the shell's sections
  int fenderPieces;  // per fender arch
  int tubeSides;     // of the cage, bumpers and exhausts
  int armSides;      // of the suspension arms
  int lampSides;
};
const BodyDetail kFullBody = {4, 4, 6, 4, 6};
const BodyDetail kMiddleBody = {3, 3, 3, 3, 4};

// The buggy, in five materials: the painted shell (nose to tail, fenders,
// side pods, rear wing), the dark chassis (floor, seat, arms, bumpers,
// engine), the metal roll cage and exhausts, the head lamps and the tail
// lamps.  Origin at the body's centre at axle height; the wheels (radius
// 0.25) sit at y = +-0.5, x = +-0.5 (front) and +-0.55 (rear), outside the
// tub.
void WriteBody(const std::string& path, const BodyDetail& detail) {
  const int sides = detail.tubeSides;
  const auto tubeRadius = [&](float r) { return EvenGirth(r, sides, kFullBody.tubeSides); };
  const auto armRadius = [&](float r) { return EvenGirth(r, detail.armSides, kFullBody.armSides); };
  const auto lampRadius = [&](float r) { return EvenGirth(r, detail.lampSides, kFullBody.lampSides); };
  Mesh paint, chassis, metal, lamp, tail;
  Loft(&paint, {{-0.82f, 0.24f, 0.02f, 0.2f, 0.04f, 0.06f},
                {-0.74f, 0.33f, -0.05f, 0.26f, 0.05f, 0.08f},
                {-0.4f, 0.37f, -0.09f, 0.26f, 0.06f, 0.09f},
                {0.28f, 0.35f, -0.09f, 0.19f, 0.06f, 0.09f},
                {0.56f, 0.28f, -0.06f, 0.13f, 0.05f, 0.07f},
                {0.78f, 0.18f, -0.02f, 0.07f, 0.03f, 0.04f},
                {0.86f, 0.1f, 0.0f, 0.04f, 0.015f, 0.015f}},
       detail.cornerPoints);
  // Side pods between the wheels.
  for (int side = -1; side <= 1; side += 2) {
    const float a = 0.33f * side, b = 0.5f * side;
    const V3 pod[8] = {{a, -0.22f, -0.04f}, {b, -0.2f, -0.02f}, {b, 0.18f, 0.0f},  {a, 0.2f, -0.02f},
                       {a, -0.22f, 0.16f},  {b, -0.2f, 0.12f},  {b, 0.14f, 0.1f}, {a, 0.18f, 0.15f}};
    paint.Hexa(pod);
  }
  Fender(&paint, 0.5f, 0.36f, 0.66f, 0.31f, detail.fenderPieces);
  Fender(&paint, 0.5f, -0.66f, -0.36f, 0.31f, detail.fenderPieces);
  Fender(&paint, -0.5f, 0.38f, 0.72f, 0.31f, detail.fenderPieces);
  Fender(&paint, -0.5f, -0.72f, -0.38f, 0.31f, detail.fenderPieces);
  // Rear wing with end plates.
  const V3 wing[8] = {{-0.46f, -0.82f, 0.6f},  {0.46f, -0.82f, 0.6f},  {0.46f, -0.58f, 0.63f}, {-0.46f, -0.58f, 0.63f},
                      {-0.46f, -0.82f, 0.65f}, {0.46f, -0.82f, 0.65f}, {0.46f, -0.58f, 0.66f}, {-0.46f, -0.58f, 0.66f}};
  paint.Hexa(wing);
  paint.BoxPair({0.46f, -0.84f, 0.52f}, {0.48f, -0.56f, 0.72f});

  // Chassis: floor pan, seat, suspension arms, bumpers, engine.
  chassis.Box({-0.3f, -0.7f, -0.13f}, {0.3f, 0.7f, -0.08f});
  chassis.Box({-0.16f, -0.22f, 0.2f}, {0.16f, 0.06f, 0.27f});
  const V3 back[8] = {{-0.16f, -0.3f, 0.2f}, {0.16f, -0.3f, 0.2f}, {0.16f, -0.2f, 0.2f}, {-0.16f, -0.2f, 0.2f},
                      {-0.15f, -0.34f, 0.55f}, {0.15f, -0.34f, 0.55f}, {0.15f, -0.26f, 0.55f}, {-0.15f, -0.26f, 0.55f}};
  chassis.Hexa(back);
  for (int axle = -1; axle <= 1; axle += 2) {
    const float y = 0.5f * axle, hub = axle > 0 ? 0.38f : 0.43f;  // just short of the wheel's inner face
    // Suspension arms: thin square bars.
    for (float side : {-1.0f, 1.0f}) {
      Tube(&chassis, {0.3f * side, y - 0.12f, -0.06f}, {hub * side, y, -0.02f}, armRadius(0.018f), detail.armSides);
      Tube(&chassis, {0.3f * side, y + 0.12f, 0.08f}, {hub * side, y, 0.06f}, armRadius(0.018f), detail.armSides);
    }
  }
  Tube(&chassis, {-0.34f, 0.89f, 0.02f}, {0.34f, 0.89f, 0.02f}, tubeRadius(0.03f), sides);
  TubePair(&chassis, {0.12f, 0.76f, 0.0f}, {0.24f, 0.89f, 0.02f}, tubeRadius(0.022f), sides);
  Tube(&chassis, {-0.3f, -0.85f, 0.06f}, {0.3f, -0.85f, 0.06f}, tubeRadius(0.03f), sides);
  TubePair(&chassis, {0.18f, -0.76f, 0.06f}, {0.22f, -0.85f, 0.06f}, tubeRadius(0.022f), sides);
  chassis.Box({-0.22f, -0.7f, 0.26f}, {0.22f, -0.4f, 0.4f});

  // Metal: the roll cage of round tubes, wing struts, exhausts.
  const float t = 0.022f;
  TubePair(&metal, {0.3f, -0.3f, 0.22f}, {0.27f, -0.3f, 0.66f}, tubeRadius(t), sides);
  Tube(&metal, {-0.27f, -0.3f, 0.66f}, {0.27f, -0.3f, 0.66f}, tubeRadius(t), sides);
  TubePair(&metal, {0.32f, 0.32f, 0.16f}, {0.25f, 0.06f, 0.62f}, tubeRadius(t), sides);
  Tube(&metal, {-0.25f, 0.06f, 0.62f}, {0.25f, 0.06f, 0.62f}, tubeRadius(t), sides);
  TubePair(&metal, {0.25f, 0.06f, 0.62f}, {0.27f, -0.3f, 0.66f}, tubeRadius(t), sides);
  TubePair(&metal, {0.27f, -0.3f, 0.66f}, {0.28f, -0.7f, 0.26f}, tubeRadius(t), sides);
  Tube(&metal, {0.25f, -0.3f, 0.25f}, {-0.25f, -0.3f, 0.6f}, tubeRadius(t * 0.8f), sides);
  TubePair(&metal, {0.2f, -0.55f, 0.4f}, {0.22f, -0.7f, 0.6f}, tubeRadius(0.016f), sides);
  TubePair(&metal, {0.14f, -0.62f, 0.3f}, {0.17f, -0.84f, 0.36f}, tubeRadius(0.028f), sides);

  // Lamps: two head lamps on the nose, a light bar on the cage, tail lamps.
  for (int side = -1; side <= 1; side += 2) {
    Tube(&lamp, {0.2f * side, 0.66f, 0.1f}, {0.2f * side, 0.72f, 0.1f}, lampRadius(0.045f), detail.lampSides);
    tail.Box({0.2f * side - 0.05f, -0.84f, 0.12f}, {0.2f * side + 0.05f, -0.8f, 0.18f});
  }
  for (int k = -1; k <= 1; k += 2)
    Tube(&lamp, {0.13f * k, 0.07f, 0.68f}, {0.13f * k, 0.12f, 0.68f}, lampRadius(0.035f), detail.lampSides);

  std::vector<MeshMaterial> materials = {{"paint", 200, 200, 200, ""},
                                         {"chassis", 46, 46, 50, ""},
                                         {"metal", 170, 172, 178, ""},
                                         {"lamp", 255, 246, 210, ""},
                                         {"taillamp", 220, 30, 24, ""}};
  // The painted shell first: the caller's colour is current until the
  // first object that carries its own.
  Save(path, materials,
       {Named(paint, "shell", "paint"), Named(chassis, "chassis", "chassis"), Named(metal, "cage", "metal"),
        Named(lamp, "lamps", "lamp"), Named(tail, "taillamps", "taillamp")});
}

// The far body, which is also the shadows' outline.
void WriteLowBody(const std::string& root) {
  // The shadow outline: the same footprint in a few blocks.
  Mesh low;
  low.Box({-0.36f, -0.82f, -0.1f}, {0.36f, 0.56f, 0.24f});
  const V3 nose[8] = {{-0.28f, 0.56f, -0.06f}, {0.28f, 0.56f, -0.06f}, {0.1f, 0.86f, 0.0f},  {-0.1f, 0.86f, 0.0f},
                      {-0.28f, 0.56f, 0.13f},  {0.28f, 0.56f, 0.13f},  {0.1f, 0.86f, 0.04f}, {-0.1f, 0.86f, 0.04f}};
  low.Hexa(nose);
  low.Box({-0.5f, -0.2f, -0.02f}, {0.5f, 0.18f, 0.14f});
  low.BoxPair({0.36f, 0.2f, 0.2f}, {0.66f, 0.8f, 0.33f});
  low.BoxPair({0.38f, -0.8f, 0.2f}, {0.72f, -0.2f, 0.33f});
  low.Box({-0.46f, -0.82f, 0.52f}, {0.46f, -0.58f, 0.66f});
  low.Box({-0.3f, -0.32f, 0.6f}, {0.3f, 0.08f, 0.68f});
  low.Box({-0.34f, 0.86f, -0.01f}, {0.34f, 0.92f, 0.05f});
  Save(root + "/models/LP_body.3ds", {{"paint", 200, 200, 200, ""}}, {Named(low, "outline", "paint")});
}

// Every wheel model: the rim in the wheel colour, the tyre in rubber.
void SaveWheel(const std::string& path, const Mesh& rim, const Mesh& tyre) {
  Save(path, {{"paint", 230, 180, 0, ""}, {"rubber", 34, 34, 36, ""}},
       {Named(rim, "rim", "paint"), Named(tyre, "tyre", "rubber")});
}

// The left wheel (the game turns it round for the right side), its outer
// face toward -x: a closed rim in the wheel colour (its face sunk inside
// the tyre, and its barrel), a rubber tyre of `segments` segments (sloping
// sidewalls, a flat tread; 24 for the full model) with a staggered row of
// tread blocks, one per segment pair.
void WriteWheel(const std::string& path, int segments) {
  Mesh rim, tyre;
  Revolve(&rim, {{-0.06f, 0.0f}, {-0.06f, 0.152f}, {0.07f, 0.152f}, {0.07f, 0.0f}}, segments);
  // The tyre's inner cylinder lies on the rim and is left out.
  Revolve(&tyre, {{-0.075f, 0.15f}, {-0.1f, 0.228f}, {0.1f, 0.228f}, {0.075f, 0.15f}}, segments);
  // Tread blocks: one per segment pair, alternately on the outer and inner
  // half of the tread, from inside the tyre's surface up to radius 0.25;
  // their bottoms, inside the tyre, are left out.
  for (int k = 0; k < segments / 2; k++) {
    const float a0 = 2 * kPi * (2 * k + 0.2f) / segments, a1 = 2 * kPi * (2 * k + 1.2f) / segments;
    const float x0 = k % 2 ? -0.09f : -0.015f, x1 = k % 2 ? 0.015f : 0.09f;
    auto at = [](float x, float r, float a) { return V3{x, r * std::cos(a), r * std::sin(a)}; };
    const float ri = 0.22f, ro = 0.25f;
    const V3 c[8] = {at(x0, ri, a0), at(x1, ri, a0), at(x1, ri, a1), at(x0, ri, a1),
                     at(x0, ro, a0), at(x1, ro, a0), at(x1, ro, a1), at(x0, ro, a1)};
    const V3 mid = at((x0 + x1) / 2, (ri + ro) / 2, (a0 + a1) / 2);
    tyre.Quad(c[4], c[5], c[6], c[7], mid);
    for (int i = 0; i < 4; i++) {
      const int j = (i + 1) % 4;
      tyre.Quad(c[i], c[j], c[j + 4], c[i + 4], mid);
    }
  }
  SaveWheel(path, rim, tyre);
}

// The low wheel, for cars so small on screen that the rim's sunk face and
// the tread blocks are under a pixel: a plain tyre of 10 segments closed by
// two flat rim discs level with its sidewalls' inner edges (80 triangles
// against the middle wheel's 180).
void WriteLowWheel(const std::string& path) {
  const int segments = 10;
  Mesh rim, tyre;
  Revolve(&rim, {{-0.075f, 0.0f}, {-0.075f, 0.15f}}, segments);
  Revolve(&rim, {{0.075f, 0.15f}, {0.075f, 0.0f}}, segments);
  Revolve(&tyre, {{-0.075f, 0.15f}, {-0.1f, 0.228f}, {0.1f, 0.228f}, {0.075f, 0.15f}}, segments);
  SaveWheel(path, rim, tyre);
}

// A smooth sphere of shared vertices (used for the post's head).
void Sphere(Mesh* m, V3 centre, float radius, int rings, int segments) {
  const uint16_t first = static_cast<uint16_t>(m->part.points.size() / 3);
  for (int r = 0; r <= rings; r++) {
    const float e = -kPi / 2 + kPi * r / rings;
    for (int s = 0; s < segments; s++) {
      const float a = 2 * kPi * s / segments;
      m->Vertex(centre + V3{radius * std::cos(e) * std::cos(a), radius * std::cos(e) * std::sin(a), radius * std::sin(e)});
    }
  }
  for (int r = 0; r < rings; r++) {
    for (int s = 0; s < segments; s++) {
      const uint16_t a = first + r * segments + s, b = first + r * segments + (s + 1) % segments;
      const uint16_t c = b + segments, d = a + segments;
      m->Tri(a, b, c, centre);
      m->Tri(a, c, d, centre);
    }
  }
}

void WriteGateModels(const std::string& root) {
  // The post: an octagonal pole 5 tall on a wider foot, its top at z = 5.
  Mesh post;
  const std::vector<std::pair<float, float>> pole = {{0.0f, 0.22f}, {0.3f, 0.2f}, {0.35f, 0.08f},
                                                      {5.0f, 0.07f}, {5.0f, 0.0f}};
  Mesh turned;
  Revolve(&turned, pole, 8);
  // Revolve turns about x: a cyclic swap of the axes (a rotation, so the
  // winding holds) stands the pole on z.
  for (size_t i = 0; i < turned.part.points.size(); i += 3) {
    const float x = turned.part.points[i], y = turned.part.points[i + 1], z = turned.part.points[i + 2];
    post.part.points.insert(post.part.points.end(), {y, z, x});
  }
  post.part.faces = turned.part.faces;
  Save(root + "/models/checkpoint.3ds", {{"post", 230, 230, 230, ""}}, {Named(post, "post", "post")});

  Mesh head;
  Sphere(&head, {0, 0, 0.22f}, 0.3f, 8, 12);
  Save(root + "/models/head.3ds", {{"lamp", 255, 255, 255, ""}}, {Named(head, "head", "lamp")});
}

// The goal arrow: a flat bevelled arrow pointing along +y (the game's -z),
// centred on the origin, about 0.3 long for its place 0.75 before the eye.
void WriteArrow(const std::string& root) {
  Mesh arrow;
  const float outline[7][2] = {{0.0f, 0.16f}, {0.11f, 0.03f}, {0.045f, 0.03f}, {0.045f, -0.14f},
                               {-0.045f, -0.14f}, {-0.045f, 0.03f}, {-0.11f, 0.03f}};
  const float bottom = -0.015f, top = 0.015f, ridge = 0.035f;
  // Sides.
  for (int i = 0; i < 7; i++) {
    const int j = (i + 1) % 7;
    const V3 a = {outline[i][0], outline[i][1], bottom}, b = {outline[j][0], outline[j][1], bottom};
    const V3 c = {outline[j][0], outline[j][1], top}, d = {outline[i][0], outline[i][1], top};
    // The outline is concave at the neck: the inside point lies just inward of each edge.
    const V3 mid = (a + b) * 0.5f;
    const V3 edge = Unit(b - a);
    const V3 inward = V3{-edge.y, edge.x, 0};  // the outline runs clockwise seen from above
    arrow.Quad(a, b, c, d, mid + inward * -0.01f + V3{0, 0, 0.0f});
  }
  // Top: raised along the centre line (a ridge from tail to tip).
  const V3 tip = {0.0f, 0.16f, top}, neck = {0.0f, 0.03f, ridge}, tail = {0.0f, -0.14f, ridge * 0.7f};
  auto topTri = [&](V3 a, V3 b, V3 c) {
    const uint16_t i = arrow.Vertex(a), j = arrow.Vertex(b), k = arrow.Vertex(c);
    arrow.Tri(i, j, k, (a + b + c) * (1.0f / 3.0f) + V3{0, 0, -0.05f});
  };
  const V3 p[7] = {{0.0f, 0.16f, top}, {0.11f, 0.03f, top}, {0.045f, 0.03f, top}, {0.045f, -0.14f, top},
                   {-0.045f, -0.14f, top}, {-0.045f, 0.03f, top}, {-0.11f, 0.03f, top}};
  topTri(tip, p[1], neck);
  topTri(tip, neck, p[6]);
  topTri(neck, p[1], p[2]);
  topTri(neck, p[5], p[6]);
  topTri(neck, p[2], p[3]);
  topTri(neck, p[3], tail);
  topTri(neck, tail, p[4]);
  topTri(neck, p[4], p[5]);
  // Bottom: flat.
  auto bottomTri = [&](V3 a, V3 b, V3 c) {
    const uint16_t i = arrow.Vertex(a), j = arrow.Vertex(b), k = arrow.Vertex(c);
    arrow.Tri(i, j, k, (a + b + c) * (1.0f / 3.0f) + V3{0, 0, 0.05f});
  };
  V3 q[7];
  for (int i = 0; i < 7; i++) q[i] = {outline[i][0], outline[i][1], bottom};
  bottomTri(q[0], q[1], q[6]);
  bottomTri(q[2], q[3], q[4]);
  bottomTri(q[2], q[4], q[5]);
  Save(root + "/models/arrow.3ds", {{"arrow", 255, 128, 0, ""}}, {Named(arrow, "arrow", "arrow")});
}

// The sky: a dome of radius 150 round the camera, textured by "sky.tga"
// (u once round, v from the horizon up), its triangles facing inward, in
// bands of 15 degrees from the horizon to the zenith.  Nothing is drawn
// below: there the ground covers the view, and where it does not the race
// view is cleared to the horizon row's colour.
void WriteSky(const std::string& root) {
  Mesh sky;
  const int rings = 6, segments = 24;
  const float radius = 150.0f;
  for (int r = 0; r <= rings; r++) {
    const float e = kPi / 2 * r / rings;
    const float v = std::max(0.004f, std::min(0.996f, e / (kPi / 2)));
    for (int s = 0; s <= segments; s++) {
      const float a = 2 * kPi * s / segments;
      sky.Vertex({radius * std::cos(e) * std::cos(a), radius * std::cos(e) * std::sin(a), radius * std::sin(e)},
                 static_cast<float>(s) / segments, v, true);
    }
  }
  for (int r = 0; r < rings; r++) {
    for (int s = 0; s < segments; s++) {
      const uint16_t a = r * (segments + 1) + s, b = a + 1, c = b + segments + 1, d = a + segments + 1;
      sky.Tri(a, b, c, {0, 0, 0}, true);
      sky.Tri(a, c, d, {0, 0, 0}, true);
    }
  }
  Save(root + "/models/sky.3ds", {{"sky", 255, 255, 255, "sky.tga"}}, {Named(sky, "dome", "sky")});
}

}  // namespace

void GenerateModels(const std::string& root) {
  WriteBody(root + "/models/body.3ds", kFullBody);
  WriteBody(root + "/models/MP_body.3ds", kMiddleBody);
  WriteLowBody(root);
  WriteWheel(root + "/models/wheel.3ds", 24);
  WriteWheel(root + "/models/MP_wheel.3ds", 12);
  WriteLowWheel(root + "/models/LP_wheel.3ds");
  WriteGateModels(root);
  WriteArrow(root);
  WriteSky(root);
}
