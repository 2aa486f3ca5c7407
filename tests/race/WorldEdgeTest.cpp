// No car stays out of the world: the player's car driven off each side of every game mission, or
// dropped under its ground, comes back onto the track, on its wheels, and stays in the world.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <filesystem>
#include <string>

#include "RaceFixtures.h"
#include "core/CGameEngine.h"
#include "race/CWaypoint.h"
#include "world/CPhysicsBody.h"
#include "world/CStaticObjectEntity.h"
#include "world/CVehicleEntity.h"

using namespace irr;
using racetest::CRaceWorld;

namespace {

// What the mission's ground and scenery cover.
core::aabbox3df groundBox(CRaceWorld& world)
{
    core::aabbox3df box;
    bool first = true;
    for (int i = 0; i < world.entities.getStaticObjectCount(); ++i) {
        CPhysicsBody* physics = world.entities.getStaticObject(i)->getPhysicsBody();
        if (!physics || !physics->getRigidBody())
            continue;
        btVector3 low, high;
        physics->getRigidBody()->getAabb(low, high);
        const core::aabbox3df part(low.x(), low.y(), low.z(), high.x(), high.y(), high.z());
        if (first)
            box = part;
        else
            box.addInternalBox(part);
        first = false;
    }
    return box;
}

f32 groundHeight(CRaceWorld& world, f32 x, f32 z, f32 top)
{
    const btVector3 from(x, top + 10.0f, z), to(x, top - 1000.0f, z);
    btCollisionWorld::ClosestRayResultCallback ray(from, to);
    world.engine.get()->getDynamicsWorld()->rayTest(from, to, ray);
    return ray.hasHit() ? ray.m_hitPointWorld.y() : top;
}

core::vector3df carAt(CVehicleEntity* car)
{
    const btVector3& at = car->getPhysicsBody()->getRigidBody()->getWorldTransform().getOrigin();
    return core::vector3df(at.x(), at.y(), at.z());
}

// Distance in the ground plane to the nearest navigation point, and that point's height.
f32 offTrack(CRaceWorld& world, const core::vector3df& at, f32& pointY)
{
    f32 best = 1e9f;
    for (s32 k = 0; k < world.gameData.getNavigationPointCount(); ++k) {
        const CWaypoint* p = world.gameData.getNavigationPoint(k);
        const f32 d = std::hypot(p->getX() - at.X, p->getZ() - at.Z);
        if (d < best) {
            best = d;
            pointY = p->getY();
        }
    }
    return best;
}

bool upright(CVehicleEntity* car)
{
    return car->getPhysicsBody()->getRigidBody()->getWorldTransform().getBasis().getColumn(1).y() > 0.9f;
}

bool inside(const core::aabbox3df& box, const core::vector3df& at)
{
    return at.X >= box.MinEdge.X && at.X <= box.MaxEdge.X && at.Z >= box.MinEdge.Z &&
           at.Z <= box.MaxEdge.Z && at.Y >= box.MinEdge.Y;
}

struct SWayOut {
    const char* name;
    f32 dx, dz;      // the side driven off, from the middle of the world; 0, 0: down through it
};

const SWayOut kWaysOut[] = {
    {"east", 1, 0}, {"west", -1, 0}, {"north", 0, 1}, {"south", 0, -1}, {"under the ground", 0, 0},
};

class WorldEdge : public ::testing::TestWithParam<int> {};

TEST_P(WorldEdge, ACarThatLeavesTheWorldComesBackOntoTheTrack)
{
    const std::string folder = "missions/m0" + std::to_string(GetParam()) + "/";
    ASSERT_TRUE(std::filesystem::exists(std::string(SANDVOLT_RUN_DIR) + "/" + folder + "mission.xml"))
        << folder << " is not in the run folder: build the `content` target";
    CRaceWorld world(SANDVOLT_RUN_DIR);
    ASSERT_TRUE(world.load(folder)) << world.out;
    world.frames(6 * 60 + 10); // the countdown
    const core::aabbox3df box = groundBox(world);
    const core::vector3df middle = box.getCenter();
    CVehicleEntity* car = world.player();

    for (const SWayOut& way : kWaysOut) {
        SCOPED_TRACE(folder + " " + way.name);
        const bool down = way.dx == 0.0f && way.dz == 0.0f;
        // Half a metre inside the edge, driving out at 36 km/h (the rim may be too steep to
        // climb, but not to come over); or under the ground in the middle.
        const f32 x = down ? middle.X : (way.dx > 0 ? box.MaxEdge.X - 0.5f : way.dx < 0 ? box.MinEdge.X + 0.5f : middle.X);
        const f32 z = down ? middle.Z : (way.dz > 0 ? box.MaxEdge.Z - 0.5f : way.dz < 0 ? box.MinEdge.Z + 0.5f : middle.Z);
        const f32 y = down ? box.MinEdge.Y - 1.0f : groundHeight(world, x, z, box.MaxEdge.Y) + 0.5f;
        world.teleport(car, core::vector3df(x, y, z),
                       down ? 0.0f : static_cast<f32>(std::atan2(way.dx, way.dz) * core::RADTODEG64));
        world.bodyOf(car)->setLinearVelocity(btVector3(10.0f * way.dx, 0.0f, 10.0f * way.dz));

        world.press(KEY_KEY_W, !down);
        bool back = false;
        core::vector3df last = carAt(car);
        for (int f = 0; f < 20 * 60 && !back; ++f) {
            world.frame();
            const core::vector3df now = carAt(car);
            // Nothing drives 5 m in a frame, and nothing but being put back lifts a car from
            // under the ground.
            back = now.Y > box.MinEdge.Y && (down || now.getDistanceFrom(last) > 5.0f);
            last = now;
        }
        world.press(KEY_KEY_W, false);
        ASSERT_TRUE(back) << "the car was not put back within 20 s; it is at (" << last.X << ", "
                          << last.Y << ", " << last.Z << ")";
        EXPECT_LT(world.bodyOf(car)->getLinearVelocity().length(), 1.0f) << "put back still moving";
        f32 pointY = 0.0f;
        EXPECT_LT(offTrack(world, last, pointY), 1.0f) << "put back off the track";
        EXPECT_NEAR(last.Y, pointY, 3.0f) << "put back above or under the track";

        // It lands on its wheels and stays in the world.
        world.frames(3 * 60);
        const core::vector3df settled = carAt(car);
        EXPECT_TRUE(inside(box, settled)) << "at (" << settled.X << ", " << settled.Y << ", " << settled.Z << ")";
        EXPECT_TRUE(upright(car));
        EXPECT_LT(car->getPhysicsBody()->getRigidBody()->getLinearVelocity().length(), 3.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Missions, WorldEdge, ::testing::Range(1, 9));

} // namespace
