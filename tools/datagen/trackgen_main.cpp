// quibbit-trackgen: writes a new track's heightmap, texture and course
// into a data folder, made from a seed by the data generator's own track
// code, and checks it with the game's track checker.
//
//   quibbit-trackgen [--data DIR] [--force] --seed N [--style KIND] NAME
//   quibbit-trackgen --survey COUNT [--from N]   build and check COUNT seeds
//                                                 in memory; write nothing
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/appdir.h"
#include "race/track_check.h"
#include "raster.h"
#include "track.h"
#include "track_maker.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: quibbit-trackgen [--data DIR] [--force] --seed N "
               "[--style dunes|hills|canyon|lakes|meadow|quarry] NAME\n"
               "       quibbit-trackgen --survey COUNT [--from N]\n"
               "  --data DIR   the data folder, or the folder that holds data/ (default: beside the executable)\n"
               "  --force      overwrite a track of the same name\n"
               "  --survey     build and check COUNT seeds (styles by seed) without writing\n");
}

bool ParseNumber(const char* text, unsigned long high, unsigned long* out) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (*end != '\0' || value > high) return false;
  *out = value;
  return true;
}

// Letters, digits, '-' and '_': a name that is one word in every file and
// fits the game's track list.
bool NameIsUsable(const char* name) {
  const size_t length = std::strlen(name);
  if (length == 0 || length >= 60) return false;
  for (size_t k = 0; k < length; k++) {
    const char c = name[k];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
      return false;
  }
  return true;
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

int Survey(unsigned long count, unsigned long from) {
  int failures = 0;
  int tries = 0;
  for (unsigned long s = from; s < from + count; s++) {
    const bool verbose = std::getenv("QUIBBIT_TRACKGEN_VERBOSE") != nullptr;
    const uint32_t seed = static_cast<uint32_t>(s);
    const Ground ground = GroundForSeed(seed);
    const MadeTrack made = MakeTrack(seed, ground, "survey", verbose ? stderr : nullptr);
    TrackProblems problems;
    if (made.tries == 0 || !CheckBuiltTrack(made.data, &problems)) {
      failures++;
      std::printf("seed %u (%s): no plan passed the checker\n", seed, GroundName(ground));
      continue;
    }
    tries += made.tries;
  }
  std::printf("survey: %lu seeds from %lu, %d failure(s), %.2f plans per track\n", count, from, failures,
              count > (unsigned long)failures ? (double)tries / (double)(count - failures) : 0.0);
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* dataDir = nullptr;
  const char* name = nullptr;
  bool force = false, haveSeed = false;
  unsigned long seed = 0, survey = 0, from = 0;
  Ground ground = Ground::kMeadow;
  bool haveGround = false;
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (!std::strcmp(a, "--force")) {
      force = true;
    } else if (!std::strcmp(a, "--data")) {
      ok = next != nullptr;
      dataDir = next;
      i++;
    } else if (!std::strcmp(a, "--seed")) {
      ok = haveSeed = ParseNumber(next, 0xffffffffUL, &seed);
      i++;
    } else if (!std::strcmp(a, "--style")) {
      ok = haveGround = next != nullptr && ParseGround(next, &ground);
      i++;
    } else if (!std::strcmp(a, "--survey")) {
      ok = ParseNumber(next, 1000000UL, &survey) && survey > 0;
      i++;
    } else if (!std::strcmp(a, "--from")) {
      ok = ParseNumber(next, 0xffffffffUL, &from);
      i++;
    } else if (a[0] == '-' || name != nullptr) {
      ok = false;
    } else {
      name = a;
    }
    if (!ok) {
      Usage();
      return 2;
    }
  }
  if (survey > 0) return Survey(survey, from);
  if (!haveSeed || name == nullptr) {
    Usage();
    return 2;
  }
  if (!NameIsUsable(name)) {
    std::fprintf(stderr, "quibbit-trackgen: \"%s\" is not a usable track name (letters, digits, - and _)\n", name);
    return 2;
  }
  if (dataDir) {
    // The data folder itself, or the folder that holds data/.
    const std::string dir = std::string(dataDir) + (Exists(std::string(dataDir) + "/tracks") ? "/.." : "");
    SetAppDirectory(dir.c_str());
  } else
    InitAppDirectory();
  const std::string root = std::string(AppDirectory()) + "data/tracks";
  const std::string heightmap = root + "/terrains/" + name + ".tga";
  const std::string texture = root + "/textures/" + name + ".tga";
  const std::string course = root + "/checkpoints/" + name + ".txt";
  if (!force && (Exists(heightmap) || Exists(texture) || Exists(course))) {
    std::fprintf(stderr, "quibbit-trackgen: track \"%s\" exists under %s (use --force to replace it)\n", name,
                 root.c_str());
    return 2;
  }
  const uint32_t seed32 = static_cast<uint32_t>(seed);
  if (!haveGround) ground = GroundForSeed(seed32);
  const MadeTrack made = MakeTrack(seed32, ground, name);
  if (made.tries == 0) {
    std::fprintf(stderr, "quibbit-trackgen: no plan from seed %u passed the checker; try another seed\n", seed32);
    return 1;
  }
  for (const char* folder : {"/terrains", "/textures", "/checkpoints"}) MakeFolder(root + folder);
  WriteHeightmap(heightmap, made.data);
  WriteCourse(course, made.data);
  PaintTrack(texture, made.table.plan, made.data, 1024);

  TrackProblems problems;
  const bool ok = CheckTrack(name, &problems);
  for (int k = 0; k < problems.count; k++) std::printf("%s: %s\n", name, problems.text[k]);
  std::printf("quibbit-trackgen: %s track \"%s\" from seed %u: %zu gates, %.0f units round, under %s\n",
              GroundName(ground), name, seed32, made.data.gates.size(), LoopLength(made.data.line), root.c_str());
  return ok ? 0 : 1;
}
