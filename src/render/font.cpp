#include "render/font.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/config.h"
#include "app/log.h"
#include "render/gl_util.h"

Font gMainFont;
Font gKeyFont;

void LoadFont(Font& font, const char* path, float spacing)
{
    font.spacing = spacing;
    TgaImage image;
    ReadTgaImage(path, &image);
    LogMessage("Loading texture: %s", path);
    MeasureGlyphInk(image, font.ink);
    font.outlined = MakeTexture(image, true, &font.texture);
    FreeTgaImage(&image);
}

void MeasureGlyphInk(const TgaImage& image, float ink[256][4])
{
    const int width = (int)image.width, height = (int)image.height;
    const int bytes = (int)image.bitsPerPixel / 8;
    const int kMargin = 3;
    for (int cell = 0; cell < 256; cell++) {
        // Row 0 is the top of the sheet, the last rows of the file.
        const int column = cell % 16, row = 15 - cell / 16;
        const int x0 = column * width / 16, x1 = (column + 1) * width / 16;
        const int y0 = row * height / 16, y1 = (row + 1) * height / 16;
        int lowX = x1, lowY = y1, highX = x0 - 1, highY = y0 - 1;
        if (width < 16 || height < 16) {
            lowX = x0, lowY = y0, highX = x1 - 1, highY = y1 - 1;
        }
        for (int y = y0; y < y1; y++) {
            const uint8_t* p = image.pixels + ((size_t)y * width + x0) * bytes;
            for (int x = x0; x < x1; x++, p += bytes) {
                uint8_t any = 0;
                for (int b = 0; b < bytes; b++)
                    any |= p[b];
                if (any == 0)
                    continue;
                lowX = x < lowX ? x : lowX;
                highX = x > highX ? x : highX;
                lowY = y < lowY ? y : lowY;
                highY = y > highY ? y : highY;
            }
        }
        float* box = ink[cell];
        if (highX < lowX) {
            box[0] = box[1] = 1.0f;
            box[2] = box[3] = 0.0f;
            continue;
        }
        lowX = lowX - kMargin > x0 ? lowX - kMargin : x0;
        lowY = lowY - kMargin > y0 ? lowY - kMargin : y0;
        highX = highX + kMargin < x1 - 1 ? highX + kMargin : x1 - 1;
        highY = highY + kMargin < y1 - 1 ? highY + kMargin : y1 - 1;
        box[0] = (float)lowX / (float)width;
        box[1] = (float)lowY / (float)height;
        box[2] = (float)(highX + 1) / (float)width;
        box[3] = (float)(highY + 1) / (float)height;
    }
}

void FreeFont(Font& font)
{
    DeleteTexture(&font.texture);
}

// One pass over the text: glyph quads one advance apart from (x, y), each
// cut to its cell's inked part.
static void DrawGlyphs(const Font& font, const char* text, int set, float x, float y, float size, float advance)
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
        const float* box = font.ink[row * 16 + column];
        if (box[0] >= box[2])
            continue;
        // The cell spans 2 * halfWidth across and 2 * size up, from its
        // lower left corner at texture point (column / 16, 1 - (row + 1) / 16).
        const float s = (float)column / 16.0f, t = 1.0f - (float)(row + 1) / 16.0f;
        const float left = pen - halfWidth + (box[0] - s) * 32.0f * halfWidth;
        const float right = pen - halfWidth + (box[2] - s) * 32.0f * halfWidth;
        const float bottom = -size + (box[1] - t) * 32.0f * size;
        const float top = -size + (box[3] - t) * 32.0f * size;
        glTexCoord2f(box[0], box[3]);
        glVertex2f(left, top);
        glTexCoord2f(box[0], box[1]);
        glVertex2f(left, bottom);
        glTexCoord2f(box[2], box[1]);
        glVertex2f(right, bottom);
        glTexCoord2f(box[2], box[3]);
        glVertex2f(right, top);
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
    DrawGlyphs(font, text, set, x, y, size, advance);
    // Colour: add the glyph tinted by the text colour.
    glColor3f(red, green, blue);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawGlyphs(font, text, set, x, y, size, advance);
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
    SetOrtho2D(1, 1);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glEnable(GL_BLEND);
    if (font.outlined) {
        // The fill is the glyph's brightness times the colour, black in
        // the outline; the sheet's alpha lays both over the screen.
        glColor3f(red, green, blue);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        DrawGlyphs(font, text, set, x, y, size, advance);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        return;
    }
    // The outline is the mask pass repeated around the glyph, about a tenth
    // of the character's height and never under one pixel.
    const float height = gConfig.height > 0 ? (float)gConfig.height : 600.0f;
    const float width = gConfig.width > 0 ? (float)gConfig.width : 800.0f;
    float pixels = size * height * 0.12f;
    if (pixels < 1.0f)
        pixels = 1.0f;
    const float dx = pixels / width, dy = pixels / height;
    static const float kRing[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    glColor3f(1.0f, 1.0f, 1.0f);
    glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    for (const float* o : kRing)
        DrawGlyphs(font, text, set, x + o[0] * dx, y + o[1] * dy, size, advance);
    // A drop shadow one more step down and right deepens the lower edge.
    DrawGlyphs(font, text, set, x + 2.0f * dx, y - 2.0f * dy, size, advance);
    DrawGlyphs(font, text, set, x, y, size, advance);
    glColor3f(red, green, blue);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawGlyphs(font, text, set, x, y, size, advance);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

float TextWidth(const Font& font, int length, float size)
{
    if (length <= 0)
        return 0.0f;
    return (float)(length - 1) * size * font.spacing + 2.0f * size / 1.2f;
}
