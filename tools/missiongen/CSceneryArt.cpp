#include "tools/missiongen/CSceneryArt.h"

#include <cmath>

#include "tools/contentkit/CMeshBuilder.h"
#include "tools/missiongen/CShapes.h"
#include "tools/paint/CNoise.h"
#include "tools/paint/CTextRenderer.h"

namespace missiongen {

using contentkit::CMeshBuilder;
using contentkit::SMesh;
using contentkit::SSurface;
using contentkit::SVec3;
using paint::rgb8;
using paint::SColour;

namespace {

const char* nameOf(EScenery kind)
{
    switch (kind) {
    case EScenery::RockA: return "rock_a";
    case EScenery::RockB: return "rock_b";
    case EScenery::RockC: return "rock_c";
    case EScenery::Pine: return "pine";
    case EScenery::SnowPine: return "snow_pine";
    case EScenery::Broadleaf: return "broadleaf";
    case EScenery::Acacia: return "acacia";
    case EScenery::Cactus: return "cactus";
    case EScenery::Barrier: return "barrier";
    case EScenery::Flag: break;
    }
    return "flag";
}

SMesh single(const SSurface& surface, const std::string& texture, const char* name)
{
    SSurface s = surface;
    s.name = name;
    if (!texture.empty())
        s.textures = {texture};
    SMesh mesh;
    mesh.surfaces.push_back(s);
    return mesh;
}

// A round trunk standing on the ground, its bark on the atlas's left half.
SSurface trunk(float radius, float height)
{
    const SSurface c = CShapes::upright(CMeshBuilder::cylinder(radius, height, 8));
    return CShapes::mapped(CShapes::wrapped(CShapes::moved(c, {0.0f, 0.5f * height, 0.0f}), height, height), 0.0f, 0.0f,
                           0.5f, 1.0f);
}

// Foliage on the atlas's right half.
SSurface leaves(const SSurface& s) { return CShapes::mapped(s, 0.5f, 0.0f, 1.0f, 1.0f); }

SSurface treeShape(EScenery kind)
{
    SSurface s;
    switch (kind) {
    case EScenery::Pine:
    case EScenery::SnowPine:
        CMeshBuilder::append(s, trunk(0.35f, 3.0f));
        CMeshBuilder::append(s, leaves(CShapes::cone(3.0f, 4.6f, 10)), {0.0f, 2.0f, 0.0f});
        CMeshBuilder::append(s, leaves(CShapes::cone(2.4f, 4.0f, 10)), {0.0f, 4.3f, 0.0f});
        CMeshBuilder::append(s, leaves(CShapes::cone(1.6f, 3.4f, 10)), {0.0f, 6.4f, 0.0f});
        break;
    case EScenery::Broadleaf:
        CMeshBuilder::append(s, trunk(0.4f, 4.5f));
        CMeshBuilder::append(s, leaves(CShapes::ellipsoid(3.2f, 2.8f, 3.2f, 6, 10)), {0.0f, 6.2f, 0.0f});
        CMeshBuilder::append(s, leaves(CShapes::ellipsoid(2.2f, 2.0f, 2.2f, 6, 10)), {1.6f, 7.6f, 0.8f});
        CMeshBuilder::append(s, leaves(CShapes::ellipsoid(2.0f, 1.8f, 2.0f, 6, 10)), {-1.4f, 7.2f, -1.0f});
        break;
    case EScenery::Acacia:
        CMeshBuilder::append(s, trunk(0.35f, 5.0f));
        CMeshBuilder::append(s, leaves(CShapes::ellipsoid(5.0f, 1.1f, 4.6f, 5, 14)), {0.0f, 5.6f, 0.0f});
        break;
    case EScenery::Cactus: {
        // A saguaro: a ribbed column with two arms that turn upwards.
        CMeshBuilder::append(s, trunk(0.45f, 5.0f));
        CMeshBuilder::append(s, leaves(CShapes::ellipsoid(0.45f, 0.45f, 0.45f, 4, 8)), {0.0f, 5.0f, 0.0f});
        for (float side : {-1.0f, 1.0f}) {
            const float h = side < 0.0f ? 2.2f : 2.9f;
            const SSurface arm = CShapes::mapped(CMeshBuilder::cylinder(0.3f, 1.0f, 8), 0.0f, 0.0f, 0.5f, 1.0f);
            CMeshBuilder::append(s, arm, {side * 0.9f, h, 0.0f});
            CMeshBuilder::append(
                s, CShapes::mapped(CShapes::upright(CMeshBuilder::cylinder(0.3f, 1.6f, 8)), 0.0f, 0.0f, 0.5f, 1.0f),
                {side * 1.3f, h + 0.8f, 0.0f});
            CMeshBuilder::append(s, leaves(CShapes::ellipsoid(0.3f, 0.3f, 0.3f, 4, 8)), {side * 1.3f, h + 1.6f, 0.0f});
        }
        break;
    }
    default: break;
    }
    return s;
}

} // namespace

const std::vector<EScenery>& CSceneryArt::all()
{
    static const std::vector<EScenery> kAll = {
        EScenery::RockA,     EScenery::RockB,  EScenery::RockC,  EScenery::Pine,    EScenery::SnowPine,
        EScenery::Broadleaf, EScenery::Acacia, EScenery::Cactus, EScenery::Barrier, EScenery::Flag};
    return kAll;
}

bool CSceneryArt::isRock(EScenery kind)
{
    return kind == EScenery::RockA || kind == EScenery::RockB || kind == EScenery::RockC;
}

std::string CSceneryArt::meshPath(EScenery kind) { return std::string("data/scenery/") + nameOf(kind) + ".b3d"; }

std::string CSceneryArt::collisionPath(EScenery kind)
{
    if (isRock(kind) || kind == EScenery::Barrier)
        return meshPath(kind);
    return std::string("data/scenery/") + nameOf(kind) + "_body.b3d";
}

std::string CSceneryArt::texturePath(EScenery kind)
{
    if (isRock(kind))
        return "data/terrain/alpine_rock.dds";
    return std::string("data/scenery/") + nameOf(kind) + ".dds";
}

SMesh CSceneryArt::mesh(EScenery kind)
{
    switch (kind) {
    case EScenery::RockA: return single(CShapes::rock(11, 1.6f, 1.1f, 1.3f), texturePath(kind), "rock");
    case EScenery::RockB: return single(CShapes::rock(23, 2.4f, 1.6f, 1.8f), texturePath(kind), "rock");
    case EScenery::RockC: return single(CShapes::rock(37, 1.2f, 2.6f, 1.1f), texturePath(kind), "rock");
    case EScenery::Barrier: {
        // Five stacks of five tyres in a row along X: taller than a car's wheels, so a car that
        // runs into it bounces off rather than climbing it.
        SSurface wall;
        for (int stack = 0; stack < 5; ++stack)
            for (int level = 0; level < 5; ++level)
                CMeshBuilder::append(wall, CShapes::upright(CMeshBuilder::cylinder(0.45f, 0.34f, 12)),
                                     {-1.8f + 0.9f * stack, 0.17f + 0.34f * level, 0.0f});
        return single(wall, texturePath(kind), "barrier");
    }
    case EScenery::Flag: {
        SSurface flag;
        CMeshBuilder::append(flag, trunk(0.07f, 5.0f));
        CMeshBuilder::append(flag, leaves(CMeshBuilder::box({0.07f, 3.8f, -0.03f}, {1.7f, 4.9f, 0.03f})));
        return single(flag, texturePath(kind), "flag");
    }
    default: return single(treeShape(kind), texturePath(kind), nameOf(kind));
    }
}

SMesh CSceneryArt::collision(EScenery kind)
{
    if (isRock(kind) || kind == EScenery::Barrier)
        return SMesh();
    const float radius = kind == EScenery::Flag ? 0.1f : (kind == EScenery::Cactus ? 0.5f : 0.45f);
    return single(CShapes::moved(CShapes::upright(CMeshBuilder::cylinder(radius, 4.0f, 6)), {0.0f, 2.0f, 0.0f}), "",
                  "body");
}

paint::CCanvas CSceneryArt::texture(EScenery kind)
{
    const int size = 256, half = size / 2;
    const paint::CNoise noise(uint32_t(kind) * 977u + 5u);
    // Bark (or skin, or pole) light and dark, foliage dark and light.
    struct SPalette {
        EScenery kind;
        SColour bark, barkDark, leaf, leafLight;
    };
    static const SPalette kPalettes[] = {
        {EScenery::SnowPine, rgb8(92, 64, 40), rgb8(56, 38, 24), rgb8(44, 86, 60), rgb8(236, 242, 250)},
        {EScenery::Broadleaf, rgb8(92, 64, 40), rgb8(56, 38, 24), rgb8(196, 76, 22), rgb8(240, 176, 40)},
        {EScenery::Acacia, rgb8(110, 88, 62), rgb8(56, 38, 24), rgb8(92, 112, 44), rgb8(140, 150, 70)},
        {EScenery::Cactus, rgb8(70, 122, 60), rgb8(40, 84, 38), rgb8(80, 134, 66), rgb8(226, 210, 120)},
        {EScenery::Flag, rgb8(230, 230, 230), rgb8(200, 30, 30), rgb8(40, 92, 44), rgb8(72, 128, 60)},
    };
    SPalette look = {kind, rgb8(92, 64, 40), rgb8(56, 38, 24), rgb8(40, 92, 44), rgb8(72, 128, 60)};
    for (const SPalette& p : kPalettes)
        if (p.kind == kind)
            look = p;
    const SColour bark = look.bark, barkDark = look.barkDark, leaf = look.leaf, leafLight = look.leafLight;
    paint::CCanvas canvas(size, size, bark);
    canvas.shade([&](int x, int y, SColour& c) {
        const float n = noise.fbm(float(x) / 6.0f, float(y) / 6.0f, 3);
        if (kind == EScenery::Barrier) {
            // Tyres: black rubber with a red and white band round the middle.
            const float v = (float(y) + 0.5f) / size;
            c = rgb8(26, 26, 28) * (0.8f + 0.4f * n);
            if (v > 0.35f && v < 0.65f)
                c = (x / 32) % 2 ? rgb8(220, 30, 30) : rgb8(240, 240, 240);
            return;
        }
        if (x < half) {
            if (kind == EScenery::Flag) {
                c = (y / 32) % 2 ? barkDark : bark; // a striped pole
                return;
            }
            // Bark (or the cactus's skin): vertical ribs and streaks.
            const float rib = 0.5f + 0.5f * std::sin(float(x) * 0.4f + 3.0f * n);
            c = mix(barkDark, bark, 0.3f + 0.7f * rib * n);
            return;
        }
        if (kind == EScenery::Flag) {
            c = ((x / 16) + (y / 16)) % 2 ? rgb8(20, 20, 20) : rgb8(245, 245, 245); // chequered
            return;
        }
        // Foliage: clumps of light and dark, with the snow's or the blossom's tint in places.
        const float clump = noise.fbm(float(x) / 14.0f + 40.0f, float(y) / 14.0f, 3);
        c = mix(leaf * (0.7f + 0.5f * n), leafLight, std::max(0.0f, clump - 0.45f) * 2.2f);
    });
    return canvas;
}

SMesh CSceneryArt::startGate(float trackWidth)
{
    const float inner = 0.5f * trackWidth + 2.0f, outer = inner + 1.2f;
    SSurface gate;
    // The pillars on the texture's lower half, the banner beam on its upper half.
    for (float side : {-1.0f, 1.0f}) {
        const float a = side * inner, b = side * outer;
        CMeshBuilder::append(
            gate,
            CShapes::mapped(CMeshBuilder::box({std::min(a, b), -1.0f, -0.6f}, {std::max(a, b), 7.6f, 0.6f}), 0.0f, 0.5f,
                            1.0f, 1.0f));
    }
    CMeshBuilder::append(
        gate, CShapes::mapped(CMeshBuilder::box({-outer, 6.0f, -0.3f}, {outer, 7.6f, 0.3f}), 0.0f, 0.0f, 1.0f, 0.5f));
    gate.name = "gate";
    gate.textures = {startGateTexturePath()};
    SMesh mesh;
    mesh.surfaces.push_back(gate);
    return mesh;
}

std::string CSceneryArt::startGateTexturePath() { return "data/scenery/start_gate.dds"; }

paint::CCanvas CSceneryArt::startGateTexture(const std::string& fontPath)
{
    const int width = 512, height = 256;
    paint::CCanvas canvas(width, height, rgb8(200, 30, 30));
    canvas.shade([&](int x, int y, SColour& c) {
        if (y >= height / 2) {
            c = ((x + y) / 24) % 2 ? rgb8(240, 200, 20) : rgb8(30, 30, 30); // hazard stripes
            return;
        }
        const bool chequer = y < 16 || y >= height / 2 - 16;
        c = chequer ? (((x / 16) + (y / 16)) % 2 ? rgb8(20, 20, 20) : rgb8(245, 245, 245)) : rgb8(200, 30, 30);
    });
    paint::CTextRenderer text(fontPath);
    if (text.isLoaded()) {
        paint::STextStyle style;
        style.size = 76.0f;
        style.tracking = 0.06f;
        const float pen = text.penForCentre("SANDVOLT", style, 0.5f * width);
        canvas.fillMask(text.render("SANDVOLT", style, pen, 92.0f, 0.0f, width, height), rgb8(255, 255, 255));
    }
    return canvas;
}

} // namespace missiongen
