// The log: header shape, appending, errors shown and lines cut.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "test_util.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Log, HeaderShape)
{
    ScratchAppDir dir;
    OpenLog();
    std::vector<std::string> lines = Lines(dir.Read("log.txt"));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0] + lines[4] + lines[8] + lines[13], std::string(4 * 55, '-'));
    EXPECT_TRUE(lines[1].size() == 24u && lines[3] == "Quibbit v1.0") << lines[1];  // "Sun Dec  6 17:32:40 2026"
}

TEST(Log, StartsAfreshAppendsCutsLongLinesAndShowsOnlyErrors)
{
    ScratchAppDir dir;
    OpenLog();
    LogMessage("first %d", 1);
    OpenLog();
    LogMessage("second %s", "run");
    LogMessage(nullptr);
    LogMessage("%s", std::string(1000, 'a').c_str());
    testing::internal::CaptureStderr();
    LogMessage("MINOR ERROR (not found): data/prefs.txt [using defaults]");
    LogMessage("ERROR (not found): %s", "data/x.tga");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Error] ERROR (not found): data/x.tga\n");
    const std::string log = dir.Read("log.txt");
    EXPECT_EQ(log.find("first 1"), std::string::npos);
    EXPECT_NE(log.find("second run\n" + std::string(255, 'a') + "\nMINOR ERROR (not found): data/prefs.txt "
                       "[using defaults]\nERROR (not found): data/x.tga\n"),
              std::string::npos);
    EXPECT_EXIT({ LogMessage("ERROR (bad file): %s", "x"); ExitProgram(); }, testing::ExitedWithCode(1),
                "ERROR \\(bad file\\): x");
}

}  // namespace
