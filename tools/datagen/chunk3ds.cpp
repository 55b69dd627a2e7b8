// 3DS chunk writer.
#include "chunk3ds.h"

#include <cstring>

void Chunk3ds::U16(uint16_t v) {
  data.push_back(static_cast<uint8_t>(v & 0xFF));
  data.push_back(static_cast<uint8_t>(v >> 8));
}

void Chunk3ds::U32(uint32_t v) {
  for (int i = 0; i < 4; i++) data.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

void Chunk3ds::F32(float v) {
  uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  U32(bits);
}

void Chunk3ds::Text(const std::string& s) {
  data.insert(data.end(), s.begin(), s.end());
  data.push_back(0);
}

Chunk3ds& Chunk3ds::Add(uint16_t childId) {
  children.emplace_back();
  children.back().id = childId;
  return children.back();
}

uint32_t Chunk3ds::Size() const {
  uint32_t size = 6 + static_cast<uint32_t>(data.size());
  for (const Chunk3ds& c : children) size += c.Size();
  return size;
}

void Chunk3ds::Write(std::vector<uint8_t>* out) const {
  const uint32_t size = Size();
  out->push_back(static_cast<uint8_t>(id & 0xFF));
  out->push_back(static_cast<uint8_t>(id >> 8));
  for (int i = 0; i < 4; i++) out->push_back(static_cast<uint8_t>((size >> (8 * i)) & 0xFF));
  out->insert(out->end(), data.begin(), data.end());
  for (const Chunk3ds& c : children) c.Write(out);
}

std::vector<uint8_t> Build3ds(const std::vector<MeshMaterial>& materials,
                              const std::vector<MeshPart>& parts) {
  Chunk3ds root;
  root.id = kM3dMagic;
  root.Add(kM3dVersion).U32(3);
  Chunk3ds& mdata = root.Add(kMData);
  mdata.Add(kMeshVersion).U32(3);
  for (const MeshMaterial& m : materials) {
    Chunk3ds& entry = mdata.Add(kMatEntry);
    entry.Add(kMatName).Text(m.name);
    Chunk3ds& colour = entry.Add(kMatDiffuse).Add(kColor24);
    colour.data = {m.red, m.green, m.blue};
    if (!m.texture.empty()) entry.Add(kMatTexmap).Add(kMatMapname).Text(m.texture);
  }
  for (const MeshPart& p : parts) {
    Chunk3ds& object = mdata.Add(kNamedObject);
    object.Text(p.name);
    Chunk3ds& mesh = object.Add(kNTriObject);
    Chunk3ds& points = mesh.Add(kPointArray);
    const uint16_t vertexCount = static_cast<uint16_t>(p.points.size() / 3);
    points.U16(vertexCount);
    for (float v : p.points) points.F32(v);
    if (!p.uvs.empty()) {
      Chunk3ds& uv = mesh.Add(kTexVerts);
      uv.U16(static_cast<uint16_t>(p.uvs.size() / 2));
      for (float v : p.uvs) uv.F32(v);
    }
    Chunk3ds& faces = mesh.Add(kFaceArray);
    const uint16_t faceCount = static_cast<uint16_t>(p.faces.size() / 3);
    faces.U16(faceCount);
    for (size_t f = 0; f < p.faces.size(); f += 3) {
      faces.U16(p.faces[f]);
      faces.U16(p.faces[f + 1]);
      faces.U16(p.faces[f + 2]);
      faces.U16(0);  // edge flags: unused
    }
    Chunk3ds& group = faces.Add(kMshMatGroup);
    group.Text(p.material);
    group.U16(faceCount);
    for (uint16_t f = 0; f < faceCount; f++) group.U16(f);
  }
  std::vector<uint8_t> out;
  root.Write(&out);
  return out;
}
