#include "assets/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/config.h"
#include "app/log.h"
#include "assets/tga.h"

bool MakeTexture(const TgaImage& image, bool keepAlpha, Texture* texture)
{
    const GLenum format = image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    GLint magFilter = GL_LINEAR, minFilter = GL_LINEAR_MIPMAP_NEAREST;
    if (gConfig.texturefilter == 0)
        magFilter = minFilter = GL_NEAREST;
    else if (gConfig.texturefilter == 1)
        magFilter = minFilter = GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    // Rows arrive packed: a 24-bit row of odd width is not a multiple of 4.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // RGB inside unless the caller draws by the image's alpha, with every
    // mipmap level; GLU rescales sides that are not powers of two.
    const bool alpha = keepAlpha && format == GL_RGBA;
    gluBuild2DMipmaps(GL_TEXTURE_2D, alpha ? GL_RGBA : GL_RGB, (GLint)image.width, (GLint)image.height, format,
                      GL_UNSIGNED_BYTE, image.pixels);
    *texture = name;
    return alpha;
}

void LoadTexture(const char* path, Texture* texture)
{
    TgaImage image;
    ReadTgaImage(path, &image);
    LogMessage("Loading texture: %s", path);
    MakeTexture(image, false, texture);
    FreeTgaImage(&image);
}

void UseBilinearFilter(Texture texture)
{
    if (texture == 0 || gConfig.texturefilter == 0 || gConfig.texturefilter == 1)
        return;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

void DeleteTexture(Texture* texture)
{
    if (*texture) {
        GLuint name = *texture;
        glDeleteTextures(1, &name);
    }
    *texture = 0;
}
