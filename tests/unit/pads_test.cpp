// Pads without a window: numbers handed out as devices come and go (plug,
// unplug, another port, identical models, a fifth pad), the waiting race,
// the set-up screen's start button, the controller screen's device step,
// and a pad driving a car.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/menu_logic.h"
#include "input/pads.h"
#include "race_world.h"
#include "test_util.h"

namespace {

struct Guid { uint8_t bytes[16]; };
const Guid kXbox = {{1}}, kOther = {{2}}, kThird = {{3}};  // three models

class PadsTest : public ::testing::Test {
    void SetUp() override { InitPads(), SetDefaultPrefs(), gGame.demo = 0, gNet.role = kRoleNone; }
};

TEST_F(PadsTest, NumbersAcrossPlugUnplugAndAnotherPort)
{
    // Each row: device id, model, added (true) or removed, expected number.  The
    // same device twice gets no new number; a pad pulled out twice or never seen
    // is unknown; a new model keeps off a pulled-out pad's number, the same model
    // (another port, a new id) gets it back; a fifth pad gets none.
    const struct { int32_t id; const Guid* model; bool add; int pad; } steps[] = {
        {10, &kXbox, true, 0}, {11, &kOther, true, 1}, {10, &kXbox, true, 0}, {10, nullptr, false, 0},
        {10, nullptr, false, -1}, {12, &kThird, true, 2}, {13, &kXbox, true, 0}, {11, nullptr, false, 1},
        {14, &kXbox, true, 3}, {15, &kOther, true, 1}, {16, &kOther, true, -1}, {99, nullptr, false, -1}};
    for (const auto& s : steps) {
        const int pad = s.add ? OnPadAdded(s.id, s.model->bytes, "Pad") : OnPadRemoved(s.id);
        EXPECT_EQ(pad, s.pad) << "device " << s.id << (s.add ? " added" : " removed");
    }
    EXPECT_EQ(ConnectedPads(), 0xFu);
}

TEST_F(PadsTest, TwoIdenticalPadsKeepTheirOwnNumbersAndInput)
{
    EXPECT_EQ(OnPadAdded(20, kXbox.bytes, "Xbox 360 Controller") + OnPadAdded(21, kXbox.bytes, "Xbox 360 Controller"), 1);
    OnPadAxis(21, kPadSteerAxis, 32767);
    EXPECT_EQ(gPads.slot[0].steer, 0.0f);  // only the pad that moved
    EXPECT_EQ(OnPadRemoved(21), 1);
    EXPECT_EQ(gPads.slot[1].steer, 0.0f);  // released on the way out
    char label[64];
    PadLabel(3, label, sizeof label);
    EXPECT_STREQ(label, "Pad 4: not connected");
    PadLabel(0, label, 12);
    EXPECT_STREQ(label, "Pad 1: Xbox");
}

TEST_F(PadsTest, AxesButtonsAndDeadZone)
{
    EXPECT_FLOAT_EQ(PadDeadZone(0.2f) + PadDeadZone(-0.6f) + PadDeadZone(-3.0f), -1.5f);  // 0, -0.5, -1

    ASSERT_EQ(OnPadAdded(5, kXbox.bytes, "Pad"), 0);
    gPrefs.gamepadsteering = 1;  // player 2 on Pad 1
    PadDrive d;
    OnPadAxis(5, kPadSteerAxis, -32768);
    OnPadAxis(5, kPadThrottleAxis, 16384);
    OnPadAxis(6, kPadBrakeAxis, 32767);  // another device: ignored
    ASSERT_TRUE(ReadPadDrive(1, &d));
    EXPECT_TRUE(d.steer == -1.0f && fabsf(d.pedal + 0.5f) < 1e-4f && d.left && d.accelerate && !d.right && !d.brake);
    OnPadAxis(5, kPadThrottleAxis, 1000);  // inside the trigger's dead zone
    OnPadButton(5, kPadBrakeButton, true);
    ReadPadDrive(1, &d);
    EXPECT_TRUE(d.pedal == 1.0f && d.brake && !d.accelerate);
    OnPadButton(5, kPadThrottleButton, true);  // both held: they cancel
    EXPECT_TRUE(ReadPadDrive(1, &d) && d.pedal == 0.0f);
    gPrefs.mousesteering = 1;  // the mouse comes first
    EXPECT_FALSE(ReadPadDrive(1, &d));
}

TEST_F(PadsTest, RaceWaitsForAnUnpluggedPadOfAPlayer)
{
    ScratchAppDir dir;
    gPrefs.nplayers = 2;
    gPrefs.mousesteering = kNoDevicePlayer;
    gPrefs.padsteering[0] = 1;  // player 2 on Pad 2
    OnPadAdded(30, kXbox.bytes, "A");
    OnPadAdded(31, kXbox.bytes, "B");
    EXPECT_FALSE(RaceWaitsForPad());
    OnPadButton(31, kPadThrottleButton, true);
    OnPadRemoved(31);
    EXPECT_TRUE(PlayerMissingPad() == 1 && RaceWaitsForPad());
    PadDrive d;
    EXPECT_TRUE(ReadPadDrive(1, &d) && !d.accelerate);  // the held button went with the pad
    gNet.role = kRoleHost;       // a network race never waits
    EXPECT_EQ(PlayerMissingPad(), -1);
    gNet.role = kRoleNone;
    EXPECT_EQ(OnPadAdded(32, kXbox.bytes, "B"), 1);  // plugged in again
    EXPECT_FALSE(RaceWaitsForPad());
    const std::string log = dir.Read("log.txt");  // the pause logged once
    EXPECT_NE(log.find("Race paused: player 2 has no pad\nRace resumed: player 2 has a pad"), std::string::npos) << log;
}

TEST_F(PadsTest, StartButtonClaimsTheNextPlayer)
{
    ScratchAppDir dir;
    gPrefs.nplayers = 1;
    gPrefs.nopponents = 4;
    gPrefs.mousesteering = 1;  // player 2 had the mouse
    OnPadAdded(40, kXbox.bytes, "A");
    OnPadAdded(41, kOther.bytes, "B");
    OnPadButton(41, kPadStartButton, true);
    EXPECT_TRUE(ClaimPlayersByStart());
    EXPECT_TRUE(gPrefs.nplayers == 2 && gPrefs.nopponents == 3 && PlayerPad(gPrefs, 1) == 1);
    EXPECT_EQ(gPrefs.mousesteering, kNoDevicePlayer);
    EXPECT_FALSE(ClaimPlayersByStart());  // the press is used up
    OnPadButton(40, kPadStartButton, true);
    EndPadFrame();                        // a press of an earlier frame
    EXPECT_FALSE(ClaimPlayersByStart());
    EXPECT_EQ(ClaimNextPlayer(gPrefs, 0), 2);
    EXPECT_EQ(ClaimNextPlayer(gPrefs, 2), 3);
    EXPECT_EQ(ClaimNextPlayer(gPrefs, 3), -1);  // four play
    EXPECT_NE(dir.Read("log.txt").find("Pad 2 joins as player 2"), std::string::npos);
}

TEST_F(PadsTest, DeviceStepOffersConnectedPads)
{
    Prefs p = gPrefs;
    p.mousesteering = 0;
    p.gamepadsteering = 2;  // player 3 holds Pad 1
    const uint32_t pads1and3 = 0x5;
    std::string seen;
    for (int i = 0; i < 6; i++) {
        StepDevice(p, 1, pads1and3);  // Keyboard -> the mouse, taken from player 1 -> ...
        seen += std::string(DeviceName(PlayerDevice(p, 1))) + " " + std::to_string(PlayerPad(p, 1)) + "/";
    }
    EXPECT_EQ(seen, "Keyboard & Mouse -1/Gamepad 0/Gamepad 2/Wheel -1/Keyboard -1/Keyboard & Mouse -1/");
    EXPECT_EQ(PlayerDevice(p, 0), kDeviceKeyboard);
    EXPECT_EQ(PlayerPad(p, 2), -1);  // Pad 1 taken from player 3
    AssignPad(p, 3, 1);  // a pad held though not connected stays offered
    StepDevice(p, 1, 0);
    EXPECT_EQ(PlayerDevice(p, 1), kDeviceWheel);
    EXPECT_EQ(p.padsteering[2], kNoDevicePlayer);
}

TEST_F(PadsTest, PadDrivesTheCarLikeAWheel)
{
    ResetRaceWorld(1);
    gStandings.countdown = 0.0f;
    InitPads();
    PlaceCar(0, 0.0f, 0.0f);
    gPrefs.mousesteering = kNoDevicePlayer;
    gPrefs.padsteering[1] = 0;  // Pad 3
    Car& car = gCars[0];
    ASSERT_EQ(OnPadAdded(1, kXbox.bytes, "A"), 0);
    ASSERT_EQ(OnPadAdded(2, kXbox.bytes, "B"), 1);
    ASSERT_EQ(OnPadAdded(3, kXbox.bytes, "C"), 2);
    OnPadAxis(1, kPadThrottleAxis, 32767);  // another player's pad
    OnPadAxis(3, kPadSteerAxis, 19660);     // 0.6: half way past the dead zone
    OnPadAxis(3, kPadThrottleAxis, 16384);  // about half throttle
    WriteLocalControls();
    UpdateCar(car);
    EXPECT_NEAR(car.steer, (-0.5f * car.maxSteer) * 25.0f * 0.002f, 1e-4);
    const float pedal = 16384.0f / 32767.0f;
    EXPECT_NEAR(car.wheelSpeed, pedal * car.driveAccel * 0.002f, 1e-5);
}

TEST_F(PadsTest, MenuButtonsLatchForOneFrameOnConnectedPads)
{
    OnPadAdded(30, kXbox.bytes, "Pad");
    OnPadAdded(31, kOther.bytes, "Pad");
    // A press and release between two frames still counts; only the
    // pressing pad's bit is set, and Start is not a menu button.
    OnPadButton(31, kPadDownButton, true);
    OnPadButton(31, kPadDownButton, false);
    OnPadButton(30, kPadStartButton, true);
    EXPECT_TRUE(AnyPadPressed(kPadDownButton));
    EXPECT_FALSE(AnyPadPressed(kPadUpButton));
    EXPECT_EQ(gPads.slot[0].menuPressed, 0);
    EXPECT_EQ(gPads.slot[1].menuPressed, 1u << kPadDownButton);
    EXPECT_TRUE(AnyPadPressed(kPadStartButton));
    // The throttle and back buttons drive as well as latching.
    OnPadButton(30, kPadThrottleButton, true);
    OnPadButton(30, kPadBackButton, true);
    EXPECT_TRUE(gPads.slot[0].throttleButton && AnyPadPressed(kPadThrottleButton) && AnyPadPressed(kPadBackButton));
    EndPadFrame();
    for (int b = kPadThrottleButton; b <= kPadBackButton; b++)
        EXPECT_FALSE(AnyPadPressed((PadButton)b)) << b;
    EXPECT_TRUE(gPads.slot[0].throttleButton);  // held buttons stay held
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadThrottleButton | 1u << kPadBackButton);
    OnPadButton(30, kPadBackButton, false);
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadThrottleButton);
    // A pad pulled out in the frame of its press presses nothing; an
    // unknown device or button number latches nothing.
    OnPadButton(31, kPadLeftButton, true);
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadThrottleButton | 1u << kPadLeftButton);
    OnPadRemoved(31);
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadThrottleButton);  // let go on the way out
    OnPadButton(99, kPadRightButton, true);
    OnPadButton(30, (PadButton)12, true);
    for (int b = kPadThrottleButton; b <= kPadBackButton; b++)
        EXPECT_FALSE(AnyPadPressed((PadButton)b)) << b;
    EXPECT_EQ(gPads.slot[0].menuPressed, 0);
}

TEST_F(PadsTest, HatDirectionsAreTheDpadButtons)
{
    OnPadAdded(50, kOther.bytes, "Wheel");
    OnPadHat(50, kPadHatUp);
    EXPECT_TRUE(AnyPadPressed(kPadUpButton));
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadUpButton);
    EndPadFrame();
    // Up held into a diagonal: only right goes down, up stays held.
    OnPadHat(50, kPadHatUp | kPadHatRight);
    EXPECT_EQ(gPads.slot[0].menuPressed, 1u << kPadRightButton);
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadUpButton | 1u << kPadRightButton);
    EndPadFrame();
    // Straight across to the opposite diagonal: both new ways go down.
    OnPadHat(50, kPadHatDown | kPadHatLeft);
    EXPECT_EQ(gPads.slot[0].menuPressed, 1u << kPadDownButton | 1u << kPadLeftButton);
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadDownButton | 1u << kPadLeftButton);
    EndPadFrame();
    // The same value again presses nothing; stray high bits are dropped.
    OnPadHat(50, 0xF0 | kPadHatDown | kPadHatLeft);
    EXPECT_EQ(gPads.slot[0].menuPressed, 0);
    OnPadHat(50, 0);
    EXPECT_EQ(PadButtonsHeld(), 0u);
    // Centred on the way out: a pad plugged in again starts with its hat centred.
    OnPadHat(50, kPadHatLeft);
    OnPadRemoved(50);
    OnPadAdded(51, kOther.bytes, "Wheel");
    EndPadFrame();
    OnPadHat(51, kPadHatLeft);
    EXPECT_TRUE(AnyPadPressed(kPadLeftButton));
    OnPadHat(99, kPadHatUp);  // an unknown device
    EXPECT_FALSE(AnyPadPressed(kPadUpButton));
}

TEST_F(PadsTest, TakenPressIsGoneForTheRestOfTheFrame)
{
    OnPadAdded(60, kXbox.bytes, "A");
    OnPadAdded(61, kXbox.bytes, "B");
    OnPadButton(60, kPadBackButton, true);
    OnPadButton(61, kPadBackButton, true);
    OnPadButton(61, kPadDownButton, true);
    OnPadButton(60, kPadStartButton, true);
    TakePadPress(kPadBackButton);
    TakePadPress(kPadStartButton);  // Start is not a menu latch: untouched
    EXPECT_FALSE(AnyPadPressed(kPadBackButton));
    EXPECT_TRUE(AnyPadPressed(kPadDownButton));
    EXPECT_TRUE(AnyPadPressed(kPadStartButton));
    EXPECT_EQ(PadButtonsHeld(), 1u << kPadBackButton | 1u << kPadDownButton);  // still held
    TakePadPress((PadButton)9);  // out of range: nothing
    EXPECT_TRUE(AnyPadPressed(kPadDownButton));
}

}  // namespace
