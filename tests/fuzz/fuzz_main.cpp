// libFuzzer entry: QB_FUZZ_TARGET names the target function of fuzz_targets.h.
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return QB_FUZZ_TARGET(data, size);
}
