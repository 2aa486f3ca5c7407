#pragma once
#include <irrlicht.h>
#include <string>

class CControllerPack;
class CEntityManager;
class CGameEngine;
class CItemEntity;
class CPhysicsBody;
class CSound;
struct SEntityDesc;

// A car of the loaded mission: the body node with its four suspension joints and four wheel
// nodes, its physics body with the raycast vehicle, its controller, its limits, its race state
// (finish, laps, checkpoints, navigation), the pick-up item in effect and its engine sound.
//
// The car owns its physics body, controller, engine sound and description from the constructor
// on, whether it could be built or not. A car whose body mesh, engine, physics body or raycast
// vehicle is missing is not built: it says so, keeps id -1 and puts nothing into the scene or the
// physics world, and every per-frame operation leaves it alone. A car without a wheel mesh runs
// without that wheel's node; one without controller stands with its brakes on; one without
// engine sound runs silent (getWheelNode*, getControllerPack and getEngineSound are null then).
class CVehicleEntity {
public:
    // A car with a name and race state only, for the race rules and the entity lists.
    CVehicleEntity();
    CVehicleEntity(int id, std::string name);
    // The car of a "Vehicle" record, placed in the scene and the physics world.
    CVehicleEntity(int id, std::string name, std::string displayName, std::string mesh,
                   std::string wheelFL, std::string wheelFR, std::string wheelBL,
                   std::string wheelBR, irr::core::vector3df position,
                   irr::core::vector3df rotation, irr::core::vector3df scale, bool transparent,
                   irr::video::SColor color, CSound* engineSound, CPhysicsBody* body,
                   CControllerPack* pack, CGameEngine* engine);
    virtual ~CVehicleEntity();

    CVehicleEntity(const CVehicleEntity&) = delete;
    CVehicleEntity& operator=(const CVehicleEntity&) = delete;

    // -1 when the car could not be built.
    virtual int getId();
    virtual std::string getName() const;
    virtual std::string getDisplayName();
    virtual irr::scene::IAnimatedMeshSceneNode* getBodyNode();
    virtual irr::scene::IMeshSceneNode* getWheelNodeFL();
    virtual irr::scene::IMeshSceneNode* getWheelNodeFR();
    virtual irr::scene::IMeshSceneNode* getWheelNodeBL();
    virtual irr::scene::IMeshSceneNode* getWheelNodeBR();
    virtual irr::scene::IAnimatedMesh* getBodyMesh();
    virtual irr::scene::IMesh* getWheelMeshFL();
    virtual irr::scene::IMesh* getWheelMeshFR();
    virtual irr::scene::IMesh* getWheelMeshBL();
    virtual irr::scene::IMesh* getWheelMeshBR();
    virtual CPhysicsBody* getPhysicsBody();
    virtual CControllerPack* getControllerPack();

    // The controller's engine force and brake to the rear wheels 2 and 3, its steering to the
    // front wheels 0 and 1.
    virtual void applyControls();
    // After the physics step: the nodes follow the chassis and the wheels, the body's suspension
    // joints follow the wheel centres.
    virtual void updateNodes();
    // Ends the item's effect in the first frame after its effect time.
    virtual void updateItem();
    virtual void idle();
    // A car lying on a static object with no wheel on the ground for 3500 ms is lifted by 1.0 and
    // turned back onto its wheels, if it is still overturned when the time runs out.
    virtual void checkOverturned(CEntityManager* manager);
    // A car that left the world comes back as an overturned one is, lifted by 1.0 above
    // `ground`, but upright, facing `headingDegrees` about +y and standing still.
    void putBack(const irr::core::vector3df& ground, irr::f32 headingDegrees);

    // Each limit keeps its value (1.0 at first) when given 0, a negative number or no number.
    virtual void setMaxEngineForce(irr::f32 force);
    virtual irr::f32 getMaxEngineForce() const;
    virtual void setMaxBreakingForce(irr::f32 force);
    virtual irr::f32 getMaxBreakingForce() const;
    // km/h.
    virtual void setMaxVelocity(irr::f32 velocity);
    virtual irr::f32 getMaxVelocity() const;

    virtual bool isFinished() const;
    virtual void setFinished(bool finished);
    virtual int getLastCheckpoint() const;
    virtual void setLastCheckpoint(int kind);
    virtual int getLap() const;
    virtual void setLap(int lap);
    virtual bool isCheckpoint1Pending() const;
    virtual void setCheckpoint1Pending(bool pending);
    virtual bool isCheckpoint2Pending() const;
    virtual void setCheckpoint2Pending(bool pending);
    virtual int getNavigationIndex() const;
    virtual void setNavigationIndex(int index);
    virtual irr::f32 getNavigationDistance() const;
    virtual void setNavigationDistance(irr::f32 distance);

    // The item in effect; null when none, and null once the item has left its manager's list.
    virtual CItemEntity* getItem();
    // Null clears the item. Any other item is taken when it can be (it is active) and then
    // replaces the one in effect; an item that cannot be taken changes nothing.
    virtual void setItem(CItemEntity* item);
    virtual SEntityDesc* getDesc();

    CSound* getEngineSound();

private:
    bool build(const std::string& meshPath, const std::string wheelPaths[4],
               const irr::core::vector3df& position, const irr::core::vector3df& rotation,
               const irr::core::vector3df& scale, bool transparent);
    bool isBuilt() const;
    irr::scene::IMeshSceneNode* wheelNode(int wheel);
    void placeJoint(const char* name, const irr::core::vector3df& wheelCentre);
    void turnBackOntoWheels();
    void placeLifted(const irr::core::vector3df& position, const irr::core::vector3df& rotationDegrees);
    void releaseScene();
    irr::f32 gameClock();

    int id;
    std::string name;
    std::string displayName;
    irr::scene::IAnimatedMeshSceneNode* bodyNode;
    irr::scene::IMeshSceneNode* wheelNodeFL;
    irr::scene::IMeshSceneNode* wheelNodeFR;
    irr::scene::IMeshSceneNode* wheelNodeBL;
    irr::scene::IMeshSceneNode* wheelNodeBR;
    irr::scene::IAnimatedMesh* bodyMesh;
    irr::scene::IMesh* wheelMeshFL;
    irr::scene::IMesh* wheelMeshFR;
    irr::scene::IMesh* wheelMeshBL;
    irr::scene::IMesh* wheelMeshBR;
    CPhysicsBody* physicsBody;
    CControllerPack* controllerPack;
    irr::f32 maxEngineForce;
    irr::f32 maxBreakingForce;
    irr::f32 maxVelocity;
    bool finished;
    int lastCheckpoint;
    int lap;
    bool checkpoint1Pending;
    bool checkpoint2Pending;
    int navigationIndex;
    irr::f32 navigationDistance;
    CItemEntity* item;
    // The list the item lives in, to tell whether it is still there.
    CEntityManager* itemManager;
    int itemTakenTime;
    CSound* engineSound;
    irr::f32 overturnStart;
    SEntityDesc* desc;
    CGameEngine* engine;
    // The car's body and wheel meshes as the mesh cache holds them, grabbed while the car lives:
    // the ones nothing else shows leave the cache with the car, and their textures the driver.
    irr::scene::IAnimatedMesh* meshes[5];
};
