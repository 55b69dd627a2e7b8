// The 3DS reader on small hand-built chunk trees: materials, groups, unknown
// chunks, normals, and the decided answers to broken or hostile files (the
// model fuzz target covers random damage).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "assets/model3ds.h"
#include "chunk_builder.h"
#include "test_util.h"

namespace {

bool Parse(Model& model, const Bytes& bytes)
{
    return ParseModel(model, bytes.data(), bytes.size());
}

// The model in one line: each material "name r,g,b texture;", then each
// object "name: vertices/faces/texture coordinates, m<material>[t when
// textured]" and its faces; checks what every parsed model must satisfy,
// however broken its file.
std::string Describe(const Model& m)
{
    EXPECT_TRUE(m.objectCount == (int32_t)m.objects.size() && m.materialCount == (int32_t)m.materials.size());
    EXPECT_LE(m.materialCount, kMaxMaterials);
    std::string s;
    char text[600];
    for (const Material& t : m.materials) {
        snprintf(text, sizeof text, "%s %d,%d,%d%s%s; ", t.name, t.colour[0], t.colour[1], t.colour[2],
                 t.textureFile[0] ? " " : "", t.textureFile);
        s += text;
    }
    s += "|";
    for (const MeshObject& o : m.objects) {
        EXPECT_TRUE(o.vertices.size() == (size_t)o.vertexCount * 3 && o.normals.size() == o.vertices.size() &&
                    o.texCoords.size() == (size_t)o.texCoordCount * 2 && o.faces.size() == (size_t)o.faceCount &&
                    (o.materialIndex == 0 || o.materialIndex < m.materialCount)) << o.name;
        snprintf(text, sizeof text, " %s: %d/%d/%d m%d%s", o.name, o.vertexCount, o.faceCount, o.texCoordCount,
                 o.materialIndex, o.hasTexture ? "t" : "");
        s += text;
        for (const MeshFace& f : o.faces) {
            EXPECT_TRUE(f.v[0] < o.vertexCount && f.v[1] < o.vertexCount && f.v[2] < o.vertexCount);
            snprintf(text, sizeof text, " %d-%d-%d", f.v[0], f.v[1], f.v[2]);
            s += text;
        }
    }
    return s;
}

Bytes Triangle(const Bytes& groups) { return Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2}, groups)}); }
const Bytes kTriangle = Triangle(Bytes());

std::string Read(const Bytes& bytes)
{
    Model model;
    return ParseModel(model, bytes.data(), bytes.size()) ? Describe(model) : "refused";
}

}  // namespace

TEST(Model3ds, ReadsMaterialsObjectsAndPassesOverOtherChunks)
{
    // Unknown chunks everywhere, an ambient colour and a bump map before the
    // diffuse colour, key frames after the model.
    Bytes wood = MakeChunk(kChunkMaterial, Cat({MakeChunk(0xA0FF, U32(1)), MakeChunk(kChunkMatName, Str("wood")),
                                                MakeChunk(0xA230, MakeChunk(kChunkMatMapName, Str("bump.tga"))),
                                                MakeChunk(0xA010, MakeChunk(kChunkColor24, {9, 9, 9})),
                                                MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {10, 20, 30}))}));
    Bytes box = MakeChunk(kChunkObject, Cat({Str("box"), MakeChunk(0x4600, U32(5)),
        MakeChunk(kChunkTriMesh, Cat({MakeChunk(0x4160, Bytes(48, 1)), Points({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}),
                                      Faces({0, 1, 2}, Group("tex")), MakeChunk(0x4170, U16(0)),
                                      MakeChunk(kChunkTexVerts, Cat({U16(1), F32(0.25f), F32(0.75f)}))}))}));
    Bytes file = Cat({ModelFile(Cat({MakeChunk(0x1234, Bytes(10, 0xFF)), wood, MaterialEntry("tex", 4, 5, 6, "t.tga"),
                                     MakeChunk(0x0100, F32(1)), box})),
                      MakeChunk(kChunkKeyframes, MakeChunk(0xB002, Str("box")))});
    // The bump map's name is not the texture; the diffuse colour is taken, not the ambient one.
    EXPECT_EQ(Read(file), "wood 10,20,30; tex 4,5,6 t.tga; | box: 4/1/1 m1t 0-1-2");
}

TEST(Model3ds, MaterialGroupsPickTheLastFoundMaterialAndKeepTheTextureFlag)
{
    // a: the second group's material, the texture flag set by the first kept;
    // b: "nosuch" changes nothing; c: a material stored after the object is not found.
    EXPECT_EQ(Read(ModelFile(Cat({MaterialEntry("plain", 1, 2, 3), MaterialEntry("tex", 4, 5, 6, "t.tga"),
                                  MaterialEntry("plain2", 7, 8, 9), Object("a", Triangle(Cat({Group("tex"), Group("plain2")}))),
                                  Object("b", Triangle(Cat({Group("plain"), Group("nosuch")}))),
                                  Object("c", Triangle(Group("late"))), MaterialEntry("late", 0, 0, 0, "late.tga")}))),
              "plain 1,2,3; tex 4,5,6 t.tga; plain2 7,8,9; late 0,0,0 late.tga; | a: 3/1/0 m2t 0-1-2 b: 3/1/0 m0 0-1-2 "
              "c: 3/1/0 m0 0-1-2");
}

TEST(Model3ds, EditorChunkTakesItsFirstChunkForTheMeshVersionAndColoursAreClamped)
{
    EXPECT_EQ(Read(MakeChunk(kChunkMain, MakeChunk(kChunkEditor, Cat({MaterialEntry("first", 1, 1, 1),
                                                                      MaterialEntry("second", 2, 2, 2)})))),
              "second 2,2,2; |");
    // Diffuse colours from floats are clamped; a short COLOR_24 reads what is there.
    EXPECT_EQ(Read(ModelFile(Cat({MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColorF,
                                                Cat({F32(1.5f), F32(0.5f), F32(-2.0f)})))),
                                  MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {77})))}))),
              " 255,128,0;  77,0,0; |");
}

TEST(Model3ds, NormalsWeighFacesByAreaAndNeverComeOutNotANumber)
{
    // Face 0-1-2 lies in z = 0 (area 8, normal +z); face 0-1-3 stands in
    // y = 0 (area 2, normal -y).  Vertices 0 and 1 share both:
    // (0, -4, 16) / sqrt(272).  Vertex 4 belongs to no face; the last face
    // names a vertex twice and adds nothing.
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("n", Cat({Points({0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 9, 9, 9}),
                                                         Faces({0, 1, 2, 0, 1, 3, 2, 2, 0})})))));
    const MeshObject& o = model.objects[0];
    const float s = sqrtf(272.0f);
    // Vertices 0 and 1 both faces, 2 only the large one, 3 only the small one, 4 none.
    const float want[15] = {0, -4 / s, 16 / s, 0, -4 / s, 16 / s, 0, 0, 1, 0, -1, 0, 0, 0, 0};
    for (int k = 0; k < 15; k++)
        EXPECT_NEAR(o.normals[k], want[k], 1e-6) << k;
    // Found by the model fuzzer: legs of 1e30 overflow the cross product
    // (no normal), legs of 1e18 only its square (unit +z in doubles).
    Model huge;
    ASSERT_TRUE(Parse(huge, ModelFile(Object("h", Cat({Points({0, 0, 0, 1e30f, 0, 0, 0, 1e30f, 0,  //
                                                                0, 0, 0, 1e18f, 0, 0, 0, 1e18f, 0}),
                                                        Faces({0, 1, 2, 3, 4, 5})})))));
    const std::vector<float>& n = huge.objects[0].normals;
    for (int k = 0; k < 18; k++)
        EXPECT_NEAR(n[k], k < 9 || k % 3 != 2 ? 0.0f : 1.0f, 1e-6) << k;
}

TEST(Model3ds, BrokenFilesGetTheDecidedReading)
{
    Bytes hugeMain = ModelFile(Object("o", kTriangle));
    hugeMain[2] = hugeMain[3] = hugeMain[4] = hugeMain[5] = 0xFF;  // the main chunk claims 4 GB
    const struct { const char* what; Bytes file; const char* model; } cases[] = {
        {"empty", Bytes(), "refused"},
        {"a header cut short", Bytes{0x4D, 0x4D, 6, 0}, "refused"},
        {"another chunk first", MakeChunk(kChunkEditor, kTriangle), "refused"},
        {"main chunk too short to hold anything", ChunkWithLength(kChunkMain, 3, Bytes()), "|"},
        {"main chunk longer than the file", hugeMain, "| o: 3/1/0 m0 0-1-2"},
        // POINT_ARRAY claims far more than its object holds: the material
        // after the object is still read, nothing beyond the object taken.
        {"points longer than their object",
         ModelFile(Cat({MakeChunk(kChunkObject, Cat({Str("o"), ChunkWithLength(kChunkPoints, 100000,
                                                                                Cat({U16(3), F32(1), F32(2), F32(3)}))})),
                        MaterialEntry("after", 5, 5, 5)})),
         "after 5,5,5; | o: 1/0/0 m0"},
        // Counts beyond the data present are cut to it.
        {"counts beyond the data",
         ModelFile(Object("o", Cat({MakeChunk(kChunkPoints, Cat({U16(500), F32(1), F32(2), F32(3), F32(4), F32(5), F32(6), F32(7)})),
                                    MakeChunk(kChunkFaces, Cat({U16(900), U16(0), U16(1), U16(0), U16(0), U16(1)})),
                                    MakeChunk(kChunkTexVerts, Cat({U16(60000), F32(0.5f), F32(0.5f), F32(1)}))}))),
         "| o: 2/1/1 m0 0-1-0"},
        // Three vertices: faces with a corner index from 3 up are dropped;
        // faces before the vertices are kept, faces without any are not.
        {"faces naming missing vertices",
         ModelFile(Cat({Object("a", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                         Faces({0, 1, 2, 3, 0, 1, 0, 3, 1, 0, 1, 3, 65535, 0, 1, 2, 1, 0})})),
                        Object("b", Cat({Faces({0, 1, 2}), Points({0, 0, 0, 1, 0, 0, 0, 1, 0})})), Object("c", Faces({0, 1, 2}))})),
         "| a: 3/2/0 m0 0-1-2 2-1-0 b: 3/1/0 m0 0-1-2 c: 0/0/0 m0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.file), c.model) << c.what;
    // A chunk shorter than its own header ends its parent.
    for (uint32_t length = 0; length <= 5; length++) {
        EXPECT_EQ(Read(ModelFile(Cat({MaterialEntry("a", 1, 1, 1), ChunkWithLength(0x7777, length, Bytes(8, 0)),
                                      MaterialEntry("b", 2, 2, 2)}))),
                  "a 1,1,1; |") << length;
        EXPECT_EQ(Read(ModelFile(Object("o", Cat({kTriangle, ChunkWithLength(kChunkPoints, length, Bytes())})))),
                  "| o: 3/1/0 m0 0-1-2") << length;
    }
}

TEST(Model3ds, NoMoreThan99Materials)
{
    Bytes materials;
    for (int i = 0; i < 120; i++)
        materials = Cat({materials, MaterialEntry("m" + std::to_string(i), (uint8_t)i, 0, 0)});
    const std::string read = Read(ModelFile(Cat({materials, Object("a", Triangle(Group("m98"))),
                                                 Object("b", Triangle(Group("m110")))})));
    EXPECT_EQ(read.substr(read.find('|')), "| a: 3/1/0 m98 0-1-2 b: 3/1/0 m0 0-1-2");
}

TEST(Model3ds, DeepNestingNeitherOverflowsNorLoops)
{
    // 200000 nested chunks of each recursive kind, each as long as all that
    // follows it (a face list holds no faces before its nested chunk).
    for (uint16_t id : {kChunkEditor, kChunkTriMesh, kChunkMatTexMap, kChunkFaces}) {
        const size_t depth = 200000, level = id == kChunkFaces ? 8 : 6;
        Bytes nested(level * depth, 0);
        for (size_t d = 0; d < depth; d++)
            memcpy(&nested[level * d], Cat({U16(id), U32((uint32_t)(level * (depth - d)))}).data(), 6);
        Bytes inner = id == kChunkEditor      ? nested
                      : id == kChunkMatTexMap ? MakeChunk(kChunkMaterial, nested)
                                              : MakeChunk(kChunkObject, Cat({Str("deep"), nested}));
        Model model;
        ASSERT_TRUE(Parse(model, ModelFile(inner))) << id;
        Describe(model);
    }
}

TEST(Model3ds, FilesShorterThanAChunkHeaderAreRefused)
{
    ScratchAppDir dir;
    Model model;
    EXPECT_FALSE(ReadModelFile(model, "data/models/none.3ds"));
    for (size_t cut : {5, 6}) {
        dir.Write("data/models/cut.3ds", std::string("MM\x06\0\0\0", cut));
        EXPECT_EQ(ReadModelFile(model, "data/models/cut.3ds"), cut == 6) << cut;
    }
}
