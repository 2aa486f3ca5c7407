#pragma once
#include <irrlicht.h>
#include <string>
#include <vector>

class CGameEngine;
class CPhysicsBody;
struct SEntityDesc;

// A piece of the track or its scenery: a mesh node with its textures and material, and the
// physics body that puts it into the world. A "Triplanar" object is the drivable ground (friction
// 0.0); anything else has friction 0.75, which the race reads as "off the track".
// An object without a mesh or body is not built at all (id -1, nothing in the scene or world), but
// keeps its description so that children can still inherit from it.
class CStaticObjectEntity {
public:
    // mapping is 1 for "Triplanar", else 0. The object owns body from here on, built or not.
    CStaticObjectEntity(int id, std::string name, std::string displayName, std::string mesh,
                        irr::core::vector3df position, irr::core::vector3df rotation,
                        irr::core::vector3df scale, irr::core::vector3df offset, bool transparent,
                        int mapping, std::vector<std::string> textures, CPhysicsBody* body,
                        CGameEngine* engine);
    virtual ~CStaticObjectEntity();

    // -1 when construction failed.
    virtual int getId();
    virtual std::string getName();
    virtual std::string getDisplayName();
    virtual irr::scene::IMeshSceneNode* getNode();
    virtual irr::scene::IMesh* getMesh();
    virtual CPhysicsBody* getPhysicsBody();
    // Once per race frame: a moving body carries the node along (raised by the offset's Y).
    virtual void update();
    virtual SEntityDesc* getDesc();

private:
    void build(const std::string& meshPath, const irr::core::vector3df& position,
               const irr::core::vector3df& rotation, const irr::core::vector3df& scale,
               bool transparent, int mapping, const std::vector<std::string>& texturePaths);
    void releaseOwnTextures();

    int id;
    std::string name;
    std::string displayName;
    irr::scene::IMesh* mesh;
    irr::scene::IMeshSceneNode* node;
    irr::core::vector3df offset;
    std::vector<irr::video::ITexture*> textures;
    CPhysicsBody* physicsBody;
    SEntityDesc* desc;
    CGameEngine* engine;
};
