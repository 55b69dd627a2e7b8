// Processor identification: clock rounding and the name table.
#include <gtest/gtest.h>

#include <cstring>

#include "app/cpuinfo.h"

namespace {

TEST(CpuInfo, ClockRatesRoundToUsualValues)
{
    EXPECT_EQ(RoundClockRate(733), 733u);
    EXPECT_EQ(RoundClockRate(1399), 1400u);
    EXPECT_EQ(RoundClockRate(2050), 2050u);
    EXPECT_EQ(RoundClockRate(1995), 2000u);
    EXPECT_EQ(RoundClockRate(866), 866u);
    EXPECT_EQ(RoundClockRate(1010), 1020u);  // a tie rounds up
    EXPECT_EQ(RoundClockRate(1004), 1000u);
    EXPECT_EQ(RoundClockRate(0), 0u);
}

TEST(CpuInfo, OldIntelTable)
{
    EXPECT_STREQ(IntelTableName(0, 6, 6), "Celeron(TM) processor");
    EXPECT_STREQ(IntelTableName(1, 4, 8), "DX4(TM) OverDrive(R) processor");
    EXPECT_STREQ(IntelTableName(0, 5, 3), "Pentium(R) processor");
    EXPECT_EQ(IntelTableName(0, 6, 158), nullptr);  // a modern model
    EXPECT_EQ(IntelTableName(0, 15, 0), nullptr);
}

TEST(CpuInfo, SignatureUsesExtendedBits)
{
    uint32_t type, family, model;
    DecodeSignature(0x000906EA, &type, &family, &model);  // family 6, model 0x9E
    EXPECT_EQ(family, 6u);
    EXPECT_EQ(model, 0x9Eu);
    DecodeSignature(0x00A20F12, &type, &family, &model);  // AMD family 0x19
    EXPECT_EQ(family, 0x19u);
    EXPECT_EQ(model, 0x21u);
    DecodeSignature(0x00001532, &type, &family, &model);  // old OverDrive
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(family, 5u);
    EXPECT_EQ(model, 3u);
}

TEST(CpuInfo, ThisProcessorHasANameAndAClock)
{
    CpuInfo cpu;
    EXPECT_EQ(cpu.identified, 1);
    EXPECT_GT(cpu.mhz, 100u);
    // No processor runs at 10 GHz: dividing by the processor time received
    // instead of the time that passed gave 12 and 29 GHz on a busy machine.
    EXPECT_LT(cpu.mhz, 10000u);
    if (strcmp(cpu.vendor, "GenuineIntel") == 0 || strcmp(cpu.vendor, "AuthenticAMD") == 0) {
        EXPECT_GT(strlen(cpu.name), 0u);
    }
    EXPECT_NE(cpu.name[0], ' ');
}

}  // namespace
