// quibbit-datagen <data-dir>: writes every picture, font, track, model and
// sound the game loads, the same bytes on every run.
#include <cstdio>
#include <string>

#include "datagen.h"
#include "raster.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quibbit-datagen <data-dir>\n");
    return 2;
  }
  std::string root = argv[1];
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  for (const char* folder : {"", "/bg", "/menu", "/textures", "/fonts", "/models", "/music",
                             "/seffects", "/screenshots", "/replays", "/tracks/terrains", "/tracks/textures",
                             "/tracks/checkpoints"}) {
    MakeFolder(root + folder);
  }
  GenerateMenuPictures(root);
  GenerateTextures(root);
  GenerateFonts(root);
  GenerateTracks(root);
  GenerateModels(root);
  GenerateSounds(root);
  return 0;
}
