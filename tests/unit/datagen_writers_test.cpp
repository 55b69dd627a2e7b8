// The data generator's writers byte for byte (3DS chunks, WAV), and its
// course reading and writing against numbers worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chunk3ds.h"
#include "chunk_builder.h"
#include "course.h"
#include "wave.h"

namespace {

TEST(DatagenChunk3ds, WholeFileByteForByteAndReadBackByTheGame)
{
    const MeshPart part = {"tri", "sky", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1}, {0, 1, 2}};
    const Bytes uvs = Cat({U16(3), F32(0), F32(0), F32(1), F32(0), F32(0), F32(1)});
    const Bytes faces = MakeChunk(kChunkFaces, Cat({U16(1), U16(0), U16(1), U16(2), U16(0),
                                                    MakeChunk(kChunkFaceMaterial, Cat({Str("sky"), U16(1), U16(0)}))}));
    const Bytes expected = ModelFile(Cat({
        MakeChunk(kChunkMaterial, Cat({MakeChunk(kChunkMatName, Str("sky")),
                                       MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {10, 20, 30})),
                                       MakeChunk(kChunkMatTexMap, MakeChunk(kChunkMatMapName, Str("sky.tga")))})),
        MakeChunk(kChunkMaterial, Cat({MakeChunk(kChunkMatName, Str("paint")),
                                       MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {1, 2, 3}))})),
        Object("tri", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), MakeChunk(kChunkTexVerts, uvs), faces}))}));
    EXPECT_EQ(Build3ds({{"sky", 10, 20, 30, "sky.tga"}, {"paint", 1, 2, 3, ""}}, {part}), expected);
    // Counts and indexes above one byte, through the game's reader.
    MeshPart big = {"big", "paint", std::vector<float>(130 * 3, 0.0f), {}, {0, 129, 128}};
    big.points[3 * 129] = big.points[3 * 128 + 1] = 1.0f;
    const Bytes file = Build3ds({{"paint", 1, 2, 3, ""}}, {big});
    Model model;
    ASSERT_TRUE(ParseModel(model, file.data(), file.size()));
    ASSERT_EQ(model.objects.at(0).faces.size(), 1u);
    EXPECT_EQ(model.objects[0].faces[0].v[1], 129);
}

TEST(DatagenWave, HeaderAndSamplesByteForByte)
{
    const std::vector<uint8_t> expected = {
        'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
        0x22, 0x56, 0, 0,  // 22050
        0x88, 0x58, 1, 0,  // 88200 bytes a second
        4, 0, 16, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0, 1, 0, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80};
    EXPECT_EQ(BuildWav({1, -2, 0x1234, -32768}, 2, 22050), expected);
    // The loudest peak is scaled to the level given; silence stays silent.
    EXPECT_EQ(ToPcm({0.0f, 0.5f, -0.25f, 0.125f}, 0.5f), (std::vector<int16_t>{0, 16384, -8192, 4096}));
    EXPECT_EQ(ToPcm({-2.0f}, 1.0f)[0], -32767);
}

TEST(DatagenCourse, GatesAsTheGameReadsAndPlacesThem)
{
    std::vector<CourseGate> gates;
    ASSERT_TRUE(ParseCourse("10 20 0 2\n0 0 45 0.5\n1 2", &gates));  // whole groups of four only
    ASSERT_EQ(gates.size(), 2u);
    EXPECT_NEAR(LeftPost(gates[0]).x, 10.5f, 1e-5);  // the centre at (12.5, 25)
    EXPECT_NEAR(LeftPost(gates[0]).z, 25.0f, 1e-5);
    EXPECT_FLOAT_EQ(GameHalfWidth(gates[1]), 3.0f);  // a hidden waypoint
    EXPECT_NEAR(LeftPost(gates[1]).x, -2.1213f, 1e-3);
    EXPECT_NEAR(RightPost(gates[1]).z, -2.1213f, 1e-3);
    EXPECT_FALSE(ParseCourse("1 2 three 4", &gates));
    std::string many;
    for (int i = 0; i < 120; i++)
        many += "1 1 0 3\n";
    ASSERT_TRUE(ParseCourse(many, &gates));
    EXPECT_EQ(gates.size(), 99u);
    // Written in map units, read back the same.
    const std::string text = FormatCourse({{12.5f, -25.0f, 180.0f, 4.0f}, {-1.25f, 2.5f, 33.5f, 0.5f}});
    EXPECT_EQ(text, "10.000 -20.000 180.0 4.0\n-1.000 2.000 33.5 0.5\n");
    ASSERT_TRUE(ParseCourse(text, &gates));
    EXPECT_EQ(gates.at(1).halfWidth, kHiddenWidth);
    // Segments meeting (touching counts, parallel ones do not) and distances.
    EXPECT_TRUE(SegmentsMeet({0, 0}, {2, 2}, {0, 2}, {2, 0}));
    EXPECT_FALSE(SegmentsMeet({0, 0}, {1, 1}, {2, 0}, {3, -1}));
    EXPECT_TRUE(SegmentsMeet({0, 0}, {2, 0}, {1, 0}, {1, 5}));
    EXPECT_FALSE(SegmentsMeet({0, 0}, {2, 0}, {0, 1}, {2, 1}));
    EXPECT_FLOAT_EQ(SegmentDistance({5, 4}, {0, 0}, {2, 0}), 5.0f);
}

}  // namespace

