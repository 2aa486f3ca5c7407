#include "ContentKitFixtures.h"

#include <filesystem>

#include "core/CGameEngine.h"

using namespace irr;

namespace kittest {

scene::IAnimatedMesh* loadMesh(CGameEngine* engine, const std::string& path)
{
    return engine->getSceneManager()->getMesh(path.c_str());
}

core::vector3df toIrr(const contentkit::SVec3& v) { return {v.x, v.y, v.z}; }

std::string textureName(const video::ITexture* texture)
{
    if (!texture)
        return "";
    const std::string name = texture->getName().getPath().c_str();
    const std::string here = std::filesystem::current_path().string() + "/";
    return name.compare(0, here.size(), here) == 0 ? name.substr(here.size()) : name;
}

namespace {
std::string narrow(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text)
        out += char(*text);
    return out;
}
} // namespace

std::string SXmlNode::attribute(const std::string& key) const
{
    for (const auto& a : attributes)
        if (a.first == key)
            return a.second;
    return "";
}

bool SXmlNode::has(const std::string& key) const
{
    for (const auto& a : attributes)
        if (a.first == key)
            return true;
    return false;
}

bool readXml(CGameEngine* engine, const std::string& path, std::vector<SXmlNode>& nodes)
{
    nodes.clear();
    io::IXMLReader* reader = engine->getDevice()->getFileSystem()->createXMLReader(path.c_str());
    if (!reader)
        return false;
    while (reader->read()) {
        SXmlNode node;
        if (reader->getNodeType() == io::EXN_ELEMENT) {
            node.empty = reader->isEmptyElement();
            for (u32 i = 0; i < reader->getAttributeCount(); ++i)
                node.attributes.emplace_back(narrow(reader->getAttributeName(i)), narrow(reader->getAttributeValue(i)));
        } else if (reader->getNodeType() == io::EXN_ELEMENT_END) {
            node.end = true;
        } else {
            continue;
        }
        node.name = narrow(reader->getNodeName());
        nodes.push_back(node);
    }
    reader->drop();
    return true;
}

core::vector3df windingNormal(const scene::IMeshBuffer* buffer, u32 triangle)
{
    const u16* indices = buffer->getIndices();
    const core::vector3df a = buffer->getPosition(indices[3 * triangle]);
    const core::vector3df b = buffer->getPosition(indices[3 * triangle + 1]);
    const core::vector3df c = buffer->getPosition(indices[3 * triangle + 2]);
    return (b - a).crossProduct(c - a);
}

} // namespace kittest
