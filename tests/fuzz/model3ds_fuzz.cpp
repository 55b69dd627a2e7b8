// 3DS model files from arbitrary bytes, with the promises the drawing code
// relies on: every face names vertices that exist, every list is as long as
// its count, names are ended, normals are unit or zero.
#include <cmath>
#include <cstring>

#include "assets/model3ds.h"
#include "fuzz_targets.h"

static bool Ended(const char* text, size_t size)
{
    return memchr(text, 0, size) != nullptr;
}

static void CheckObject(const Model& model, const MeshObject& object)
{
    if (object.vertexCount < 0 || object.faceCount < 0 || object.texCoordCount < 0)
        FuzzFail("negative count");
    if (object.vertices.size() != 3 * (size_t)object.vertexCount ||
        object.normals.size() != 3 * (size_t)object.vertexCount ||
        object.texCoords.size() != 2 * (size_t)object.texCoordCount ||
        object.faces.size() != (size_t)object.faceCount)
        FuzzFail("list length differs from its count");
    for (const MeshFace& face : object.faces)
        for (uint16_t v : face.v)
            if (v >= object.vertexCount)
                FuzzFail("face names a missing vertex");
    if (object.materialIndex < 0 || object.materialIndex >= kMaxMaterials ||
        (model.materialCount > 0 && object.materialIndex >= model.materialCount))
        FuzzFail("material index");
    if (object.hasTexture && object.materialIndex >= model.materialCount)
        FuzzFail("textured object without its material");
    if (!Ended(object.name, sizeof object.name))
        FuzzFail("object name not ended");
    for (int32_t i = 0; i < object.vertexCount; i++) {
        const float* n = &object.normals[3 * (size_t)i];
        if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2]))
            FuzzFail("normal not finite");
        const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length != 0.0f && fabsf(length - 1.0f) > 1e-3f)
            FuzzFail("normal neither unit nor zero");
    }
}

int FuzzModel3ds(const uint8_t* data, size_t size)
{
    Model model;
    if (!ParseModel(model, data, size)) {
        if (!model.objects.empty() || !model.materials.empty())
            FuzzFail("a refused file left geometry behind");
        return 0;
    }
    if (model.objectCount != (int32_t)model.objects.size() || model.materialCount != (int32_t)model.materials.size())
        FuzzFail("object or material count");
    if (model.materialCount > kMaxMaterials)
        FuzzFail("more than 99 materials");
    for (const Material& material : model.materials)
        if (!Ended(material.name, sizeof material.name) || !Ended(material.textureFile, sizeof material.textureFile))
            FuzzFail("material name not ended");
    for (const MeshObject& object : model.objects)
        CheckObject(model, object);
    FreeModelGeometry(model);
    return 0;
}
