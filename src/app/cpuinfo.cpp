#include "app/cpuinfo.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define QB_HAVE_CPUID 1
#endif

uint32_t RoundClockRate(uint64_t raw)
{
    static const uint64_t usual[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    uint64_t r = raw % 100;
    for (int i = 1; i < 9; i++) {
        if (usual[i] > r) {
            uint64_t hi = usual[i], lo = usual[i - 1];
            if (hi - r > r - lo)
                return (uint32_t)(raw - (r - lo));
            return (uint32_t)(raw + (hi - r));
        }
    }
    return (uint32_t)raw;
}

const char* IntelTableName(uint32_t type, uint32_t family, uint32_t model)
{
    bool overdrive = type == 1;
    if (family == 4) {
        if (model == 4) return "486(TM) SL processor";
        if (model == 7) return "Write-Back Enhanced DX2(TM) processor";
        if (model == 8) return overdrive ? "DX4(TM) OverDrive(R) processor" : "DX4(TM) processor";
    } else if (family == 5) {
        if (model >= 1 && model <= 4)
            return overdrive ? "Pentium(R) OverDrive(R) processor" : "Pentium(R) processor";
    } else if (family == 6) {
        if (model == 1) return "Pentium(R) Pro processor";
        if (model == 3) return overdrive ? "Pentium(R) II OverDrive(R) processor" : "Pentium(R) II processor";
        if (model == 5) return "Pentium(R) II processor";
        if (model == 6) return "Celeron(TM) processor";
        if (model == 7 || model == 8) return "Pentium(R) III processor";
        if (model == 10) return "Pentium(R) III Xeon processor";
    }
    return nullptr;
}

void DecodeSignature(uint32_t eax, uint32_t* type, uint32_t* family, uint32_t* model)
{
    uint32_t baseFamily = (eax >> 8) & 0xF;
    uint32_t baseModel = (eax >> 4) & 0xF;
    *type = (eax >> 12) & 0x3;
    *family = baseFamily == 0xF ? baseFamily + ((eax >> 20) & 0xFF) : baseFamily;
    *model = (baseFamily == 0x6 || baseFamily == 0xF) ? baseModel + (((eax >> 16) & 0xF) << 4) : baseModel;
}

#ifdef QB_HAVE_CPUID
static uint64_t ReadTimeStamp()
{
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    uint64_t t = __rdtsc();
    __cpuid(0, a, b, c, d);
    return t;
}

// The brand string of leaves 0x80000002-4, leading spaces removed; false
// when the processor has none.
static bool ReadBrandString(char* out)
{
    unsigned a, b, c, d;
    __cpuid(0x80000000, a, b, c, d);
    if (a < 0x80000004)
        return false;
    unsigned regs[12];
    for (unsigned leaf = 0; leaf < 3; leaf++)
        __cpuid(0x80000002 + leaf, regs[leaf * 4], regs[leaf * 4 + 1], regs[leaf * 4 + 2], regs[leaf * 4 + 3]);
    char text[49];
    memcpy(text, regs, 48);
    text[48] = 0;
    const char* start = text;
    while (*start == ' ')
        start++;
    snprintf(out, 49, "%s", start);
    size_t n = strlen(out);
    while (n > 0 && out[n - 1] == ' ')
        out[--n] = 0;
    return out[0] != 0;
}
#endif

CpuInfo::CpuInfo() : identified(0), mhz(0), vendor{}, name{}, type(0), family(0), model(0)
{
#ifdef QB_HAVE_CPUID
    uint64_t t0 = ReadTimeStamp();
    const auto c0 = std::chrono::steady_clock::now();
    unsigned a, b, c, d;
    __cpuid(0, a, b, c, d);
    memcpy(vendor, &b, 4);
    memcpy(vendor + 4, &d, 4);
    memcpy(vendor + 8, &c, 4);
    vendor[12] = 0;
    __cpuid(1, a, b, c, d);
    DecodeSignature(a, &type, &family, &model);
    bool intel = strcmp(vendor, "GenuineIntel") == 0;
    const char* tableName = intel ? IntelTableName(type, family, model) : nullptr;
    if (tableName)
        snprintf(name, sizeof name, "%s", tableName);
    else if (!ReadBrandString(name) && intel)
        snprintf(name, sizeof name, "%s", "Unknown processor");
    // Clock: time-stamp cycles over at least a tenth of a second.  The
    // time-stamp counter runs on while the process waits for a core, so it is
    // divided by the time that passed, not by the processor time received
    // (which on a busy machine gave several times the real rate).  The wait
    // sleeps rather than spins: a spinning wait took a whole core from the
    // renderer while the game starts.  A tenth of a second measured in
    // microseconds is far finer than the usual rates' steps of 10 MHz.
    std::this_thread::sleep_until(c0 + std::chrono::milliseconds(100));
    const auto c1 = std::chrono::steady_clock::now();
    uint64_t t1 = ReadTimeStamp();
    uint64_t elapsedUs = (uint64_t)std::chrono::duration_cast<std::chrono::microseconds>(c1 - c0).count();
    mhz = RoundClockRate((t1 - t0) / elapsedUs);
#else
    FILE* file = fopen("/proc/cpuinfo", "r");
    if (file) {
        char line[256];
        double m = 0;
        while (fgets(line, sizeof line, file))
            if (sscanf(line, "cpu MHz : %lf", &m) == 1)
                break;
        fclose(file);
        mhz = (uint32_t)m;
    }
#endif
    identified = 1;
}
