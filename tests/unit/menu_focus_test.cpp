// The keys' way through the menus, frame by frame: the order on the screen
// (not the order drawn), wrapping, the first key, new screens, the list one
// frame behind, the mouse taking over, and a key button's wait.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/menu_logic.h"

namespace {

class MenuFocusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int id = 0; id < kButtonCount; id++)
            SetButtonFromSpec(buttons[id], kButtonTable[id]);
        memset(&focus, 0xAB, sizeof focus);
        focus.active = 0;
        focus.button = -1;
        focus.binding = 0;
        focus.drawnCount = 0;
        focus.drawingScreen = -1;
    }

    // One frame in `state`: the keys act on the list of the frame before,
    // then the screen draws `drawn` (in that order).
    uint32_t Frame(int32_t state, const std::vector<int32_t>& drawn, MenuKeys keys = {})
    {
        const uint32_t sounds = MenuFocusFrame(focus, buttons, state, keys);
        for (int32_t id : drawn)
            NoteButtonShown(focus, id);
        return sounds;
    }

    MenuButton buttons[kButtonCount];
    MenuFocus focus;
};

const MenuKeys kUp = {true, false, false, false, false, false};
const MenuKeys kDown = {false, true, false, false, false, false};
const MenuKeys kLeft = {false, false, true, false, false, false};
const MenuKeys kRight = {false, false, false, true, false, false};
const MenuKeys kEnter = {false, false, false, false, true, false};
const MenuKeys kMouse = {false, false, false, false, false, true};

// The main menu drawn bottom-up: the focus still goes by the screen.
const std::vector<int32_t> kMain = {BtnQuit, BtnCredits, BtnOptions, BtnMultiplayer, BtnTournament, BtnSingleRace};
// The race set-up as it draws itself (Back last, below every row).
const std::vector<int32_t> kSetup = {BtnRace,      BtnGameMode,   BtnTrack, BtnPlayers,
                                     BtnOpponents, BtnDifficulty, BtnLaps,  BtnBack};

TEST_F(MenuFocusTest, MoveFocusGoesByHeightOnScreenAndWraps)
{
    const int32_t* shown = kMain.data();
    const int n = (int)kMain.size();
    EXPECT_EQ(MoveFocus(buttons, shown, n, -1, 1), BtnSingleRace);  // from nowhere: the top
    EXPECT_EQ(MoveFocus(buttons, shown, n, -1, -1), BtnQuit);       // or the bottom
    EXPECT_EQ(MoveFocus(buttons, shown, n, BtnRace, 1), BtnSingleRace);  // not shown: from nowhere
    const int32_t down[] = {BtnSingleRace, BtnTournament, BtnMultiplayer, BtnOptions, BtnCredits, BtnQuit};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(MoveFocus(buttons, shown, n, down[i], 1), down[(i + 1) % 6]) << i;
        EXPECT_EQ(MoveFocus(buttons, shown, n, down[(i + 1) % 6], -1), down[i]) << i;
    }
    EXPECT_EQ(MoveFocus(buttons, shown, 0, BtnQuit, 1), -1);
    EXPECT_EQ(MoveFocus(buttons, shown, 1, BtnQuit, 1), BtnQuit);  // alone: stays

    // Equal heights go in the order drawn, both ways.
    buttons[BtnCredits].y = buttons[BtnOptions].y;
    EXPECT_EQ(MoveFocus(buttons, shown, n, BtnCredits, 1), BtnOptions);
    EXPECT_EQ(MoveFocus(buttons, shown, n, BtnOptions, -1), BtnCredits);
    EXPECT_EQ(MoveFocus(buttons, shown, n, BtnMultiplayer, 1), BtnCredits);
    EXPECT_EQ(MoveFocus(buttons, shown, n, BtnQuit, -1), BtnOptions);
}

TEST_F(MenuFocusTest, TheFirstKeyShowsTheFocusThenTheKeysMoveAndPress)
{
    EXPECT_EQ(Frame(MainMenu, kMain), kSoundNone);
    EXPECT_FALSE(focus.active);
    // The first key only shows the focus on the top button.
    EXPECT_EQ(Frame(MainMenu, kMain, kDown), kSoundNone);
    EXPECT_TRUE(HasFocus(focus, BtnSingleRace));
    EXPECT_FALSE(focus.press);
    EXPECT_EQ(Frame(MainMenu, kMain, kDown), (uint32_t)kPlayRollover);
    EXPECT_TRUE(HasFocus(focus, BtnTournament));
    Frame(MainMenu, kMain, kUp);
    EXPECT_EQ(Frame(MainMenu, kMain, kUp), (uint32_t)kPlayRollover);
    EXPECT_TRUE(HasFocus(focus, BtnQuit));
    // Left and Right step the focused button; Enter presses it; each for
    // one frame.
    Frame(MainMenu, kMain, kLeft);
    EXPECT_EQ(focus.step, -1);
    Frame(MainMenu, kMain, kRight);
    EXPECT_EQ(focus.step, 1);
    Frame(MainMenu, kMain, kEnter);
    EXPECT_TRUE(focus.press && focus.step == 0);
    Frame(MainMenu, kMain);
    EXPECT_TRUE(!focus.press && focus.step == 0 && HasFocus(focus, BtnQuit));
    // Up and Down together cancel.  The quit fade is the same screen: the
    // focus stays on Quit, whose second press ends the game at once.
    MenuKeys both = kUp;
    both.down = true;
    EXPECT_EQ(Frame(MainMenu, kMain, both), kSoundNone);
    EXPECT_TRUE(HasFocus(focus, BtnQuit));
    Frame(QuitFading, kMain);
    Frame(QuitFading, kMain, kEnter);
    EXPECT_TRUE(HasFocus(focus, BtnQuit) && focus.press);
    // The mouse takes over: no focus, no press, until the next key.
    MenuKeys mouseAndEnter = kMouse;
    mouseAndEnter.accept = true;
    Frame(MainMenu, kMain, mouseAndEnter);
    EXPECT_TRUE(!focus.active && !focus.press && focus.button == -1);
    Frame(MainMenu, kMain, kEnter);
    EXPECT_TRUE(HasFocus(focus, BtnSingleRace) && !focus.press);
}

TEST_F(MenuFocusTest, ANewScreenFocusesItsTopButtonOnceItHasBeenDrawn)
{
    Frame(MainMenu, kMain);
    Frame(MainMenu, kMain, kDown);
    Frame(MainMenu, kMain, kEnter);  // single race pressed: the set-up follows
    // Its first frame knows only the main menu's list: the key is lost.
    Frame(SingleRaceSetup, kSetup, kDown);
    EXPECT_TRUE(HasFocus(focus, BtnSingleRace));
    // The next frame focuses the set-up's top button and then moves.
    EXPECT_EQ(Frame(SingleRaceSetup, kSetup, kDown), (uint32_t)kPlayRollover);
    EXPECT_TRUE(HasFocus(focus, BtnGameMode));
    // Up from the top wraps to Back, below the rows.
    Frame(SingleRaceSetup, kSetup, kUp);
    Frame(SingleRaceSetup, kSetup, kUp);
    EXPECT_TRUE(HasFocus(focus, BtnBack));
    // A screen drawn without the focused button (the laps row became the
    // time limit) puts the focus back on top, and the key still acts.
    Frame(SingleRaceSetup, kSetup, kUp);
    EXPECT_TRUE(HasFocus(focus, BtnLaps));
    std::vector<int32_t> tag = kSetup;
    tag[6] = BtnTimeLimit;
    Frame(SingleRaceSetup, tag);
    Frame(SingleRaceSetup, tag, kEnter);
    EXPECT_TRUE(HasFocus(focus, BtnRace) && focus.press);
    // Without the keys, a new screen shows no focus.
    Frame(SingleRaceSetup, tag, kMouse);
    Frame(MainMenu, kMain);
    Frame(MainMenu, kMain);
    EXPECT_FALSE(focus.active);
    // A screen that draws no button (the race's first seconds of results)
    // takes no key.
    Frame(RaceResults, {}, kDown);
    Frame(RaceResults, {}, kDown);
    EXPECT_FALSE(focus.active);
}

TEST_F(MenuFocusTest, AKeyButtonWaitingForAKeyTakesEveryKey)
{
    const std::vector<int32_t> controls = {BtnCtrlPlayer, BtnAccelerate, BtnBrake, BtnSteering,
                                           BtnLeft,       BtnRight,      BtnCamera, BtnBack};
    Frame(ControllerOptions, controls);
    Frame(ControllerOptions, controls, kDown);
    Frame(ControllerOptions, controls, kDown);
    EXPECT_TRUE(HasFocus(focus, BtnAccelerate));
    focus.binding = 1;  // Enter pressed it (game/options.cpp)
    EXPECT_EQ(Frame(ControllerOptions, controls, kDown), kSoundNone);
    Frame(ControllerOptions, controls, kEnter);
    Frame(ControllerOptions, controls, kRight);
    EXPECT_TRUE(HasFocus(focus, BtnAccelerate) && !focus.press && focus.step == 0 && focus.binding);
    // The mouse ends the wait; so does leaving the screen.
    Frame(ControllerOptions, controls, kMouse);
    EXPECT_FALSE(focus.binding);
    Frame(ControllerOptions, controls, kDown);
    focus.binding = 1;
    Frame(OptionsMenu, {BtnAudio, BtnGraphics, BtnControllers, BtnBack});
    Frame(OptionsMenu, {BtnAudio, BtnGraphics, BtnControllers, BtnBack});
    EXPECT_TRUE(HasFocus(focus, BtnAudio) && !focus.binding);
}

TEST(ButtonRepeat, AHeldDirectionPressesAgainAfterAWaitThenSteadily)
{
    ButtonRepeat r = {};
    const uint32_t down = 1u << 4, right = 1u << 6;
    // Frames of 45 ms: the press itself comes from the latch, so the first
    // frame gives nothing; then the first frame past 0.4 s (0.405 s), and
    // the first past each further 0.1 s (0.54, 0.63, 0.72, 0.81 s).
    std::vector<int> frames;
    EXPECT_EQ(RepeatHeld(r, down, 0.045), 0u);
    for (int frame = 1; frame <= 19; frame++)
        if (RepeatHeld(r, down, 0.045) == down)
            frames.push_back(frame);
    EXPECT_EQ(frames, (std::vector<int>{9, 12, 14, 16, 18}));
    // Another direction added starts the wait again; so does letting go.
    EXPECT_EQ(RepeatHeld(r, down | right, 0.02), 0u);
    EXPECT_EQ(RepeatHeld(r, down | right, 0.39), 0u);
    EXPECT_EQ(RepeatHeld(r, down | right, 0.02), down | right);
    EXPECT_EQ(RepeatHeld(r, 0, 0.02), 0u);
    EXPECT_EQ(RepeatHeld(r, 0, 5.0), 0u);
    EXPECT_EQ(RepeatHeld(r, down, 0.02), 0u);
    // A stalled frame of a second gives one press, then the steady beat
    // from there, not the ten it stood for.
    EXPECT_EQ(RepeatHeld(r, down, 1.0), down);
    EXPECT_EQ(RepeatHeld(r, down, 0.06), 0u);
    EXPECT_EQ(RepeatHeld(r, down, 0.06), down);
}

TEST_F(MenuFocusTest, TheListKeepsEachButtonOnceAndNothingOutOfRange)
{
    Frame(MainMenu, {});
    for (int round = 0; round < 3; round++)
        for (int32_t id = -2; id < kButtonCount + 2; id++)
            NoteButtonShown(focus, id);
    EXPECT_EQ(focus.drawnCount, kButtonCount);
    for (int i = 0; i < kButtonCount; i++)
        EXPECT_EQ(focus.drawn[i], i);
    Frame(MainMenu, {});
    EXPECT_EQ(focus.shownCount, kButtonCount);
    EXPECT_EQ(focus.drawnCount, 0);
}

}  // namespace
