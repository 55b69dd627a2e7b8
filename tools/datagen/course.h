// Checkpoint courses: a smooth closed driving line through a table of
// control points, gates placed along it, and the course file's text.  Gate
// positions here are world units; the file holds map units (world / 1.25).
#pragma once

#include <string>
#include <vector>

struct Point2 {
  float x, z;  // world units
};

struct CourseGate {
  float x, z;       // centre, world units
  float angle;      // degrees; the posts stand along (cos A, 0, -sin A)
  float halfWidth;  // world units; exactly 0.5 marks a hidden waypoint
};

const float kMapScale = 1.25f;   // world units per map unit
const float kHiddenWidth = 0.5f;  // the file value of a hidden waypoint
const float kHiddenPosts = 3.0f;  // its half-width in the game

// A closed centripetal Catmull-Rom curve through `controls`, sampled
// `perSegment` times between neighbouring control points; the first
// sample is the first control point.
std::vector<Point2> SmoothLoop(const std::vector<Point2>& controls, int perSegment);

// Resamples a closed polyline at equal arc steps of about `step` units.
std::vector<Point2> Resample(const std::vector<Point2>& loop, float step);
float LoopLength(const std::vector<Point2>& loop);

struct GateRules {
  float firstDistance;  // arc distance from the loop's start to gate 0
  float spacing;        // wanted arc distance between visible gates
  float halfWidth;      // of visible gates
  float firstHalfWidth; // of gate 0 (the start line)
  float bendLimit;      // a waypoint goes in where the line strays this far from a chord
};

// Gates along a closed line (resampled finely): evenly spaced visible gates,
// each shifted along the line where needed so that its posts do not stand
// almost along z; a hidden waypoint halfway between two gates where the line
// bends away from the straight path between them.
std::vector<CourseGate> PlaceGates(const std::vector<Point2>& line, const GateRules& rules);

// The posts as the game places them (half-width 3 for hidden waypoints).
Point2 LeftPost(const CourseGate& g);
Point2 RightPost(const CourseGate& g);
float GameHalfWidth(const CourseGate& g);

// The course file: one gate per line, "X Z A W" in map units.
std::string FormatCourse(const std::vector<CourseGate>& gates);
// Reads a course file's text four numbers at a time (at most 99 gates) and
// scales x and z to world units; a group cut short is dropped.  False when
// something other than a number appears.
bool ParseCourse(const std::string& text, std::vector<CourseGate>* gates);

// Whether two segments a-b and c-d cross or touch.
bool SegmentsMeet(Point2 a, Point2 b, Point2 c, Point2 d);
// Distance from p to the segment a-b.
float SegmentDistance(Point2 p, Point2 a, Point2 b);
