#pragma once
#include <irrlicht.h>

class CGameEngine;
class CVehicleEntity;

// The race camera on a leash behind the player's car: it stays put while the car is near and is
// pulled along at the leash length when the car moves away, always `height` above the leash point
// and looking at a point half that height above the car.
class CChaseCamera {
public:
    // Makes its own camera the scene's active one.
    explicit CChaseCamera(CGameEngine* engine);

    // False, and nothing moves, for a car that is not in the scene.
    bool update(CVehicleEntity* vehicle);
    // The camera straight behind the car, at the leash length.
    void snapBehind(CVehicleEntity* vehicle);
    void setDistance(irr::f32 value);
    void setHeight(irr::f32 value);
    irr::scene::ICameraSceneNode* getCameraNode();

private:
    bool carPosition(CVehicleEntity* vehicle, irr::core::vector3df& position,
                     irr::core::vector3df* forward);
    void placeNode(const irr::core::vector3df& car);

    irr::core::vector3df leashPoint;
    irr::core::vector3df carPoint;
    irr::f32 distance;
    irr::f32 height;
    irr::scene::ICameraSceneNode* camera;
    CGameEngine* engine;
};
