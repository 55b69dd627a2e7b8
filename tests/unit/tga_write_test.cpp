// The TGA writer, byte for byte: the header, raw pixels, and the packing of
// run-length data into run and raw packets of at most 128 pixels.
#include "assets/tga_write.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

// Writes through a temporary file and returns every byte written; `ok`
// receives WriteTga's answer.
std::vector<uint8_t> Written(int w, int h, int bpp, const std::vector<uint8_t>& pixels, bool rle, bool* ok) {
  FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  *ok = WriteTga(f, w, h, bpp, pixels.empty() ? nullptr : pixels.data(), rle);
  std::fflush(f);
  const long size = std::ftell(f);
  std::rewind(f);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0) {
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
  }
  std::fclose(f);
  return bytes;
}

std::vector<uint8_t> Header(int type, int w, int h, int bpp) {
  return {0, 0, static_cast<uint8_t>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
          static_cast<uint8_t>(w & 255), static_cast<uint8_t>(w >> 8),
          static_cast<uint8_t>(h & 255), static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(bpp), 0};
}

// n pixels of 3 bytes; pixel k is (k, k >> 8, 7) so neighbours differ.
std::vector<uint8_t> Distinct(int n) {
  std::vector<uint8_t> p;
  for (int k = 0; k < n; k++) p.insert(p.end(), {static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), 7});
  return p;
}

std::vector<uint8_t> Same(int n, uint8_t b, uint8_t g, uint8_t r) {
  std::vector<uint8_t> p;
  for (int k = 0; k < n; k++) p.insert(p.end(), {b, g, r});
  return p;
}

std::vector<uint8_t> Cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The game's run-length decoding: packets until width x height pixels.
std::vector<uint8_t> Decode(const std::vector<uint8_t>& file, int bytesPerPixel, size_t pixels) {
  std::vector<uint8_t> out;
  size_t at = 18;
  while (out.size() < pixels * bytesPerPixel && at < file.size()) {
    const int h = file[at++];
    const int n = (h & 127) + 1;
    if (h >= 128) {
      for (int k = 0; k < n; k++) out.insert(out.end(), file.begin() + at, file.begin() + at + bytesPerPixel);
      at += bytesPerPixel;
    } else {
      out.insert(out.end(), file.begin() + at, file.begin() + at + n * bytesPerPixel);
      at += n * bytesPerPixel;
    }
  }
  EXPECT_EQ(at, file.size()) << "bytes left after the last packet";
  return out;
}

TEST(TgaWrite, RawTwentyFourBitsIsHeaderThenPixelsAsGiven) {
  const std::vector<uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  bool ok = false;
  const std::vector<uint8_t> bytes = Written(2, 2, 24, pixels, false, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(bytes, Cat(Header(2, 2, 2, 24), pixels));
}

TEST(TgaWrite, RawThirtyTwoBitsAndSizesAboveOneByte) {
  std::vector<uint8_t> pixels(300 * 4);
  for (size_t i = 0; i < pixels.size(); i++) pixels[i] = static_cast<uint8_t>(i * 7);
  bool ok = false;
  const std::vector<uint8_t> bytes = Written(300, 1, 32, pixels, false, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(bytes, Cat(Header(2, 300, 1, 32), pixels));
  EXPECT_EQ(bytes[12], 44);  // 300 = 1 * 256 + 44
  EXPECT_EQ(bytes[13], 1);
}

TEST(TgaWrite, RunLengthRunsStopAt128Pixels) {
  bool ok = false;
  // 130 equal pixels: a full run (header 255) and a run of two (129).
  EXPECT_EQ(Written(130, 1, 24, Same(130, 9, 8, 7), true, &ok),
            Cat(Header(10, 130, 1, 24), {255, 9, 8, 7, 129, 9, 8, 7}));
  // 129 equal then one other: the leftover single pixel goes raw with the other.
  EXPECT_EQ(Written(130, 1, 24, Cat(Same(129, 1, 1, 1), Same(1, 2, 2, 2)), true, &ok),
            Cat(Header(10, 130, 1, 24), {255, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2}));
  // Exactly 128: one packet.
  EXPECT_EQ(Written(128, 1, 24, Same(128, 4, 5, 6), true, &ok), Cat(Header(10, 128, 1, 24), {255, 4, 5, 6}));
}

TEST(TgaWrite, RunLengthRawPacketsStopAt128PixelsAndBeforeARun) {
  bool ok = false;
  const std::vector<uint8_t> distinct = Distinct(130);
  std::vector<uint8_t> expected = Header(10, 130, 1, 24);
  expected.push_back(127);
  expected.insert(expected.end(), distinct.begin(), distinct.begin() + 128 * 3);
  expected.push_back(1);
  expected.insert(expected.end(), distinct.begin() + 128 * 3, distinct.end());
  EXPECT_EQ(Written(130, 1, 24, distinct, true, &ok), expected);
  EXPECT_TRUE(ok);
  // A B C C: raw A B, then the run of C.
  const std::vector<uint8_t> abcc = {1, 0, 0, 2, 0, 0, 3, 0, 0, 3, 0, 0};
  EXPECT_EQ(Written(4, 1, 24, abcc, true, &ok), Cat(Header(10, 4, 1, 24), {1, 1, 0, 0, 2, 0, 0, 129, 3, 0, 0}));
  // A B B C: raw A, run B, raw C.
  const std::vector<uint8_t> abbc = {1, 0, 0, 2, 0, 0, 2, 0, 0, 3, 0, 0};
  EXPECT_EQ(Written(4, 1, 24, abbc, true, &ok),
            Cat(Header(10, 4, 1, 24), {0, 1, 0, 0, 129, 2, 0, 0, 0, 3, 0, 0}));
}

TEST(TgaWrite, RunLengthThirtyTwoBitsComparesAlphaToo) {
  bool ok = false;
  const std::vector<uint8_t> pixels = {5, 5, 5, 1, 5, 5, 5, 2, 5, 5, 5, 2};
  EXPECT_EQ(Written(3, 1, 32, pixels, true, &ok),
            Cat(Header(10, 3, 1, 32), {0, 5, 5, 5, 1, 129, 5, 5, 5, 2}));
}

TEST(TgaWrite, RunLengthPacketsMayJoinRowsAndDecodeBackExactly) {
  bool ok = false;
  // Rows of 3: the last pixel of row 0 equals the first two of row 1.
  const std::vector<uint8_t> pixels = {1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4};
  const std::vector<uint8_t> bytes = Written(3, 2, 24, pixels, true, &ok);
  EXPECT_EQ(bytes, Cat(Header(10, 3, 2, 24), {1, 1, 1, 1, 2, 2, 2, 130, 3, 3, 3, 0, 4, 4, 4}));
  // A larger picture with runs, raw stretches and boundaries everywhere.
  std::vector<uint8_t> big;
  for (int k = 0; k < 97 * 61; k++) {
    const int v = (k / 5) % 3 == 0 ? 200 : (k * 37) % 251;
    big.insert(big.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(k % 2 ? v : 0), 9});
  }
  const std::vector<uint8_t> file = Written(97, 61, 24, big, true, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Decode(file, 3, 97 * 61), big);
}

TEST(TgaWrite, RefusesUnusableArguments) {
  bool ok = true;
  const std::vector<uint8_t> one = {1, 2, 3, 4};
  EXPECT_TRUE(Written(0, 1, 24, one, false, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Written(1, 0, 24, one, true, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Written(65536, 1, 24, one, false, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Written(1, 1, 16, one, false, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_TRUE(Written(1, 1, 24, {}, false, &ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_FALSE(WriteTga(nullptr, 1, 1, 24, one.data(), false));
}

}  // namespace
