// The cars: five records, a race uses the first RaceSetup::carCount.  Units:
// world units (the wheelbase is 1.0), seconds, degrees; y is up; heading h
// faces (-sin h, 0, -cos h), so heading 0 faces -z and positive turns left.
#pragma once

#include <cstdint>

#include "sound/sound.h"

static const int kMaxCars = 5;
// Room for the car's motion fields (position .. turnRadius) in the copy kept
// by the after-step repair; car.cpp checks that they fit.
static const int kCarMotionBytes = 384;

struct WheelPoint {
    float x, y, z;     // x, z placed from the car each step; y its own height
    float vx, vy, vz;  // only vy is used
};

struct WheelAngles {
    float spin;    // degrees about the axle
    float steer;   // degrees, front wheels only
    float camber;  // degrees
};

struct Car {
    uint32_t index;           // 0..4: also the player number
    float tagCooldown;        // seconds during which this car cannot take the tag
    uint32_t nextCheckpoint;  // next gate to pass
    uint32_t lapsDone;
    Channel squeezeChannel[3];  // where this car's three collision sounds play
    Channel tagChannel;

    // Constants, set by ResetCar.
    float bodyWidth;            // 1.25
    float suspensionStiffness;  // 0.75
    float bodyLength;           // 1.5
    float wheelRadius;          // 0.25
    float wheelCircumference;   // 0.25 * 2 pi
    float grip;                 // 0.375
    float frontAxleOffset;      // 0.5: the front axle is 2 x this ahead of the position
    float frontHalfTrack;       // 0.5
    float rearAxleOffset;       // 0.5: the body centre is this far ahead of the position
    float rearHalfTrack;        // 0.55
    float driveAccel;           // 30 wheel revolutions per second squared
    float brakeDecel;           // 50
    float steerRate;            // 180 degrees per second
    float steerReturn;          // 10 per second
    float maxWheelSpeed;        // 10 revolutions per second
    float maxSteer;             // 45 degrees
    float weight;               // 0.25

    float position[3];          // middle of the rear axle; y is the body height
    float velocity[3];          // units per second, each within -20..20
    float pitch, heading, roll; // degrees; heading within -180..180
    float angularVelocity[3];   // degrees per second about x, y (yaw), z
    float slideHeading;         // direction along which the wheels drive the car
    float slideRate;
    float suspensionPitch;      // degrees, never above 15
    float suspensionRoll;
    float suspensionPitchRate;
    float suspensionRollRate;
    float groundPitch, groundRoll;  // degrees, from the wheel heights
    WheelPoint wheelPoint[4];   // 0 front-left, 1 front-right, 2 rear-left, 3 rear-right
    WheelAngles wheelAngles[4];
    float steer;                // degrees, positive to the left
    float wheelSpeed;           // revolutions per second of the driven rear wheels
    float dustTimer[4];         // distance still to roll before the next puff
    float corner[4][3];         // body corners, world x, y, z; 0 and 1 are the front ones
    uint8_t frontOnGround, rearOnGround;
    uint8_t wheelOnGround[4];
    float stepDelta[6];         // position and velocity at the start of a step, then old - new
    float turnCircle;
    float turnRadius;
    uint8_t onOnlyGate;         // a body edge lay across the gate of a one-gate course in the last step

    // Getting unstuck (computer cars only; kept by DriveComputerCar).
    float stuckTimer;           // seconds spent within one unit of stuckFrom while driving
    float stuckFrom[2];         // x, z where the car last was a unit away from
    float stuckOrigin[2];       // x, z where the first try of the current trouble began
    float reverseTimer;         // seconds of reversing left; 0 while driving on
    int8_t reverseSteer;        // while reversing: 1 steer left, -1 right, 0 straight
    uint8_t stuckTries;         // reversals since the car last got clear, 0..3

    // The after-step repair (RepairCar).
    uint8_t hasGoodState;       // goodState holds a sound state of this race
    uint32_t repairs;           // times this race the car was put back to goodState
    uint8_t goodState[kCarMotionBytes];  // position .. turnRadius after the last sound step
};

// Per race: ResetCars puts all five back on the grid.
extern Car gCars[kMaxCars];

// What drives one car in the steps of a frame, written before the steps:
// by the input layer for people at this machine, by the network exchange
// for the peer's car, by a replay from its recording.  Computer cars do not
// use it (their driver decides inside the step).
struct CarControls {
    uint8_t accelerate, left, brake, right;  // 0 or 1; throttle and brake count from countdown 1.0
    uint8_t mouseSteering;  // 1: mouseSteer turns the wheels instead of left and right
    uint8_t wheelSteering;  // 1: a steering wheel or pad: wheelX steers (unless mouse steering), wheelY is the pedal
    float mouseSteer;       // degrees the wheels turn to the right in each step of the frame
    float wheelX;           // wheel position, -1 full left .. 1 full right
    float wheelY;           // pedal, -1 full throttle .. 1 full brake
};
// Per race: ResetCars clears all five; each frame's writers overwrite them.
extern CarControls gControls[kMaxCars];

// One simulation step of one car (state 6, countdown below 4.0).
void UpdateCar(Car& car);

// The after-step repair, called at the end of UpdateCar: a car whose state
// is unsound goes back to its state after its last sound step (twice in a
// row: back on the course, PutCarOnCourse), and `repairs` counts it; a sound
// state is kept as the new last good one.
void RepairCar(Car& car);
// Every motion value finite, the position within the world's box widened by
// a car's length (y from -bodyLength to 40), no speed above kAbsurdSpeed.
bool CarStateIsSound(const Car& car);
// Far above the step's own limit of 20 units per second.
static const float kAbsurdSpeed = 40.0f;

// True when car `index` follows its controls record (RaceSetup::human);
// false for computer cars and indexes beyond the five.
bool IsHumanCar(uint32_t index);
