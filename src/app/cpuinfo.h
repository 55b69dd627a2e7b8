// Processor name and clock rate for the log's hardware report.
#pragma once

#include <cstdint>

struct CpuInfo {
    int32_t identified;
    uint32_t mhz;          // measured clock, whole megahertz, rounded to a usual rate
    char vendor[13];       // "GenuineIntel", "AuthenticAMD", ...
    char name[49];         // table name, brand string, or empty
    uint32_t type, family, model;  // from the signature (display family and model)

    // Identifies the processor and measures its clock over half a second.
    CpuInfo();
};

// Rounds a raw megahertz figure to the nearest usual rate (…00, 20, 33, 50,
// 60, 66, 80, 90); a tie rounds up.  1995 -> 2000, 866 -> 866, 1010 -> 1020.
uint32_t RoundClockRate(uint64_t raw);

// The name of an old Intel processor by its signature, or null when the
// table does not list it.  type 1 marks an OverDrive processor.
const char* IntelTableName(uint32_t type, uint32_t family, uint32_t model);

// Display family and model from a leaf-1 signature, extended bits included.
void DecodeSignature(uint32_t eax, uint32_t* type, uint32_t* family, uint32_t* model);
