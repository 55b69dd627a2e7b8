// Fixed OpenGL state and the flat projection used by everything drawn in
// window fractions (menus, text, HUD, splash).
#pragma once

// The drawing state every other routine relies on; once per window.
void InitGlState();

// Viewport over the whole window, projection glOrtho(0, w, 0, h, -1, 1),
// identity model-view, depth test off.
void SetOrtho2D(float w, float h);

// Whether the renderer's extension list names `name` (a whole entry).
bool HasExtension(const char* name);
