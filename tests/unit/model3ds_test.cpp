// The 3DS reader on small hand-built chunk trees: materials, groups, unknown
// chunks, normals, and every kind of broken or hostile file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
        ASSERT_LT(strlen(o.name), (size_t)kModelNameSize);
        ASSERT_GE(o.materialIndex, 0);
        ASSERT_TRUE(o.materialIndex == 0 || o.materialIndex < model.materialCount);
        for (const MeshFace& f : o.faces)
            for (int k = 0; k < 3; k++)
                ASSERT_LT(f.v[k], o.vertexCount);
    }
    for (const Material& m : model.materials) {
        ASSERT_LT(strlen(m.name), (size_t)kModelNameSize);
        ASSERT_LT(strlen(m.textureFile), (size_t)kModelNameSize);
    }
}

const Bytes kTriangle = Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2})});

}  // namespace

TEST(Model3ds, ReadsMaterialsObjectsAndSkipsKeyframes)
{
    Bytes file = ModelFile(Cat({MaterialEntry("red", 255, 0, 0), MaterialEntry("wood", 10, 20, 30, "wood.tga"),
                                Object("box", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}),
                                                   Faces({0, 1, 2}, Group("wood")),
                                                   MakeChunk(kChunkTexVerts, Cat({U16(1), F32(0.25f), F32(0.75f)}))}))}));
    file = Cat({file, MakeChunk(kChunkKeyframes, MakeChunk(0xB002, Str("box")))});
    // The key frames stand outside M3DMAGIC here; inside it they are skipped too.
    Model model;
    ASSERT_TRUE(Parse(model, file));
    ExpectConsistent(model);
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_STREQ(model.materials[0].name, "red");
    EXPECT_EQ(model.materials[0].colour[0], 255);
    EXPECT_EQ(model.materials[0].colour[1], 0);
    EXPECT_STREQ(model.materials[0].textureFile, "");
    EXPECT_STREQ(model.materials[1].textureFile, "wood.tga");
    EXPECT_EQ(model.materials[1].colour[2], 30);
    ASSERT_EQ(model.objectCount, 1);
    const MeshObject& box = model.objects[0];
    EXPECT_STREQ(box.name, "box");
    EXPECT_EQ(box.vertexCount, 4);
    EXPECT_FLOAT_EQ(box.vertices[9], 5.0f);
    ASSERT_EQ(box.faceCount, 1);
    EXPECT_EQ(box.faces[0].v[2], 2);
    EXPECT_EQ(box.materialIndex, 1);
    EXPECT_TRUE(box.hasTexture);
    ASSERT_EQ(box.texCoordCount, 1);
    EXPECT_FLOAT_EQ(box.texCoords[1], 0.75f);
}

TEST(Model3ds, MaterialGroupsPickTheLastFoundMaterialAndKeepTheTextureFlag)
{
    Bytes materials = Cat({MaterialEntry("plain", 1, 2, 3), MaterialEntry("tex", 4, 5, 6, "t.tga"),
                           MaterialEntry("plain2", 7, 8, 9)});
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({materials,
        Object("a", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2}, Cat({Group("tex"), Group("plain2")}))})),
        Object("b", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2}, Cat({Group("plain"), Group("nosuch")}))})),
        Object("c", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 1, 2}, Group("late"))})),
        MaterialEntry("late", 0, 0, 0, "late.tga")}))));
    ExpectConsistent(model);
    ASSERT_EQ(model.objectCount, 3);
    EXPECT_EQ(model.objects[0].materialIndex, 2);  // the second group's material
    EXPECT_TRUE(model.objects[0].hasTexture);      // set by the first group, kept
    EXPECT_EQ(model.objects[1].materialIndex, 0);  // "nosuch" does not change it
    EXPECT_FALSE(model.objects[1].hasTexture);
    EXPECT_EQ(model.objects[2].materialIndex, 0);  // a material stored after the object is not found
    EXPECT_FALSE(model.objects[2].hasTexture);
}

TEST(Model3ds, UnknownChunksAndOtherMapsArePassedOver)
{
    Bytes bump = MakeChunk(0xA230, MakeChunk(kChunkMatMapName, Str("bump.tga")));
    Bytes material = MakeChunk(kChunkMaterial, Cat({MakeChunk(0xA0FF, U32(1)), MakeChunk(kChunkMatName, Str("m")), bump,
                                               MakeChunk(0xA010, MakeChunk(kChunkColor24, {9, 9, 9})),
                                               MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {1, 2, 3}))}));
    Bytes object = MakeChunk(kChunkObject, Cat({Str("o"), MakeChunk(0x4600, U32(5)),
                                            MakeChunk(kChunkTriMesh, Cat({MakeChunk(0x4160, Bytes(48, 1)), kTriangle,
                                                                      MakeChunk(0x4170, U16(0))}))}));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MakeChunk(0x1234, Bytes(10, 0xFF)), material, MakeChunk(0x0100, F32(1)), object}))));
    ExpectConsistent(model);
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_STREQ(model.materials[0].textureFile, "");  // the bump map's name is not the texture
    EXPECT_EQ(model.materials[0].colour[0], 1);        // the diffuse colour, not the ambient one
    EXPECT_EQ(model.materials[0].colour[2], 3);
    ASSERT_EQ(model.objectCount, 1);
    EXPECT_EQ(model.objects[0].faceCount, 1);
}

TEST(Model3ds, EditorChunkTakesItsFirstChunkForTheMeshVersion)
{
    // The first chunk inside MDATA is passed over whatever it is.
    Bytes file = MakeChunk(kChunkMain, MakeChunk(kChunkEditor, Cat({MaterialEntry("first", 1, 1, 1),
                                                            MaterialEntry("second", 2, 2, 2)})));
    Model model;
    ASSERT_TRUE(Parse(model, file));
    ASSERT_EQ(model.materialCount, 1);
    EXPECT_STREQ(model.materials[0].name, "second");
}

TEST(Model3ds, DiffuseColourFromFloatsAndShortColourChunks)
{
    Bytes floats = MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColorF, Cat({F32(1.0f), F32(0.5f), F32(-2.0f)}))));
    Bytes shortColour = MakeChunk(kChunkMaterial, MakeChunk(kChunkMatDiffuse, MakeChunk(kChunkColor24, {77})));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({floats, shortColour}))));
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_EQ(model.materials[0].colour[0], 255);
    EXPECT_EQ(model.materials[0].colour[1], 128);
    EXPECT_EQ(model.materials[0].colour[2], 0);
    EXPECT_EQ(model.materials[1].colour[0], 77);
    EXPECT_EQ(model.materials[1].colour[1], 0);
}

TEST(Model3ds, NormalsWeighFacesByAreaAndLeaveUnusedVerticesZero)
{
    // Face 0-1-2 lies in z = 0 (area 8, normal +z); face 0-1-3 stands in
    // y = 0 (area 2, normal -y).  Vertices 0 and 1 share both:
    // (0, -4, 16) / sqrt(272).  Vertex 4 belongs to no face.
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("n", Cat({Points({0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 1, 9, 9, 9}),
                                                         Faces({0, 1, 2, 0, 1, 3})})))));
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
}

TEST(Model3ds, DegenerateFacesLeaveNoNotANumber)
{
    // A face naming one vertex twice counts once for it and adds nothing.
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("d", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}), Faces({0, 0, 1, 0, 1, 2})})))));
    const MeshObject& o = model.objects[0];
    EXPECT_NEAR(o.normals[2], 1.0f, 1e-6);
    for (float n : o.normals)
        EXPECT_FALSE(std::isnan(n));
}

TEST(Model3ds, HugeFacesGiveUnitOrZeroNormalsNeverNotANumber)
{
    // Found by the model fuzzer.  Face 0-1-2 is a right triangle with legs
    // of 1e30 in z = 0: its cross product (1e60) is beyond floats, so its
    // sums overflow and its vertices get no normal.  Face 3-4-5, legs of
    // 1e18, overflows only when squared: in doubles it gives the unit +z.
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("h", Cat({Points({0, 0, 0, 1e30f, 0, 0, 0, 1e30f, 0,  //
                                                                 0, 0, 0, 1e18f, 0, 0, 0, 1e18f, 0}),
                                                         Faces({0, 1, 2, 3, 4, 5})})))));
    const MeshObject& o = model.objects[0];
    for (float n : o.normals)
        EXPECT_TRUE(std::isfinite(n));
    for (int k = 0; k < 9; k++)
        EXPECT_EQ(o.normals[k], 0.0f);
    for (int v = 3; v < 6; v++) {
        EXPECT_NEAR(o.normals[3 * v + 0], 0.0f, 1e-6);
        EXPECT_NEAR(o.normals[3 * v + 1], 0.0f, 1e-6);
        EXPECT_NEAR(o.normals[3 * v + 2], 1.0f, 1e-6);
    }
}

TEST(Model3ds, RefusesFilesThatDoNotBeginWithTheMainChunk)
{
    Model model;
    EXPECT_FALSE(Parse(model, Bytes()));
    EXPECT_FALSE(Parse(model, Bytes{0x4D, 0x4D, 6, 0}));
    EXPECT_FALSE(Parse(model, MakeChunk(kChunkEditor, kTriangle)));
    Model empty;
    EXPECT_TRUE(Parse(empty, ChunkWithLength(kChunkMain, 3, Bytes())));  // too short to hold anything
    EXPECT_EQ(empty.objectCount, 0);
}

TEST(Model3ds, ChunkLengthsBelowTheHeaderEndTheirParent)
{
    for (uint32_t length = 0; length <= 5; length++) {
        SCOPED_TRACE(length);
        Bytes bad = ChunkWithLength(0x7777, length, Bytes(8, 0));
        Model model;
        ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry("a", 1, 1, 1), bad, MaterialEntry("b", 2, 2, 2)}))));
        ExpectConsistent(model);
        EXPECT_EQ(model.materialCount, 1);  // the walk stops at the broken chunk
        Model inObject;
        ASSERT_TRUE(Parse(inObject, ModelFile(Object("o", Cat({kTriangle, ChunkWithLength(kChunkPoints, length, Bytes())})))));
        ExpectConsistent(inObject);
        EXPECT_EQ(inObject.objects[0].faceCount, 1);
    }
}

TEST(Model3ds, ChunksLongerThanTheirParentOrTheFileAreCut)
{
    // POINT_ARRAY claims far more than its object holds; the material after
    // the object must still be read, and nothing beyond the object is taken.
    Bytes points = ChunkWithLength(kChunkPoints, 100000, Cat({U16(3), F32(1), F32(2), F32(3)}));
    Bytes object = MakeChunk(kChunkObject, Cat({Str("o"), points}));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({object, MaterialEntry("after", 5, 5, 5)}))));
    ExpectConsistent(model);
    EXPECT_EQ(model.objects[0].vertexCount, 1);
    EXPECT_EQ(model.materialCount, 1);
    // The whole file cut short: the main chunk claims 4 GB.
    Bytes file = ModelFile(Object("o", kTriangle));
    file[2] = file[3] = file[4] = file[5] = 0xFF;
    Model cut;
    ASSERT_TRUE(Parse(cut, file));
    ExpectConsistent(cut);
    EXPECT_EQ(cut.objects[0].faceCount, 1);
}

TEST(Model3ds, CountsAreCutToTheDataPresent)
{
    Bytes points = MakeChunk(kChunkPoints, Cat({U16(500), F32(1), F32(2), F32(3), F32(4), F32(5), F32(6), F32(7)}));
    Bytes faces = MakeChunk(kChunkFaces, Cat({U16(900), U16(0), U16(1), U16(0), U16(0), U16(1)}));
    Bytes texVerts = MakeChunk(kChunkTexVerts, Cat({U16(60000), F32(0.5f), F32(0.5f), F32(1)}));
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("o", Cat({points, faces, texVerts})))));
    ExpectConsistent(model);
    const MeshObject& o = model.objects[0];
    EXPECT_EQ(o.vertexCount, 2);
    EXPECT_EQ(o.faceCount, 1);
    EXPECT_EQ(o.texCoordCount, 1);
    EXPECT_FLOAT_EQ(o.vertices[5], 6.0f);
}

TEST(Model3ds, FacesNamingMissingVerticesAreDropped)
{
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Object("o", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                                         Faces({0, 1, 2, 0, 1, 3, 65535, 0, 1, 2, 1, 0})})))));
    ExpectConsistent(model);
    const MeshObject& o = model.objects[0];
    ASSERT_EQ(o.faceCount, 2);
    EXPECT_EQ(o.faces[1].v[0], 2);
    // Faces before any vertices, and a mesh without a point list at all.
    Model early;
    ASSERT_TRUE(Parse(early, ModelFile(Cat({Object("a", Cat({Faces({0, 1, 2}), Points({0, 0, 0, 1, 0, 0, 0, 1, 0})})),
                                            Object("b", Faces({0, 1, 2}))}))));
    ExpectConsistent(early);
    EXPECT_EQ(early.objects[0].faceCount, 1);
    EXPECT_EQ(early.objects[1].faceCount, 0);
}

TEST(Model3ds, NamesAreCutAt254CharactersAndNeedNoTerminator)
{
    std::string longName(300, 'x');
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry(longName, 1, 1, 1, std::string(400, 'y')),
                                            Object(longName, kTriangle)}))));
    ExpectConsistent(model);
    EXPECT_EQ(strlen(model.materials[0].name), 254u);
    EXPECT_EQ(strlen(model.materials[0].textureFile), 254u);
    EXPECT_EQ(strlen(model.objects[0].name), 254u);
    EXPECT_EQ(model.objects[0].faceCount, 1);  // the mesh after the long name is still read
    // A name running to the end of its chunk without a terminator.
    Bytes unterminated = MakeChunk(kChunkObject, Bytes(20, 'z'));
    Bytes matName = MakeChunk(kChunkMaterial, MakeChunk(kChunkMatName, Bytes(10, 'q')));
    Model open;
    ASSERT_TRUE(Parse(open, ModelFile(Cat({unterminated, matName}))));
    ExpectConsistent(open);
    EXPECT_EQ(std::string(open.objects[0].name), std::string(20, 'z'));
    EXPECT_EQ(std::string(open.materials[0].name), std::string(10, 'q'));
}

TEST(Model3ds, NoMoreThan99Materials)
{
    Bytes materials;
    for (int i = 0; i < 120; i++) {
        Bytes m = MaterialEntry("m" + std::to_string(i), (uint8_t)i, 0, 0);
        materials.insert(materials.end(), m.begin(), m.end());
    }
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({materials, Object("a", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                                                       Faces({0, 1, 2}, Group("m98"))})),
                                            Object("b", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                                             Faces({0, 1, 2}, Group("m110"))}))}))));
    ExpectConsistent(model);
    EXPECT_EQ(model.materialCount, 99);
    EXPECT_EQ(model.objects[0].materialIndex, 98);
    EXPECT_EQ(model.objects[1].materialIndex, 0);
}

TEST(Model3ds, DeepNestingNeitherOverflowsNorLoops)
{
    // 200000 nested chunks of each recursive kind, each one as long as all
    // that follows it (a face list holds no faces before its nested chunk).
    for (uint16_t id : {kChunkEditor, kChunkTriMesh, kChunkMatTexMap, kChunkFaces}) {
        SCOPED_TRACE(id);
        const size_t depth = 200000;
        const size_t level = id == kChunkFaces ? 8 : 6;
        Bytes nested(level * depth, 0);
        for (size_t d = 0; d < depth; d++) {
            Bytes h = Cat({U16(id), U32((uint32_t)(level * (depth - d)))});
            memcpy(&nested[level * d], h.data(), 6);
        }
        Bytes inner;
        if (id == kChunkEditor)
            inner = nested;
        else if (id == kChunkMatTexMap)
            inner = MakeChunk(kChunkMaterial, nested);
        else
            inner = MakeChunk(kChunkObject, Cat({Str("deep"), nested}));
        Model model;
        ASSERT_TRUE(Parse(model, ModelFile(inner)));
        ExpectConsistent(model);
    }
}

TEST(Model3ds, RandomlyDamagedFilesKeepEveryBound)
{
    Bytes good = ModelFile(Cat({MaterialEntry("tex", 4, 5, 6, "t.tga"), MaterialEntry("plain", 1, 2, 3),
                                Object("a", Cat({Points({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}),
                                                 Faces({0, 1, 2, 1, 3, 2}, Cat({Group("tex"), Group("plain")})),
                                                 MakeChunk(kChunkTexVerts, Cat({U16(2), F32(0), F32(0), F32(1), F32(1)}))})),
                                Object("b", kTriangle)}));
    unsigned seed = 12345;
    auto next = [&seed]() { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int trial = 0; trial < 3000; trial++) {
        Bytes bad = good;
        int changes = 1 + (int)(next() % 6);
        for (int k = 0; k < changes; k++)
            bad[next() % bad.size()] = (uint8_t)next();
        if (trial % 3 == 0)
            bad.resize(next() % bad.size());
        Model model;
        Parse(model, bad);
        ExpectConsistent(model);
        if (HasFatalFailure())
            return;
    }
}

TEST(Model3ds, ReadsFilesAndEveryTruncationOfThem)
{
    ScratchAppDir dir;
    Bytes file = ModelFile(Cat({MaterialEntry("m", 1, 2, 3), Object("o", Cat({kTriangle,}))}));
    Model missing;
    EXPECT_FALSE(ReadModelFile(missing, "data/models/none.3ds"));
    for (size_t cut = 0; cut <= file.size(); cut++) {
        dir.Write("data/models/cut.3ds", std::string(file.begin(), file.begin() + (long)cut));
        Model model;
        bool ok = ReadModelFile(model, "data/models/cut.3ds");
        EXPECT_EQ(ok, cut >= 6);
        ExpectConsistent(model);
        if (cut == file.size()) {
            EXPECT_EQ(model.objectCount, 1);
            EXPECT_EQ(model.objects[0].faceCount, 1);
        }
    }
}

TEST(Model3ds, FreeingEmptiesTheModel)
{
    Model model;
    ASSERT_TRUE(Parse(model, ModelFile(Cat({MaterialEntry("m", 1, 2, 3), Object("o", kTriangle)}))));
    model.geometryRead = true;
    FreeModelGeometry(model);
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_EQ(model.materialCount, 0);
    EXPECT_TRUE(model.objects.empty());
    EXPECT_FALSE(model.geometryRead);
}

TEST(Model3ds, GeneratedModelsLoadWithUnitNormals)
{
    const std::string dir = std::string(QB_BUILD_DIR) + "/data/models/";
    FILE* probe = fopen((dir + "body.3ds").c_str(), "rb");
    if (!probe)
        GTEST_SKIP() << "no generated data in " << dir;
    fclose(probe);
    ScratchAppDir scratch;  // model paths are relative to the application directory
    for (const char* name : {"body", "wheel", "LP_body", "arrow", "sky", "checkpoint", "head"}) {
        SCOPED_TRACE(name);
        const std::string path = dir + name + ".3ds";
        FILE* in = fopen(path.c_str(), "rb");
        ASSERT_TRUE(in);
        std::string bytes;
        char block[4096];
        size_t got;
        while ((got = fread(block, 1, sizeof block, in)) > 0)
            bytes.append(block, got);
        fclose(in);
        scratch.Write(std::string("data/models/") + name + ".3ds", bytes);
        Model model;
        ASSERT_TRUE(ReadModelFile(model, (std::string("data/models/") + name + ".3ds").c_str()));
        ExpectConsistent(model);
        ASSERT_GE(model.objectCount, 1);
        int faces = 0;
        for (const MeshObject& o : model.objects) {
            faces += o.faceCount;
            std::vector<bool> used((size_t)o.vertexCount, false);
            for (const MeshFace& f : o.faces)
                for (int k = 0; k < 3; k++)
                    used[f.v[k]] = true;
            for (int v = 0; v < o.vertexCount; v++) {
                const float* n = &o.normals[3 * (size_t)v];
                const float length = sqrtf(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                if (used[(size_t)v] && length != 0.0f) {
                    EXPECT_NEAR(length, 1.0f, 1e-4);
                }
                if (!used[(size_t)v]) {
                    EXPECT_EQ(length, 0.0f);
                }
            }
        }
        EXPECT_GT(faces, 0);
        if (std::string(name) == "sky") {
            bool textured = false;
            for (const MeshObject& o : model.objects)
                textured = textured || (o.hasTexture && o.texCoordCount > 0);
            EXPECT_TRUE(textured) << "the sky dome carries its own texture";
        }
    }
}
