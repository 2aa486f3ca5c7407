// Cost of one physics step with four cars on a mission-sized triangle-mesh ground: once with the
// game's own raycast vehicle and once with the physics library's, on equal worlds in one run.
// Prints the cost per step of each and their ratio. Not a test: the figures are for reading.
#include <btBulletDynamicsCommon.h>
#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "world/CVehicleTuningParams.h"
#include "world/vehicle/btDefaultVehicleRaycaster.h"
#include "world/vehicle/btRaycastVehicle.h"

namespace {

const float kGroundSize = 1000.0f; // metres, a large mission's terrain
const int kGroundCells = 250;      // 4 m cells: 125 000 triangles
const int kCars = 4;
const int kSteps = 60 * 60;        // one minute at 60 Hz
const int kRuns = 5;

float groundHeight(float x, float z)
{
    return 3.0f * std::sin(x * 0.02f) * std::cos(z * 0.017f) + 0.8f * std::sin(x * 0.11f + z * 0.07f);
}

struct SGround {
    SGround()
    {
        const float cell = kGroundSize / kGroundCells;
        auto at = [&](int i, int j) {
            const float x = -0.5f * kGroundSize + i * cell, z = -0.5f * kGroundSize + j * cell;
            return btVector3(x, groundHeight(x, z), z);
        };
        for (int i = 0; i < kGroundCells; ++i) {
            for (int j = 0; j < kGroundCells; ++j) {
                mesh.addTriangle(at(i, j), at(i, j + 1), at(i + 1, j));
                mesh.addTriangle(at(i + 1, j), at(i, j + 1), at(i + 1, j + 1));
            }
        }
        shape = std::make_unique<btBvhTriangleMeshShape>(&mesh, true);
    }
    btTriangleMesh mesh;
    std::unique_ptr<btBvhTriangleMeshShape> shape;
};

// The two vehicle families differ only in their types.
struct SOurs {
    using Vehicle = sandvolt::btRaycastVehicle;
    using Raycaster = sandvolt::btDefaultVehicleRaycaster;
    static const char* name() { return "game's raycast vehicle"; }
};
struct STheirs {
    using Vehicle = ::btRaycastVehicle;
    using Raycaster = ::btDefaultVehicleRaycaster;
    static const char* name() { return "physics library's btRaycastVehicle"; }
};

template <class Kind>
class CBenchWorld {
public:
    explicit CBenchWorld(btCollisionShape* groundShape)
        : dispatcher(&configuration),
          world(&dispatcher, &broadphase, &solver, &configuration),
          chassisShape(btVector3(1.0f, 0.5f, 2.0f))
    {
        world.setGravity(btVector3(0, -9.81f, 0));
        ground = std::make_unique<btRigidBody>(0.0f, nullptr, groundShape);
        world.addRigidBody(ground.get());
        compound.addChildShape(btTransform(btQuaternion::getIdentity(), btVector3(0, 1.5f, 0)), &chassisShape);

        const CVehicleTuningParams t("VEHICLE0");
        typename Kind::Vehicle::btVehicleTuning tuning;
        tuning.m_suspensionStiffness = t.suspensionStiffness;
        tuning.m_suspensionCompression = t.dampingCompression;
        tuning.m_suspensionDamping = t.dampingRelaxation;
        tuning.m_frictionSlip = t.frictionSlip;
        for (int c = 0; c < kCars; ++c) {
            const float x = -40.0f + 25.0f * c, z = -30.0f;
            btVector3 inertia;
            compound.calculateLocalInertia(800.0f, inertia);
            btTransform start(btQuaternion::getIdentity(), btVector3(x, groundHeight(x, z) + 0.3f, z));
            motions.push_back(std::make_unique<btDefaultMotionState>(start));
            bodies.push_back(std::make_unique<btRigidBody>(800.0f, motions.back().get(), &compound, inertia));
            btRigidBody* body = bodies.back().get();
            body->setActivationState(DISABLE_DEACTIVATION);
            world.addRigidBody(body);
            raycasters.push_back(std::make_unique<typename Kind::Raycaster>(&world));
            vehicles.push_back(std::make_unique<typename Kind::Vehicle>(tuning, body, raycasters.back().get()));
            typename Kind::Vehicle* vehicle = vehicles.back().get();
            vehicle->setCoordinateSystem(t.rightAxis, t.upAxis, t.forwardAxis);
            const float hx = 1.0f, hz = 2.0f, w = t.wheelWidth, r = t.wheelRadius;
            const btVector3 places[4] = {{hx - w, t.connectionHeight, hz - r},
                                         {w - hx, t.connectionHeight, hz - r},
                                         {w - hx, t.connectionHeight, 1.2f * r - hz},
                                         {hx - w, t.connectionHeight, 1.2f * r - hz}};
            for (int wheel = 0; wheel < 4; ++wheel) {
                auto& info = vehicle->addWheel(places[wheel], t.wheelDirection, t.wheelAxle,
                                                      t.suspensionRestLength, t.wheelRadius, tuning,
                                                      wheel < 2);
                info.m_rollInfluence = t.rollInfluence;
            }
            world.addAction(vehicle);
        }
    }

    ~CBenchWorld()
    {
        for (auto& vehicle : vehicles)
            world.removeAction(vehicle.get());
        for (auto& body : bodies)
            world.removeRigidBody(body.get());
        world.removeRigidBody(ground.get());
    }

    // Every car drives in wide circles, as computer cars follow a loop.
    double stepAll()
    {
        using clock = std::chrono::steady_clock;
        const auto start = clock::now();
        for (int s = 0; s < kSteps; ++s) {
            for (int c = 0; c < kCars; ++c) {
                auto& vehicle = *vehicles[c];
                const bool fast = vehicle.getCurrentSpeedKmHour() > 70.0f;
                for (int wheel = 2; wheel < 4; ++wheel) {
                    vehicle.applyEngineForce(fast ? 0.0f : 2500.0f, wheel);
                    vehicle.setBrake(fast ? 20.0f : 0.0f, wheel);
                }
                for (int wheel = 0; wheel < 2; ++wheel)
                    vehicle.setSteeringValue(0.12f + 0.02f * c, wheel);
            }
            world.stepSimulation(1.0f / 60.0f, 6, 1.0f / 60.0f);
        }
        const double seconds = std::chrono::duration<double>(clock::now() - start).count();
        return seconds * 1e6 / kSteps;
    }

    // Shows that the cars were really driving while they were timed.
    float meanSpeedKmh() const
    {
        float sum = 0.0f;
        for (const auto& vehicle : vehicles)
            sum += std::fabs(vehicle->getCurrentSpeedKmHour());
        return sum / kCars;
    }

private:
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher;
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world;
    btBoxShape chassisShape;
    btCompoundShape compound;
    std::unique_ptr<btRigidBody> ground;
    std::vector<std::unique_ptr<btDefaultMotionState>> motions;
    std::vector<std::unique_ptr<btRigidBody>> bodies;
    std::vector<std::unique_ptr<typename Kind::Raycaster>> raycasters;
    std::vector<std::unique_ptr<typename Kind::Vehicle>> vehicles;
};

template <class Kind>
double medianMicroseconds(btCollisionShape* ground, float& speedKmh)
{
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        CBenchWorld<Kind> world(ground);
        runs.push_back(world.stepAll());
        speedKmh = world.meanSpeedKmh();
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main()
{
    SGround ground;
    std::printf("%d cars on a %.0f m ground of %d triangles, %d steps of 1/60 s, median of %d runs\n",
                kCars, kGroundSize, kGroundCells * kGroundCells * 2, kSteps, kRuns);
    float oursKmh = 0.0f, theirsKmh = 0.0f;
    const double ours = medianMicroseconds<SOurs>(ground.shape.get(), oursKmh);
    const double theirs = medianMicroseconds<STheirs>(ground.shape.get(), theirsKmh);
    std::printf("%-36s %8.1f us per step (cars at %.0f km/h at the end)\n", SOurs::name(), ours, oursKmh);
    std::printf("%-36s %8.1f us per step (cars at %.0f km/h at the end)\n", STheirs::name(), theirs, theirsKmh);
    std::printf("ratio (game's / library's)           %8.2f\n", ours / theirs);
    return 0;
}
