// The body's suspension joints follow the wheel centres, and a body that lacks one of them still
// drives with the others moving.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>
#include <algorithm>
#include <string>

#include "VehicleFixtures.h"
#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CCarMeshBuilder.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;
using vehicletest::CFixedControllerPack;
using vehicletest::SCarRecord;

namespace {

const char* const kJoints[4] = {"lewa_prod", "prawa_przod", "lewa_tyl", "prawa_tyl"};

struct SJointCase {
    const char* what;
    const char* missing; // the joint left out of the body, or null
};

struct VehicleJointsTest : vehicletest::VehicleWorldTest {};

} // namespace

TEST_F(VehicleJointsTest, SuspensionJointsFollowTheWheelCentres)
{
    const SJointCase cases[] = {
        {"all four joints", nullptr},
        {"no rear right joint", "prawa_tyl"},
        {"no front left joint", "lewa_prod"},
    };
    float x = 0.0f;
    for (const SJointCase& c : cases) {
        SCOPED_TRACE(c.what);
        contentkit::SSkinnedMesh body =
            contentkit::CCarMeshBuilder::body(contentkit::SCarLayout::forShape("VEHICLE0", {2, 1, 4}));
        if (c.missing) {
            auto& joints = body.joints;
            joints.erase(std::remove_if(joints.begin(), joints.end(),
                                        [&](const contentkit::SJoint& j) { return j.name == c.missing; }),
                         joints.end());
        }
        const std::string file = std::string("car") + std::to_string(static_cast<int>(x)) + ".b3d";
        ASSERT_TRUE(contentkit::CB3DWriter::write(dir.file(file), body));

        SCarRecord record;
        record.body = file;
        record.position = core::vector3df(x, 0.1f, 0);
        record.rotation = core::vector3df(0, 30, 0);
        CVehicleEntity* car = addCar(c.what, new CFixedControllerPack(), record);
        x += 20.0f;
        ASSERT_NE(car, nullptr);
        ASSERT_NE(car->getId(), -1) << out;
        if (c.missing)
            EXPECT_NE(out.find(std::string("Warning: Vehicle \"") + c.what + "\": body mesh \"" +
                               dir.file(file) + "\" has no joint \"" + c.missing + "\""),
                      std::string::npos)
                << out;
        else
            EXPECT_EQ(out.find("Warning"), std::string::npos) << out;

        step(240);
        sandvolt::btRaycastVehicle* vehicle = car->getPhysicsBody()->getVehicle();
        scene::ISceneNode* wheels[4] = {car->getWheelNodeFL(), car->getWheelNodeFR(),
                                        car->getWheelNodeBL(), car->getWheelNodeBR()};
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(kJoints[i]);
            const btVector3 centre = vehicle->getWheelInfo(i).m_worldTransform.getOrigin();
            const core::vector3df wheelAt = wheels[i]->getPosition();
            EXPECT_NEAR(wheelAt.X, centre.x(), 1e-4f);
            EXPECT_NEAR(wheelAt.Y, centre.y(), 1e-4f);
            EXPECT_NEAR(wheelAt.Z, centre.z(), 1e-4f);

            scene::IBoneSceneNode* joint = car->getBodyNode()->getJointNode(kJoints[i]);
            if (c.missing && std::string(c.missing) == kJoints[i]) {
                EXPECT_EQ(joint, nullptr);
                continue;
            }
            ASSERT_NE(joint, nullptr);
            joint->updateAbsolutePosition();
            const core::vector3df jointAt = joint->getAbsolutePosition();
            EXPECT_NEAR(jointAt.X, centre.x(), 1e-3f);
            EXPECT_NEAR(jointAt.Y, centre.y(), 1e-3f);
            EXPECT_NEAR(jointAt.Z, centre.z(), 1e-3f);
        }
    }
}
