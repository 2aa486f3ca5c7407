#pragma once
// Looks at a mission the way the game loads it: the real loader fills a real world, the cars
// settle on their wheels for a second of physics, and the scene is drawn with the engine's
// fixed-function materials (the ground's splat map and details blended into one colour map)
// into an off-screen picture: once from behind the player's car, once from high above.
#include <string>

#include <irrlicht.h>

class CMissionSession;

class CMissionPreview {
public:
    explicit CMissionPreview(const CMissionSession& session);
    ~CMissionPreview();

    // Loads `missionDir` and writes `<prefix>_chase.png` and `<prefix>_above.png`; false after a
    // message when the mission does not load or a picture cannot be made.
    bool shoot(const std::string& missionDir, const std::string& prefix);

private:
    void settle();
    void prepareMaterials();
    irr::video::ITexture* groundColours(const std::string& splat, const std::string (&details)[3]);
    bool snap(const irr::core::vector3df& from, const irr::core::vector3df& to, const irr::core::vector3df& up,
              const std::string& file);

    const CMissionSession& session;
    irr::video::ITexture* target;
    irr::scene::ICameraSceneNode* camera;
};
