// Processor identification: clock rounding, the signature's extended bits,
// and this machine's processor.
#include <gtest/gtest.h>

#include "app/cpuinfo.h"

namespace {

TEST(CpuInfo, ClockRatesRoundToUsualValuesAndSignaturesUseExtendedBits)
{
    const uint32_t rates[][2] = {{733, 733}, {1399, 1400}, {1995, 2000}, {1010, 1020} /* a tie rounds up */, {1004, 1000}};
    for (const auto& r : rates)
        EXPECT_EQ(RoundClockRate(r[0]), r[1]) << r[0];
    EXPECT_EQ(IntelTableName(0, 6, 158), nullptr);  // a modern model has no table name
    const uint32_t signatures[][4] = {{0x000906EA, 0, 6, 0x9E}, {0x00A20F12, 0, 0x19, 0x21}, {0x00001532, 1, 5, 3}};
    for (const auto& s : signatures) {
        uint32_t got[3];
        DecodeSignature(s[0], &got[0], &got[1], &got[2]);
        EXPECT_TRUE(got[0] == s[1] && got[1] == s[2] && got[2] == s[3]) << std::hex << s[0];
    }
}

TEST(CpuInfo, ThisProcessorHasANameAndAClock)
{
    CpuInfo cpu;
    // No processor runs at 10 GHz: dividing by the processor time received
    // instead of the time that passed gave 12 and 29 GHz on a busy machine.
    EXPECT_TRUE(cpu.identified == 1 && cpu.mhz > 100u && cpu.mhz < 10000u && cpu.name[0] != ' ') << cpu.mhz;
}

}  // namespace
