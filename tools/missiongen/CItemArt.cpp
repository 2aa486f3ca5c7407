#include "tools/missiongen/CItemArt.h"

#include <cmath>

#include "tools/contentkit/CMeshBuilder.h"
#include "tools/missiongen/CShapes.h"
#include "tools/paint/CTextRenderer.h"

namespace missiongen {

using contentkit::CMeshBuilder;
using contentkit::SSurface;
using paint::rgb8;
using paint::SColour;

namespace {

const char* nameOf(EItem item)
{
    switch (item) {
    case EItem::Who: return "who";
    case EItem::Rocket: return "rocket";
    case EItem::Tyre: break;
    }
    return "tyre";
}

} // namespace

std::string CItemArt::meshPath(EItem item) { return std::string("data/items/") + nameOf(item) + ".b3d"; }
std::string CItemArt::texturePath(EItem item) { return std::string("data/items/") + nameOf(item) + ".dds"; }

contentkit::SMesh CItemArt::mesh(EItem item)
{
    SSurface s;
    s.name = nameOf(item);
    switch (item) {
    case EItem::Who:
        // Every face of the crate shows the whole question mark.
        s = CMeshBuilder::box({-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f});
        break;
    case EItem::Rocket: {
        // Body and nose on the texture's left half, the fins on its right.
        const SSurface body = CShapes::wrapped(CShapes::upright(CMeshBuilder::cylinder(0.22f, 1.0f, 16)), 0.5f, 1.0f);
        CMeshBuilder::append(s, CShapes::mapped(body, 0.0f, 0.0f, 0.5f, 1.0f));
        CMeshBuilder::append(s, CShapes::mapped(CShapes::cone(0.22f, 0.45f, 16), 0.0f, 0.0f, 0.5f, 0.2f),
                             {0.0f, 0.5f, 0.0f});
        for (int fin = 0; fin < 4; ++fin) {
            const SSurface blade = CMeshBuilder::box({0.18f, -0.55f, -0.03f}, {0.45f, -0.15f, 0.03f});
            CMeshBuilder::append(s, CShapes::mapped(CShapes::yawed(blade, 90.0f * fin), 0.5f, 0.0f, 1.0f, 1.0f));
        }
        break;
    }
    case EItem::Tyre: {
        // A tyre standing on its tread, hub on the right half like the cars' wheels.
        s = CMeshBuilder::cylinder(0.55f, 0.38f, 20);
        for (contentkit::SVertex& v : s.vertices) {
            const bool hub = std::fabs(v.normal.x) > 0.5f;
            v.uv = {(hub ? 0.5f : 0.0f) + 0.5f * std::min(v.uv.x, 0.998f), std::min(v.uv.y, 0.998f)};
        }
        break;
    }
    }
    s.name = nameOf(item);
    s.textures = {texturePath(item)};
    contentkit::SMesh mesh;
    mesh.surfaces.push_back(s);
    return mesh;
}

paint::CCanvas CItemArt::texture(EItem item, const std::string& fontPath)
{
    const int size = 128;
    switch (item) {
    case EItem::Who: {
        paint::CCanvas canvas(size, size, rgb8(248, 176, 24));
        canvas.shade([&](int x, int y, SColour& c) {
            const bool edge = x < 8 || y < 8 || x >= size - 8 || y >= size - 8;
            c = edge ? rgb8(150, 80, 10) : rgb8(250, 190, 40) * (1.0f - 0.15f * float(y) / size);
        });
        paint::CTextRenderer text(fontPath);
        if (text.isLoaded()) {
            paint::STextStyle style;
            style.size = 104.0f;
            const float pen = text.penForCentre("?", style, 64.0f);
            const paint::SInkBox ink = text.measure("?", style);
            const float baseline = 64.0f - 0.5f * (ink.top + ink.bottom);
            canvas.fillMask(text.render("?", style, pen, baseline, 4.0f, size, size), rgb8(110, 50, 0));
            canvas.fillMask(text.render("?", style, pen, baseline, 0.0f, size, size), rgb8(255, 255, 255));
        }
        return canvas;
    }
    case EItem::Rocket: {
        paint::CCanvas canvas(size, size, rgb8(230, 230, 236));
        canvas.shade([&](int x, int y, SColour& c) {
            if (x >= size / 2) {
                c = rgb8(214, 36, 30);
                return;
            }
            // Nose red, then a white body with a blue band and a flame-coloured tail.
            const float v = (float(y) + 0.5f) / size;
            c = v < 0.2f ? rgb8(214, 36, 30) : (v > 0.55f && v < 0.68f ? rgb8(30, 70, 200) : rgb8(236, 236, 240));
            if (v > 0.9f)
                c = rgb8(255, 150, 30);
        });
        return canvas;
    }
    case EItem::Tyre: break;
    }
    paint::CCanvas canvas(size, size, rgb8(24, 24, 26));
    canvas.shade([&](int x, int y, SColour& c) {
        if (x < size / 2) {
            c = ((y / 8) + (x > size / 4 ? 1 : 0)) % 2 ? rgb8(44, 44, 46) : rgb8(18, 18, 20);
            return;
        }
        // A glowing green rim: the tyre gives the engine more pull.
        const float u = (float(x - size / 2) + 0.5f) / (size / 2) - 0.5f, v = (float(y) + 0.5f) / size - 0.5f;
        const float r = 2.0f * std::hypot(u, v);
        c = r < 0.6f ? (r < 0.2f ? rgb8(30, 90, 20) : rgb8(120, 230, 60)) : rgb8(30, 30, 32);
    });
    return canvas;
}

} // namespace missiongen
