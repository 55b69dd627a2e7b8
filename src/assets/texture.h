// Textures: OpenGL texture names made from TGA files.  A texture belongs to
// the object that loaded it, which deletes it; there is no cache.
#pragma once

#include <cstdint>

#include "assets/tga.h"

typedef uint32_t Texture;  // an OpenGL texture name; 0 = none

// Reads the TGA file `path` (relative to the executable's directory) and
// makes a mipmapped RGB texture of it by Config::texturefilter.  A missing
// or unusable file ends the program ("ERROR (not found): %s",
// "ERROR (bad file): %s").  Needs a current rendering context.
void LoadTexture(const char* path, Texture* texture);

// The texture LoadTexture makes of an image already read; with keepAlpha a
// 32-bit image keeps its alpha channel (RGBA inside).  Returns whether the
// texture has alpha.
bool MakeTexture(const TgaImage& image, bool keepAlpha, Texture* texture);

// For a texture drawn no smaller than its texels (the sky) or too smooth to
// shimmer (dust, light spot, static shadow): plain bilinear filtering,
// which the software renderer draws faster than mipmapped filtering for the
// same look.  Only when Config::texturefilter asks for mipmaps (2).
void UseBilinearFilter(Texture texture);

// Deletes one texture (0 is ignored) and sets the variable to 0.
void DeleteTexture(Texture* texture);
