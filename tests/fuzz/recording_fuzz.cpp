// A race recording from arbitrary bytes: the reader stays inside them, and
// whatever it accepts writes back byte for byte.
#include <cstring>
#include <string>

#include "fuzz_targets.h"
#include "race/replay.h"

int FuzzRecording(const uint8_t* data, size_t size)
{
    static Replay replay;
    char error[256];
    if (!DecodeReplay(data, size, &replay, error, sizeof error)) {
        if (error[0] == 0)
            FuzzFail("a rejected recording without a reason");
        return 0;
    }
    const std::string again = EncodeReplay(replay);
    if (again.size() != size || memcmp(again.data(), data, size) != 0)
        FuzzFail("a recording that does not write back to its own bytes");
    return 0;
}
