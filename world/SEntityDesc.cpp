#include "world/SEntityDesc.h"

#include <utility>

using namespace irr;

SEntityDesc::SEntityDesc(s32 id, std::string name, std::string displayName, std::string mesh,
                         std::string wheelFL, std::string wheelFR, std::string wheelBL,
                         std::string wheelBR, core::vector3df position, core::vector3df rotation,
                         core::vector3df scale, core::vector3df offset, bool transparent,
                         s32 mapping, std::vector<std::string> textures, video::SColor color,
                         CGameEngine* engine)
    : id(id), name(std::move(name)), displayName(std::move(displayName)), mesh(std::move(mesh)),
      wheelFL(std::move(wheelFL)), wheelFR(std::move(wheelFR)), wheelBL(std::move(wheelBL)),
      wheelBR(std::move(wheelBR)), position(position), rotation(rotation), scale(scale),
      offset(offset), transparent(transparent), mapping(mapping), textures(std::move(textures)),
      color(color), engine(engine)
{
}

SEntityDesc::~SEntityDesc() = default;

s32 SEntityDesc::getId() const { return id; }
std::string SEntityDesc::getName() const { return name; }
std::string SEntityDesc::getDisplayName() const { return displayName; }
std::string SEntityDesc::getMesh() const { return mesh; }
std::string SEntityDesc::getWheelFL() const { return wheelFL; }
std::string SEntityDesc::getWheelFR() const { return wheelFR; }
std::string SEntityDesc::getWheelBL() const { return wheelBL; }
std::string SEntityDesc::getWheelBR() const { return wheelBR; }
core::vector3df SEntityDesc::getPosition() const { return position; }
core::vector3df SEntityDesc::getRotation() const { return rotation; }
core::vector3df SEntityDesc::getScale() const { return scale; }
core::vector3df SEntityDesc::getOffset() const { return offset; }
bool SEntityDesc::isTransparent() const { return transparent; }
s32 SEntityDesc::getMapping() const { return mapping; }
s32 SEntityDesc::getTextureCount() const { return static_cast<s32>(textures.size()); }

std::string SEntityDesc::getTexture(s32 i) const
{
    if (i < 0 || i >= getTextureCount())
        return std::string();
    return textures[static_cast<size_t>(i)];
}

video::SColor SEntityDesc::getColor() const { return color; }
CGameEngine* SEntityDesc::getEngine() const { return engine; }
