// Every input a fuzzer ever crashed on, kept under tests/data/fuzz/<target>/,
// replayed through its target: none may crash again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace {

struct Target {
    const char* name;
    int (*run)(const uint8_t*, size_t);
};

const Target kTargets[] = {
    {"settings", FuzzSettings},     {"tga", FuzzTga},                    {"heightmap", FuzzHeightmap},
    {"model3ds", FuzzModel3ds},     {"course", FuzzCourse},              {"join_request", FuzzJoinRequest},
    {"lobby_info", FuzzLobbyInfo},  {"race_state", FuzzRaceState},       {"controls", FuzzControls},
    {"session", FuzzSession},       {"recording", FuzzRecording},        {"car_state", FuzzCarState},
};

TEST(FuzzReplay, SavedInputsRunCleanly)
{
    namespace fs = std::filesystem;
    int replayed = 0;
    for (const Target& target : kTargets) {
        fs::path dir = fs::path(QB_TEST_DATA_DIR) / "fuzz" / target.name;
        if (!fs::exists(dir))
            continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            target.run(bytes.data(), bytes.size());
            replayed++;
        }
    }
    EXPECT_GT(replayed, 0);
}

}  // namespace
