// The data generator's parts: each writes one kind of asset under `root`
// (the data folder, ending without "/").
#pragma once

#include <string>

void GenerateMenuPictures(const std::string& root);  // buttons, background, logo, pointer
void GenerateTextures(const std::string& root);      // medal, decals, dust, sky
void GenerateFonts(const std::string& root);         // glyph sheet and key sheet
void GenerateTracks(const std::string& root);        // heightmaps, textures, courses
void GenerateModels(const std::string& root);        // 3DS models
void GenerateSounds(const std::string& root);        // music and effects
