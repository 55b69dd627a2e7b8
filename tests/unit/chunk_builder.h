// Hand-built 3DS chunk trees for the model tests (unit and OpenGL).
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "assets/model3ds.h"

typedef std::vector<uint8_t> Bytes;

inline Bytes U16(uint16_t v)
{
    return {(uint8_t)v, (uint8_t)(v >> 8)};
}

inline Bytes U32(uint32_t v)
{
    return {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
}

inline Bytes F32(float f)
{
    uint32_t bits;
    memcpy(&bits, &f, 4);
    return U32(bits);
}

inline Bytes Str(const std::string& s)
{
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A chunk with its true length.
inline Bytes MakeChunk(uint16_t id, const Bytes& body)
{
    return Cat({U16(id), U32((uint32_t)(body.size() + 6)), body});
}

// A chunk whose header claims `length`, whatever follows.
inline Bytes ChunkWithLength(uint16_t id, uint32_t length, const Bytes& body)
{
    return Cat({U16(id), U32(length), body});
}

inline Bytes Points(std::initializer_list<float> xyz)
{
    Bytes body = U16((uint16_t)(xyz.size() / 3));
    for (float f : xyz) {
        Bytes b = F32(f);
        body.insert(body.end(), b.begin(), b.end());
    }
    return MakeChunk(kChunkPoints, body);
}

inline Bytes Faces(std::initializer_list<uint16_t> corners, const Bytes& groups = Bytes())
{
    Bytes body = U16((uint16_t)(corners.size() / 3));
    int k = 0;
    for (uint16_t c : corners) {
        Bytes b = U16(c);
        body.insert(body.end(), b.begin(), b.end());
        if (++k % 3 == 0) {
            Bytes flags = U16(7);
            body.insert(body.end(), flags.begin(), flags.end());
        }
    }
    body.insert(body.end(), groups.begin(), groups.end());
    return MakeChunk(kChunkFaces, body);
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
    Bytes body = Cat({MakeChunk(kChunkMatName, Str(name)),
                      MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {r, g, b}))});
    if (!map.empty()) {
        Bytes texmap = MakeChunk(kChunkMatTexMap, Cat({MakeChunk(0x0030, U16(100)), MakeChunk(kChunkMatMapName, Str(map))}));
        body.insert(body.end(), texmap.begin(), texmap.end());
    }
    return MakeChunk(kChunkMaterial, body);
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
    const float v[8][3] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                           {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
    Bytes points = U16(8);
    Bytes uv = U16(8);
    for (int i = 0; i < 8; i++) {
        for (int k = 0; k < 3; k++)
            points = Cat({points, F32(v[i][k])});
        uv = Cat({uv, F32((float)(i & 1)), F32((float)((i >> 1) & 1))});
    }
    static const uint16_t quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                         {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    Bytes faces = U16(12);
    for (const auto& q : quads) {
        faces = Cat({faces, U16(q[0]), U16(q[1]), U16(q[2]), U16(0)});
        faces = Cat({faces, U16(q[0]), U16(q[2]), U16(q[3]), U16(0)});
    }
    if (!material.empty())
        faces = Cat({faces, Group(material)});
    return Object(name, Cat({MakeChunk(kChunkPoints, Cat({points})), MakeChunk(kChunkTexVerts, uv),
                             MakeChunk(kChunkFaces, faces)}));
}
