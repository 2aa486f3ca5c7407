#include "tools/missiongen/drive/CMissionDrive.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "audio/CSoundManager.h"
#include "core/CGameData.h"
#include "core/CGameEngine.h"
#include "race/CAIControllerPack.h"
#include "race/CWaypoint.h"
#include "tools/missiongen/session/CMissionSession.h"
#include "world/CEntityManager.h"
#include "world/COSEntity.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/vehicle/btRaycastVehicle.h"

namespace {

const float kStep = 1.0f / 60.0f;
const float kStartMs = 10000.0f; // the game clock when the race goes green

// A car the mission could not build has no body to drive; the race leaves it standing too.
bool drives(CVehicleEntity* car)
{
    return car->getPhysicsBody() && car->getPhysicsBody()->getVehicle() && car->getPhysicsBody()->getRigidBody();
}

} // namespace

CMissionDrive::CMissionDrive(const CMissionSession& missionSession) : session(missionSession)
{
}

void CMissionDrive::countCheckpoints(std::vector<SDriveResult>& results, std::vector<float>& lapStart, float now)
{
    // The game's lap rule: a lap counts when a car comes to the line from checkpoint 2 having
    // passed 1 and then 2 forwards since its last lap.
    for (int j = 0; j < session.entities->getCheckpointCount(); ++j) {
        COSEntity* checkpoint = session.entities->getCheckpoint(j);
        for (int i = 0; i < session.entities->getVehicleCount(); ++i) {
            CVehicleEntity* car = session.entities->getVehicle(i);
            if (!drives(car))
                continue;
            if (!session.engine->isTouching(car->getPhysicsBody()->getRigidBody(), checkpoint->getRigidBody()))
                continue;
            const int p = car->getLastCheckpoint(), k = checkpoint->getId();
            if (p == 2 && k == 1)
                car->setCheckpoint1Pending(true);
            else if (p == 2 && k == 0 && !car->isCheckpoint1Pending() && !car->isCheckpoint2Pending()) {
                car->setLap(car->getLap() + 1);
                car->setCheckpoint1Pending(true);
                car->setCheckpoint2Pending(true);
                if (car->getLap() > 0)
                    results[size_t(i)].lapTimes.push_back((now - lapStart[size_t(i)]) / 1000.0f);
                lapStart[size_t(i)] = now;
            } else if (p == 0 && k == 2)
                car->setCheckpoint2Pending(true);
            else if (p == 0 && k == 1)
                car->setCheckpoint1Pending(false);
            else if (p == 1 && k == 2)
                car->setCheckpoint2Pending(false);
            car->setLastCheckpoint(k);
        }
    }
}

std::vector<SDriveResult> CMissionDrive::race(const std::string& missionDir, float limitSeconds)
{
    std::vector<SDriveResult> results;
    irr::ITimer* timer = session.engine->getDevice()->getTimer();
    timer->setTime(0);
    if (!session.gameData->loadMission(missionDir.c_str(), session.entities, session.sounds, session.settings)) {
        std::printf("ERROR: %s did not load\n", missionDir.c_str());
        return results;
    }
    // The player's car gets a computer driver of its own, on the first computer lane when there
    // is one, else on the navigation path.
    std::unique_ptr<CAIControllerPack> autopilot(new CAIControllerPack());
    CAIControllerPack* lane = nullptr;
    for (int i = 0; i < session.entities->getVehicleCount() && !lane; ++i)
        lane = dynamic_cast<CAIControllerPack*>(session.entities->getVehicle(i)->getControllerPack());
    if (lane) {
        for (int k = 0; k < lane->getWaypointCount(); ++k)
            autopilot->addWaypoint(new CWaypoint(lane->getWaypoint(k)->getX(), lane->getWaypoint(k)->getZ()));
    } else {
        // Point 0 of the navigation path is on the line: start from the next one.
        const int n = session.gameData->getNavigationPointCount();
        for (int k = 1; k <= n; ++k)
            autopilot->addWaypoint(new CWaypoint(session.gameData->getNavigationPoint(k % n)->getX(),
                                                 session.gameData->getNavigationPoint(k % n)->getZ()));
    }
    CVehicleEntity* player = session.entities->getVehicle(session.entities->getPlayerVehicleIndex());
    autopilot->setVehicle(player);

    for (int i = 0; i < session.entities->getVehicleCount(); ++i) {
        if (!drives(session.entities->getVehicle(i)))
            std::printf("Warning: vehicle \"%s\" was not built; it is left out of the drive\n",
                        session.entities->getVehicle(i)->getName().c_str());
        SDriveResult r;
        r.car = session.entities->getVehicle(i)->getName();
        r.player = i == session.entities->getPlayerVehicleIndex();
        results.push_back(r);
    }
    std::vector<float> lapStart(results.size(), kStartMs);
    std::vector<int> standing(results.size(), 0); // frames in a row under 5 km/h
    const int laps = session.gameData->getLaps();
    const int frames = int(limitSeconds / kStep);
    for (int frame = 0; frame < frames; ++frame) {
        const float now = kStartMs + float(frame) * kStep * 1000.0f;
        timer->setTime(irr::u32(now));
        bool racing = false;
        for (int i = 0; i < session.entities->getVehicleCount(); ++i) {
            CVehicleEntity* car = session.entities->getVehicle(i);
            CControllerPack* driver = car == player ? autopilot.get() : car->getControllerPack();
            if (!drives(car) || !driver)
                continue;
            sandvolt::btRaycastVehicle* vehicle = car->getPhysicsBody()->getVehicle();
            float force = 0.0f, brake = car->getMaxBreakingForce(), steering = 0.0f;
            if (car->getLap() < laps) {
                racing = true;
                driver->update(kStep, frame == 0);
                force = driver->getEngineForce();
                brake = driver->getBrakeForce();
                steering = driver->getSteering();
                // The player's keys give no drive at the speed limit and brake with half force
                // there: a player cannot coast past the limit downhill as a computer car does.
                if (car == player && vehicle->getCurrentSpeedKmHour() >= car->getMaxVelocity()) {
                    force = 0.0f;
                    brake = 0.5f * car->getMaxBreakingForce();
                }
            }
            for (int wheel = 2; wheel < 4; ++wheel) {
                vehicle->applyEngineForce(force, wheel);
                vehicle->setBrake(brake, wheel);
            }
            for (int wheel = 0; wheel < 2; ++wheel)
                vehicle->setSteeringValue(steering, wheel);
            // As the race does: a car in the air gets all the angular damping there is.
            int grounded = 0;
            for (int wheel = 0; wheel < 4; ++wheel)
                grounded += vehicle->getWheelInfo(wheel).m_raycastInfo.m_groundObject != nullptr;
            car->getPhysicsBody()->getRigidBody()->setDamping(0.0f, frame > 0 && grounded == 0 ? 5.0f : 0.0f);
        }
        if (!racing)
            break;
        session.engine->getDynamicsWorld()->stepSimulation(kStep, 6, kStep);
        for (int i = 0; i < session.entities->getVehicleCount(); ++i) {
            session.entities->getVehicle(i)->updateNodes();
            session.entities->getVehicle(i)->checkOverturned(session.entities);
        }
        countCheckpoints(results, lapStart, now);
        for (size_t i = 0; i < results.size(); ++i) {
            CVehicleEntity* car = session.entities->getVehicle(int(i));
            if (!drives(car))
                continue;
            results[i].laps = car->getLap() < 0 ? 0 : car->getLap();
            if (!results[i].finished && car->getLap() >= laps) {
                results[i].finished = true;
                results[i].seconds = (now - kStartMs) / 1000.0f;
            }
            if (!results[i].finished)
                results[i].seconds = (now - kStartMs) / 1000.0f;
            const float speed = car->getPhysicsBody()->getVehicle()->getCurrentSpeedKmHour();
            results[i].topSpeed = std::max(results[i].topSpeed, speed);
            if (results[i].finished || frame < 120 || std::fabs(speed) >= 5.0f)
                standing[i] = 0;
            else if (++standing[i] == 60)
                ++results[i].stops;
        }
    }
    return results;
}
