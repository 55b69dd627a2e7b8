// Reading TGA files: raw and run-length pixels byte for byte, the packet
// header arithmetic, and every kind of damaged or hostile file (missing,
// cut short, oversized, wrong depth, runs past the end, image IDs and colour
// maps), which must neither read nor write outside the buffers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "assets/tga.h"
#include "assets/tga_write.h"
#include "test_util.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// The 18-byte header: image type, size, depth; no ID, no colour map.
Bytes Header(uint8_t type, unsigned width, unsigned height, uint8_t bits)
{
    return Bytes{0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                 (uint8_t)(width & 255), (uint8_t)(width >> 8),
                 (uint8_t)(height & 255), (uint8_t)(height >> 8), bits, 0};
}

Bytes Join(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class TgaTest : public ::testing::Test {
protected:
    void WriteFile(const char* name, const Bytes& bytes)
    {
        dir.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    // Reads `bytes` as data/t.tga; the pixels as a vector.
    Bytes Read(const Bytes& bytes)
    {
        WriteFile("data/t.tga", bytes);
        TgaImage image;
        ReadTgaImage("data/t.tga", &image);
        Bytes pixels(image.pixels, image.pixels + image.byteCount);
        width = image.width;
        height = image.height;
        bits = image.bitsPerPixel;
        byteCount = image.byteCount;
        FreeTgaImage(&image);
        return pixels;
    }
    ScratchAppDir dir;
    uint32_t width = 0, height = 0, bits = 0, byteCount = 0;
};

// A 3 x 2 image of six different 24-bit pixels, stored blue-green-red.
const Bytes kRaw24Pixels = {
    1, 2, 3,   4, 5, 6,   7, 8, 9,        // first row in the file
    10, 11, 12, 13, 14, 15, 16, 17, 18,
};
const Bytes kRgb24Pixels = {
    3, 2, 1,   6, 5, 4,   9, 8, 7,
    12, 11, 10, 15, 14, 13, 18, 17, 16,
};

TEST_F(TgaTest, RawPixelsComeOutRedGreenBlueInFileRowOrder)
{
    EXPECT_EQ(Read(Join(Header(2, 3, 2, 24), kRaw24Pixels)), kRgb24Pixels);
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(bits, 24u);
    EXPECT_EQ(byteCount, 18u);
    EXPECT_EQ(dir.Read("log.txt"), "");  // the caller logs its own line
}

TEST_F(TgaTest, ThirtyTwoBitPixelsKeepAlphaInPlace)
{
    Bytes raw = {1, 2, 3, 200, 4, 5, 6, 0};
    EXPECT_EQ(Read(Join(Header(2, 2, 1, 32), raw)), (Bytes{3, 2, 1, 200, 6, 5, 4, 0}));
    EXPECT_EQ(byteCount, 8u);
}

TEST_F(TgaTest, RunLengthTwinDecodesToTheSameBytes)
{
    // Row 1: a raw packet of three; row 2: a run of two and a raw one (the
    // last packet a run in a second twin).
    Bytes rle = {2, 1, 2, 3, 4, 5, 6, 7, 8, 9,
                 0x81, 10, 11, 12,
                 0, 16, 17, 18};
    Bytes twin = Join(Header(10, 3, 2, 24), rle);
    Bytes rawTwin = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 10, 11, 12, 16, 17, 18};
    EXPECT_EQ(Read(twin), Read(Join(Header(2, 3, 2, 24), rawTwin)));

    // Ends exactly on a run packet.
    Bytes endsOnRun = Join(Header(10, 3, 2, 24), Bytes{0, 1, 2, 3, 0x84, 9, 9, 9});
    EXPECT_EQ(Read(endsOnRun), (Bytes{3, 2, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}));
}

TEST_F(TgaTest, PacketHeadersCountAsDocumented)
{
    // 127: 128 raw pixels; 255: a run of 128; together 16 x 16.
    Bytes rle = {127};
    for (int i = 0; i < 128; i++)
        rle.insert(rle.end(), {(uint8_t)i, 0, 0});
    rle.insert(rle.end(), {255, 7, 8, 9});
    Bytes pixels = Read(Join(Header(10, 16, 16, 24), rle));
    ASSERT_EQ(pixels.size(), 768u);
    for (int i = 0; i < 128; i++)
        EXPECT_EQ(pixels[3 * i + 2], i) << i;
    for (int i = 128; i < 256; i++)
        EXPECT_EQ(pixels[3 * i], 9) << i;

    // 128: a run of exactly one pixel.
    Bytes single = Join(Header(10, 2, 1, 24), Bytes{128, 1, 1, 1, 128, 2, 2, 2});
    EXPECT_EQ(Read(single), (Bytes{1, 1, 1, 2, 2, 2}));
}

TEST_F(TgaTest, RunLengthFillsImagesWhosePixelCountIsNotAMultipleOfEight)
{
    // 3 x 1 = 3 pixels: every one of them is decoded, not only the first
    // (3 * 24 / 24) / 8 * 8 = 0 a division-first count would give.
    Bytes rle = Join(Header(10, 3, 1, 24), Bytes{128, 1, 1, 1, 128, 2, 2, 2, 128, 3, 3, 3});
    EXPECT_EQ(Read(rle), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3}));
    Bytes rle32 = Join(Header(10, 5, 1, 32), Bytes{0x84, 1, 2, 3, 4});
    EXPECT_EQ(Read(rle32), (Bytes{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}));
}

TEST_F(TgaTest, PacketsRunningPastTheImageStopAtItsEnd)
{
    // A run of 128 into a 2-pixel image, and a raw packet of 5 into 2.
    EXPECT_EQ(Read(Join(Header(10, 2, 1, 24), Bytes{255, 5, 6, 7})), (Bytes{7, 6, 5, 7, 6, 5}));
    Bytes raw5 = {4, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5};
    EXPECT_EQ(Read(Join(Header(10, 2, 1, 24), raw5)), (Bytes{1, 1, 1, 2, 2, 2}));
}

TEST_F(TgaTest, ShortFilesLeaveTheMissingPixelsZero)
{
    // Raw: one and a half pixels of three.
    EXPECT_EQ(Read(Join(Header(2, 3, 1, 24), Bytes{1, 2, 3, 4, 5})),
              (Bytes{3, 2, 1, 0, 5, 4, 0, 0, 0}));
    // Run-length: ends inside a raw packet, and right after a packet header.
    EXPECT_EQ(Read(Join(Header(10, 3, 1, 24), Bytes{2, 1, 2, 3, 4})),
              (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Read(Join(Header(10, 3, 1, 24), Bytes{128, 1, 2, 3, 0x81})),
              (Bytes{3, 2, 1, 0, 0, 0, 0, 0, 0}));
    // No pixel data at all.
    EXPECT_EQ(Read(Header(2, 2, 2, 32)), Bytes(16, 0));
}

TEST_F(TgaTest, ImageIdsAndColourMapsAreReadAsRawPixelsFromByte18)
{
    Bytes withId = Header(10, 2, 1, 24);
    withId[0] = 3;  // an image ID: no longer the run-length signature
    EXPECT_EQ(Read(Join(withId, Bytes{1, 2, 3, 4, 5, 6})), (Bytes{3, 2, 1, 6, 5, 4}));
    Bytes colourMapped = Header(1, 2, 1, 24);
    colourMapped[1] = 1;
    colourMapped[5] = 255;  // 255 map entries, never read
    EXPECT_EQ(Read(Join(colourMapped, Bytes{1, 2, 3, 4, 5, 6})), (Bytes{3, 2, 1, 6, 5, 4}));
    Bytes grey = Header(3, 1, 1, 24);
    EXPECT_EQ(Read(Join(grey, Bytes{9, 8, 7})), (Bytes{7, 8, 9}));
}

TEST_F(TgaTest, TheLargestSideIsAccepted)
{
    Bytes pixels = Read(Header(2, 8192, 1, 24));
    EXPECT_EQ(pixels.size(), 8192u * 3);
    EXPECT_EQ(width, 8192u);
}

TEST_F(TgaTest, MissingFileEndsTheProgram)
{
    EXPECT_EXIT(
        {
            TgaImage image;
            ReadTgaImage("data/none.tga", &image);
        },
        testing::ExitedWithCode(1), "ERROR \\(not found\\): data/none.tga");
}

// Each of these is refused before any pixel is allocated or read.
TEST_F(TgaTest, UnusableHeadersEndTheProgramAsBadFiles)
{
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"width over 8192", Join(Header(2, 8193, 1, 24), Bytes{1, 2, 3})},
        {"height over 8192", Header(2, 1, 8193, 24)},
        {"65535 x 65535 x 32 (overflows 32 bits)", Header(2, 65535, 65535, 32)},
        {"run-length 65535 x 65535", Join(Header(10, 65535, 65535, 32), Bytes{255, 1, 2, 3, 4})},
        {"zero width", Header(2, 0, 16, 24)},
        {"zero height", Header(10, 16, 0, 24)},
        {"16 bits", Join(Header(2, 1, 1, 16), Bytes{1, 2})},
        {"8 bits", Join(Header(3, 1, 1, 8), Bytes{1})},
        {"0 bits", Header(2, 4, 4, 0)},
        {"header cut at 10 bytes", Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0}},
        {"header cut at 15 bytes", Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2}},
        {"empty file", Bytes{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile("data/bad.tga", c.bytes);
        EXPECT_EXIT(
            {
                TgaImage image;
                ReadTgaImage("data/bad.tga", &image);
            },
            testing::ExitedWithCode(1), "ERROR \\(bad file\\): data/bad.tga");
    }
}

// Files of the data generator's writer, packed and unpacked, read back to
// the same pixels: runs across row ends, runs of more than 128, lone pixels.
TEST_F(TgaTest, GeneratorFilesReadBackInBothEncodings)
{
    for (int bitsPerPixel : {24, 32}) {
        const int width = 37, height = 11, bytes = bitsPerPixel / 8;
        Bytes pixels;
        for (int i = 0; i < width * height; i++) {
            uint8_t v = i < 150 ? 7 : (i % 5 == 0 ? (uint8_t)i : 200);
            for (int b = 0; b < bytes; b++)
                pixels.push_back((uint8_t)(v + b));
        }
        Bytes expected = pixels;
        for (size_t i = 0; i < expected.size(); i += bytes)
            std::swap(expected[i], expected[i + 2]);
        for (bool runLength : {false, true}) {
            SCOPED_TRACE(std::to_string(bitsPerPixel) + (runLength ? " run-length" : " raw"));
            FILE* file = tmpfile();
            ASSERT_TRUE(WriteTga(file, width, height, bitsPerPixel, pixels.data(), runLength));
            Bytes written((size_t)ftell(file));
            rewind(file);
            ASSERT_EQ(fread(written.data(), 1, written.size(), file), written.size());
            fclose(file);
            EXPECT_EQ(written[2], runLength ? 10 : 2);
            EXPECT_EQ(Read(written), expected);
        }
    }
}

// The decoder alone, on memory streams.
TEST(TgaDecode, ReportsWhetherTheBufferWasFilled)
{
    uint8_t full[] = {0x81, 1, 2, 3};
    uint8_t buffer[8] = {0};
    FILE* file = fmemopen(full, sizeof full, "rb");
    EXPECT_TRUE(DecodeTgaRle(file, buffer, 6, 24));
    fclose(file);
    EXPECT_EQ(Bytes(buffer, buffer + 8), (Bytes{1, 2, 3, 1, 2, 3, 0, 0}));

    uint8_t shortRun[] = {0x82, 1, 2};
    uint8_t untouched[9] = {0};
    file = fmemopen(shortRun, sizeof shortRun, "rb");
    EXPECT_FALSE(DecodeTgaRle(file, untouched, 9, 24));
    fclose(file);
    EXPECT_EQ(Bytes(untouched, untouched + 9), Bytes(9, 0));

    // A buffer size that is not whole pixels: the last part pixel stays free.
    uint8_t run[] = {0xFF, 5, 5, 5, 5};
    uint8_t odd[7] = {0};
    file = fmemopen(run, sizeof run, "rb");
    EXPECT_TRUE(DecodeTgaRle(file, odd, 6, 32));
    fclose(file);
    EXPECT_EQ(Bytes(odd, odd + 7), (Bytes{5, 5, 5, 5, 0, 0, 0}));
}

}  // namespace
