// The generated data tree (the build writes it to build/data): every file
// the game opens is there, in a shape the game's readers take, and the
// tracks are raceable: courses close inside the world, gates stand apart,
// the start grid is level, the ground along the course is gentle.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "course.h"

namespace {

const std::string kData = QB_BUILD_DIR "/data";

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

class DataTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(kData + "/menu")) << "no generated data at " << kData
                                         << ": build the game_data target first (cmake --build build)";
  }
};

struct Picture {
  int width = 0, height = 0, bits = 0;
  std::vector<uint8_t> pixels;  // bottom row first, blue-green-red(-alpha)
};

// Reads a TGA as the game does (type 2 raw or type 10 run-length, no image
// ID or colour map) and insists on the data filling the file exactly.
bool ReadTga(const std::string& path, Picture* p, std::string* why) {
  const std::vector<uint8_t> f = ReadAll(path);
  if (f.size() < 18) return *why = "missing or shorter than a header", false;
  for (int i = 0; i < 12; i++) {
    if (i != 2 && f[i] != 0) return *why = "signature byte " + std::to_string(i) + " is not 0", false;
  }
  if (f[2] != 2 && f[2] != 10) return *why = "image type " + std::to_string(f[2]), false;
  p->width = f[12] | f[13] << 8;
  p->height = f[14] | f[15] << 8;
  p->bits = f[16];
  if (p->bits != 24 && p->bits != 32) return *why = "bits per pixel " + std::to_string(p->bits), false;
  const size_t bpp = p->bits / 8, count = static_cast<size_t>(p->width) * p->height;
  if (count == 0) return *why = "empty picture", false;
  p->pixels.clear();
  if (f[2] == 2) {
    if (f.size() != 18 + count * bpp) return *why = "raw data does not fill the file exactly", false;
    p->pixels.assign(f.begin() + 18, f.end());
    return true;
  }
  size_t at = 18;
  while (p->pixels.size() < count * bpp) {
    if (at >= f.size()) return *why = "run-length data ends early", false;
    const int h = f[at++], n = (h & 127) + 1;
    const size_t need = h >= 128 ? bpp : n * bpp;
    if (at + need > f.size()) return *why = "packet cut short", false;
    if (p->pixels.size() + n * bpp > count * bpp) return *why = "packet runs past the picture", false;
    for (int k = 0; k < n; k++) {
      const size_t from = h >= 128 ? at : at + k * bpp;
      p->pixels.insert(p->pixels.end(), f.begin() + from, f.begin() + from + bpp);
    }
    at += need;
  }
  if (at != f.size()) return *why = "bytes after the last packet", false;
  return true;
}

Picture MustRead(const std::string& name) {
  Picture p;
  std::string why;
  EXPECT_TRUE(ReadTga(kData + "/" + name, &p, &why)) << name << ": " << why;
  return p;
}

// Brightest channel value inside a rectangle given from the picture's top.
int BrightestIn(const Picture& p, int x0, int y0, int x1, int y1) {
  const int bpp = p.bits / 8;
  int best = 0;
  for (int y = y0; y < y1; y++) {
    const int row = p.height - 1 - y;
    for (int x = x0; x < x1; x++) {
      for (int c = 0; c < 3; c++) best = std::max(best, static_cast<int>(p.pixels[(row * p.width + x) * bpp + c]));
    }
  }
  return best;
}

TEST_F(DataTree, MenuPicturesHaveTheirButtonSizes) {
  struct Size {
    const char* name;
    int w, h;
  };
  const Size sizes[] = {
      {"singlerace", 256, 64}, {"tournament", 256, 64}, {"multiplayer", 256, 64}, {"options", 256, 64},
      {"credits", 256, 64},    {"quit", 128, 64},       {"race", 128, 64},        {"gamemode", 256, 32},
      {"flimsel", 256, 32},    {"players", 256, 32},    {"opponents", 256, 32},   {"difficulty", 256, 32},
      {"laps", 256, 32},       {"timelimit", 256, 32},  {"host", 128, 64},        {"join", 128, 64},
      {"player", 256, 32},     {"audio", 256, 32},      {"musicvolume", 512, 32}, {"soundeffectsvolume", 512, 32},
      {"graphics", 256, 32},   {"resolution", 256, 32}, {"colordepth", 256, 32},  {"apply", 128, 64},
      {"shadows", 256, 32},    {"dust", 256, 32},       {"terraindetail", 256, 32}, {"drawfps", 256, 32},
      {"controllers", 256, 32}, {"accelerate", 256, 32}, {"deccelerate", 256, 32}, {"steering", 256, 32},
      {"mousesensitivity", 256, 32}, {"left", 256, 32}, {"right", 256, 32},      {"camera", 256, 32},
      {"continue", 256, 64},   {"restart", 256, 64},    {"back", 128, 64}};
  for (const Size& s : sizes) {
    const Picture p = MustRead(std::string("menu/") + s.name + ".tga");
    EXPECT_EQ(p.width, s.w) << s.name;
    EXPECT_EQ(p.height, s.h) << s.name;
    if (p.pixels.empty()) continue;
    // White letters on black: the corners are see-through, the words bright.
    EXPECT_EQ(BrightestIn(p, 0, 0, 2, 2), 0) << s.name;
    EXPECT_GE(BrightestIn(p, 0, 0, p.width, p.height), 250) << s.name;
  }
  // Set-up labels sit at the right, their value is printed beside them.
  const Picture laps = MustRead("menu/laps.tga");
  EXPECT_EQ(BrightestIn(laps, 0, 0, 128, 32), 0);
  EXPECT_GT(BrightestIn(laps, 192, 0, 256, 32), 200);
}

TEST_F(DataTree, OtherPicturesExistInShape) {
  struct Expect {
    const char* name;
    int minSide;
  };
  for (const Expect& e : {Expect{"bg/logo.tga", 64}, Expect{"bg/menu.tga", 512}, Expect{"textures/mouse.tga", 32},
                          Expect{"textures/medal_1.tga", 64}, Expect{"textures/lightmap.tga", 64},
                          Expect{"textures/shadowmap.tga", 64}, Expect{"textures/dust.tga", 32},
                          Expect{"textures/sky.tga", 128}}) {
    const Picture p = MustRead(e.name);
    EXPECT_GE(std::min(p.width, p.height), e.minSide) << e.name;
  }
  // The shadow map leaves the ground alone at its border (2 x 128/255 ~ 1)
  // and darkens it in the middle.
  const Picture shadow = MustRead("textures/shadowmap.tga");
  EXPECT_EQ(BrightestIn(shadow, 0, 0, 4, 4), 128);
  EXPECT_LT(BrightestIn(shadow, shadow.width / 2 - 2, shadow.height / 2 - 2, shadow.width / 2 + 2, shadow.height / 2 + 2), 100);
  // Additive pictures fade to black before their edges.
  for (const char* name : {"textures/lightmap.tga", "textures/dust.tga", "textures/medal_1.tga"}) {
    const Picture p = MustRead(name);
    EXPECT_LE(BrightestIn(p, 0, p.height - 2, p.width, p.height), 8) << name;
  }
  EXPECT_TRUE(Exists(kData + "/screenshots"));
}

// The cell the text routine draws a code from, in set 0, brought into the
// sheet by the texture's repeat.
// The controller screen prints a key as "%c" of its code in character set 1.
void KeyCell(int code, int* row, int* col) {
  const int i = static_cast<signed char>(static_cast<unsigned char>(code)) + 128 - 32;
  *row = ((i / 16) % 16 + 16) % 16;
  *col = ((i % 16) % 16 + 16) % 16;
}

TEST_F(DataTree, GlyphSheetsHoldEveryCharacterWhereTheTextRoutineLooks) {
  const Picture font = MustRead("fonts/arial_black.tga");
  ASSERT_EQ(font.width, font.height);
  const int cell = font.width / 16;
  // "A" in set 0 is row 2, column 1; in set 1 row 10, column 1.  Every
  // printable character has ink in both sets; the unused rows are black.
  for (int set = 0; set < 2; set++) {
    for (int c = 33; c < 127; c++) {
      const int i = c + 128 * set - 32;
      EXPECT_GT(BrightestIn(font, (i % 16) * cell, (i / 16) * cell, (i % 16 + 1) * cell, (i / 16 + 1) * cell), 200)
          << "code " << c << " set " << set;
    }
  }
  EXPECT_EQ(BrightestIn(font, 0, 0, cell, cell), 0);  // the space
  EXPECT_EQ(BrightestIn(font, 0, 7 * cell, 16 * cell, 8 * cell), 0);

  const Picture keys = MustRead("fonts/key.tga");
  ASSERT_EQ(keys.width, keys.height);
  const int k = keys.width / 16;
  std::vector<int> bindable = {16, 17, 18, 27, 32, 8, 9, 13, 33, 34, 35, 36, 45, 46, 20, 106, 107, 109, 110, 111,
                               186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222};
  for (int c = 65; c <= 90; c++) bindable.push_back(c);
  for (int c = 48; c <= 57; c++) bindable.push_back(c);
  for (int c = 112; c <= 123; c++) bindable.push_back(c);
  for (int c = 37; c <= 40; c++) bindable.push_back(c);
  for (int c = 96; c <= 105; c++) bindable.push_back(c);
  std::vector<bool> used(256, false);
  for (int code : bindable) {
    int row = 0, col = 0;
    KeyCell(code, &row, &col);
    used[row * 16 + col] = true;
    EXPECT_GT(BrightestIn(keys, col * k, row * k, (col + 1) * k, (row + 1) * k), 200) << "key code " << code;
  }
  int shiftRow = 0, shiftCol = 0;
  KeyCell(16, &shiftRow, &shiftCol);
  EXPECT_EQ(shiftRow, 7);
  EXPECT_EQ(shiftCol, 0);
  for (int cell = 0; cell < 256; cell++) {
    if (used[cell]) continue;
    EXPECT_EQ(BrightestIn(keys, (cell % 16) * k, (cell / 16) * k, (cell % 16 + 1) * k, (cell / 16 + 1) * k), 0)
        << "cell " << cell << " holds a picture no key uses";
  }
}

// --- tracks ---------------------------------------------------------------

const char* const kTracks[] = {"meadow", "dunes", "canyon", "hills", "quarry", "lakes"};

float Height(const Picture& map, float x, float z) {
  // Grid sample (i, j) is at world (i - 32.5, j - 32.5); row j = 63 is the
  // first row in the file.
  float fi = std::min(std::max(x + 32.5f, 0.0f), 62.999f), fj = std::min(std::max(z + 32.5f, 0.0f), 62.999f);
  const int i = static_cast<int>(fi), j = static_cast<int>(fj);
  auto h = [&](int a, int b) { return map.pixels[((63 - b) * 64 + a) * 3] * 0.0125f; };
  const float u = fi - i, v = fj - j;
  return (h(i, j) * (1 - u) + h(i + 1, j) * u) * (1 - v) + (h(i, j + 1) * (1 - u) + h(i + 1, j + 1) * u) * v;
}

TEST_F(DataTree, EveryTrackHasItsThreeFiles) {
  for (const char* name : kTracks) {
    const Picture map = MustRead(std::string("tracks/terrains/") + name + ".tga");
    EXPECT_EQ(map.width, 64) << name;
    EXPECT_EQ(map.height, 64) << name;
    EXPECT_EQ(map.bits, 24) << name;
    for (size_t i = 0; i + 2 < map.pixels.size(); i += 3) {
      ASSERT_TRUE(map.pixels[i] == map.pixels[i + 1] && map.pixels[i] == map.pixels[i + 2]) << name << ": not grey";
    }
    const Picture texture = MustRead(std::string("tracks/textures/") + name + ".tga");
    EXPECT_GE(texture.width, 512) << name;
    EXPECT_EQ(texture.width, texture.height) << name;
    EXPECT_TRUE(Exists(kData + "/tracks/checkpoints/" + name + ".txt")) << name;
  }
}

std::vector<CourseGate> Course(const char* name) {
  const std::vector<uint8_t> bytes = ReadAll(kData + "/tracks/checkpoints/" + name + ".txt");
  const std::string text(bytes.begin(), bytes.end());
  std::vector<CourseGate> gates;
  EXPECT_TRUE(ParseCourse(text, &gates)) << name << ": not numbers";
  int numbers = 0;
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] != ' ' && text[i] != '\n' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\n')) numbers++;
  }
  EXPECT_EQ(numbers % 4, 0) << name << ": the numbers do not come in fours";
  return gates;
}

TEST_F(DataTree, CoursesCloseInsideTheWorldWithGatesApart) {
  for (const char* name : kTracks) {
    SCOPED_TRACE(name);
    const std::vector<CourseGate> gates = Course(name);
    ASSERT_GE(gates.size(), 6u);
    ASSERT_LE(gates.size(), 99u);
    const size_t n = gates.size();
    for (size_t k = 0; k < n; k++) {
      const CourseGate& g = gates[k];
      const CourseGate& next = gates[(k + 1) % n];
      // Well inside the world (its edge is at -32 and +30), posts included.
      for (Point2 p : {Point2{g.x, g.z}, LeftPost(g), RightPost(g)}) {
        EXPECT_GE(std::min(p.x, p.z), -28.0f) << "gate " << k;
        EXPECT_LE(std::max(p.x, p.z), 26.0f) << "gate " << k;
      }
      EXPECT_TRUE(g.halfWidth == kHiddenWidth || (g.halfWidth >= 2.0f && g.halfWidth <= 4.0f)) << "gate " << k;
      // A closed loop of short steps; the last gate leads back to gate 0.
      const float step = std::hypot(next.x - g.x, next.z - g.z);
      EXPECT_GE(step, 4.0f) << "gate " << k;
      // The last gate may stand at the far end of the start straight.
      EXPECT_LE(step, k + 1 == n ? 24.0f : 14.0f) << "gate " << k;
      // Each gate stands across the way to the next one, its posts not
      // (almost) along z: the game's crossing test compares x ranges.
      const float a = g.angle * 3.14159265f / 180.0f;
      const float along = std::fabs(std::sin(a) * (next.x - g.x) + std::cos(a) * (next.z - g.z)) / step;
      EXPECT_GE(along, 0.5f) << "gate " << k;
      EXPECT_GE(std::fabs(std::cos(a)), 0.1f) << "gate " << k;
      // No two gates overlap, and no post stands in another gate's mouth.
      for (size_t m = k + 1; m < n; m++) {
        const CourseGate& o = gates[m];
        EXPECT_FALSE(SegmentsMeet(LeftPost(g), RightPost(g), LeftPost(o), RightPost(o))) << k << " and " << m;
        EXPECT_GE(SegmentDistance(LeftPost(o), LeftPost(g), RightPost(g)), 1.5f) << k << " and " << m;
        EXPECT_GE(SegmentDistance(RightPost(o), LeftPost(g), RightPost(g)), 1.5f) << k << " and " << m;
        EXPECT_GE(SegmentDistance(LeftPost(g), LeftPost(o), RightPost(o)), 1.5f) << k << " and " << m;
        EXPECT_GE(SegmentDistance(RightPost(g), LeftPost(o), RightPost(o)), 1.5f) << k << " and " << m;
      }
    }
    // The path from gate to gate never crosses itself.
    for (size_t k = 0; k < n; k++) {
      for (size_t m = k + 2; m < n; m++) {
        if (k == 0 && m == n - 1) continue;
        const Point2 a = {gates[k].x, gates[k].z}, b = {gates[(k + 1) % n].x, gates[(k + 1) % n].z};
        const Point2 c = {gates[m].x, gates[m].z}, d = {gates[(m + 1) % n].x, gates[(m + 1) % n].z};
        EXPECT_FALSE(SegmentsMeet(a, b, c, d)) << "legs " << k << " and " << m;
      }
    }
  }
}

TEST_F(DataTree, StartGridIsLevelWithGateZeroAhead) {
  for (const char* name : kTracks) {
    SCOPED_TRACE(name);
    const std::vector<CourseGate> gates = Course(name);
    ASSERT_FALSE(gates.empty());
    const Picture map = MustRead(std::string("tracks/terrains/") + name + ".tga");
    ASSERT_EQ(map.pixels.size(), 64u * 64u * 3u);
    // Cars stand at (2 (i - 2.5), 2 i + 5) for up to five cars, facing -z.
    float lo = 99.0f, hi = -99.0f;
    for (float x = -6.0f; x <= 4.0f; x += 0.5f) {
      for (float z = 4.0f; z <= 14.0f; z += 0.5f) {
        lo = std::min(lo, Height(map, x, z));
        hi = std::max(hi, Height(map, x, z));
      }
    }
    EXPECT_LE(hi - lo, 0.15f);
    // No other gate's posts stand among the cars (bodies reach 1.25 ahead
    // of and 0.25 behind their spots, 0.625 to each side).
    for (size_t k = 1; k < gates.size(); k++) {
      for (Point2 p : {LeftPost(gates[k]), RightPost(gates[k])}) {
        EXPECT_FALSE(p.x > -6.7f && p.x < 4.7f && p.z > 2.7f && p.z < 14.3f) << "gate " << k << " post among the cars";
      }
    }
    const CourseGate& first = gates[0];
    EXPECT_NE(first.halfWidth, kHiddenWidth);
    EXPECT_LT(first.z, 3.0f);
    EXPECT_GT(first.z, -8.0f);
    // Wide enough for the whole grid.
    EXPECT_LE(std::min(LeftPost(first).x, RightPost(first).x), -4.0f);
    EXPECT_GE(std::max(LeftPost(first).x, RightPost(first).x), 2.0f);
  }
}

TEST_F(DataTree, GroundIsGentleFromGateToGate) {
  for (const char* name : kTracks) {
    SCOPED_TRACE(name);
    const std::vector<CourseGate> gates = Course(name);
    const Picture map = MustRead(std::string("tracks/terrains/") + name + ".tga");
    ASSERT_EQ(map.pixels.size(), 64u * 64u * 3u);
    const size_t n = gates.size();
    float steepest = 0.0f;
    for (size_t k = 0; k < n; k++) {
      const CourseGate& a = gates[k];
      const CourseGate& b = gates[(k + 1) % n];
      const float length = std::hypot(b.x - a.x, b.z - a.z);
      for (float s = 0.0f; s + 0.5f <= length; s += 0.5f) {
        const float t0 = s / length, t1 = (s + 0.5f) / length;
        const float h0 = Height(map, a.x + (b.x - a.x) * t0, a.z + (b.z - a.z) * t0);
        const float h1 = Height(map, a.x + (b.x - a.x) * t1, a.z + (b.z - a.z) * t1);
        steepest = std::max(steepest, std::fabs(h1 - h0) / 0.5f);
      }
    }
    // The car is pushed downhill only beyond a slope of 1.5.
    EXPECT_LE(steepest, 0.5f);
  }
}

// The track texture lies over the terrain as the heightmap does (picture
// row from the top = grid row j, texture t = 1 - j / 64): the dirt road it
// shows runs through the gate centres, and does not when read upside down.
TEST_F(DataTree, TrackTexturesShowTheRoadUnderTheGates) {
  for (const char* name : kTracks) {
    SCOPED_TRACE(name);
    const std::vector<CourseGate> gates = Course(name);
    const Picture tex = MustRead(std::string("tracks/textures/") + name + ".tga");
    ASSERT_GT(tex.width, 0);
    auto colour = [&](float x, float z, bool flipped, int c) {  // flipped: read upside down
      const int px = std::min(tex.width - 1, std::max(0, static_cast<int>((x + 32.5f) / 64.0f * tex.width)));
      int top = std::min(tex.height - 1, std::max(0, static_cast<int>((z + 32.5f) / 64.0f * tex.height)));
      if (flipped) top = tex.height - 1 - top;
      const int row = tex.height - 1 - top;
      return static_cast<float>(tex.pixels[(static_cast<size_t>(row) * tex.width + px) * (tex.bits / 8) + c]);
    };
    // The road's colour is the mean under the gates; off the road, 6 units
    // aside, the ground looks different, and nearly every gate centre shows
    // road colour.  (Several courses look alike upside down, so a flipped
    // picture is caught by the asymmetric ones.)
    float road[3] = {0, 0, 0}, contrast = 0;
    for (int c = 0; c < 3; c++) {
      float off = 0;
      for (const CourseGate& g : gates) {
        const float a = g.angle * 3.14159265f / 180.0f;
        road[c] += colour(g.x, g.z, false, c) / gates.size();
        off += (colour(g.x + std::cos(a) * 6, g.z - std::sin(a) * 6, false, c) +
                colour(g.x - std::cos(a) * 6, g.z + std::sin(a) * 6, false, c)) / 2 / gates.size();
      }
      contrast += std::fabs(road[c] - off);
    }
    EXPECT_GT(contrast, 30.0f);
    int onRoad = 0;
    for (const CourseGate& g : gates) {
      float d = 0;
      for (int c = 0; c < 3; c++) {
        // A 1-unit square round the centre smooths the road's grain.
        float sum = 0;
        for (float dx = -0.5f; dx <= 0.5f; dx += 0.25f) {
          for (float dz = -0.5f; dz <= 0.5f; dz += 0.25f) sum += colour(g.x + dx, g.z + dz, false, c) / 25.0f;
        }
        d += std::fabs(sum - road[c]);
      }
      onRoad += d < std::max(contrast * 0.5f, 45.0f) ? 1 : 0;
    }
    EXPECT_GE(onRoad, static_cast<int>(gates.size()) * 4 / 5) << "gate centres on the road";
  }
}

// --- models ---------------------------------------------------------------

struct Chunk {
  uint16_t id;
  size_t start, end;  // the chunk's bytes, header included
};

uint16_t U16(const std::vector<uint8_t>& f, size_t at) { return static_cast<uint16_t>(f[at] | f[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& f, size_t at) {
  return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | static_cast<uint32_t>(f[at + 3]) << 24;
}
float F32(const std::vector<uint8_t>& f, size_t at) {
  const uint32_t bits = U32(f, at);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

// Sub-chunks of the range [from, to); false when lengths do not add up.
bool Children(const std::vector<uint8_t>& f, size_t from, size_t to, std::vector<Chunk>* out) {
  out->clear();
  while (from < to) {
    if (from + 6 > to) return false;
    const uint32_t len = U32(f, from + 2);
    if (len < 6 || from + len > to) return false;
    out->push_back({U16(f, from), from, from + len});
    from += len;
  }
  return true;
}

struct Model {
  std::vector<std::string> materials, textures;
  struct Object {
    std::string name, material;
    std::vector<float> points;
    std::vector<int> faces;
    int uvCount = -1;
  };
  std::vector<Object> objects;
};

std::string CString(const std::vector<uint8_t>& f, size_t at, size_t end) {
  std::string s;
  while (at < end && f[at] != 0) s += static_cast<char>(f[at++]);
  return s;
}

bool ReadModel(const std::string& path, Model* m, std::string* why) {
  const std::vector<uint8_t> f = ReadAll(path);
  if (f.size() < 6 || U16(f, 0) != 0x4D4D || U32(f, 2) != f.size()) return *why = "not one M3DMAGIC chunk", false;
  std::vector<Chunk> top, data;
  if (!Children(f, 6, f.size(), &top)) return *why = "top chunk lengths", false;
  const Chunk* mdata = nullptr;
  for (const Chunk& c : top) {
    if (c.id == 0x3D3D) mdata = &c;
  }
  if (mdata == nullptr || !Children(f, mdata->start + 6, mdata->end, &data)) return *why = "no MDATA", false;
  if (data.empty() || data[0].id != 0x3D3E) return *why = "MDATA does not start with MESH_VERSION", false;
  for (const Chunk& c : data) {
    std::vector<Chunk> sub;
    if (c.id == 0xAFFF) {
      if (!Children(f, c.start + 6, c.end, &sub)) return *why = "material lengths", false;
      std::string name, texture;
      bool colour = false;
      for (const Chunk& s : sub) {
        if (s.id == 0xA000) name = CString(f, s.start + 6, s.end);
        if (s.id == 0xA020) colour = s.end - s.start == 6 + 9 && U16(f, s.start + 6) == 0x0011;
        if (s.id == 0xA200) {
          std::vector<Chunk> map;
          if (!Children(f, s.start + 6, s.end, &map) || map.empty() || map[0].id != 0xA300) return *why = "texture map", false;
          texture = CString(f, map[0].start + 6, map[0].end);
        }
      }
      if (!colour) return *why = "material " + name + " has no COLOR_24 diffuse colour", false;
      m->materials.push_back(name);
      m->textures.push_back(texture);
    } else if (c.id == 0x4000) {
      Model::Object o;
      o.name = CString(f, c.start + 6, c.end);
      const size_t after = c.start + 6 + o.name.size() + 1;
      if (!Children(f, after, c.end, &sub) || sub.size() != 1 || sub[0].id != 0x4100) return *why = "object " + o.name, false;
      std::vector<Chunk> mesh;
      if (!Children(f, sub[0].start + 6, sub[0].end, &mesh)) return *why = "mesh lengths", false;
      for (const Chunk& s : mesh) {
        const size_t at = s.start + 6;
        if (s.id == 0x4110) {
          const int count = U16(f, at);
          if (s.end - s.start != 8u + count * 12u) return *why = "POINT_ARRAY length", false;
          for (int i = 0; i < count * 3; i++) o.points.push_back(F32(f, at + 2 + i * 4));
        } else if (s.id == 0x4140) {
          o.uvCount = U16(f, at);
          if (s.end - s.start != 8u + o.uvCount * 8u) return *why = "TEX_VERTS length", false;
        } else if (s.id == 0x4120) {
          const int count = U16(f, at);
          for (int i = 0; i < count; i++) {
            for (int k = 0; k < 3; k++) o.faces.push_back(U16(f, at + 2 + i * 8 + k * 2));
          }
          std::vector<Chunk> groups;
          if (!Children(f, at + 2 + count * 8, s.end, &groups) || groups.size() != 1 || groups[0].id != 0x4130)
            return *why = "one MSH_MAT_GROUP per object", false;
          o.material = CString(f, groups[0].start + 6, groups[0].end);
        }
      }
      m->objects.push_back(o);
    }
  }
  return true;
}

struct Bounds {
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
};

TEST_F(DataTree, ModelsAreSoundAndWoundOutward) {
  struct Expect {
    const char* name;
    bool inward;  // the sky is seen from inside
  };
  for (const Expect& e : {Expect{"body", false}, Expect{"LP_body", false}, Expect{"wheel", false},
                          Expect{"checkpoint", false}, Expect{"head", false}, Expect{"arrow", false},
                          Expect{"sky", true}}) {
    SCOPED_TRACE(e.name);
    Model m;
    std::string why;
    ASSERT_TRUE(ReadModel(kData + "/models/" + e.name + ".3ds", &m, &why)) << why;
    ASSERT_FALSE(m.objects.empty());
    Bounds b;
    for (const Model::Object& o : m.objects) {
      const int vertices = static_cast<int>(o.points.size() / 3);
      ASSERT_GT(vertices, 0) << o.name;
      ASSERT_FALSE(o.faces.empty()) << o.name;
      std::vector<bool> used(vertices, false);
      for (int v : o.faces) {
        ASSERT_LT(v, vertices) << o.name;
        used[v] = true;
      }
      for (int v = 0; v < vertices; v++) EXPECT_TRUE(used[v]) << o.name << " vertex " << v << " is in no face";
      // One material per object, read before it; textured ones carry
      // texture coordinates for every vertex and their picture exists.
      size_t mat = 0;
      while (mat < m.materials.size() && m.materials[mat] != o.material) mat++;
      ASSERT_LT(mat, m.materials.size()) << o.name << " names no earlier material";
      if (!m.textures[mat].empty()) {
        EXPECT_EQ(o.uvCount, vertices) << o.name;
        EXPECT_TRUE(Exists(kData + "/textures/" + m.textures[mat])) << m.textures[mat];
      }
      // Signed volume: positive when every face turns outward.
      double volume = 0.0;
      for (size_t f = 0; f < o.faces.size(); f += 3) {
        const float* a = &o.points[o.faces[f] * 3];
        const float* p = &o.points[o.faces[f + 1] * 3];
        const float* c = &o.points[o.faces[f + 2] * 3];
        volume += (a[0] * (p[1] * c[2] - p[2] * c[1]) - a[1] * (p[0] * c[2] - p[2] * c[0]) +
                   a[2] * (p[0] * c[1] - p[1] * c[0])) / 6.0;
      }
      if (e.inward) {
        EXPECT_LT(volume, 0.0) << o.name;
      } else {
        EXPECT_GT(volume, 0.0) << o.name;
      }
      for (size_t i = 0; i < o.points.size(); i++) {
        b.lo[i % 3] = std::min(b.lo[i % 3], o.points[i]);
        b.hi[i % 3] = std::max(b.hi[i % 3], o.points[i]);
      }
    }
    const std::string name = e.name;
    if (name == "body") {
      EXPECT_NEAR(b.hi[1] - b.lo[1], 1.6f, 0.25f);  // length along 3DS y (the game's -z)
      EXPECT_NEAR(b.hi[0] - b.lo[0], 1.3f, 0.2f);   // width
      EXPECT_GT(b.hi[1], -b.lo[1] - 0.2f);          // roughly centred, nose forward
      EXPECT_LT(b.lo[2], 0.0f);                     // reaches below the axles
    } else if (name == "wheel") {
      for (int a = 0; a < 3; a++) EXPECT_NEAR(b.hi[a] + b.lo[a], 0.0f, 0.02f);
      EXPECT_NEAR(b.hi[1], 0.25f, 0.02f);
      EXPECT_NEAR(b.hi[2], 0.25f, 0.02f);
      EXPECT_LT(b.hi[0], 0.15f);  // the axle along x
    } else if (name == "checkpoint") {
      EXPECT_NEAR(b.hi[2], 5.0f, 0.05f);
      EXPECT_NEAR(b.lo[2], 0.0f, 0.05f);
    } else if (name == "arrow") {
      EXPECT_LT(b.hi[1] - b.lo[1], 0.5f);
      EXPECT_GT(b.hi[1], -b.lo[1]);  // points along +y, the game's -z
    } else if (name == "sky") {
      EXPECT_LT(b.hi[2], 300.0f);
      EXPECT_GT(b.hi[2], 50.0f);
    }
  }
}

// --- sounds ---------------------------------------------------------------

struct Sound {
  int channels = 0, rate = 0;
  std::vector<int16_t> samples;
};

bool ReadWav(const std::string& path, Sound* s, std::string* why) {
  const std::vector<uint8_t> f = ReadAll(path);
  if (f.size() < 44) return *why = "missing or short", false;
  if (std::memcmp(f.data(), "RIFF", 4) != 0 || std::memcmp(&f[8], "WAVE", 4) != 0) return *why = "not RIFF WAVE", false;
  if (U32(f, 4) != f.size() - 8) return *why = "RIFF size", false;
  if (std::memcmp(&f[12], "fmt ", 4) != 0 || U32(f, 16) != 16 || U16(f, 20) != 1) return *why = "not PCM", false;
  s->channels = U16(f, 22);
  s->rate = static_cast<int>(U32(f, 24));
  if (U16(f, 34) != 16) return *why = "not 16 bits", false;
  if (U32(f, 28) != static_cast<uint32_t>(s->rate * s->channels * 2) || U16(f, 32) != s->channels * 2)
    return *why = "byte rate or block align", false;
  if (std::memcmp(&f[36], "data", 4) != 0 || U32(f, 40) != f.size() - 44) return *why = "data chunk", false;
  for (size_t at = 44; at + 1 < f.size(); at += 2) s->samples.push_back(static_cast<int16_t>(U16(f, at)));
  return s->channels >= 1 && s->rate > 0;
}

TEST_F(DataTree, SoundsAreValidAndLoopsJoin) {
  struct Expect {
    const char* name;
    float minSeconds, maxSeconds;
    bool loop;
  };
  for (const Expect& e : {Expect{"music/intro.wav", 0.5f, 3.0f, false}, Expect{"music/menu.wav", 20.0f, 120.0f, true},
                          Expect{"music/race.wav", 20.0f, 120.0f, true}, Expect{"seffects/r.wav", 0.02f, 1.0f, false},
                          Expect{"seffects/c.wav", 0.02f, 1.0f, false}, Expect{"seffects/squeeze0.wav", 0.1f, 2.0f, false},
                          Expect{"seffects/squeeze1.wav", 0.1f, 2.0f, false},
                          Expect{"seffects/squeeze2.wav", 0.1f, 2.0f, false}, Expect{"seffects/tag.wav", 0.1f, 2.0f, false},
                          Expect{"seffects/engine.wav", 0.2f, 2.0f, true}}) {
    SCOPED_TRACE(e.name);
    Sound s;
    std::string why;
    ASSERT_TRUE(ReadWav(kData + "/" + e.name, &s, &why)) << why;
    const float seconds = static_cast<float>(s.samples.size() / s.channels) / s.rate;
    EXPECT_GE(seconds, e.minSeconds);
    EXPECT_LE(seconds, e.maxSeconds);
    int peak = 0;
    for (int16_t v : s.samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 8000) << "too quiet";
    const size_t frames = s.samples.size() / s.channels;
    for (int c = 0; c < s.channels; c++) {
      const int first = s.samples[c], last = s.samples[(frames - 1) * s.channels + c];
      if (e.loop) {
        // The end runs on into the start: no larger step than the music's own.
        long long sum = 0;
        for (size_t i = 1; i < frames; i++) sum += std::abs(s.samples[i * s.channels + c] - s.samples[(i - 1) * s.channels + c]);
        const double mean = static_cast<double>(sum) / (frames - 1);
        EXPECT_LE(std::abs(first - last), std::max(600.0, 8.0 * mean)) << "channel " << c;
      } else {
        EXPECT_LE(std::abs(first), 300) << "channel " << c;
        EXPECT_LE(std::abs(last), 300) << "channel " << c;
      }
    }
  }
  // The collisions grow louder with their number.
  Sound s0, s2;
  std::string why;
  ASSERT_TRUE(ReadWav(kData + "/seffects/squeeze0.wav", &s0, &why));
  ASSERT_TRUE(ReadWav(kData + "/seffects/squeeze2.wav", &s2, &why));
  double e0 = 0, e2 = 0;
  for (int16_t v : s0.samples) e0 += static_cast<double>(v) * v;
  for (int16_t v : s2.samples) e2 += static_cast<double>(v) * v;
  EXPECT_GT(e2, 2.0 * e0);
}

}  // namespace
