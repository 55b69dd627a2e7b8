// Race recordings: the file byte for byte, run-length coding, damaged files
// and the checked-in recordings replaying to their recorded results.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/appdir.h"
#include "app/config.h"
#include "game/recording.h"
#include "game/results_panel.h"
#include "race/replay.h"
#include "race_world.h"

namespace {

namespace fs = std::filesystem;

// Two cars, car 1 driven by a person; three steps: accelerate, accelerate,
// left with the wheel.
Replay SmallReplay()
{
    Replay r;
    ClearReplay(r);
    snprintf(r.gameVersion, sizeof r.gameVersion, "v1.0");
    snprintf(r.track, sizeof r.track, "dunes");
    r.trackChecksum = 0x01020304u;
    r.setup.carCount = 2;
    r.setup.human[1] = 1;
    r.setup.gamemode = 1;
    r.setup.laps = 3;
    r.setup.timelimit = 60;
    r.setup.medalshowtime = 2.0f;
    r.setup.terrainPixelSkip = 1;
    snprintf(r.names[1], sizeof r.names[1], "ann");
    r.randomState = 0xdeadbeefu;
    CarControls c[kMaxCars] = {};
    c[0].brake = 1;  // a computer car: never stored
    c[1].accelerate = 1;
    AppendReplayStep(r, c);
    c[0].brake = 0;
    AppendReplayStep(r, c);
    c[1].left = 1;
    c[1].wheelSteering = 1;
    c[1].wheelX = -0.5f;
    AppendReplayStep(r, c);
    r.finished = 1;
    r.score[0] = 5.0f;
    r.place[0] = 1;
    r.place[1] = 2;
    return r;
}

uint32_t U32At(const std::string& b, size_t at)
{
    return (uint8_t)b[at] | (uint8_t)b[at + 1] << 8 | (uint8_t)b[at + 2] << 16 | (uint32_t)(uint8_t)b[at + 3] << 24;
}

TEST(ReplayFile, RunsAndBytesAsDocumented)
{
    const std::string b = EncodeReplay(SmallReplay());  // the computer car's brake does not split a run
    // Header: 4 + 4 + 16 + 32 + 4 + 4 + 5 + 16 + 3 + 4 + 4 + 80 + 4 = 180; runs:
    // count 4, then (4 + 13) x 2; results 1 + 20 + 5.
    ASSERT_EQ(b.size(), 180u + 4u + 34u + 26u);
    EXPECT_EQ(b.substr(0, 4), std::string("QBR\x1a"));
    EXPECT_EQ(b.substr(24, 6), std::string("dunes\0", 6));
    EXPECT_EQ(b.substr(112, 4), std::string("ann\0", 4));  // names[1]: 96 + 16
    EXPECT_EQ(U32At(b, 176), 0xdeadbeefu);
    EXPECT_EQ(U32At(b, 184), 2u);                    // steps of run 0
    EXPECT_EQ(U32At(b, 201), 1u);                    // steps of run 1
    EXPECT_EQ((uint8_t)b[205], 1 | 2 | 32);          // accelerate, left, wheel
    EXPECT_EQ((uint8_t)b[218], 1);                   // finished
    EXPECT_EQ(b.substr(239, 5), std::string("\1\2\0\0\0", 5));

    Replay back;
    char error[128] = "";
    ASSERT_TRUE(DecodeReplay((const uint8_t*)b.data(), b.size(), &back, error, sizeof error)) << error;
    EXPECT_EQ(EncodeReplay(back), b);
}

// A recording at its limit (its runs, or the bytes of its file, whichever
// comes first): the first step with new controls is dropped, and so is
// every later one, even one with the last run's controls (it would play a
// step early).  The race ends as left early, and the file loads back.
TEST(ReplayFile, AFullRecordingDropsEveryLaterStepAndStillLoads)
{
    for (uint32_t people : {1u, 4u}) {
        SCOPED_TRACE(people);
        Replay r = SmallReplay();
        for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++)
            r.setup.human[c] = c < people ? 1 : 0;
        r.setup.carCount = 5;
        r.runs.clear();
        r.steps = 0;
        EXPECT_EQ(ReplayFileBytes(r), EncodeReplay(r).size());
        CarControls c[kMaxCars] = {};
        c[0].wheelSteering = 1;
        uint32_t steps = 0;
        do {
            steps = r.steps;
            c[0].wheelX = c[0].wheelX == 0.25f ? -0.25f : 0.25f;
            AppendReplayStep(r, c);
        } while (r.steps > steps);
        // A run takes 17 bytes with one person, 56 with four: the file's
        // 8 MiB come before the run limit (a file without runs: 210 bytes).
        const size_t runBytes = 4 + 13 * people;
        EXPECT_EQ(r.runs.size(), (kReplayMaxBytes - 210) / runBytes);
        EXPECT_LT(r.runs.size(), kReplayMaxRuns);
        EXPECT_TRUE(r.full);
        const CarControls last = r.runs.back().controls[0];
        c[0] = last;
        AppendReplayStep(r, c);  // the last run's controls, after a drop
        EXPECT_EQ(r.steps, steps);
        EXPECT_EQ(r.runs.back().steps, 1u);
        TakeReplayResults(r, true);
        EXPECT_EQ(r.finished, 0);

        const std::string bytes = EncodeReplay(r);
        EXPECT_EQ(bytes.size(), ReplayFileBytes(r));
        EXPECT_LE(bytes.size(), kReplayMaxBytes);
        Replay back;
        char error[128] = "";
        ASSERT_TRUE(DecodeReplay((const uint8_t*)bytes.data(), bytes.size(), &back, error, sizeof error)) << error;
        EXPECT_EQ(back.steps, r.steps);
        EXPECT_EQ(back.runs.size(), r.runs.size());
    }

    // The step limit: the run stops growing and stays stopped.
    Replay s = SmallReplay();
    s.runs.back().steps = kReplayMaxSteps - s.steps + s.runs.back().steps;
    s.steps = kReplayMaxSteps;
    CarControls k[kMaxCars] = {};
    k[1].wheelX = 0.5f;
    AppendReplayStep(s, k);
    EXPECT_TRUE(s.full);
    EXPECT_EQ(s.steps, kReplayMaxSteps);
    TakeReplayResults(s, true);
    EXPECT_EQ(s.finished, 0);
    // Not full: the race's own answer.
    Replay t = SmallReplay();
    TakeReplayResults(t, true);
    EXPECT_EQ(t.finished, 1);
}

TEST(ReplayFile, DamagedFilesAreRejectedWithAReason)
{
    const std::string good = EncodeReplay(SmallReplay());
    Replay r;
    char error[128];
    // Every shorter file, and one byte more.
    for (size_t n = 0; n < good.size(); n++) {
        error[0] = 0;
        EXPECT_FALSE(DecodeReplay((const uint8_t*)good.data(), n, &r, error, sizeof error)) << n;
        EXPECT_NE(error[0], 0) << n;
    }
    const std::string longer = good + '\0';
    EXPECT_FALSE(DecodeReplay((const uint8_t*)longer.data(), longer.size(), &r, error, sizeof error));

    struct Case { size_t at; std::string bytes; const char* why; };
    const Case cases[] = {
        {0, "QBX", "not a Quibbit recording"},
        {4, std::string("\2\0\0\0", 4), "recording format 2"},
        {24, "../x", "bad track name"},
        {60, std::string("\6\0\0\0", 4), "race settings"},   // six cars
        {65, std::string("\2", 1), "bad driver list"},
        {180, std::string("\xff\xff\xff\x0f", 4), "more runs than the file holds"},
        {184, std::string("\0\0\0\0", 4), "bad step count"},
        {188, std::string("\x40", 1), "bad control flags"},
        {193, std::string("\0\0\xc0\x7f", 4), "control values out of range"},  // wheel x NaN
        {218, std::string("\2", 1), "bad finish mark"},
        {241, std::string("\3", 1), "bad results"},  // place 3 of two cars
    };
    for (const Case& c : cases) {
        std::string bad = good;
        bad.replace(c.at, c.bytes.size(), c.bytes);
        error[0] = 0;
        EXPECT_FALSE(DecodeReplay((const uint8_t*)bad.data(), bad.size(), &r, error, sizeof error)) << c.why;
        EXPECT_NE(strstr(error, c.why), nullptr) << error << " / " << c.why;
    }
}

// The game's data (built by the generator) with its tracks listed.
class RecordedRaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        SetAppDirectory(QB_BUILD_DIR);
        ScanTracks();
        gClock.stepRate = 500.0;
    }
};

TEST_F(RecordedRaces, ReplayToTheirRecordedResults)
{
    int played = 0;
    for (const auto& e : fs::directory_iterator(fs::path(QB_TEST_DATA_DIR) / "replays")) {
        SCOPED_TRACE(e.path().string());
        Replay r;
        char error[256] = "";
        ASSERT_TRUE(LoadReplayFile(e.path().c_str(), &r, error, sizeof error)) << error;
        ASSERT_TRUE(StartReplay(r, error, sizeof error)) << error;
        ReplayCursor cursor = {};
        while (ReplayStep(r, cursor)) {
        }
        EXPECT_EQ(cursor.step, r.steps);
        RankByScore();
        if (r.finished)
            FinishRace(false);
        Replay now;
        ClearReplay(now);
        now.setup = r.setup;
        TakeReplayResults(now, r.finished);
        for (uint32_t c = 0; c < r.setup.carCount; c++) {
            EXPECT_EQ(now.score[c], r.score[c]) << "car " << c;
            EXPECT_EQ(now.place[c], r.place[c]) << "car " << c;
        }
        played++;
    }
    EXPECT_GE(played, 4);
}

TEST_F(RecordedRaces, AChangedTrackOrVersionIsNotPlayed)
{
    Replay r;
    char error[256] = "";
    const fs::path file = fs::path(QB_TEST_DATA_DIR) / "replays" / "dunes_tag.qbr";
    ASSERT_TRUE(LoadReplayFile(file.c_str(), &r, error, sizeof error)) << error;
    r.trackChecksum ^= 1;
    EXPECT_FALSE(StartReplay(r, error, sizeof error));
    EXPECT_NE(strstr(error, "track \"dunes\" has changed"), nullptr) << error;
    r.trackChecksum ^= 1;
    snprintf(r.gameVersion, sizeof r.gameVersion, "v0.9");
    EXPECT_FALSE(StartReplay(r, error, sizeof error));
    EXPECT_NE(strstr(error, "recorded by version v0.9"), nullptr) << error;
}

// A four-car checkpoint recording watched with two-car Tag! preferences is
// drawn, heard and listed as it was set up, with the recording's names, and
// the player's preferences stay their own.
TEST_F(RecordedRaces, WatchingShowsTheRecordedSetUpNotThePreferences)
{
    SetDefaultPrefs();
    snprintf(gPrefs.playername[0], sizeof gPrefs.playername[0], "%s", "Zed");
    ASSERT_TRUE(gPrefs.carCount == 2u && gPrefs.gamemode == 0);
    const Prefs own = gPrefs;
    const fs::path file = fs::path(QB_TEST_DATA_DIR) / "replays" / "hills_checkpoint_cpu.qbr";
    Replay r;
    char error[256] = "";
    ASSERT_TRUE(LoadReplayFile(file.c_str(), &r, error, sizeof error)) << error;
    ASSERT_TRUE(r.setup.carCount == 4u && r.setup.gamemode == 1 && r.setup.laps == 1);
    ASSERT_TRUE(StartWatching(file.c_str()));

    EXPECT_EQ(gRaceSetup.carCount, 4u);  // what the renderer and the engine sounds count
    EXPECT_EQ(gRaceSetup.gamemode, 1);   // gates, not the tag time line
    ASSERT_TRUE(gRaceSetup.track >= 0 && gRaceSetup.track < gConfig.trackCount);
    EXPECT_STREQ(gConfig.trackNames[gRaceSetup.track], "hills");  // its ground texture
    Prefs shown;
    ShownRacePrefs(&shown);
    EXPECT_EQ(shown.carCount, 4u);
    EXPECT_EQ(shown.gamemode, 1);
    EXPECT_EQ(shown.track, gRaceSetup.track);
    EXPECT_EQ(shown.laps, r.setup.laps);
    EXPECT_EQ(shown.timelimit, r.setup.timelimit);
    for (int c = 0; c < kMaxCars; c++)
        EXPECT_STREQ(shown.playername[c], r.names[c]) << "car " << c;
    EXPECT_EQ(memcmp(shown.playerColour, own.playerColour, sizeof own.playerColour), 0);
    EXPECT_EQ(memcmp(&own, &gPrefs, sizeof own), 0);

    ResultsPanel panel;
    BuildResultsPanel(gStandings, shown, false, shown.track, gConfig.trackCount, "hills", 0u, 0u, &panel);
    EXPECT_EQ(panel.rowCount, 4);
    EXPECT_STREQ(panel.subtitle, "Checkpoint");

    // A race of the player's own after the recording: its set-up again.
    gWatch.active = 0;
    TakeRaceSetupFromPrefs();
    ShownRacePrefs(&shown);
    EXPECT_TRUE(shown.carCount == 2u && shown.gamemode == 0);
    EXPECT_STREQ(shown.playername[0], "Zed");
}

}  // namespace
