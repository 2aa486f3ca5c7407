#pragma once
#include <irrlicht.h>
#include <string>
#include <vector>

class CGameEngine;

// The creation record of a static object or a vehicle: every value its "mission.xml" record gave,
// kept whole for the entity's lifetime. The loader copies a parent's values from it, the race and
// the material set-up read transparency, mapping, textures and colour from it.
struct SEntityDesc {
    SEntityDesc(irr::s32 id, std::string name, std::string displayName, std::string mesh,
                std::string wheelFL, std::string wheelFR, std::string wheelBL, std::string wheelBR,
                irr::core::vector3df position, irr::core::vector3df rotation,
                irr::core::vector3df scale, irr::core::vector3df offset, bool transparent,
                irr::s32 mapping, std::vector<std::string> textures, irr::video::SColor color,
                CGameEngine* engine);
    ~SEntityDesc();

    irr::s32 getId() const;
    std::string getName() const;
    std::string getDisplayName() const;
    std::string getMesh() const;
    std::string getWheelFL() const;
    std::string getWheelFR() const;
    std::string getWheelBL() const;
    std::string getWheelBR() const;
    irr::core::vector3df getPosition() const;
    irr::core::vector3df getRotation() const;
    irr::core::vector3df getScale() const;
    irr::core::vector3df getOffset() const;
    bool isTransparent() const;
    // 1 for triplanar texture mapping, else 0.
    irr::s32 getMapping() const;
    irr::s32 getTextureCount() const;
    // The i-th texture path in file order; empty when i is out of range.
    std::string getTexture(irr::s32 i) const;
    irr::video::SColor getColor() const;
    CGameEngine* getEngine() const;

private:
    irr::s32 id;
    std::string name;
    std::string displayName;
    std::string mesh;
    std::string wheelFL;
    std::string wheelFR;
    std::string wheelBL;
    std::string wheelBR;
    irr::core::vector3df position;
    irr::core::vector3df rotation;
    irr::core::vector3df scale;
    irr::core::vector3df offset;
    bool transparent;
    irr::s32 mapping;
    std::vector<std::string> textures;
    irr::video::SColor color;
    CGameEngine* engine;
};
