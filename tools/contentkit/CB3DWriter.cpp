#include "tools/contentkit/CB3DWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/contentkit/CContentFile.h"
#include "tools/contentkit/CMeshCheck.h"

namespace contentkit {

namespace {

// Texture flags: colour (1) and mip-mapped (8). Blend 2 multiplies with the layer below.
const int32_t kTextureFlags = 9;
const int32_t kTextureBlend = 2;
const int32_t kBrushBlendAlpha = 1;
const int32_t kBrushFxVertexColours = 2;

class CChunkBuffer {
public:
    std::vector<uint8_t> bytes;

    void putInt(int32_t v)
    {
        const uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(u >> (8 * i)));
    }
    void putFloat(float f)
    {
        int32_t bits;
        std::memcpy(&bits, &f, 4);
        putInt(bits);
    }
    void putString(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.push_back(0);
    }
    // Chunk sizes count the bytes after the eight-byte header; they are patched at the end.
    size_t begin(const char tag[4])
    {
        const size_t at = bytes.size();
        bytes.insert(bytes.end(), tag, tag + 4);
        putInt(0);
        return at;
    }
    void end(size_t at)
    {
        const uint32_t size = uint32_t(bytes.size() - at - 8);
        for (int i = 0; i < 4; ++i)
            bytes[at + 4 + i] = uint8_t(size >> (8 * i));
    }
    void putNodeTransform(const SVec3& position)
    {
        putFloat(position.x);
        putFloat(position.y);
        putFloat(position.z);
        for (int i = 0; i < 3; ++i)
            putFloat(1.0f); // scale
        putFloat(1.0f);     // rotation as w, x, y, z: none
        for (int i = 0; i < 3; ++i)
            putFloat(0.0f);
    }
};

// Where each given vertex lands in the file: in the order the triangles first use them.
struct SLayout {
    std::vector<std::vector<int32_t>> fileIndex; // per surface: given vertex -> file vertex, -1 unused
    std::vector<std::vector<uint32_t>> order;    // per surface: file order of the given vertices
    std::vector<int32_t> base;                   // first file vertex of each surface
};

SLayout layOut(const SMesh& mesh)
{
    SLayout layout;
    int32_t next = 0;
    for (const SSurface& surface : mesh.surfaces) {
        layout.base.push_back(next);
        std::vector<int32_t> map(surface.vertices.size(), -1);
        std::vector<uint32_t> order;
        for (uint32_t index : surface.indices) {
            if (map[index] < 0) {
                map[index] = int32_t(order.size());
                order.push_back(index);
            }
        }
        next += int32_t(order.size());
        layout.fileIndex.push_back(std::move(map));
        layout.order.push_back(std::move(order));
    }
    return layout;
}

std::vector<std::string> textureTable(const SMesh& mesh)
{
    std::vector<std::string> table;
    for (const SSurface& surface : mesh.surfaces)
        for (const std::string& texture : surface.textures)
            if (std::find(table.begin(), table.end(), texture) == table.end())
                table.push_back(texture);
    return table;
}

void putColour(CChunkBuffer& out, const SColour& c)
{
    out.putFloat(c.r / 255.0f);
    out.putFloat(c.g / 255.0f);
    out.putFloat(c.b / 255.0f);
    out.putFloat(c.a / 255.0f);
}

void putTexturesAndBrushes(CChunkBuffer& out, const SMesh& mesh)
{
    const std::vector<std::string> textures = textureTable(mesh);
    if (!textures.empty()) {
        const size_t texs = out.begin("TEXS");
        for (const std::string& path : textures) {
            out.putString(path);
            out.putInt(kTextureFlags);
            out.putInt(kTextureBlend);
            out.putFloat(0.0f); // position
            out.putFloat(0.0f);
            out.putFloat(1.0f); // scale: the loader multiplies the coordinates by it
            out.putFloat(1.0f);
            out.putFloat(0.0f); // angle
        }
        out.end(texs);
    }
    if (mesh.surfaces.empty())
        return;
    size_t layers = 0;
    for (const SSurface& surface : mesh.surfaces)
        layers = std::max(layers, surface.textures.size());
    const size_t brus = out.begin("BRUS");
    out.putInt(int32_t(layers)); // one count for every brush of the chunk
    for (const SSurface& surface : mesh.surfaces) {
        out.putString(surface.name);
        putColour(out, surface.colour);
        out.putFloat(0.0f); // shininess
        out.putInt(kBrushBlendAlpha);
        out.putInt(mesh.vertexColours ? kBrushFxVertexColours : 0);
        for (size_t k = 0; k < layers; ++k) {
            int32_t id = -1;
            if (k < surface.textures.size())
                id = int32_t(std::find(textures.begin(), textures.end(), surface.textures[k]) - textures.begin());
            out.putInt(id);
        }
    }
    out.end(brus);
}

void putGeometry(CChunkBuffer& out, const SMesh& mesh, const SLayout& layout)
{
    if (mesh.surfaces.empty())
        return;
    const size_t meshChunk = out.begin("MESH");
    out.putInt(-1); // the surfaces name their brushes
    const size_t vrts = out.begin("VRTS");
    out.putInt(1 | (mesh.vertexColours ? 2 : 0)); // normals, colours
    out.putInt(1);                                // one set of texture coordinates
    out.putInt(2);                                // of two components
    for (size_t s = 0; s < mesh.surfaces.size(); ++s) {
        for (uint32_t given : layout.order[s]) {
            const SVertex& v = mesh.surfaces[s].vertices[given];
            out.putFloat(v.position.x);
            out.putFloat(v.position.y);
            out.putFloat(v.position.z);
            out.putFloat(v.normal.x);
            out.putFloat(v.normal.y);
            out.putFloat(v.normal.z);
            if (mesh.vertexColours)
                putColour(out, v.colour);
            out.putFloat(v.uv.x);
            out.putFloat(v.uv.y);
        }
    }
    out.end(vrts);
    for (size_t s = 0; s < mesh.surfaces.size(); ++s) {
        const size_t tris = out.begin("TRIS");
        out.putInt(int32_t(s));
        for (uint32_t index : mesh.surfaces[s].indices)
            out.putInt(layout.base[s] + layout.fileIndex[s][index]);
        out.end(tris);
    }
    out.end(meshChunk);
}

bool checkJoints(const SSkinnedMesh& body, const std::string& label)
{
    for (const SJoint& joint : body.joints) {
        for (const SWeight& w : joint.weights) {
            if (w.surface >= body.mesh.surfaces.size() || w.vertex >= body.mesh.surfaces[w.surface].vertices.size()) {
                printf("ERROR: \"%s\": joint \"%s\" weighs vertex %u of surface %u, which does not exist\n",
                       label.c_str(), joint.name.c_str(), w.vertex, w.surface);
                return false;
            }
            if (!std::isfinite(w.strength)) {
                printf("ERROR: \"%s\": joint \"%s\" has a weight that is not finite\n", label.c_str(),
                       joint.name.c_str());
                return false;
            }
        }
    }
    return true;
}

std::vector<uint8_t> encodeAll(const SMesh& mesh, const std::vector<SJoint>& joints, const std::string& rootName,
                               const std::string& label)
{
    if (!CMeshCheck::check(mesh, label))
        return {};
    const SLayout layout = layOut(mesh);

    CChunkBuffer out;
    const size_t file = out.begin("BB3D");
    out.putInt(1); // version
    putTexturesAndBrushes(out, mesh);
    const size_t root = out.begin("NODE");
    out.putString(rootName);
    out.putNodeTransform(SVec3{});
    putGeometry(out, mesh, layout);
    for (const SJoint& joint : joints) {
        const size_t node = out.begin("NODE");
        out.putString(joint.name);
        out.putNodeTransform(joint.position);
        std::vector<const SWeight*> loaded;
        for (const SWeight& w : joint.weights) {
            if (layout.fileIndex[w.surface][w.vertex] >= 0)
                loaded.push_back(&w);
            else
                printf("Warning: \"%s\": joint \"%s\" weighs vertex %u of surface %u, which no triangle uses\n",
                       label.c_str(), joint.name.c_str(), w.vertex, w.surface);
        }
        if (!loaded.empty()) {
            const size_t bone = out.begin("BONE");
            for (const SWeight* w : loaded) {
                out.putInt(layout.base[w->surface] + layout.fileIndex[w->surface][w->vertex]);
                out.putFloat(w->strength);
            }
            out.end(bone);
        }
        out.end(node);
    }
    out.end(root);
    out.end(file);
    return std::move(out.bytes);
}

} // namespace

std::vector<uint8_t> CB3DWriter::encode(const SMesh& mesh, const std::string& rootName, const std::string& label)
{
    return encodeAll(mesh, {}, rootName, label);
}

std::vector<uint8_t> CB3DWriter::encode(const SSkinnedMesh& body, const std::string& label)
{
    if (!checkJoints(body, label))
        return {};
    return encodeAll(body.mesh, body.joints, body.rootName, label);
}

bool CB3DWriter::write(const std::string& file, const SMesh& mesh, const std::string& rootName)
{
    const std::vector<uint8_t> bytes = encode(mesh, rootName, file);
    return !bytes.empty() && CContentFile::write(file, bytes);
}

bool CB3DWriter::write(const std::string& file, const SSkinnedMesh& body)
{
    const std::vector<uint8_t> bytes = encode(body, file);
    return !bytes.empty() && CContentFile::write(file, bytes);
}

} // namespace contentkit
