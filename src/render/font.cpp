#include "render/font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/config.h"
#include "render/gl_util.h"

Font gMainFont;
Font gKeyFont;

void LoadFont(Font& font, const char* path, float spacing)
{
    font.spacing = spacing;
    LoadTexture(path, &font.texture);
}

void FreeFont(Font& font)
{
    DeleteTexture(&font.texture);
}

// One pass over the text: glyph quads one advance apart from (x, y).
static void DrawGlyphs(const char* text, int set, float x, float y, float size, float advance)
{
    const float halfWidth = size / 1.2f;
    glPushMatrix();
    glTranslatef(x, y + 0.002f, 0.0f);
    glBegin(GL_QUADS);
    float pen = 0.0f;
    for (const char* p = text; *p; p++) {
        pen += advance;
        int row, column;
        GlyphCell(*p, set, &row, &column);
        const float s0 = column / 16.0f, s1 = (column + 1) / 16.0f;
        const float t0 = 1.0f - row / 16.0f, t1 = 1.0f - (row + 1) / 16.0f;
        glTexCoord2f(s0, t0);
        glVertex2f(pen - halfWidth, size);
        glTexCoord2f(s0, t1);
        glVertex2f(pen - halfWidth, -size);
        glTexCoord2f(s1, t1);
        glVertex2f(pen + halfWidth, -size);
        glTexCoord2f(s1, t0);
        glVertex2f(pen + halfWidth, size);
    }
    glEnd();
    glPopMatrix();
}

void PrintText(const Font& font, float x, float y, float red, float green, float blue,
               int align, int set, float size, const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const float advance = size * font.spacing;
    x = TextPenStart(x, (int)strlen(text), align, advance);
    SetOrtho2D(1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glEnable(GL_BLEND);
    // Mask: darken the screen under each glyph by its brightness.
    glColor3f(1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    DrawGlyphs(text, set, x, y, size, advance);
    // Colour: add the glyph tinted by the text colour.
    glColor3f(red, green, blue);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawGlyphs(text, set, x, y, size, advance);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void PrintTextOutlined(const Font& font, float x, float y, float red, float green, float blue,
                       int align, int set, float size, const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const float advance = size * font.spacing;
    x = TextPenStart(x, (int)strlen(text), align, advance);
    // The outline is the mask pass repeated around the glyph, about a tenth
    // of the character's height and never under one pixel.
    const float height = gConfig.height > 0 ? (float)gConfig.height : 600.0f;
    const float width = gConfig.width > 0 ? (float)gConfig.width : 800.0f;
    float pixels = size * height * 0.12f;
    if (pixels < 1.0f)
        pixels = 1.0f;
    const float dx = pixels / width, dy = pixels / height;
    static const float kRing[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    SetOrtho2D(1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glEnable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    for (const float* o : kRing)
        DrawGlyphs(text, set, x + o[0] * dx, y + o[1] * dy, size, advance);
    // A drop shadow one more step down and right deepens the lower edge.
    DrawGlyphs(text, set, x + 2.0f * dx, y - 2.0f * dy, size, advance);
    DrawGlyphs(text, set, x, y, size, advance);
    glColor3f(red, green, blue);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawGlyphs(text, set, x, y, size, advance);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

float TextWidth(const Font& font, int length, float size)
{
    if (length <= 0)
        return 0.0f;
    return (float)(length - 1) * size * font.spacing + 2.0f * size / 1.2f;
}
