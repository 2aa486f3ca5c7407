#include "platform/CShaderConstantAdapter.h"

#include <string>
#include <vector>

using namespace irr;

namespace {

// Every constant name any callback has looked up, in the order of the first lookup; an id is
// the index. Only lookups add to it, and they happen once per callback.
std::vector<std::string>& constantNames()
{
    static std::vector<std::string> names;
    return names;
}

} // namespace

CShaderConstantAdapter::CShaderConstantAdapter(video::IMaterialRendererServices* services)
    : services(services)
{
}

s32 CShaderConstantAdapter::idOf(const c8* name)
{
    if (!name)
        return -1;
    std::vector<std::string>& names = constantNames();
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name)
            return static_cast<s32>(i);
    }
    names.push_back(name);
    return static_cast<s32>(names.size() - 1);
}

const c8* CShaderConstantAdapter::nameOf(s32 id)
{
    const std::vector<std::string>& names = constantNames();
    if (id < 0 || static_cast<size_t>(id) >= names.size())
        return nullptr;
    return names[id].c_str();
}

s32 CShaderConstantAdapter::getVertexShaderConstantID(const c8* name) { return idOf(name); }

s32 CShaderConstantAdapter::getPixelShaderConstantID(const c8* name) { return idOf(name); }

void CShaderConstantAdapter::setVertexShaderConstant(s32 id, const f32* values, s32 count)
{
    if (const c8* name = nameOf(id))
        services->setVertexShaderConstant(name, values, count);
}

void CShaderConstantAdapter::setVertexShaderConstant(s32 id, const s32* values, s32 count)
{
    if (const c8* name = nameOf(id))
        services->setVertexShaderConstant(name, values, count);
}

void CShaderConstantAdapter::setPixelShaderConstant(s32 id, const f32* values, s32 count)
{
    if (const c8* name = nameOf(id))
        services->setPixelShaderConstant(name, values, count);
}

void CShaderConstantAdapter::setPixelShaderConstant(s32 id, const s32* values, s32 count)
{
    if (const c8* name = nameOf(id))
        services->setPixelShaderConstant(name, values, count);
}

video::IVideoDriver* CShaderConstantAdapter::getVideoDriver() { return services->getVideoDriver(); }
