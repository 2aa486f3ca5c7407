#include "tools/missiongen/CMissionButtonPainter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/paint/CMask.h"
#include "tools/paint/CNoise.h"
#include "tools/paint/CTextRenderer.h"

namespace missiongen {

using paint::CCanvas;
using paint::CMask;
using paint::rgb8;
using paint::SColour;

namespace {

// The mean colour of a ground texture: at a metre or more a pixel, its pattern would only
// alias into stripes.
SColour meanColour(const CCanvas* canvas)
{
    if (!canvas)
        return rgb8(128, 128, 128);
    const std::vector<uint32_t> argb = canvas->toArgb(1);
    double r = 0.0, g = 0.0, b = 0.0;
    for (uint32_t p : argb) {
        r += p >> 16 & 255;
        g += p >> 8 & 255;
        b += p & 255;
    }
    const double n = 255.0 * double(std::max<size_t>(argb.size(), 1));
    return SColour(float(r / n), float(g / n), float(b / n));
}

SColour treeColour(EScenery kind)
{
    switch (kind) {
    case EScenery::SnowPine: return rgb8(200, 214, 220);
    case EScenery::Broadleaf: return rgb8(214, 110, 30);
    case EScenery::Acacia: return rgb8(104, 120, 50);
    case EScenery::Cactus: return rgb8(70, 120, 60);
    case EScenery::Barrier: return rgb8(220, 40, 40);
    case EScenery::Flag: return rgb8(250, 250, 250);
    case EScenery::Pine: return rgb8(34, 76, 40);
    default: break;
    }
    return rgb8(120, 112, 104);
}

float treeRadius(EScenery kind)
{
    switch (kind) {
    case EScenery::Pine:
    case EScenery::SnowPine: return 2.6f;
    case EScenery::Broadleaf: return 3.2f;
    case EScenery::Acacia: return 4.4f;
    case EScenery::Cactus: return 1.1f;
    case EScenery::Barrier: return 1.0f;
    case EScenery::Flag: return 0.8f;
    default: break;
    }
    return 1.6f;
}

SColour grey(const SColour& c)
{
    const float l = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
    return SColour(l, l, l);
}

// The closed loop of a polygon, in canvas pixels.
CMask polygon(const std::vector<paint::SPoint>& corners)
{
    paint::SShape shape;
    shape.contours.push_back(corners);
    return CMask::fromShape(shape, CMissionButtonPainter::kWidth, CMissionButtonPainter::kHeight);
}

} // namespace

CMissionButtonPainter::CMissionButtonPainter(const CMissionBuilder& mission,
                                             const std::array<const CCanvas*, 3>& grounds,
                                             const std::string& fontPath) :
    number(mission.getDesign().number),
    name(mission.getDesign().name), font(fontPath), picture(kWidth, kHeight, SColour())
{
    paintMap(mission, grounds);
}

void CMissionButtonPainter::paintMap(const CMissionBuilder& mission, const std::array<const CCanvas*, 3>& grounds)
{
    const CTrackPath& path = mission.getPath();
    const CTerrain& terrain = mission.getTerrain();
    // Frame the track with a margin, at the picture's proportions.
    float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
    for (const contentkit::SVec2& p : path.samples()) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        z0 = std::min(z0, p.y);
        z1 = std::max(z1, p.y);
    }
    const float aspect = float(kWidth) / float(kHeight);
    const float w = std::max(x1 - x0 + 70.0f, (z1 - z0 + 70.0f) * aspect), h = w / aspect;
    const float cx = 0.5f * (x0 + x1), cz = 0.5f * (z0 + z1);
    const float metresPerPixel = w / kWidth;
    auto toPixel = [&](float x, float z) {
        return paint::SPoint{(x - (cx - 0.5f * w)) / metresPerPixel, ((cz + 0.5f * h) - z) / metresPerPixel};
    };

    const SColour colours[3] = {meanColour(grounds[0]), meanColour(grounds[1]), meanColour(grounds[2])};
    const paint::CNoise grain(uint32_t(number) * 31u);
    const contentkit::SVec3 sun{-0.45f, 0.75f, 0.48f};
    picture.shade([&](int px, int py, SColour& c) {
        const float x = cx - 0.5f * w + (float(px) + 0.5f) * metresPerPixel;
        const float z = cz + 0.5f * h - (float(py) + 0.5f) * metresPerPixel;
        const std::array<float, 3> weight = mission.getSplat().weights(x, z);
        c = (colours[0] * weight[0] + colours[1] * weight[1] + colours[2] * weight[2]) *
            (0.92f + 0.16f * grain.fbm(x / 5.0f, z / 5.0f, 2));
        const contentkit::SVec3 n = terrain.normal(x, z);
        const float light = std::max(0.0f, n.x * sun.x + n.y * sun.y + n.z * sun.z) /
            std::sqrt(sun.x * sun.x + sun.y * sun.y + sun.z * sun.z);
        c = c * (0.35f + 0.85f * light);
        // Past the end of the world the picture fades to black.
        const float beyond = std::max(std::fabs(x), std::fabs(z)) - 0.5f * terrain.size();
        c = c * std::clamp(-beyond / 40.0f, 0.0f, 1.0f);
    });

    // Trees and rocks as blobs with a shadow, so a forest reads as one.
    const float pixels = 1.0f / metresPerPixel;
    for (const SPlacement& p : mission.getScenery()) {
        const paint::SPoint at = toPixel(p.position.x, p.position.z);
        const float r = std::max(1.2f, treeRadius(p.kind) * p.scale * pixels);
        if (at.x < -r || at.y < -r || at.x > kWidth + r || at.y > kHeight + r)
            continue;
        picture.fillMask(CMask::circle(at.x + 0.6f * r, at.y + 0.6f * r, r, kWidth, kHeight), rgb8(0, 0, 0), 0.35f);
        const SColour colour = CSceneryArt::isRock(p.kind) ? rgb8(128, 120, 110) : treeColour(p.kind);
        picture.fillMask(CMask::circle(at.x, at.y, r, kWidth, kHeight), colour);
    }

    // The start line: a white bar across the track.
    const contentkit::SVec2 c = path.point(0.0f), d = path.direction(0.0f), l = path.left(0.0f);
    const float half = terrain.halfWidth(), depth = std::max(1.5f, 2.0f * metresPerPixel);
    const float corners[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    std::vector<paint::SPoint> bar;
    for (const auto& corner : corners)
        bar.push_back(toPixel(c.x + corner[0] * half * l.x + corner[1] * depth * d.x,
                              c.y + corner[0] * half * l.y + corner[1] * depth * d.y));
    picture.fillMask(polygon(bar), rgb8(250, 250, 250));
}

CCanvas CMissionButtonPainter::paint(EButtonState state) const
{
    CCanvas canvas = picture;
    const bool locked = state == EButtonState::Locked || state == EButtonState::LockedHover;
    const bool hover = state == EButtonState::Hover || state == EButtonState::LockedHover;
    canvas.shade([&](int x, int y, SColour& c) {
        if (locked)
            c = grey(c) * (hover ? 0.7f : 0.5f);
        else if (hover)
            c = c * 1.18f + SColour(0.04f, 0.04f, 0.02f);
        // A soft darkening towards the corners keeps the lettering readable.
        const float u = float(x) / kWidth - 0.5f, v = float(y) / kHeight - 0.5f;
        c = c * (1.0f - 0.5f * (u * u + v * v));
    });

    // The name on a dark band along the bottom.
    canvas.fillMask(CMask::roundedRect(0.0f, kHeight - 58.0f, kWidth, kHeight, 0.0f, kWidth, kHeight), rgb8(0, 0, 0),
                    0.55f);
    const SColour gold = rgb8(0xF2, 0xC6, 0x01), amber = rgb8(0xD6, 0x99, 0x00);
    const SColour ink = locked ? rgb8(170, 170, 170) : (hover ? gold : rgb8(255, 255, 255));
    paint::CTextRenderer text(font);
    if (text.isLoaded()) {
        paint::STextStyle small;
        small.size = 34.0f;
        const float pen = text.penForCentre(name, small, 0.5f * kWidth);
        canvas.fillMask(text.render(name, small, pen, kHeight - 18.0f, 0.0f, kWidth, kHeight), locked ? ink : amber);
        // The number large in the top left corner, outlined so it stands out of any ground.
        paint::STextStyle big;
        big.size = 150.0f;
        const std::string digits = std::to_string(number);
        canvas.fillMask(text.render(digits, big, 26.0f, 142.0f, 7.0f, kWidth, kHeight).blurred(3.0f, kWidth, kHeight),
                        rgb8(0, 0, 0), 0.8f);
        canvas.fillMask(text.render(digits, big, 26.0f, 142.0f, 0.0f, kWidth, kHeight), ink);
    }

    if (locked) {
        // A padlock: its shackle a half ring over a rounded body.
        const float mx = 0.5f * kWidth, my = 0.5f * kHeight - 10.0f;
        std::vector<paint::SPoint> shackle;
        const float outer = 34.0f, inner = 22.0f;
        for (int i = 0; i <= 24; ++i) {
            const float a = 3.14159265f * float(i) / 24.0f;
            shackle.push_back({mx - outer * std::cos(a), my - 10.0f - outer * std::sin(a)});
        }
        shackle.push_back({mx + outer, my + 10.0f});
        shackle.push_back({mx + inner, my + 10.0f});
        for (int i = 24; i >= 0; --i) {
            const float a = 3.14159265f * float(i) / 24.0f;
            shackle.push_back({mx - inner * std::cos(a), my - 10.0f - inner * std::sin(a)});
        }
        shackle.push_back({mx - inner, my + 10.0f});
        shackle.push_back({mx - outer, my + 10.0f});
        const SColour steel = hover ? rgb8(220, 220, 220) : rgb8(190, 190, 190);
        canvas.fillMask(polygon(shackle), steel);
        canvas.fillMask(CMask::roundedRect(mx - 50.0f, my, mx + 50.0f, my + 76.0f, 10.0f, kWidth, kHeight),
                        hover ? gold : amber);
        canvas.fillMask(CMask::circle(mx, my + 32.0f, 9.0f, kWidth, kHeight), rgb8(40, 30, 10));
        canvas.fillMask(CMask::roundedRect(mx - 4.0f, my + 34.0f, mx + 4.0f, my + 58.0f, 2.0f, kWidth, kHeight),
                        rgb8(40, 30, 10));
    }

    // The frame: gold under the mouse, dark otherwise.
    const float border = hover ? 8.0f : 5.0f;
    const SColour frame = hover ? (locked ? rgb8(150, 130, 60) : gold) : rgb8(24, 22, 20);
    canvas.shade([&](int x, int y, SColour& c) {
        if (x < border || y < border || x >= kWidth - border || y >= kHeight - border)
            c = frame;
    });
    return canvas;
}

std::string CMissionButtonPainter::path(int mission, EButtonState state)
{
    static const char* const kSuffix[4] = {"_no.jpg", "_yes.jpg", "l_no.jpg", "l_yes.jpg"};
    return std::string("data/2d/menu/b0") + char('0' + mission) + kSuffix[int(state)];
}

} // namespace missiongen
