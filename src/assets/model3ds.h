// 3D Studio mesh files (".3ds"): the chunk reader, materials, mesh objects
// and vertex normals (plain code, model3ds.cpp), and the model's OpenGL half
// (material textures and one display list, model_gl.cpp).
//
// The reader never reads outside the file and never loops forever, whatever
// the file holds: a chunk longer than its parent or the file is cut at the
// parent's end, a chunk shorter than its own header ends its parent, counts
// are cut to the data present, names to 254 characters, the material list
// to 99 entries and the nesting to kMaxChunkDepth levels; faces that name a
// vertex beyond the object's vertices are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/texture.h"

static const int kMaxMaterials = 99;      // texture slots of a model
static const int kModelNameSize = 255;    // 254 characters and the terminator
static const int kMaxChunkDepth = 32;     // deeper chunks are passed over
static const size_t kMaxModelFileSize = 64u << 20;  // bytes read of a model file at most

// Chunk ids understood by the reader (the published 3DS names).
enum ChunkId : uint16_t {
    kChunkColorF = 0x0010,      // COLOR_F: three floats 0..1
    kChunkColor24 = 0x0011,     // COLOR_24: red, green, blue bytes
    kChunkVersion = 0x0002,     // M3D_VERSION
    kChunkMain = 0x4D4D,        // M3DMAGIC
    kChunkEditor = 0x3D3D,      // MDATA
    kChunkMeshVersion = 0x3D3E, // MESH_VERSION
    kChunkObject = 0x4000,      // NAMED_OBJECT
    kChunkTriMesh = 0x4100,     // N_TRI_OBJECT
    kChunkPoints = 0x4110,      // POINT_ARRAY
    kChunkFaces = 0x4120,       // FACE_ARRAY
    kChunkFaceMaterial = 0x4130,// MSH_MAT_GROUP
    kChunkTexVerts = 0x4140,    // TEX_VERTS
    kChunkMatName = 0xA000,     // MAT_NAME
    kChunkMatDiffuse = 0xA020,  // MAT_DIFFUSE
    kChunkMatTexMap = 0xA200,   // MAT_TEXMAP
    kChunkMatMapName = 0xA300,  // MAT_MAPNAME
    kChunkMaterial = 0xAFFF,    // MAT_ENTRY
    kChunkKeyframes = 0xB000,   // KFDATA
};

// One chunk as the reader walks it: the whole chunk, header included.
struct Chunk {
    uint16_t id;
    uint32_t length;     // as the file gives it
    uint32_t bytesRead;  // consumed so far, header included
};

struct Material {
    char name[kModelNameSize];
    char textureFile[kModelNameSize];  // "" when the material has no texture map
    uint8_t colour[3];                 // diffuse red, green, blue
    int32_t textureSlot;               // its own index, set by Model::Load
};

struct MeshFace {
    uint16_t v[3];  // corner vertex indexes, all below the object's vertexCount
};

struct MeshObject {
    int32_t vertexCount;
    int32_t faceCount;
    int32_t texCoordCount;          // may be below vertexCount
    int32_t materialIndex;          // 0 when the object names no known material
    bool hasTexture;                // its material has a texture file name
    char name[kModelNameSize];
    std::vector<float> vertices;    // x, y, z per vertex, 3DS axes (z up)
    std::vector<float> normals;     // unit normal per vertex; zero for unused vertices
    std::vector<float> texCoords;   // u, v per vertex index
    std::vector<MeshFace> faces;
};

struct Model {
    Texture textureSlots[kMaxMaterials] = {};  // one per material, 0 without a texture
    int32_t objectCount = 0;
    int32_t materialCount = 0;
    std::vector<Material> materials;      // file order, at most kMaxMaterials
    std::vector<MeshObject> objects;      // file order
    uint32_t displayList = 0;
    bool geometryRead = false;            // the file has been read (kept across window rebuilds)

    // Reads the file on the first start-up pass (or when never read), then
    // loads the material textures from `textureDir` + name ("NO_LOAD": none).
    // A missing file or one that does not begin with M3DMAGIC ends the
    // program with "ERROR (not found): %s".
    void Load(const char* path, const char* textureDir);
    // Compiles Draw into one new display list.
    void BuildDisplayList(bool useColour, bool useTexture);
    // Issues the geometry in immediate mode (only while a list is compiled).
    void Draw(bool useColour, bool useTexture, const Texture* slots) const;
    void CallDisplayList() const;
    // Deletes the textures; on the final shut-down also the list and the geometry.
    void Release();
};

// Parses a whole model file held in memory into `model` (which should be
// empty) and makes the vertex normals.  False when the data do not begin
// with an M3DMAGIC chunk header.
bool ParseModel(Model& model, const uint8_t* data, size_t size);

// Reads `path` (relative to the executable's directory, at most
// kMaxModelFileSize bytes) and parses it.  False when it cannot be opened or
// does not begin with M3DMAGIC.
bool ReadModelFile(Model& model, const char* path);

// The normal pass of one object: each used vertex gets the unit mean of the
// area-weighted normals of the faces around it; unused vertices stay zero.
void ComputeNormals(MeshObject& object);

// Frees objects and materials (the model is empty afterwards).
void FreeModelGeometry(Model& model);
