// The 3DS chunk reader and the normal pass.  The file is read whole into
// memory and walked by byte ranges: every reader loops over the chunks of
// its parent's range, hands each one to a handler that may read no further
// than that chunk's end, then moves on to the chunk's end.  A chunk whose
// length is below its own header (6 bytes) ends the parent's walk, so every
// turn of every loop moves forward by at least 6 bytes.
#include "assets/model3ds.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/appdir.h"

namespace {

struct ModelReader {
    const uint8_t* data;
    size_t size;
    Model* model;
};

// A chunk's contents as a byte range of the file: [begin, end).
struct ChunkRange {
    Chunk chunk;
    size_t begin;  // first byte after the header
    size_t end;    // the chunk's end, never beyond its parent's
};

uint16_t ReadU16(const uint8_t* p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

uint32_t ReadU32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

float ReadF32(const uint8_t* p)
{
    uint32_t bits = ReadU32(p);
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

// The chunk header at `pos` inside a parent that ends at `limit`.  False
// when no whole header fits or the length is below the header's own size.
bool NextChunk(const ModelReader& r, size_t pos, size_t limit, ChunkRange* out)
{
    if (pos > limit || limit - pos < 6)
        return false;
    out->chunk.id = ReadU16(r.data + pos);
    out->chunk.length = ReadU32(r.data + pos + 2);
    out->chunk.bytesRead = 6;
    if (out->chunk.length < 6)
        return false;
    out->begin = pos + 6;
    out->end = (out->chunk.length > limit - pos) ? limit : pos + out->chunk.length;
    return true;
}

// A zero-terminated text from [*pos, end): at most kModelNameSize - 1
// characters are kept; the rest up to the terminator is passed over.
void ReadName(const ModelReader& r, size_t* pos, size_t end, char* name)
{
    size_t n = 0;
    while (*pos < end) {
        uint8_t c = r.data[(*pos)++];
        if (c == 0)
            break;
        if (n < (size_t)kModelNameSize - 1)
            name[n++] = (char)c;
    }
    name[n] = 0;
}

// A 16-bit count followed by records of `recordSize` bytes: the count cut
// to the whole records present.  *pos moves past the count.
size_t ReadCount(const ModelReader& r, size_t* pos, size_t end, size_t recordSize)
{
    if (end - *pos < 2)
        return 0;
    size_t count = ReadU16(r.data + *pos);
    *pos += 2;
    size_t present = (end - *pos) / recordSize;
    return count < present ? count : present;
}

void ReadObjectChunks(ModelReader& r, size_t objectIndex, size_t begin, size_t end, int depth);
void ReadMaterialChunks(ModelReader& r, size_t materialIndex, size_t begin, size_t end, int depth);

void ReadPoints(ModelReader& r, MeshObject& object, size_t pos, size_t end)
{
    size_t count = ReadCount(r, &pos, end, 12);
    object.vertices.assign(count * 3, 0.0f);
    for (size_t k = 0; k < count * 3; k++, pos += 4)
        object.vertices[k] = ReadF32(r.data + pos);
    object.vertexCount = (int32_t)count;
}

void ReadTexVerts(ModelReader& r, MeshObject& object, size_t pos, size_t end)
{
    size_t count = ReadCount(r, &pos, end, 8);
    object.texCoords.assign(count * 2, 0.0f);
    for (size_t k = 0; k < count * 2; k++, pos += 4)
        object.texCoords[k] = ReadF32(r.data + pos);
    object.texCoordCount = (int32_t)count;
}

// Returns the position after the face list: the group chunks that follow
// inside FACE_ARRAY are read from there by the object reader.
size_t ReadFaces(ModelReader& r, MeshObject& object, size_t pos, size_t end)
{
    size_t count = ReadCount(r, &pos, end, 8);
    object.faces.resize(count);
    for (size_t k = 0; k < count; k++, pos += 8) {
        object.faces[k].v[0] = ReadU16(r.data + pos);
        object.faces[k].v[1] = ReadU16(r.data + pos + 2);
        object.faces[k].v[2] = ReadU16(r.data + pos + 4);
    }
    object.faceCount = (int32_t)count;
    return pos;
}

// MSH_MAT_GROUP: the first material read so far with exactly this name.
void ReadFaceMaterial(ModelReader& r, MeshObject& object, size_t pos, size_t end)
{
    char name[kModelNameSize];
    ReadName(r, &pos, end, name);
    const std::vector<Material>& materials = r.model->materials;
    for (size_t m = 0; m < materials.size(); m++) {
        if (strcmp(materials[m].name, name) == 0) {
            object.materialIndex = (int32_t)m;
            if (materials[m].textureFile[0])
                object.hasTexture = true;
            return;
        }
    }
}

void ReadObjectChunks(ModelReader& r, size_t objectIndex, size_t begin, size_t end, int depth)
{
    ChunkRange c;
    for (size_t pos = begin; NextChunk(r, pos, end, &c); pos = c.end) {
        MeshObject& object = r.model->objects[objectIndex];
        switch (c.chunk.id) {
        case kChunkTriMesh:
            if (depth < kMaxChunkDepth)
                ReadObjectChunks(r, objectIndex, c.begin, c.end, depth + 1);
            break;
        case kChunkPoints:
            ReadPoints(r, object, c.begin, c.end);
            break;
        case kChunkFaces: {
            size_t after = ReadFaces(r, object, c.begin, c.end);
            if (depth < kMaxChunkDepth)
                ReadObjectChunks(r, objectIndex, after, c.end, depth + 1);
            break;
        }
        case kChunkFaceMaterial:
            ReadFaceMaterial(r, object, c.begin, c.end);
            break;
        case kChunkTexVerts:
            ReadTexVerts(r, object, c.begin, c.end);
            break;
        default:
            break;
        }
    }
}

// MAT_DIFFUSE: the first colour sub-chunk; a float colour is turned into bytes.
void ReadDiffuse(ModelReader& r, Material& material, size_t begin, size_t end)
{
    ChunkRange c;
    if (!NextChunk(r, begin, end, &c))
        return;
    size_t bytes = c.end - c.begin;
    if (c.chunk.id == kChunkColorF && bytes >= 12) {
        for (int k = 0; k < 3; k++) {
            float f = ReadF32(r.data + c.begin + 4 * k);
            if (!(f > 0.0f))
                f = 0.0f;
            if (f > 1.0f)
                f = 1.0f;
            material.colour[k] = (uint8_t)lrintf(f * 255.0f);
        }
        return;
    }
    for (size_t k = 0; k < 3 && k < bytes; k++)
        material.colour[k] = r.data[c.begin + k];
}

void ReadMaterialChunks(ModelReader& r, size_t materialIndex, size_t begin, size_t end, int depth)
{
    ChunkRange c;
    for (size_t pos = begin; NextChunk(r, pos, end, &c); pos = c.end) {
        Material& material = r.model->materials[materialIndex];
        size_t at = c.begin;
        switch (c.chunk.id) {
        case kChunkMatName:
            ReadName(r, &at, c.end, material.name);
            break;
        case kChunkMatDiffuse:
            ReadDiffuse(r, material, c.begin, c.end);
            break;
        case kChunkMatTexMap:
            if (depth < kMaxChunkDepth)
                ReadMaterialChunks(r, materialIndex, c.begin, c.end, depth + 1);
            break;
        case kChunkMatMapName:
            ReadName(r, &at, c.end, material.textureFile);
            break;
        default:  // other maps (above 0xA200) whole, with their names, and anything else
            break;
        }
    }
}

// The top level and the editor level share one reader.
void ReadMainChunks(ModelReader& r, size_t begin, size_t end, int depth)
{
    ChunkRange c;
    for (size_t pos = begin; NextChunk(r, pos, end, &c); pos = c.end) {
        switch (c.chunk.id) {
        case kChunkEditor: {
            // Its first chunk is taken to be MESH_VERSION, whatever its id.
            ChunkRange version;
            if (depth < kMaxChunkDepth && NextChunk(r, c.begin, c.end, &version))
                ReadMainChunks(r, version.end, c.end, depth + 1);
            break;
        }
        case kChunkObject: {
            r.model->objects.emplace_back();
            MeshObject& object = r.model->objects.back();
            object = MeshObject();
            size_t at = c.begin;
            ReadName(r, &at, c.end, object.name);
            ReadObjectChunks(r, r.model->objects.size() - 1, at, c.end, depth + 1);
            break;
        }
        case kChunkMaterial:
            if (r.model->materials.size() < (size_t)kMaxMaterials) {
                Material material;
                memset(&material, 0, sizeof material);
                r.model->materials.push_back(material);
                ReadMaterialChunks(r, r.model->materials.size() - 1, c.begin, c.end, depth + 1);
            }
            break;
        default:  // M3D_VERSION (not checked), KFDATA and anything else
            break;
        }
    }
}

// Faces may have been read before their object's vertices, or the vertices
// replaced by a later point list: only faces whose three corners exist stay.
void DropBadFaces(MeshObject& object)
{
    size_t kept = 0;
    for (const MeshFace& face : object.faces) {
        if (face.v[0] < object.vertexCount && face.v[1] < object.vertexCount &&
            face.v[2] < object.vertexCount)
            object.faces[kept++] = face;
    }
    object.faces.resize(kept);
    object.faceCount = (int32_t)kept;
}

}  // namespace

void ComputeNormals(MeshObject& object)
{
    const size_t n = (size_t)object.vertexCount;
    std::vector<float> sum(n * 3, 0.0f);
    std::vector<int32_t> uses(n, 0);
    const float* v = object.vertices.data();
    for (const MeshFace& face : object.faces) {
        const float* a = v + 3 * face.v[0];
        const float* b = v + 3 * face.v[1];
        const float* c = v + 3 * face.v[2];
        float p[3] = {a[0] - c[0], a[1] - c[1], a[2] - c[2]};  // A - C
        float q[3] = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};  // C - B
        float f[3] = {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
        for (int k = 0; k < 3; k++) {
            uint16_t idx = face.v[k];
            // A face counts once for a vertex it names twice.
            if ((k >= 1 && idx == face.v[0]) || (k == 2 && idx == face.v[1]))
                continue;
            sum[3 * idx] += f[0];
            sum[3 * idx + 1] += f[1];
            sum[3 * idx + 2] += f[2];
            uses[idx]++;
        }
    }
    object.normals.assign(n * 3, 0.0f);
    for (size_t i = 0; i < n; i++) {
        if (uses[i] == 0)
            continue;
        double x = sum[3 * i] / -(double)uses[i];
        double y = sum[3 * i + 1] / -(double)uses[i];
        double z = sum[3 * i + 2] / -(double)uses[i];
        // In doubles the squares of any float fit; faces so large that
        // their float sums overflowed (or that are not numbers) give no
        // normal, like unused vertices.
        double length = sqrt(x * x + y * y + z * z);
        if (length > 0.0 && std::isfinite(length)) {
            object.normals[3 * i] = (float)(x / length);
            object.normals[3 * i + 1] = (float)(y / length);
            object.normals[3 * i + 2] = (float)(z / length);
        }
    }
}

bool ParseModel(Model& model, const uint8_t* data, size_t size)
{
    ModelReader r = {data, size, &model};
    if (size < 6 || ReadU16(data) != kChunkMain)
        return false;
    ChunkRange top;
    if (NextChunk(r, 0, size, &top))  // a main chunk shorter than its header holds nothing
        ReadMainChunks(r, top.begin, top.end, 0);
    for (MeshObject& object : model.objects) {
        DropBadFaces(object);
        ComputeNormals(object);
    }
    model.objectCount = (int32_t)model.objects.size();
    model.materialCount = (int32_t)model.materials.size();
    return true;
}

bool ReadModelFile(Model& model, const char* path)
{
    FILE* file = OpenDataFile(path, "rb");
    if (!file)
        return false;
    std::vector<uint8_t> data;
    uint8_t block[65536];
    size_t got;
    while (data.size() < kMaxModelFileSize && (got = fread(block, 1, sizeof block, file)) > 0)
        data.insert(data.end(), block, block + got);
    fclose(file);
    if (data.size() > kMaxModelFileSize)
        data.resize(kMaxModelFileSize);
    return ParseModel(model, data.data(), data.size());
}

void FreeModelGeometry(Model& model)
{
    std::vector<MeshObject>().swap(model.objects);
    std::vector<Material>().swap(model.materials);
    model.objectCount = 0;
    model.materialCount = 0;
    model.geometryRead = false;
}
