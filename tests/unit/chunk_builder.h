// Hand-built 3DS chunk trees for the model tests (unit and OpenGL) and the
// generator's writer test.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "assets/model3ds.h"

typedef std::vector<uint8_t> Bytes;

inline Bytes U16(uint16_t v) { return {(uint8_t)v, (uint8_t)(v >> 8)}; }
inline Bytes U32(uint32_t v) { return {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)}; }

inline Bytes F32(float f)
{
    uint32_t bits;
    memcpy(&bits, &f, 4);
    return U32(bits);
}

inline Bytes Str(const std::string& s)  // with its terminating zero
{
    return Bytes(s.c_str(), s.c_str() + s.size() + 1);
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A chunk whose header claims `length`, whatever follows; MakeChunk: its true length.
inline Bytes ChunkWithLength(uint16_t id, uint32_t length, const Bytes& body) { return Cat({U16(id), U32(length), body}); }
inline Bytes MakeChunk(uint16_t id, const Bytes& body) { return ChunkWithLength(id, (uint32_t)body.size() + 6, body); }

inline Bytes Points(std::initializer_list<float> xyz)
{
    Bytes body = U16((uint16_t)(xyz.size() / 3));
    for (float f : xyz)
        body = Cat({body, F32(f)});
    return MakeChunk(kChunkPoints, body);
}

// Triangles of `corners` (edge flags 7), then the material groups.
inline Bytes Faces(std::initializer_list<uint16_t> corners, const Bytes& groups = Bytes())
{
    Bytes body = U16((uint16_t)(corners.size() / 3));
    int k = 0;
    for (uint16_t c : corners)
        body = Cat({body, U16(c), ++k % 3 == 0 ? U16(7) : Bytes()});
    return MakeChunk(kChunkFaces, Cat({body, groups}));
}

inline Bytes Group(const std::string& material)
{
    return MakeChunk(kChunkFaceMaterial, Cat({Str(material), U16(1), U16(0)}));
}

inline Bytes Object(const std::string& name, const Bytes& mesh)
{
    return MakeChunk(kChunkObject, Cat({Str(name), MakeChunk(kChunkTriMesh, mesh)}));
}

inline Bytes MaterialEntry(const std::string& name, uint8_t r, uint8_t g, uint8_t b, const std::string& map = "")
{
    return MakeChunk(kChunkMaterial,
                     Cat({MakeChunk(kChunkMatName, Str(name)), MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {r, g, b})),
                          map.empty() ? Bytes()
                                      : MakeChunk(kChunkMatTexMap, Cat({MakeChunk(0x0030, U16(100)),
                                                                        MakeChunk(kChunkMatMapName, Str(map))}))}));
}

// M3DMAGIC { M3D_VERSION, MDATA { MESH_VERSION, contents... } }.
inline Bytes ModelFile(const Bytes& contents)
{
    return MakeChunk(kChunkMain, Cat({MakeChunk(kChunkVersion, U32(3)),
                                      MakeChunk(kChunkEditor, Cat({MakeChunk(kChunkMeshVersion, U32(3)), contents}))}));
}

// A closed box from (x0, y0, z0) to (x1, y1, z1) in 3DS axes (z up), its
// faces counter-clockwise seen from outside, with texture coordinates, in
// material `material` ("" for none).
inline Bytes BoxObject(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1,
                       const std::string& material = "")
{
    Bytes points = U16(8), uv = U16(8), faces = U16(12);
    for (int i = 0; i < 8; i++) {
        points = Cat({points, F32((i + 1) & 2 ? x1 : x0), F32(i & 2 ? y1 : y0), F32(i & 4 ? z1 : z0)});
        uv = Cat({uv, F32((float)(i & 1)), F32((float)((i >> 1) & 1))});
    }
    static const uint16_t quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& q : quads)
        faces = Cat({faces, U16(q[0]), U16(q[1]), U16(q[2]), U16(0), U16(q[0]), U16(q[2]), U16(q[3]), U16(0)});
    return Object(name, Cat({MakeChunk(kChunkPoints, points), MakeChunk(kChunkTexVerts, uv),
                             MakeChunk(kChunkFaces, Cat({faces, material.empty() ? Bytes() : Group(material)}))}));
}
