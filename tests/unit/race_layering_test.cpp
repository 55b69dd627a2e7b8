// The race simulation stands on its own: no file of src/race includes the
// input layer or the game's screens and preferences, so a race depends only
// on its set-up record, its controls records and its random numbers.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <string>

namespace {

TEST(RaceLayering, RaceSourcesIncludeNothingFromInputOrGame)
{
    const std::string dir = std::string(QB_TEST_DATA_DIR) + "/../../src/race";
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr) << dir;
    int files = 0;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.find(".h") == std::string::npos && name.find(".cpp") == std::string::npos)
            continue;
        files++;
        std::ifstream in(dir + "/" + name);
        std::string line;
        for (int n = 1; std::getline(in, line); n++) {
            const bool include = line.compare(0, 8, "#include") == 0;
            EXPECT_FALSE(include && (line.find("\"input/") != line.npos || line.find("\"game/") != line.npos))
                << name << ":" << n << ": " << line;
        }
    }
    closedir(d);
    EXPECT_GE(files, 10);
}

}  // namespace
