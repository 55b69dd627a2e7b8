// Tracks: one table per track (its driving line and its ground), and the
// painter of its colour texture.
#pragma once

#include <string>
#include <vector>

#include "course.h"

enum class Ground { kMeadow, kDunes, kCanyon, kHills, kQuarry, kLakes };

struct TrackPlan {
  const char* name;
  Ground ground;
  std::vector<Point2> controls;  // world units; the first is the start grid's middle
  uint32_t seed;
};

struct Bump {
  float x, z, radius, height;  // hills, lakes (negative height), the quarry pit
};

// What a track is made from: the plan and, for hills, lakes and the
// quarry, the bumps and pits of its ground.
struct TrackTable {
  TrackPlan plan;
  std::vector<Bump> bumps;
};

const int kGrid = 64;            // heightmap samples per side
const float kHeightStep = 0.0125f;  // world height of one grey level

// A built track: heights on the grid (world units, index i + 64 j), the
// driving line (finely resampled), the gates, and the water level (lakes).
struct TrackData {
  std::vector<float> heights;
  std::vector<Point2> line;
  std::vector<CourseGate> gates;
  float water = -1.0f;
};

// The heights, the driving line and the gates of a table's track.
TrackData BuildTrack(const TrackTable& t);

// The track's heightmap (64 x 64 grey TGA) and course file.
void WriteHeightmap(const std::string& path, const TrackData& track);
void WriteCourse(const std::string& path, const TrackData& track);

// World position of grid sample (i, j).
inline float GridX(float i) { return i - 32.5f; }
inline float GridZ(float j) { return j - 32.5f; }

// Height at a world point, bilinear between grid samples (clamped).
float HeightAt(const TrackData& track, float x, float z);

// Paints the colour texture (size x size) from height, slope, the ground
// kind and the driving line, and writes it to `path`.
void PaintTrack(const std::string& path, const TrackPlan& plan, const TrackData& track, int size);
