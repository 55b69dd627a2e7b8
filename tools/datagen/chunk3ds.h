// A small writer of 3D Studio mesh files: the chunks the game's model
// loader reads, nothing else.  Every chunk is a 6-byte header (id, then the
// whole chunk's length including the header, both little-endian) followed
// by its data and its sub-chunks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Chunk3ds {
  uint16_t id = 0;
  std::vector<uint8_t> data;      // the chunk's own data, before its sub-chunks
  std::vector<Chunk3ds> children;

  void U16(uint16_t v);
  void U32(uint32_t v);
  void F32(float v);
  void Text(const std::string& s);  // with its terminating zero
  Chunk3ds& Add(uint16_t childId);  // appends an empty sub-chunk
  uint32_t Size() const;            // header + data + sub-chunks
  void Write(std::vector<uint8_t>* out) const;
};

struct MeshMaterial {
  std::string name;
  uint8_t red, green, blue;
  std::string texture;  // file name under data/textures/, or empty
};

struct MeshPart {
  std::string name;
  std::string material;        // one material for the whole object
  std::vector<float> points;   // x, y, z per vertex (3DS axes: z up)
  std::vector<float> uvs;      // u, v per vertex, or empty
  std::vector<uint16_t> faces; // three vertex indices per triangle
};

// The whole file: M3DMAGIC { M3D_VERSION 3, MDATA { MESH_VERSION 3,
// MAT_ENTRY { MAT_NAME, MAT_DIFFUSE { COLOR_24 }, [MAT_TEXMAP { MAT_MAPNAME }] }...,
// NAMED_OBJECT { name, N_TRI_OBJECT { POINT_ARRAY, [TEX_VERTS],
// FACE_ARRAY { MSH_MAT_GROUP } } }... } }.  Materials come first, because the
// loader only finds materials it has already read.
std::vector<uint8_t> Build3ds(const std::vector<MeshMaterial>& materials,
                              const std::vector<MeshPart>& parts);

enum : uint16_t {
  kM3dMagic = 0x4D4D,
  kM3dVersion = 0x0002,
  kMData = 0x3D3D,
  kMeshVersion = 0x3D3E,
  kMatEntry = 0xAFFF,
  kMatName = 0xA000,
  kMatDiffuse = 0xA020,
  kColor24 = 0x0011,
  kMatTexmap = 0xA200,
  kMatMapname = 0xA300,
  kNamedObject = 0x4000,
  kNTriObject = 0x4100,
  kPointArray = 0x4110,
  kFaceArray = 0x4120,
  kMshMatGroup = 0x4130,
  kTexVerts = 0x4140,
};
