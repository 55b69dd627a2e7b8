// Fixed OpenGL state and the flat projection used by everything drawn in
// window fractions (menus, text, HUD, splash).
#pragma once

// The drawing state every other routine relies on; once per window.
void InitGlState();

// Viewport over the whole window, projection glOrtho(0, w, 0, h, -1, 1),
// identity model-view, depth test off.
void SetOrtho2D(float w, float h);

// An untextured quad from (x0, y0) to (x1, y1) in the current projection;
// colour and blending as the caller set them.
void FlatQuad(float x0, float y0, float x1, float y1);

// Whether the renderer's extension list names `name` (a whole entry).
bool HasExtension(const char* name);
