#include "tools/contentkit/COBJWriter.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

#include "tools/contentkit/CContentFile.h"
#include "tools/contentkit/CMeshCheck.h"
#include "tools/contentkit/CNumberText.h"

namespace contentkit {

namespace {

std::string num(float v) { return CNumberText::fromFloat(v); }

// The loader reads a material name as one word, and equal names would share one buffer.
std::string materialName(const std::string& wanted, size_t index, std::set<std::string>& used)
{
    std::string name;
    for (char c : wanted)
        name += std::isspace(static_cast<unsigned char>(c)) ? '_' : c;
    if (name.empty())
        name = "surface";
    if (used.count(name))
        name += "_" + CNumberText::fromInt(static_cast<long long>(index));
    while (used.count(name))
        name += "_";
    used.insert(name);
    return name;
}

// The loader reads colour components as (int)(value * 255): half a step up keeps each one whole.
std::string component(uint8_t c)
{
    if (c == 0 || c == 255)
        return c ? "1" : "0";
    return num((c + 0.5f) / 255.0f);
}

} // namespace

bool COBJWriter::encode(const SMesh& mesh, const std::string& materialFile, SOBJText& text, const std::string& label)
{
    if (!CMeshCheck::check(mesh, label))
        return false;
    std::string& obj = text.obj;
    std::string& mtl = text.mtl;
    obj = "# Sandvolt content\n";
    mtl = "# Sandvolt content\n";
    if (!mesh.surfaces.empty())
        obj += "mtllib " + materialFile + "\n";

    for (const SSurface& surface : mesh.surfaces) {
        for (const SVertex& v : surface.vertices)
            obj += "v " + num(-v.position.x) + " " + num(v.position.y) + " " + num(v.position.z) + "\n";
        for (const SVertex& v : surface.vertices)
            obj += "vt " + num(v.uv.x) + " " + num(1.0f - v.uv.y) + "\n";
        for (const SVertex& v : surface.vertices)
            obj += "vn " + num(-v.normal.x) + " " + num(v.normal.y) + " " + num(v.normal.z) + "\n";
    }

    std::set<std::string> used;
    size_t base = 1;
    for (size_t s = 0; s < mesh.surfaces.size(); ++s) {
        const SSurface& surface = mesh.surfaces[s];
        const std::string name = materialName(surface.name, s, used);
        mtl += "\nnewmtl " + name + "\n";
        mtl += "Kd " + component(surface.colour.r) + " " + component(surface.colour.g) + " " +
               component(surface.colour.b) + "\n";
        if (surface.colour.a != 255)
            mtl += "d " + component(surface.colour.a) + "\n";
        if (!surface.textures.empty())
            mtl += "map_Kd " + surface.textures[0] + "\n";
        if (surface.textures.size() > 1)
            printf("Warning: \"%s\": surface \"%s\" keeps only its first texture in OBJ form\n", label.c_str(),
                   surface.name.c_str());

        obj += "usemtl " + name + "\n";
        for (size_t t = 0; t + 2 < surface.indices.size(); t += 3) {
            obj += "f";
            for (int k = 2; k >= 0; --k) {
                const std::string i = CNumberText::fromInt(static_cast<long long>(base + surface.indices[t + k]));
                obj += " " + i + "/" + i + "/" + i;
            }
            obj += "\n";
        }
        base += surface.vertices.size();
    }
    return true;
}

bool COBJWriter::write(const std::string& file, const SMesh& mesh)
{
    const std::filesystem::path materialPath = std::filesystem::path(file).replace_extension(".mtl");
    SOBJText text;
    if (!encode(mesh, materialPath.filename().string(), text, file))
        return false;
    return CContentFile::write(file, text.obj) && CContentFile::write(materialPath.string(), text.mtl);
}

} // namespace contentkit
