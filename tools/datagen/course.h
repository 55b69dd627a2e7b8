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
  float spacing;        // usual arc distance between gates on open stretches
  float halfWidth;      // of visible gates
  float firstHalfWidth; // of gate 0 (the start line)
  float bendLimit;      // a waypoint goes in where the line strays this far from a chord
  // No gate but gate 0 has its centre in this rectangle (the start grid).
  float keepOutX0, keepOutZ0, keepOutX1, keepOutZ1;
};

// Gates along a closed line (resampled finely), gate 0 at `firstDistance`,
// chosen together: steps of 5 to spacing + 1 units, as near `spacing` as the
// line allows while it keeps within `bendLimit` of the straight path from
// gate to gate, and no gate with its posts almost along z.  A gate closer
// than 8 units to the one before where the way turns by 55 degrees or more
// becomes a hidden waypoint.  No gate but
// gate 0 stands in the keep-out rectangle; the last step, onto gate 0, may
// be up to twice the usual length to get past it.
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
