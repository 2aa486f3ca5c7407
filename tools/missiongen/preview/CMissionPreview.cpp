#include "tools/missiongen/preview/CMissionPreview.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "race/CWaypoint.h"
#include "tools/missiongen/session/CMissionSession.h"
#include "world/CEntityManager.h"
#include "world/CItemEntity.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"
#include "world/SEntityDesc.h"

using namespace irr;

namespace {

const u32 kWidth = 1024, kHeight = 640;
const u32 kGroundColours = 2048;             // texels a side of the ground's colour map
const u32 kDetail = 64;                      // each detail texture averaged down to this many texels a side
const f32 kTiles[3] = {16.0f, 25.0f, 25.0f}; // metres per repeat of each detail texture
const video::SColor kSky(255, 150, 185, 225);

// A texture averaged down to kDetail texels a side.
std::vector<video::SColorf> shrink(video::IImage* image)
{
    std::vector<video::SColorf> out(kDetail * kDetail, video::SColorf(0.5f, 0.5f, 0.5f));
    if (!image)
        return out;
    const core::dimension2d<u32> size = image->getDimension();
    const u32 bx = std::max<u32>(1, size.Width / kDetail), by = std::max<u32>(1, size.Height / kDetail);
    for (u32 y = 0; y < kDetail; ++y) {
        for (u32 x = 0; x < kDetail; ++x) {
            f32 r = 0, g = 0, b = 0;
            for (u32 j = 0; j < by; ++j) {
                for (u32 i = 0; i < bx; ++i) {
                    const video::SColor c =
                        image->getPixel(std::min(x * bx + i, size.Width - 1), std::min(y * by + j, size.Height - 1));
                    r += c.getRed();
                    g += c.getGreen();
                    b += c.getBlue();
                }
            }
            const f32 n = 255.0f * f32(bx * by);
            out[y * kDetail + x] = video::SColorf(r / n, g / n, b / n);
        }
    }
    return out;
}

} // namespace

CMissionPreview::CMissionPreview(const CMissionSession& missionSession) :
    session(missionSession), target(nullptr), camera(nullptr)
{
    video::IVideoDriver* driver = session.engine->getVideoDriver();
    scene::ISceneManager* scene = session.engine->getSceneManager();
    target = driver->addRenderTargetTexture(core::dimension2d<u32>(kWidth, kHeight), "preview", video::ECF_A8R8G8B8);
    camera = scene->addCameraSceneNode();
    camera->setFarValue(5000.0f);
    camera->setAspectRatio(f32(kWidth) / f32(kHeight));
    // A low afternoon sun and a bright sky's fill.
    scene::ILightSceneNode* sun = scene->addLightSceneNode();
    video::SLight& light = sun->getLightData();
    light.Type = video::ELT_DIRECTIONAL;
    light.DiffuseColor = video::SColorf(1.0f, 0.95f, 0.85f);
    sun->setRotation(core::vector3df(50.0f, -40.0f, 0.0f));
    scene->setAmbientLight(video::SColorf(0.5f, 0.52f, 0.58f));
}

CMissionPreview::~CMissionPreview()
{
    if (target)
        session.engine->getVideoDriver()->removeTexture(target);
}

void CMissionPreview::settle()
{
    // A second of physics: the cars sink onto their springs.
    for (int step = 0; step < 60; ++step)
        session.engine->getDynamicsWorld()->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    for (int i = 0; i < session.entities->getVehicleCount(); ++i)
        session.entities->getVehicle(i)->updateNodes();
    for (int i = 0; i < session.entities->getStaticObjectCount(); ++i)
        session.entities->getStaticObject(i)->update();
}

video::ITexture* CMissionPreview::groundColours(const std::string& splat, const std::string (&details)[3])
{
    video::IVideoDriver* driver = session.engine->getVideoDriver();
    video::IImage* weights = driver->createImageFromFile(splat.c_str());
    std::vector<video::SColorf> tiles[3];
    for (int k = 0; k < 3; ++k) {
        video::IImage* image = driver->createImageFromFile(details[k].c_str());
        tiles[k] = shrink(image);
        if (image)
            image->drop();
    }
    if (!weights) {
        std::printf("ERROR: the splat map \"%s\" could not be read\n", splat.c_str());
        return nullptr;
    }
    // The ground spans its mesh's box; the splat map spans the ground.
    f32 size = 0.0f;
    for (int i = 0; i < session.entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = session.entities->getStaticObject(i);
        if (object->getDesc()->getMapping() == 1)
            size = object->getMesh()->getBoundingBox().getExtent().X;
    }
    video::IImage* colours =
        driver->createImage(video::ECF_A8R8G8B8, core::dimension2d<u32>(kGroundColours, kGroundColours));
    const core::dimension2d<u32> splatSize = weights->getDimension();
    for (u32 y = 0; y < kGroundColours; ++y) {
        for (u32 x = 0; x < kGroundColours; ++x) {
            const f32 u = (f32(x) + 0.5f) / kGroundColours, v = (f32(y) + 0.5f) / kGroundColours;
            const video::SColor w = weights->getPixel(std::min(u32(u * splatSize.Width), splatSize.Width - 1),
                                                      std::min(u32(v * splatSize.Height), splatSize.Height - 1));
            const f32 share[3] = {w.getRed() / 255.0f, w.getGreen() / 255.0f, w.getBlue() / 255.0f};
            const f32 worldX = (u - 0.5f) * size, worldZ = (0.5f - v) * size;
            f32 r = 0, g = 0, b = 0;
            for (int k = 0; k < 3; ++k) {
                const f32 tu = worldX / kTiles[k] - std::floor(worldX / kTiles[k]);
                const f32 tv = worldZ / kTiles[k] - std::floor(worldZ / kTiles[k]);
                const video::SColorf& c = tiles[k][std::min(u32(tv * kDetail), kDetail - 1) * kDetail +
                                                   std::min(u32(tu * kDetail), kDetail - 1)];
                r += c.r * share[k];
                g += c.g * share[k];
                b += c.b * share[k];
            }
            colours->setPixel(x, y, video::SColorf(r, g, b, 1.0f).toSColor());
        }
    }
    weights->drop();
    video::ITexture* texture = driver->addTexture((splat + "#colours").c_str(), colours);
    colours->drop();
    return texture;
}

void CMissionPreview::prepareMaterials()
{
    for (int i = 0; i < session.entities->getStaticObjectCount(); ++i) {
        CStaticObjectEntity* object = session.entities->getStaticObject(i);
        scene::ISceneNode* node = object->getNode();
        node->setMaterialFlag(video::EMF_LIGHTING, true);
        node->setMaterialFlag(video::EMF_NORMALIZE_NORMALS, true);
        if (object->getDesc()->getMapping() != 1)
            continue;
        const std::string details[3] = {object->getDesc()->getTexture(1), object->getDesc()->getTexture(2),
                                        object->getDesc()->getTexture(3)};
        video::ITexture* colours = groundColours(object->getDesc()->getTexture(0), details);
        for (u32 m = 0; m < node->getMaterialCount(); ++m) {
            node->getMaterial(m).MaterialType = video::EMT_SOLID;
            node->getMaterial(m).setTexture(0, colours);
            for (u32 layer = 1; layer < video::MATERIAL_MAX_TEXTURES; ++layer)
                node->getMaterial(m).setTexture(layer, nullptr);
        }
    }
    for (int i = 0; i < session.entities->getItemCount(); ++i)
        session.entities->getItem(i)->getNode()->setMaterialFlag(video::EMF_LIGHTING, true);
    for (int i = 0; i < session.entities->getVehicleCount(); ++i) {
        CVehicleEntity* car = session.entities->getVehicle(i);
        for (scene::ISceneNode* node : {static_cast<scene::ISceneNode*>(car->getBodyNode()),
                                        static_cast<scene::ISceneNode*>(car->getWheelNodeFL()),
                                        static_cast<scene::ISceneNode*>(car->getWheelNodeFR()),
                                        static_cast<scene::ISceneNode*>(car->getWheelNodeBL()),
                                        static_cast<scene::ISceneNode*>(car->getWheelNodeBR())}) {
            node->setMaterialFlag(video::EMF_LIGHTING, true);
            node->setMaterialFlag(video::EMF_NORMALIZE_NORMALS, true);
        }
    }
}

bool CMissionPreview::snap(const core::vector3df& from, const core::vector3df& to, const core::vector3df& up,
                           const std::string& file)
{
    video::IVideoDriver* driver = session.engine->getVideoDriver();
    scene::ISceneManager* scene = session.engine->getSceneManager();
    camera->setPosition(from);
    camera->setUpVector(up);
    camera->setTarget(to);
    camera->updateAbsolutePosition();
    scene->setActiveCamera(camera);
    session.engine->getDevice()->run();
    driver->beginScene(true, true, kSky);
    driver->setRenderTarget(target, true, true, kSky);
    scene->drawAll();
    driver->setRenderTarget(nullptr, true, true, kSky);
    driver->endScene();

    // The engine reads the picture back (upright) when the target is locked.
    void* pixels = target->lock(video::ETLM_READ_ONLY);
    if (!pixels) {
        std::printf("ERROR: the preview picture could not be read back\n");
        return false;
    }
    video::IImage* image = driver->createImageFromData(video::ECF_A8R8G8B8, target->getSize(), pixels, false, false);
    target->unlock();
    const bool written = driver->writeImageToFile(image, file.c_str());
    image->drop();
    if (!written)
        std::printf("ERROR: could not write %s\n", file.c_str());
    return written;
}

bool CMissionPreview::shoot(const std::string& missionDir, const std::string& prefix)
{
    if (!session.gameData->loadMission(missionDir.c_str(), session.entities, session.sounds, session.settings)) {
        std::printf("ERROR: %s did not load\n", missionDir.c_str());
        return false;
    }
    settle();
    prepareMaterials();

    // From behind the player's car, as the chase camera sees it.
    CVehicleEntity* player = session.entities->getVehicle(session.entities->getPlayerVehicleIndex());
    if (!player) {
        std::printf("ERROR: %s has no player's car\n", missionDir.c_str());
        return false;
    }
    const core::vector3df at = player->getBodyNode()->getPosition();
    core::vector3df ahead(0.0f, 0.0f, 1.0f);
    core::matrix4 turn;
    turn.setRotationDegrees(player->getBodyNode()->getRotation());
    turn.rotateVect(ahead);
    bool ok = snap(at - ahead * 9.0f + core::vector3df(0.0f, 4.5f, 0.0f),
                   at + ahead * 6.0f + core::vector3df(0.0f, 1.5f, 0.0f), core::vector3df(0.0f, 1.0f, 0.0f),
                   prefix + "_chase.png");

    // From high above the middle of the navigation loop, north up.
    core::aabbox3df box;
    for (s32 i = 0; i < session.gameData->getNavigationPointCount(); ++i) {
        const CWaypoint* p = session.gameData->getNavigationPoint(i);
        const core::vector3df point(p->getX(), p->getY(), p->getZ());
        if (i == 0)
            box.reset(point);
        else
            box.addInternalPoint(point);
    }
    const core::vector3df centre = box.getCenter();
    const f32 reach = std::max(box.getExtent().X / camera->getAspectRatio(), box.getExtent().Z) * 0.62f /
        std::tan(0.5f * camera->getFOV());
    ok = snap(centre + core::vector3df(0.0f, reach, 0.0f), centre, core::vector3df(0.0f, 0.0f, 1.0f),
              prefix + "_above.png") &&
        ok;
    return ok;
}
