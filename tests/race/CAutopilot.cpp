#include "CAutopilot.h"

#include <btBulletDynamicsCommon.h>
#include <cmath>
#include <sstream>

#include "RaceFixtures.h"
#include "race/CControllerPack.h"
#include "race/CWaypoint.h"
#include "world/CPhysicsBody.h"
#include "world/CVehicleEntity.h"
#include "world/vehicle/btRaycastVehicle.h"

using namespace irr;

namespace racetest {

namespace {
const float kPi = 3.14159265f;
const float kSlowKmh = 4.0f;
const f32 kStuckMs = 1500.0f;
const f32 kReverseMs = 1800.0f;
} // namespace

CAutopilot::CAutopilot(CRaceWorld& w, SDriveStyle driveStyle) : world(w), style(driveStyle)
{
    for (s32 i = 0; i < world.gameData.getNavigationPointCount(); ++i) {
        const CWaypoint* p = world.gameData.getNavigationPoint(i);
        path.push_back(core::vector2df(p->getX(), p->getZ()));
    }
    // A path whose ends lie close together is a loop; otherwise it runs from start to finish.
    if (path.size() > 2) {
        const float closing = path.front().getDistanceFrom(path.back());
        loop = closing < 3.0f * path[0].getDistanceFrom(path[1]);
    }
    if (CVehicleEntity* car = world.player())
        topKmh = car->getMaxVelocity();
}

CAutopilot::~CAutopilot() { setKeys(false, false, false, false); }

void CAutopilot::follow(const std::vector<core::vector2df>& points)
{
    path = points;
    loop = false;
    nearest = -1;
}

core::vector2df CAutopilot::point(int index) const { return path[static_cast<size_t>(wrap(index))]; }

int CAutopilot::wrap(int index) const
{
    const int n = static_cast<int>(path.size());
    if (loop)
        return ((index % n) + n) % n;
    return index < 0 ? 0 : (index >= n ? n - 1 : index);
}

void CAutopilot::findNearest(const core::vector2df& at)
{
    const int n = static_cast<int>(path.size());
    int from = 0, to = n - 1;
    if (nearest >= 0) {
        // Only near the last nearest point, so a track that passes close to itself is not skipped.
        from = nearest - 3;
        to = nearest + 8;
    }
    float best = -1.0f;
    int bestIndex = nearest < 0 ? 0 : nearest;
    for (int k = from; k <= to; ++k) {
        const float d = at.getDistanceFromSQ(point(k));
        if (best < 0.0f || d < best) {
            best = d;
            bestIndex = wrap(k);
        }
    }
    nearest = bestIndex;
}

core::vector2df CAutopilot::ahead(const core::vector2df& at, float metres) const
{
    core::vector2df from = at;
    int k = nearest + 1;
    const int limit = static_cast<int>(path.size()) * 2;
    for (int steps = 0; steps < limit; ++steps, ++k) {
        const core::vector2df to = point(k);
        const float length = from.getDistanceFrom(to);
        if (length >= metres)
            return from + (to - from) * (metres / length);
        metres -= length;
        from = to;
        if (!loop && wrap(k) == static_cast<int>(path.size()) - 1)
            break;
    }
    return from;
}

float CAutopilot::safeSpeed(float speedKmh) const
{
    // The corners ahead within braking reach: each allows sqrt(a * r), and the car must be able
    // to brake down to that by the time it gets there.
    const float reach = 30.0f + speedKmh / 3.6f * 3.0f;
    float limit = topKmh / 3.6f;
    float walked = 0.0f;
    const int n = static_cast<int>(path.size());
    for (int k = nearest; walked < reach && k < nearest + n; ++k) {
        const core::vector2df u = point(k + 1) - point(k), v = point(k + 2) - point(k + 1);
        const float lu = u.getLength(), lv = v.getLength();
        if (lu == 0.0f || lv == 0.0f)
            continue;
        walked += lu;
        const float turn = std::abs(std::atan2(u.X * v.Y - u.Y * v.X, u.X * v.X + u.Y * v.Y));
        if (turn < 1e-4f)
            continue;
        const float radius = 0.5f * (lu + lv) / turn;
        const float corner = std::sqrt(style.lateral * radius);
        limit = std::min(limit, std::sqrt(corner * corner + 2.0f * style.braking * walked));
    }
    return limit * 3.6f;
}

void CAutopilot::setKeys(bool forward, bool backward, bool left, bool right)
{
    const bool wanted[4] = {forward, backward, left, right};
    const EKEY_CODE codes[4] = {KEY_KEY_W, KEY_KEY_S, KEY_KEY_A, KEY_KEY_D};
    for (int i = 0; i < 4; ++i) {
        if (keys[i] != wanted[i])
            world.press(codes[i], wanted[i]);
        keys[i] = wanted[i];
    }
}

void CAutopilot::drive()
{
    CVehicleEntity* car = world.player();
    if (!car || path.size() < 2 || !car->getBodyNode()) {
        setKeys(false, false, false, false);
        return;
    }
    const btTransform& transform = world.bodyOf(car)->getWorldTransform();
    const btVector3 origin = transform.getOrigin();
    const btVector3 f = transform.getBasis().getColumn(2);
    const btVector3 r = transform.getBasis().getColumn(0);
    const core::vector2df at(origin.x(), origin.z());
    const float speed = car->getPhysicsBody()->getVehicle()->getCurrentSpeedKmHour();
    findNearest(at);

    const float look = style.lookMetres + std::abs(speed) / 3.6f * style.lookSeconds;
    core::vector2df target = ahead(at, look);
    if (style.offset != 0.0f) {
        core::vector2df along = ahead(at, look + 2.0f) - target;
        if (along.getLength() > 0.0f)
            target += core::vector2df(-along.Y, along.X).normalize() * style.offset;
    }
    const core::vector2df d = target - at;
    const float sideways = d.X * r.x() + d.Y * r.z();
    const float along = d.X * f.x() + d.Y * f.z();
    const float error = std::atan2(sideways, along);

    const f32 now = world.gameClock();
    const bool running = world.gameData.getRacePhase() != 0 && !car->isFinished();
    if (running && reverseUntil < 0.0f) {
        if (std::abs(speed) < kSlowKmh) {
            if (slowSince < 0.0f)
                slowSince = now;
            if (now - slowSince > kStuckMs) {
                reverseUntil = now + kReverseMs;
                reverseSteer = error;
                slowSince = -1.0f;
                ++reverses;
            }
        } else {
            slowSince = -1.0f;
        }
    }
    if (reverseUntil >= 0.0f) {
        if (now < reverseUntil) {
            // Backing out turns the nose towards the target: steer the other way.
            setKeys(false, true, reverseSteer > 0.0f, reverseSteer < 0.0f);
            return;
        }
        reverseUntil = -1.0f;
    }

    // Steering grows while a key is held and drops to straight when it is let go.
    const float wanted = std::max(-0.75f, std::min(0.75f, 1.6f * error));
    const float steering = car->getControllerPack()->getSteering();
    bool left = false, right = false;
    if (std::abs(wanted) > 0.03f) {
        if (wanted > 0.0f)
            right = steering < wanted;
        else
            left = steering > wanted;
    }

    // Slower into bends and when pointing away from the path.
    float limit = safeSpeed(std::abs(speed));
    limit = std::min(limit, topKmh - 70.0f * std::min(std::abs(error), 1.0f));
    limit = std::max(limit, 20.0f);
    const bool forward = speed < limit;
    const bool brake = speed > limit + 12.0f;
    if (std::abs(error) > kPi * 0.75f && speed < 10.0f) {
        // Facing backwards at low speed: a three-point turn. Backing up swings the nose against
        // the steering, so the lock goes away from the target, as when backing out.
        setKeys(false, true, error > 0.0f, error < 0.0f);
        return;
    }
    setKeys(forward, brake && !forward, left, right);
}

std::string CAutopilot::describe()
{
    std::ostringstream text;
    CVehicleEntity* car = world.player();
    if (!car || !car->getBodyNode())
        return "no player's car";
    const core::vector3df at = car->getBodyNode()->getPosition();
    text << "player at (" << at.X << ", " << at.Y << ", " << at.Z << "), nearest navigation point "
         << nearest << " of " << path.size() << ", lap " << car->getLap() << " (pending 1: "
         << car->isCheckpoint1Pending() << ", 2: " << car->isCheckpoint2Pending()
         << ", last checkpoint " << car->getLastCheckpoint() << "), speed "
         << car->getPhysicsBody()->getVehicle()->getCurrentSpeedKmHour() << " km/h, reverses "
         << reverses;
    return text.str();
}

} // namespace racetest
