#include "tools/missiongen/CCarFactory.h"

#include <cmath>

#include "tools/contentkit/CMeshBuilder.h"
#include "tools/missiongen/CShapes.h"
#include "tools/paint/CNoise.h"

namespace missiongen {

using contentkit::CMeshBuilder;
using contentkit::SSurface;
using contentkit::SVec3;
using paint::rgb8;
using paint::SColour;

namespace {

enum ERegion { Paint, Glass, Trim, Lamps };

// Each body part takes its look from one quarter of the body texture.
SSurface in(const SSurface& part, ERegion region)
{
    const float u0 = (region == Glass || region == Lamps) ? 0.5f : 0.0f;
    const float v0 = (region == Trim || region == Lamps) ? 0.5f : 0.0f;
    return CShapes::mapped(part, u0, v0, u0 + 0.5f, v0 + 0.5f);
}

SSurface box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    return CMeshBuilder::box({x0, y0, z0}, {x1, y1, z1});
}

// An open buggy: a wedge-nosed tub, the engine behind the driver and a roll cage over him.
void buggyShell(SSurface& shell)
{
    CMeshBuilder::append(shell, in(CShapes::wedge({-0.95f, 1.0f, -1.75f}, {0.95f, 1.6f, 1.3f}, 1.35f, 1.6f), Paint));
    CMeshBuilder::append(shell, in(CShapes::wedge({-0.8f, 1.05f, 1.3f}, {0.8f, 1.35f, 2.0f}, 1.15f, 1.35f), Paint));
    CMeshBuilder::append(shell, in(box(-0.9f, 1.0f, 1.95f, 0.9f, 1.22f, 2.12f), Lamps));
    CMeshBuilder::append(shell, in(box(-0.75f, 1.6f, -1.95f, 0.75f, 2.0f, -1.05f), Trim));
    CMeshBuilder::append(shell, in(box(-0.95f, 1.0f, -2.05f, 0.95f, 1.3f, -1.75f), Lamps));
    CMeshBuilder::append(shell, in(CShapes::ellipsoid(0.26f, 0.28f, 0.28f, 6, 10), Glass), {0.0f, 2.02f, -0.35f});
    // The cage: four posts, two side rails and two cross bars, with a painted roof panel.
    const float t = 0.06f;
    for (float x : {-0.8f, 0.8f}) {
        for (float z : {-0.95f, 0.45f})
            CMeshBuilder::append(shell, in(box(x - t, 1.6f, z - t, x + t, 2.55f, z + t), Trim));
        CMeshBuilder::append(shell, in(box(x - t, 2.49f, -0.95f - t, x + t, 2.55f, 0.45f + t), Trim));
    }
    for (float z : {-0.95f, 0.45f})
        CMeshBuilder::append(shell, in(box(-0.8f - t, 2.49f, z - t, 0.8f + t, 2.55f, z + t), Trim));
    CMeshBuilder::append(shell, in(box(-0.82f, 2.55f, -0.97f, 0.82f, 2.6f, 0.2f), Paint));
}

// A rally saloon: a long low body, a glass cabin under a painted roof and a rear wing.
void rallyShell(SSurface& shell)
{
    CMeshBuilder::append(shell, in(box(-1.0f, 1.0f, -2.15f, 1.0f, 1.65f, 1.3f), Paint));
    CMeshBuilder::append(shell, in(CShapes::wedge({-1.0f, 1.0f, 1.3f}, {1.0f, 1.65f, 2.2f}, 1.35f, 1.65f), Paint));
    CMeshBuilder::append(shell, in(box(-0.95f, 1.02f, 2.15f, 0.95f, 1.3f, 2.28f), Lamps));
    CMeshBuilder::append(shell, in(box(-0.95f, 1.02f, -2.25f, 0.95f, 1.3f, -2.12f), Lamps));
    CMeshBuilder::append(shell, in(CShapes::wedge({-0.85f, 1.65f, -1.35f}, {0.85f, 2.35f, 0.75f}, 1.7f, 2.35f), Glass));
    CMeshBuilder::append(shell, in(box(-0.87f, 2.33f, -1.4f, 0.87f, 2.42f, 0.25f), Paint));
    CMeshBuilder::append(shell, in(box(-0.98f, 2.05f, -2.2f, 0.98f, 2.12f, -1.85f), Trim));
    for (float x : {-0.7f, 0.7f})
        CMeshBuilder::append(shell, in(box(x - 0.05f, 1.65f, -2.1f, x + 0.05f, 2.05f, -1.95f), Trim));
}

// A pick-up truck standing tall over its big wheels: frame, body, cab, load bed and bull bar.
void truckShell(SSurface& shell)
{
    CMeshBuilder::append(shell, in(box(-0.7f, 0.95f, -2.3f, 0.7f, 1.3f, 2.3f), Trim));
    CMeshBuilder::append(shell, in(box(-1.2f, 1.3f, -2.4f, 1.2f, 1.9f, 1.6f), Paint));
    CMeshBuilder::append(shell, in(CShapes::wedge({-1.2f, 1.3f, 1.6f}, {1.2f, 2.05f, 2.45f}, 1.85f, 2.05f), Paint));
    CMeshBuilder::append(shell, in(box(-1.1f, 1.2f, 2.4f, 1.1f, 1.65f, 2.6f), Lamps));
    CMeshBuilder::append(shell, in(CShapes::wedge({-1.1f, 1.9f, -0.7f}, {1.1f, 2.8f, 0.95f}, 2.0f, 2.8f), Glass));
    CMeshBuilder::append(shell, in(box(-1.12f, 2.78f, -0.75f, 1.12f, 2.88f, 0.5f), Paint));
    CMeshBuilder::append(shell, in(box(-0.8f, 2.88f, -0.3f, 0.8f, 3.0f, 0.0f), Lamps));
    for (float x : {-1.15f, 1.1f})
        CMeshBuilder::append(shell, in(box(x, 1.9f, -2.4f, x + 0.05f, 2.3f, -0.75f), Paint));
    CMeshBuilder::append(shell, in(box(-1.15f, 1.9f, -2.45f, 1.15f, 2.3f, -2.4f), Paint));
    CMeshBuilder::append(shell, in(box(-1.1f, 1.9f, -2.4f, 1.1f, 1.95f, -0.75f), Trim));
}

} // namespace

const std::vector<SPaint>& CCarFactory::paints()
{
    static const std::vector<SPaint> kPaints = {
        {"red", 206, 32, 28},     {"blue", 28, 86, 204},    {"yellow", 236, 196, 20}, {"green", 36, 160, 64},
        {"orange", 240, 120, 16}, {"purple", 130, 50, 180}, {"white", 236, 236, 232}, {"teal", 20, 160, 170},
    };
    return kPaints;
}

const SCarSpec& CCarFactory::spec(ECarStyle style)
{
    static const SCarSpec kBuggy = {"buggy", "VEHICLE0", {2.0f, 1.0f, 4.0f},
                                    800.0f,  150.0f,     "data/audio/engines/buggy.ogg"};
    static const SCarSpec kRally = {"rally", "VEHICLE0", {2.0f, 1.0f, 4.4f},
                                    900.0f,  170.0f,     "data/audio/engines/buggy.ogg"};
    static const SCarSpec kTruck = {"truck", "VEHICLE1", {2.4f, 1.2f, 4.8f},
                                    1400.0f, 230.0f,     "data/audio/engines/truck.ogg"};
    switch (style) {
    case ECarStyle::Buggy: return kBuggy;
    case ECarStyle::Rally: return kRally;
    case ECarStyle::Truck: break;
    }
    return kTruck;
}

contentkit::SCarLayout CCarFactory::layout(ECarStyle style)
{
    return contentkit::SCarLayout::forShape(spec(style).shapeType, spec(style).size);
}

std::string CCarFactory::bodyPath(ECarStyle style, int paint)
{
    return std::string("data/cars/") + spec(style).folder + "/body_" + paints()[size_t(paint)].name + ".b3d";
}

std::string CCarFactory::paintPath(int paint)
{
    return std::string("data/cars/paint_") + paints()[size_t(paint)].name + ".dds";
}

std::string CCarFactory::wheelPath(ECarStyle style)
{
    return std::string("data/cars/") + spec(style).folder + "/wheel.b3d";
}

std::string CCarFactory::wheelTexturePath(ECarStyle style)
{
    return std::string("data/cars/") + spec(style).folder + "/wheel.dds";
}

contentkit::SSkinnedMesh CCarFactory::body(ECarStyle style, int paint)
{
    const SPaint& p = paints()[size_t(paint)];
    const std::vector<std::string> textures = {paintPath(paint)};
    contentkit::SSkinnedMesh car =
        contentkit::CCarMeshBuilder::body(layout(style), textures, {uint8_t(p.r), uint8_t(p.g), uint8_t(p.b), 255});
    // Our own shell in place of the kit's plain box; the suspension (surface 1, which the joints
    // weigh) stays, drawn in the dark trim.
    SSurface shell;
    shell.name = "body";
    shell.textures = textures;
    shell.colour = {255, 255, 255, 255};
    switch (style) {
    case ECarStyle::Buggy: buggyShell(shell); break;
    case ECarStyle::Rally: rallyShell(shell); break;
    case ECarStyle::Truck: truckShell(shell); break;
    }
    car.mesh.surfaces[0] = shell;
    SSurface& suspension = car.mesh.surfaces[1];
    suspension = in(suspension, Trim);
    suspension.textures = textures;
    suspension.colour = {255, 255, 255, 255};
    return car;
}

paint::CCanvas CCarFactory::bodyTexture(int paintIndex)
{
    const SPaint& p = paints()[size_t(paintIndex)];
    const SColour base = rgb8(p.r, p.g, p.b);
    const paint::CNoise noise(uint32_t(811 + paintIndex));
    const int size = 256, half = size / 2;
    paint::CCanvas canvas(size, size, base);
    canvas.shade([&](int x, int y, SColour& c) {
        const float u = float(x % half) / half, v = float(y % half) / half;
        const float grain = noise.fbm(float(x) / 9.0f, float(y) / 9.0f, 2) - 0.5f;
        if (x < half && y < half) {
            // Paint: a soft sheen from the top, a dark pinstripe low down the sides.
            c = base * (1.08f - 0.25f * v + 0.05f * grain);
            if (v > 0.78f && v < 0.84f)
                c = base * 0.35f;
        } else if (y < half) {
            // Glass: dark blue with a pale streak of sky across it.
            c = rgb8(34, 46, 64) * (1.0f + 0.1f * grain);
            const float streak = std::fabs(u + v - 0.9f);
            if (streak < 0.08f)
                c = mix(c, rgb8(170, 190, 210), 0.5f * (1.0f - streak / 0.08f));
        } else if (x < half) {
            c = rgb8(38, 38, 40) * (1.0f + 0.3f * grain); // trim: dark plastic and steel
        } else {
            // Lamps: two round lamps on a dark grille.
            c = rgb8(30, 30, 32) * (1.0f + 0.2f * ((int(u * 16.0f) + int(v * 8.0f)) % 2));
            for (float cx : {0.18f, 0.82f}) {
                const float d = std::hypot(u - cx, (v - 0.5f) * 1.2f);
                if (d < 0.13f)
                    c = mix(rgb8(255, 244, 200), rgb8(255, 200, 90), d / 0.13f);
            }
        }
    });
    return canvas;
}

contentkit::SMesh CCarFactory::wheel(ECarStyle style)
{
    contentkit::SMesh mesh = contentkit::CCarMeshBuilder::wheel(layout(style), {wheelTexturePath(style)});
    // The tread (normals across the axle) on the texture's left half, the two hubs on its right.
    for (contentkit::SVertex& v : mesh.surfaces[0].vertices) {
        const bool hub = std::fabs(v.normal.x) > 0.5f;
        v.uv = {(hub ? 0.5f : 0.0f) + 0.5f * std::min(v.uv.x, 0.999f), std::min(v.uv.y, 0.999f)};
    }
    return mesh;
}

paint::CCanvas CCarFactory::wheelTexture(ECarStyle style)
{
    const bool truck = style == ECarStyle::Truck;
    const int size = 128, half = size / 2;
    paint::CCanvas canvas(size, size, rgb8(26, 26, 28));
    canvas.shade([&](int x, int y, SColour& c) {
        if (x < half) {
            // Tread blocks: alternating lugs across the tyre, deeper on the truck.
            const bool lug = ((y / (truck ? 10 : 8)) + (x > half / 2 ? 1 : 0)) % 2 == 0;
            c = lug ? rgb8(44, 44, 46) : rgb8(16, 16, 18);
            return;
        }
        const float u = (float(x - half) + 0.5f) / half - 0.5f, v = (float(y) + 0.5f) / size - 0.5f;
        const float r = 2.0f * std::hypot(u, v);
        if (r < 0.62f) {
            // The rim: steel with five spokes and a dark hub nut.
            const float angle = std::atan2(v, u);
            const bool spoke = std::fabs(std::sin(2.5f * angle)) > 0.55f;
            c = spoke || r < 0.2f ? rgb8(196, 198, 204) : rgb8(90, 92, 98);
            if (r < 0.1f)
                c = rgb8(40, 40, 44);
        } else {
            c = rgb8(30, 30, 32); // sidewall
        }
    });
    return canvas;
}

contentkit::SObjectRecord CCarFactory::vehicle(const SCarEntry& car, const SVec3& position, float yaw)
{
    const SCarSpec& s = spec(car.style);
    const SPaint& p = paints()[size_t(car.paint)];
    contentkit::SObjectRecord o;
    o.kind = contentkit::EObjectKind::Vehicle;
    o.name = car.name;
    o.parentName = "NULL";
    o.displayName = car.name;
    o.mesh = bodyPath(car.style, car.paint);
    o.wheelFL = o.wheelFR = o.wheelBL = o.wheelBR = wheelPath(car.style);
    o.position = position;
    o.rotation = SVec3{0.0f, yaw, 0.0f};
    o.scale = SVec3{1.0f, 1.0f, 1.0f};
    o.transparent = 0;
    o.maxEngineForce = car.maxEngineForce;
    o.maxBreakingForce = s.maxBreakingForce;
    o.maxVelocity = car.maxVelocity;
    o.color = contentkit::SColorRecord{p.r, p.g, p.b, 255};
    o.physic = contentkit::SPhysicRecord{s.shapeType, o.mesh.value(), s.size, s.mass};
    o.controller = car.player ? "Manual" : "AI";
    o.engineSound = s.engineSound;
    return o;
}

} // namespace missiongen
