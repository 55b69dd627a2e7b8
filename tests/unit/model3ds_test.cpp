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

// What every parsed model must satisfy, however broken its file.
void ExpectConsistent(const Model& model)
{
    ASSERT_EQ(model.objectCount, (int32_t)model.objects.size());
    ASSERT_EQ(model.materialCount, (int32_t)model.materials.size());
    ASSERT_LE(model.materialCount, kMaxMaterials);
    for (const MeshObject& o : model.objects) {
        ASSERT_EQ((size_t)o.vertexCount * 3, o.vertices.size());
        ASSERT_EQ((size_t)o.vertexCount * 3, o.normals.size());
        ASSERT_EQ((size_t)o.texCoordCount * 2, o.texCoords.size());
        ASSERT_EQ((size_t)o.faceCount, o.faces.size());
        ASSERT_TRUE(o.materialIndex == 0 || o.materialIndex < model.materialCount);
        for (const MeshFace& f : o.faces)
            for (int k = 0; k < 3; k++)
                ASSERT_LT(f.v[k], o.vertexCount);
    }
}

const Bytes kTriangle = Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2})});

Bytes Triangle(const Bytes& groups)
{
    return Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2}, groups)});
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
    Model model;
    ASSERT_TRUE(Parse(model, file));
    ExpectConsistent(model);
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_STREQ(model.materials[0].name, "wood");
    EXPECT_STREQ(model.materials[0].textureFile, "");  // the bump map's name is not the texture
    EXPECT_EQ(memcmp(model.materials[0].colour, "\x0a\x14\x1e", 3), 0);  // diffuse, not ambient
    EXPECT_STREQ(model.materials[1].textureFile, "t.tga");
    ASSERT_EQ(model.objectCount, 1);
    const MeshObject& o = model.objects[0];
    EXPECT_STREQ(o.name, "box");
    EXPECT_EQ(o.vertexCount, 4);
    EXPECT_FLOAT_EQ(o.vertices[9], 5.0f);
    ASSERT_EQ(o.faceCount, 1);
    EXPECT_EQ(o.faces[0].v[2], 2);
    EXPECT_EQ(o.materialIndex, 1);
    EXPECT_TRUE(o.hasTexture);
    ASSERT_EQ(o.texCoordCount, 1);
    EXPECT_FLOAT_EQ(o.texCoords[1], 0.75f);
}

TEST(Model3ds, MaterialGroupsPickTheLastFoundMaterialAndKeepTheTextureFlag)
{
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry("plain", 1, 2, 3), MaterialEntry("tex", 4, 5, 6, "t.tga"),
                                            MaterialEntry("plain2", 7, 8, 9),
                                            Object("a", Triangle(Cat({Group("tex"), Group("plain2")}))),
                                            Object("b", Triangle(Cat({Group("plain"), Group("nosuch")}))),
                                            Object("c", Triangle(Group("late"))),
                                            MaterialEntry("late", 0, 0, 0, "late.tga")}))));
    ASSERT_EQ(model.objectCount, 3);
    EXPECT_EQ(model.objects[0].materialIndex, 2);  // the second group's material
    EXPECT_TRUE(model.objects[0].hasTexture);      // set by the first group, kept
    EXPECT_EQ(model.objects[1].materialIndex, 0);  // "nosuch" does not change it
    EXPECT_FALSE(model.objects[1].hasTexture);
    EXPECT_EQ(model.objects[2].materialIndex, 0);  // a material stored after the object is not found
}

TEST(Model3ds, EditorChunkTakesItsFirstChunkForTheMeshVersion)
{
    Model model;
    ASSERT_TRUE(Parse(model, MakeChunk(kChunkMain, MakeChunk(kChunkEditor, Cat({MaterialEntry("first", 1, 1, 1),
                                                                                 MaterialEntry("second", 2, 2, 2)})))));
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_STREQ(model.materials[0].name, "second");
}

TEST(Model3ds, DiffuseColourFromFloatsIsClampedAndShortColoursReadWhatIsThere)
{
    Bytes floats = MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse,
                                                       MakeChunk(kChunkColorF, Cat({F32(1.5f), F32(0.5f), F32(-2.0f)}))));
    Bytes shortColour = MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {77})));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({floats, shortColour}))));
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_EQ(memcmp(model.materials[0].colour, "\xff\x80\x00", 3), 0);
    EXPECT_EQ(memcmp(model.materials[1].colour, "\x4d\x00\x00", 3), 0);
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
    for (int v : {0, 1}) {
        EXPECT_NEAR(o.normals[3 * v + 0], 0.0f, 1e-6);
        EXPECT_NEAR(o.normals[3 * v + 1], -4.0f / s, 1e-6);
        EXPECT_NEAR(o.normals[3 * v + 2], 16.0f / s, 1e-6);
    }
    EXPECT_NEAR(o.normals[3 * 2 + 2], 1.0f, 1e-6);   // only the large face
    EXPECT_NEAR(o.normals[3 * 3 + 1], -1.0f, 1e-6);  // only the small face
    for (int k = 12; k < 15; k++)
        EXPECT_EQ(o.normals[k], 0.0f);
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

TEST(Model3ds, RefusesOnlyFilesThatDoNotBeginWithTheMainChunk)
{
    Model model;
    EXPECT_FALSE(Parse(model, Bytes()));
    EXPECT_FALSE(Parse(model, Bytes{0x4D, 0x4D, 6, 0}));
    EXPECT_FALSE(Parse(model, MakeChunk(kChunkEditor, kTriangle)));
    Model empty;
    EXPECT_TRUE(Parse(empty, ChunkWithLength(kChunkMain, 3, Bytes())));  // too short to hold anything
    EXPECT_EQ(empty.objectCount, 0);
}

TEST(Model3ds, ChunkLengthsBelowTheHeaderEndTheirParentAndLongerOnesAreCut)
{
    for (uint32_t length = 0; length <= 5; length++) {
        SCOPED_TRACE(length);
        Model model;
        ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry("a", 1, 1, 1), ChunkWithLength(0x7777, length, Bytes(8, 0)),
                                                MaterialEntry("b", 2, 2, 2)}))));
        EXPECT_EQ(model.materialCount, 1);  // the walk stops at the broken chunk
        Model inObject;
        ASSERT_TRUE(Parse(inObject, ModelFile(Object("o", Cat({kTriangle, ChunkWithLength(kChunkPoints, length, Bytes())})))));
        ExpectConsistent(inObject);
        EXPECT_EQ(inObject.objects[0].faceCount, 1);
    }
    // POINT_ARRAY claims far more than its object holds: the material after
    // the object is still read, nothing beyond the object is taken.
    Bytes points = ChunkWithLength(kChunkPoints, 100000, Cat({U16(3), F32(1), F32(2), F32(3)}));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MakeChunk(kChunkObject, Cat({Str("o"), points})),
                                            MaterialEntry("after", 5, 5, 5)}))));
    ExpectConsistent(model);
    EXPECT_EQ(model.objects[0].vertexCount, 1);
    EXPECT_EQ(model.materialCount, 1);
    // The main chunk claims 4 GB.
    Bytes file = ModelFile(Object("o", kTriangle));
    file[2] = file[3] = file[4] = file[5] = 0xFF;
    Model cut;
    ASSERT_TRUE(Parse(cut, file));
    EXPECT_EQ(cut.objects[0].faceCount, 1);
}

TEST(Model3ds, CountsAreCutToTheDataAndFacesNamingMissingVerticesDropped)
{
    Bytes points = MakeChunk(kChunkPoints, Cat({U16(500), F32(1), F32(2), F32(3), F32(4), F32(5), F32(6), F32(7)}));
    Bytes faces = MakeChunk(kChunkFaces, Cat({U16(900), U16(0), U16(1), U16(0), U16(0), U16(1)}));
    Bytes texVerts = MakeChunk(kChunkTexVerts, Cat({U16(60000), F32(0.5f), F32(0.5f), F32(1)}));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("o", Cat({points, faces, texVerts})))));
    ExpectConsistent(model);
    EXPECT_EQ(model.objects[0].vertexCount, 2);
    EXPECT_EQ(model.objects[0].faceCount, 1);
    EXPECT_EQ(model.objects[0].texCoordCount, 1);
    EXPECT_FLOAT_EQ(model.objects[0].vertices[5], 6.0f);
    // Three vertices: every corner index from 3 up names none.
    Model dropped;
    ASSERT_TRUE(Parse(dropped, ModelFile(Cat({Object("a", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                                               Faces({0, 1, 2, 3, 0, 1, 0, 3, 1, 0, 1, 3, 65535, 0, 1,
                                                                      2, 1, 0})})),
                                              Object("b", Cat({Faces({0, 1, 2}), Points({0, 0, 0, 1, 0, 0, 0, 1, 0})})),
                                              Object("c", Faces({0, 1, 2}))}))));
    ExpectConsistent(dropped);
    ASSERT_EQ(dropped.objects[0].faceCount, 2);
    EXPECT_EQ(dropped.objects[0].faces[1].v[0], 2);
    EXPECT_EQ(dropped.objects[1].faceCount, 1);  // faces before the vertices
    EXPECT_EQ(dropped.objects[2].faceCount, 0);  // no point list at all
}

TEST(Model3ds, NamesAreCutAt254CharactersAndNeedNoTerminator)
{
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry(std::string(300, 'x'), 1, 1, 1, std::string(400, 'y')),
                                            Object(std::string(300, 'x'), kTriangle)}))));
    EXPECT_EQ(strlen(model.materials[0].name), 254u);
    EXPECT_EQ(strlen(model.materials[0].textureFile), 254u);
    EXPECT_EQ(strlen(model.objects[0].name), 254u);
    EXPECT_EQ(model.objects[0].faceCount, 1);  // the mesh after the long name is still read
    Model open;
    ASSERT_TRUE(Parse(open, ModelFile(Cat({MakeChunk(kChunkObject, Bytes(20, 'z')),
                                           MakeChunk(kChunkMaterial, MakeChunk(kChunkMatName, Bytes(10, 'q')))}))));
    EXPECT_EQ(std::string(open.objects[0].name), std::string(20, 'z'));
    EXPECT_EQ(std::string(open.materials[0].name), std::string(10, 'q'));
}

TEST(Model3ds, NoMoreThan99Materials)
{
    Bytes materials;
    for (int i = 0; i < 120; i++)
        materials = Cat({materials, MaterialEntry("m" + std::to_string(i), (uint8_t)i, 0, 0)});
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({materials, Object("a", Triangle(Group("m98"))),
                                            Object("b", Triangle(Group("m110")))}))));
    EXPECT_EQ(model.materialCount, 99);
    EXPECT_EQ(model.objects[0].materialIndex, 98);
    EXPECT_EQ(model.objects[1].materialIndex, 0);
}

TEST(Model3ds, DeepNestingNeitherOverflowsNorLoops)
{
    // 200000 nested chunks of each recursive kind, each as long as all that
    // follows it (a face list holds no faces before its nested chunk).
    for (uint16_t id : {kChunkEditor, kChunkTriMesh, kChunkMatTexMap, kChunkFaces}) {
        SCOPED_TRACE(id);
        const size_t depth = 200000, level = id == kChunkFaces ? 8 : 6;
        Bytes nested(level * depth, 0);
        for (size_t d = 0; d < depth; d++)
            memcpy(&nested[level * d], Cat({U16(id), U32((uint32_t)(level * (depth - d)))}).data(), 6);
        Bytes inner = id == kChunkEditor      ? nested
                      : id == kChunkMatTexMap ? MakeChunk(kChunkMaterial, nested)
                                              : MakeChunk(kChunkObject, Cat({Str("deep"), nested}));
        Model model;
        ASSERT_TRUE(Parse(model, ModelFile(inner)));
        ExpectConsistent(model);
    }
}

TEST(Model3ds, ReadsFilesAndEveryTruncationOfThem)
{
    ScratchAppDir dir;
    Bytes file = ModelFile(Cat({MaterialEntry("m", 1, 2, 3), Object("o", kTriangle)}));
    Model missing;
    EXPECT_FALSE(ReadModelFile(missing, "data/models/none.3ds"));
    for (size_t cut = 0; cut <= file.size(); cut++) {
        dir.Write("data/models/cut.3ds", std::string(file.begin(), file.begin() + (long)cut));
        Model model;
        EXPECT_EQ(ReadModelFile(model, "data/models/cut.3ds"), cut >= 6);
        ExpectConsistent(model);
        if (cut == file.size()) {
            EXPECT_EQ(model.objects.at(0).faceCount, 1);
        }
    }
}
