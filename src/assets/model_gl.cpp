// The OpenGL half of a model: material textures, one display list, release.
// The geometry is read once per run; textures and the list belong to the
// rendering context and are made again after every window rebuild.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>

#include "app/clock.h"
#include "app/log.h"
#include "assets/model3ds.h"

void Model::Load(const char* path, const char* textureDir)
{
    if (firstStart || !geometryRead) {
        FreeModelGeometry(*this);
        if (!ReadModelFile(*this, path)) {
            LogMessage("ERROR (not found): %s", path);
            ExitProgram();
        }
        geometryRead = true;
        LogMessage("Loading model: %s", path);
    }
    const bool loadTextures = strcmp(textureDir, "NO_LOAD") != 0;
    for (int32_t i = 0; i < materialCount; i++) {
        Material& material = materials[(size_t)i];
        textureSlots[i] = 0;
        if (loadTextures && material.textureFile[0]) {
            char texturePath[256];
            snprintf(texturePath, sizeof texturePath, "%s%s", textureDir, material.textureFile);
            LoadTexture(texturePath, &textureSlots[i]);
        }
        material.textureSlot = i;
    }
}

void Model::BuildDisplayList(bool useColour, bool useTexture)
{
    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);
    Draw(useColour, useTexture, textureSlots);
    glEndList();
}

// With colours on, an object of the material named "paint" sets no colour
// of its own: placed before the others it takes the colour current when
// the list is called (a car's paint, its wheels' rims).  The list leaves
// the colour of its last coloured object current.
void Model::Draw(bool useColour, bool useTexture, const Texture* slots) const
{
    glPushMatrix();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);  // 3DS z up -> our y up
    for (const MeshObject& object : objects) {
        const Material* material = object.materialIndex < materialCount ? &materials[(size_t)object.materialIndex]
                                                                         : nullptr;
        if (object.hasTexture) {
            if (useColour)
                glColor3ub(255, 255, 255);
            if (useTexture) {
                glEnable(GL_TEXTURE_2D);
                glBindTexture(GL_TEXTURE_2D, slots[object.materialIndex]);
            }
        } else if (useTexture) {
            glDisable(GL_TEXTURE_2D);
        }
        const bool texCoords = object.hasTexture && object.texCoordCount > 0;
        const bool paint = material && strcmp(material->name, "paint") == 0;
        glBegin(GL_TRIANGLES);
        for (const MeshFace& face : object.faces) {
            for (int k = 0; k < 3; k++) {
                const int i = face.v[k];
                glNormal3fv(&object.normals[3 * (size_t)i]);
                if (texCoords) {
                    // Vertices beyond the coordinate list take the corner of the texture.
                    if (i < object.texCoordCount)
                        glTexCoord2fv(&object.texCoords[2 * (size_t)i]);
                    else
                        glTexCoord2f(0.0f, 0.0f);
                } else if (!object.hasTexture && useColour && material && !paint) {
                    glColor3ubv(material->colour);
                }
                glVertex3fv(&object.vertices[3 * (size_t)i]);
            }
        }
        glEnd();
    }
    glPopMatrix();
    if (useTexture)
        glDisable(GL_TEXTURE_2D);
}

void Model::CallDisplayList() const
{
    glCallList(displayList);
}

void Model::Release()
{
    if (finalShutdown) {
        if (displayList && glIsList(displayList))
            glDeleteLists(displayList, 1);
        FreeModelGeometry(*this);
    }
    displayList = 0;
    for (int32_t i = 0; i < kMaxMaterials; i++)
        DeleteTexture(&textureSlots[i]);
}
