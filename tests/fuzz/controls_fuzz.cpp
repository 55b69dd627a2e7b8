// One datagram through the Controls layout (see session_fuzz.cpp).
#include "fuzz_targets.h"

int FuzzControls(const uint8_t* data, size_t size)
{
    return FuzzDatagramLayout(kControlsLayout, data, size);
}
