// The message text byte for byte: 16-byte number slots, layout sizes, a
// whole LobbyInfo message, and decoding of slots that are damaged, too long,
// out of range or not numbers at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "net/udp_endpoint.h"

namespace {

std::string Slot(int32_t v)
{
    char s[kSlotSize];
    FormatIntSlot(v, s);
    return std::string(s, kSlotSize);
}

std::string Slot(double v)
{
    char s[kSlotSize];
    FormatFloatSlot(v, s);
    return std::string(s, kSlotSize);
}

const uint8_t* Bytes(const char* text)
{
    return (const uint8_t*)text;
}

TEST(NetEncoding, NumbersTakeSixteenBytesWithATrailingSpace)
{
    EXPECT_EQ(Slot(25), std::string(13, ' ') + "25 ");
    EXPECT_EQ(Slot(0), std::string(14, ' ') + "0 ");
    EXPECT_EQ(Slot(-2147483647 - 1), "    -2147483648 ");
    EXPECT_EQ(Slot(1.5), std::string(6, ' ') + "1.5000000 ");
    EXPECT_EQ(Slot(-0.25), "     -0.2500000 ");
    EXPECT_EQ(Slot((double)3.1415927f), "      3.1415927 ");
    // The widest text that still keeps its space: below 10 000 000.
    EXPECT_EQ(Slot(9999999.0), "9999999.0000000 ");
}

TEST(NetEncoding, LongerFloatTextIsCutToItsFirstSixteenCharacters)
{
    EXPECT_EQ(Slot(12345678.0), "12345678.0000000");
    EXPECT_EQ(Slot(-1234567.0), "-1234567.0000000");
    // Far too long for the scratch line: still 16 characters, no overrun.
    EXPECT_EQ(Slot(1e30), "1000000000000000");
    EXPECT_EQ(Slot((double)NAN).substr(12), "nan ");
}

TEST(NetEncoding, LayoutSizeGrowsByBytesOrSixteenPerNumber)
{
    Layout layout{};
    uint8_t kind;
    int32_t value;
    AddField(layout, &kind, kFieldBytes, 1);
    AddField(layout, &value, kFieldInts, 1);
    EXPECT_EQ(layout.size, 17u);
    float f[28];
    AddField(layout, f, kFieldFloats, 28);
    EXPECT_EQ(layout.size, 17u + 448u);
    double d;
    AddField(layout, &d, kFieldDoubles, 1);
    EXPECT_EQ(layout.size, 17u + 448u + 16u);
    EXPECT_FALSE(layout.overfull);
}

TEST(NetEncoding, TooManyFieldsMakeTheLayoutUnusableInsteadOfOverflowing)
{
    Layout layout{};
    uint8_t b[kMaxFields + 1];
    for (int i = 0; i < kMaxFields; i++)
        AddField(layout, &b[i], kFieldBytes, 1);
    EXPECT_FALSE(layout.overfull);
    AddField(layout, &b[kMaxFields], kFieldBytes, 1);
    EXPECT_TRUE(layout.overfull);
    EXPECT_EQ(layout.fieldCount, kMaxFields);
}

TEST(NetEncoding, LobbyInfoMessageByteForByte)
{
    // kind, frame rate, address, name, settings: 52 bytes.
    uint8_t kind = 1;
    int32_t frameRate = 60;
    char address[16] = "10.0.0.7";
    char name[16] = "anna";
    uint8_t settings[3] = {1, 2, 12};
    Layout layout{};
    AddField(layout, &kind, kFieldBytes, 1);
    AddField(layout, &frameRate, kFieldInts, 1);
    AddField(layout, address, kFieldBytes, 16);
    AddField(layout, name, kFieldBytes, 16);
    AddField(layout, settings, kFieldBytes, 3);
    ASSERT_EQ(layout.size, 52u);
    uint8_t out[52];
    memset(out, 0xAA, sizeof out);
    EncodeLayout(layout, out);
    std::string expected;
    expected += '\x01';
    expected += std::string(13, ' ') + "60 ";
    expected += std::string("10.0.0.7") + std::string(8, '\0');
    expected += std::string("anna") + std::string(12, '\0');
    expected += std::string("\x01\x02\x0c", 3);
    EXPECT_EQ(std::string((const char*)out, 52), expected);

    // And back into other variables.
    uint8_t kind2 = 0;
    int32_t rate2 = 0;
    char address2[16], name2[16];
    uint8_t settings2[3];
    Layout in{};
    AddField(in, &kind2, kFieldBytes, 1);
    AddField(in, &rate2, kFieldInts, 1);
    AddField(in, address2, kFieldBytes, 16);
    AddField(in, name2, kFieldBytes, 16);
    AddField(in, settings2, kFieldBytes, 3);
    DecodeLayout(in, out);
    EXPECT_EQ(kind2, 1);
    EXPECT_EQ(rate2, 60);
    EXPECT_STREQ(address2, "10.0.0.7");
    EXPECT_STREQ(name2, "anna");
    EXPECT_EQ(settings2[2], 12);
}

TEST(NetEncoding, SlotsAreReadLikeScanfButNeverBeyondTheirSixteenBytes)
{
    int32_t v = 7;
    EXPECT_TRUE(ParseIntSlot(Bytes("             25 "), &v));
    EXPECT_EQ(v, 25);
    EXPECT_TRUE(ParseIntSlot(Bytes("  -12abcdefghijk"), &v));
    EXPECT_EQ(v, -12);
    // Sixteen digits followed by more digits in the next slot: only the
    // slot's own digits count (and they do not fit 32 bits).
    v = 7;
    EXPECT_FALSE(ParseIntSlot(Bytes("12345678901234567890"), &v));
    EXPECT_EQ(v, 7);
    const std::string zeros = std::string(14, '0') + "42" + "99999";
    EXPECT_TRUE(ParseIntSlot(Bytes(zeros.c_str()), &v));
    EXPECT_EQ(v, 42);
    // No number: the variable keeps its value.
    EXPECT_FALSE(ParseIntSlot(Bytes("                "), &v));
    EXPECT_FALSE(ParseIntSlot(Bytes("ssssssssssssssss"), &v));
    EXPECT_FALSE(ParseIntSlot(Bytes("\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"), &v));
    EXPECT_EQ(v, 42);
    EXPECT_FALSE(ParseIntSlot(Bytes("     2147483648 "), &v));
    EXPECT_TRUE(ParseIntSlot(Bytes("    -2147483648 "), &v));
    EXPECT_EQ(v, -2147483647 - 1);

    float f = 3.0f;
    EXPECT_TRUE(ParseFloatSlot(Bytes("      1.5000000 "), &f));
    EXPECT_EQ(f, 1.5f);
    EXPECT_FALSE(ParseFloatSlot(Bytes("      .........."), &f));
    EXPECT_EQ(f, 1.5f);
    // What scanf would take, the slot takes too; the session then refuses
    // values that are not finite.
    EXPECT_TRUE(ParseFloatSlot(Bytes("             nan"), &f));
    EXPECT_TRUE(std::isnan(f));
    EXPECT_TRUE(ParseFloatSlot(Bytes("           1e999"), &f));
    EXPECT_TRUE(std::isinf(f));
}

TEST(NetEncoding, SixtyFourBitValuesArriveWithSinglePrecision)
{
    double out = 0.1, in = 0.0;
    Layout send{}, receive{};
    AddField(send, &out, kFieldDoubles, 1);
    AddField(receive, &in, kFieldDoubles, 1);
    uint8_t bytes[16];
    EncodeLayout(send, bytes);
    EXPECT_EQ(std::string((const char*)bytes, 16), "      0.1000000 ");
    DecodeLayout(receive, bytes);
    EXPECT_EQ(in, (double)0.1f);
    EXPECT_NE(in, 0.1);
}

TEST(NetEncoding, AWholeRaceStateRoundTrips)
{
    uint8_t kind = 3;
    int32_t ints[7] = {144, 1, 2, 3, 4, 5, 2};
    float car[28];
    for (int i = 0; i < 28; i++)
        car[i] = (float)i * 1.25f - 10.0f;
    Layout layout{};
    AddField(layout, &kind, kFieldBytes, 1);
    AddField(layout, &ints[0], kFieldInts, 1);
    AddField(layout, &ints[1], kFieldInts, 1);
    AddField(layout, &ints[2], kFieldInts, 2);
    AddField(layout, &ints[4], kFieldInts, 2);
    AddField(layout, &ints[6], kFieldInts, 1);
    AddField(layout, car, kFieldFloats, 28);
    ASSERT_EQ(layout.size, 561u);
    uint8_t bytes[561];
    EncodeLayout(layout, bytes);
    uint8_t kind0 = kind;
    int32_t ints0[7];
    float car0[28];
    memcpy(ints0, ints, sizeof ints);
    memcpy(car0, car, sizeof car);
    memset(ints, 0, sizeof ints);
    memset(car, 0, sizeof car);
    kind = 0;
    DecodeLayout(layout, bytes);
    EXPECT_EQ(kind, kind0);
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(ints[i], ints0[i]) << i;
    for (int i = 0; i < 28; i++)
        EXPECT_EQ(car[i], car0[i]) << i;
    // The last slot: car value 27.
    EXPECT_EQ(std::string((const char*)bytes + 545, 16), "     23.7500000 ");
}

}  // namespace
