// The data generator's writers byte for byte (3DS chunks, WAV), and its
// course geometry against numbers worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "chunk3ds.h"
#include "course.h"
#include "wave.h"

namespace {

std::vector<uint8_t> Le16(uint16_t v) { return {static_cast<uint8_t>(v & 255), static_cast<uint8_t>(v >> 8)}; }
std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
}
std::vector<uint8_t> F32(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return Le32(bits);
}
std::vector<uint8_t> Chunk(uint16_t id, std::vector<std::vector<uint8_t>> body) {
  std::vector<uint8_t> data;
  for (const auto& b : body) data.insert(data.end(), b.begin(), b.end());
  std::vector<uint8_t> out = Le16(id);
  const std::vector<uint8_t> len = Le32(static_cast<uint32_t>(data.size() + 6));
  out.insert(out.end(), len.begin(), len.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}
std::vector<uint8_t> Str(const char* s) { return std::vector<uint8_t>(s, s + std::strlen(s) + 1); }

TEST(DatagenChunk3ds, WholeFileByteForByte) {
  MeshPart part;
  part.name = "tri";
  part.material = "sky";
  part.points = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  part.uvs = {0, 0, 1, 0, 0, 1};
  part.faces = {0, 1, 2};
  const std::vector<uint8_t> got = Build3ds({{"sky", 10, 20, 30, "sky.tga"}}, {part});
  const std::vector<uint8_t> material =
      Chunk(0xAFFF, {Chunk(0xA000, {Str("sky")}), Chunk(0xA020, {Chunk(0x0011, {{10, 20, 30}})}),
                     Chunk(0xA200, {Chunk(0xA300, {Str("sky.tga")})})});
  std::vector<std::vector<uint8_t>> points = {Le16(3)};
  for (float v : part.points) points.push_back(F32(v));
  std::vector<std::vector<uint8_t>> uvs = {Le16(3)};
  for (float v : part.uvs) uvs.push_back(F32(v));
  const std::vector<uint8_t> faces =
      Chunk(0x4120, {Le16(1), Le16(0), Le16(1), Le16(2), Le16(0), Chunk(0x4130, {Str("sky"), Le16(1), Le16(0)})});
  const std::vector<uint8_t> object =
      Chunk(0x4000, {Str("tri"), Chunk(0x4100, {Chunk(0x4110, points), Chunk(0x4140, uvs), faces})});
  const std::vector<uint8_t> expected =
      Chunk(0x4D4D, {Chunk(0x0002, {Le32(3)}), Chunk(0x3D3D, {Chunk(0x3D3E, {Le32(3)}), material, object})});
  EXPECT_EQ(got, expected);
  // Spot checks against the raw layout: magic, total length, version chunk.
  ASSERT_GE(got.size(), 16u);
  EXPECT_EQ(got[0], 0x4D);
  EXPECT_EQ(got[1], 0x4D);
  EXPECT_EQ(got[2] | got[3] << 8 | got[4] << 16 | got[5] << 24, static_cast<int>(got.size()));
  EXPECT_EQ(std::vector<uint8_t>(got.begin() + 6, got.begin() + 16),
            (std::vector<uint8_t>{0x02, 0x00, 10, 0, 0, 0, 3, 0, 0, 0}));
}

TEST(DatagenChunk3ds, MaterialWithoutTextureHasNoMapChunk) {
  const std::vector<uint8_t> got = Build3ds({{"paint", 1, 2, 3, ""}}, {});
  const std::vector<uint8_t> expected = Chunk(
      0x4D4D, {Chunk(0x0002, {Le32(3)}),
               Chunk(0x3D3D, {Chunk(0x3D3E, {Le32(3)}),
                              Chunk(0xAFFF, {Chunk(0xA000, {Str("paint")}), Chunk(0xA020, {Chunk(0x0011, {{1, 2, 3}})})})})});
  EXPECT_EQ(got, expected);
}

TEST(DatagenWave, HeaderAndSamplesByteForByte) {
  const std::vector<uint8_t> got = BuildWav({1, -2, 0x1234, -32768}, 2, 22050);
  const std::vector<uint8_t> expected = {
      'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
      0x22, 0x56, 0, 0,       // 22050
      0x88, 0x58, 1, 0,       // 88200 bytes a second
      4, 0, 16, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0,
      1, 0, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80};
  EXPECT_EQ(got, expected);
}

TEST(DatagenWave, PcmScalesTheLoudestPeakAndKeepsSilence) {
  const std::vector<int16_t> pcm = ToPcm({0.0f, 0.5f, -0.25f, 0.125f}, 0.5f);
  EXPECT_EQ(pcm, (std::vector<int16_t>{0, 16384, -8192, 4096}));
  EXPECT_EQ(ToPcm({0.0f, 0.0f}, 0.8f), (std::vector<int16_t>{0, 0}));
  EXPECT_EQ(ToPcm({-2.0f}, 1.0f)[0], -32767);
}

TEST(DatagenCourse, GatesAsTheGamePlacesThem) {
  std::vector<CourseGate> gates;
  ASSERT_TRUE(ParseCourse("10 20 0 2\n0 0 45 0.5\n", &gates));
  ASSERT_EQ(gates.size(), 2u);
  EXPECT_FLOAT_EQ(gates[0].x, 12.5f);
  EXPECT_FLOAT_EQ(gates[0].z, 25.0f);
  EXPECT_NEAR(LeftPost(gates[0]).x, 10.5f, 1e-5);
  EXPECT_NEAR(LeftPost(gates[0]).z, 25.0f, 1e-5);
  EXPECT_NEAR(RightPost(gates[0]).x, 14.5f, 1e-5);
  EXPECT_FLOAT_EQ(GameHalfWidth(gates[1]), 3.0f);
  EXPECT_NEAR(LeftPost(gates[1]).x, -2.1213f, 1e-3);
  EXPECT_NEAR(LeftPost(gates[1]).z, 2.1213f, 1e-3);
  EXPECT_NEAR(RightPost(gates[1]).x, 2.1213f, 1e-3);
  EXPECT_NEAR(RightPost(gates[1]).z, -2.1213f, 1e-3);
}

TEST(DatagenCourse, ParsingCountsWholeGroupsOnly) {
  std::vector<CourseGate> gates;
  ASSERT_TRUE(ParseCourse("1 2 3 4 5 6 7 8 9", &gates));
  EXPECT_EQ(gates.size(), 2u);
  EXPECT_FALSE(ParseCourse("1 2 three 4", &gates));
  std::string many;
  for (int i = 0; i < 120; i++) many += "1 1 0 3\n";
  ASSERT_TRUE(ParseCourse(many, &gates));
  EXPECT_EQ(gates.size(), 99u);
}

TEST(DatagenCourse, FormatWritesMapUnitsAndReadsBack) {
  const std::vector<CourseGate> gates = {{12.5f, -25.0f, 180.0f, 4.0f}, {-1.25f, 2.5f, 33.5f, 0.5f}};
  const std::string text = FormatCourse(gates);
  EXPECT_EQ(text, "10.000 -20.000 180.0 4.0\n-1.000 2.000 33.5 0.5\n");
  std::vector<CourseGate> back;
  ASSERT_TRUE(ParseCourse(text, &back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_FLOAT_EQ(back[1].x, -1.25f);
  EXPECT_EQ(back[1].halfWidth, kHiddenWidth);
}

TEST(DatagenCourse, GatesOnACircleStandAcrossTheLine) {
  std::vector<Point2> circle;
  for (int k = 0; k < 400; k++) {
    const float a = 6.2831853f * k / 400;
    circle.push_back({-15.0f * std::cos(a), -15.0f * std::sin(a)});
  }
  const GateRules rules = {0.0f, 10.0f, 3.0f, 4.0f, 1.6f, 0, 0, 0, 0};
  const std::vector<CourseGate> gates = PlaceGates(circle, rules);
  ASSERT_GE(gates.size(), 9u);
  EXPECT_FLOAT_EQ(gates[0].halfWidth, 4.0f);
  for (size_t k = 0; k < gates.size(); k++) {
    const CourseGate& g = gates[k];
    const CourseGate& next = gates[(k + 1) % gates.size()];
    EXPECT_NEAR(std::hypot(g.x, g.z), 15.0f, 0.05f);
    // The posts lie along the radius: across a circular line.
    const Point2 l = LeftPost(g), r = RightPost(g);
    const float cross = (r.x - l.x) * g.z - (r.z - l.z) * g.x;
    EXPECT_NEAR(cross, 0.0f, 0.1f * GameHalfWidth(g) * 15.0f);
    // Never with the posts almost along z.
    EXPECT_GE(std::fabs(std::cos(g.angle * 3.14159265f / 180.0f)), 0.14f) << g.x << " " << g.z;
    // Steps of 5 to 11 units; a circle of radius 15 strays at most 1.04
    // from a chord of 11, so no bend calls for a waypoint.
    const float step = std::hypot(next.x - g.x, next.z - g.z);
    EXPECT_GE(step, 4.9f);
    EXPECT_LE(step, 11.0f);
    EXPECT_NE(g.halfWidth, kHiddenWidth);
  }
}

TEST(DatagenCourse, TightBendsGetHiddenWaypoints) {
  // A stadium: two straights joined by half circles of radius 4.
  std::vector<Point2> line;
  for (int k = 0; k <= 40; k++) line.push_back({-4.0f, 15.0f - k * 0.75f});
  for (int k = 1; k < 40; k++) {
    const float a = 3.14159265f * k / 40;
    line.push_back({-4.0f * std::cos(a), -15.0f - 4.0f * std::sin(a)});
  }
  for (int k = 0; k <= 40; k++) line.push_back({4.0f, -15.0f + k * 0.75f});
  for (int k = 1; k < 40; k++) {
    const float a = 3.14159265f * k / 40;
    line.push_back({4.0f * std::cos(a), 15.0f + 4.0f * std::sin(a)});
  }
  const GateRules rules = {0.0f, 11.0f, 3.0f, 4.0f, 1.6f, 0, 0, 0, 0};
  const std::vector<CourseGate> gates = PlaceGates(Resample(line, 0.1f), rules);
  int hidden = 0;
  for (const CourseGate& g : gates) hidden += g.halfWidth == kHiddenWidth ? 1 : 0;
  EXPECT_GE(hidden, 1);  // bends pull gates closer than 8 units
  // Every straight path between neighbours stays within reach of the line.
  for (size_t k = 0; k < gates.size(); k++) {
    const CourseGate& a = gates[k];
    const CourseGate& b = gates[(k + 1) % gates.size()];
    const Point2 mid = {(a.x + b.x) / 2, (a.z + b.z) / 2};
    float nearest = 1e9f;
    for (const Point2& p : line) nearest = std::min(nearest, std::hypot(p.x - mid.x, p.z - mid.z));
    EXPECT_LE(nearest, 1.7f) << "between gates " << k << " and " << k + 1;
  }
}

TEST(DatagenCourse, SegmentTests) {
  EXPECT_TRUE(SegmentsMeet({0, 0}, {2, 2}, {0, 2}, {2, 0}));
  EXPECT_FALSE(SegmentsMeet({0, 0}, {1, 1}, {2, 0}, {3, -1}));
  EXPECT_TRUE(SegmentsMeet({0, 0}, {2, 0}, {1, 0}, {1, 5}));  // touching
  EXPECT_FALSE(SegmentsMeet({0, 0}, {2, 0}, {0, 1}, {2, 1}));  // parallel
  EXPECT_FLOAT_EQ(SegmentDistance({1, 3}, {0, 0}, {2, 0}), 3.0f);
  EXPECT_FLOAT_EQ(SegmentDistance({5, 4}, {0, 0}, {2, 0}), 5.0f);
}

}  // namespace
