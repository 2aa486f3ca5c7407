#pragma once
// Helpers shared by the content writers' tests.
#include <irrlicht.h>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "tools/contentkit/SMeshData.h"

class CGameEngine;

namespace kittest {

using CWorkingDir = testsupport::CWorkingDir;
using testsupport::writeImage;

// Loads a mesh through the scene manager as the game does (`getMesh`), or null.
irr::scene::IAnimatedMesh* loadMesh(CGameEngine* engine, const std::string& path);

irr::core::vector3df toIrr(const contentkit::SVec3& v);

// The texture's path as the driver names it, relative to the working directory when it lies
// inside it; empty for no texture.
std::string textureName(const irr::video::ITexture* texture);

// One node of an XML file as the game's flat reader sees it: element starts (with their
// attributes in file order, and whether they closed themselves) and element ends.
struct SXmlNode {
    bool end = false;
    bool empty = false;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string attribute(const std::string& key) const;
    bool has(const std::string& key) const;
};
// Read with the engine library's wide-character reader; false when it cannot open the file.
bool readXml(CGameEngine* engine, const std::string& path, std::vector<SXmlNode>& nodes);

// The front-face normal the engine draws with for triangle t of a buffer: (b - a) x (c - a).
irr::core::vector3df windingNormal(const irr::scene::IMeshBuffer* buffer, irr::u32 triangle);

} // namespace kittest
