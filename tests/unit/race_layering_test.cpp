// The race simulation stands on its own: no file of src/race includes the
// input layer or the game's screens and preferences, so a race depends only
// on its set-up record, its controls records and its random numbers.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <string>

namespace {

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

TEST(RaceLayering, RaceSourcesIncludeNothingFromInputOrGame)
{
    const std::string dir = std::string(QB_TEST_DATA_DIR) + "/../../src/race";
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr) << dir;
    int files = 0;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (!EndsWith(name, ".h") && !EndsWith(name, ".cpp"))
            continue;
        files++;
        std::ifstream in(dir + "/" + name);
        std::string line;
        for (int n = 1; std::getline(in, line); n++) {
            if (line.compare(0, 8, "#include") != 0)
                continue;
            EXPECT_EQ(line.find("\"input/"), std::string::npos) << name << ":" << n << ": " << line;
            EXPECT_EQ(line.find("\"game/"), std::string::npos) << name << ":" << n << ": " << line;
        }
    }
    closedir(d);
    EXPECT_GE(files, 10);
}

}  // namespace
