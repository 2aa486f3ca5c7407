#include "tools/missiongen/CShapes.h"

#include <algorithm>
#include <cmath>

#include "tools/contentkit/CMeshBuilder.h"
#include "tools/paint/CNoise.h"

namespace missiongen {

using contentkit::CMeshBuilder;
using contentkit::SSurface;
using contentkit::SVec2;
using contentkit::SVec3;
using contentkit::SVertex;

namespace {

const double kPi = 3.14159265358979323846;

SVec3 sub(const SVec3& a, const SVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SVec3 cross(const SVec3& a, const SVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
SVec3 normalised(const SVec3& v)
{
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0.0f ? SVec3{v.x / l, v.y / l, v.z / l} : SVec3{0.0f, 1.0f, 0.0f};
}

} // namespace

SSurface CShapes::cone(float radius, float height, uint32_t segments)
{
    segments = std::max<uint32_t>(segments, 3);
    SSurface s;
    s.name = "cone";
    const float slant = std::atan2(radius, height);
    for (uint32_t i = 0; i < segments; ++i) {
        const double a0 = 2.0 * kPi * i / segments, a1 = 2.0 * kPi * (i + 1) / segments, am = 0.5 * (a0 + a1);
        const SVec3 n0{float(std::cos(a0) * std::cos(slant)), std::sin(slant), float(std::sin(a0) * std::cos(slant))};
        const SVec3 n1{float(std::cos(a1) * std::cos(slant)), std::sin(slant), float(std::sin(a1) * std::cos(slant))};
        const SVec3 nm{float(std::cos(am) * std::cos(slant)), std::sin(slant), float(std::sin(am) * std::cos(slant))};
        const uint32_t tip = CMeshBuilder::vertex(s, {0.0f, height, 0.0f}, nm, {float(i + 0.5f) / segments, 0.0f});
        const uint32_t b0 = CMeshBuilder::vertex(s, {float(radius * std::cos(a0)), 0.0f, float(radius * std::sin(a0))},
                                                 n0, {float(i) / segments, 1.0f});
        const uint32_t b1 = CMeshBuilder::vertex(s, {float(radius * std::cos(a1)), 0.0f, float(radius * std::sin(a1))},
                                                 n1, {float(i + 1) / segments, 1.0f});
        CMeshBuilder::addTriangle(s, tip, b0, b1, nm);
    }
    const SVec3 down{0.0f, -1.0f, 0.0f};
    const uint32_t centre = CMeshBuilder::vertex(s, {0.0f, 0.0f, 0.0f}, down, {0.5f, 0.5f});
    for (uint32_t i = 0; i < segments; ++i) {
        const double a0 = 2.0 * kPi * i / segments, a1 = 2.0 * kPi * (i + 1) / segments;
        const uint32_t b0 =
            CMeshBuilder::vertex(s, {float(radius * std::cos(a0)), 0.0f, float(radius * std::sin(a0))}, down,
                                 {float(0.5 + 0.5 * std::cos(a0)), float(0.5 + 0.5 * std::sin(a0))});
        const uint32_t b1 =
            CMeshBuilder::vertex(s, {float(radius * std::cos(a1)), 0.0f, float(radius * std::sin(a1))}, down,
                                 {float(0.5 + 0.5 * std::cos(a1)), float(0.5 + 0.5 * std::sin(a1))});
        CMeshBuilder::addTriangle(s, centre, b0, b1, down);
    }
    return s;
}

SSurface CShapes::ellipsoid(float rx, float ry, float rz, uint32_t rings, uint32_t segments)
{
    rings = std::max<uint32_t>(rings, 2);
    segments = std::max<uint32_t>(segments, 3);
    SSurface s;
    s.name = "ellipsoid";
    for (uint32_t r = 0; r <= rings; ++r) {
        const double polar = kPi * r / rings;
        for (uint32_t g = 0; g <= segments; ++g) {
            const double a = 2.0 * kPi * g / segments;
            const SVec3 unit{float(std::sin(polar) * std::cos(a)), float(std::cos(polar)),
                             float(std::sin(polar) * std::sin(a))};
            const SVec3 p{unit.x * rx, unit.y * ry, unit.z * rz};
            // The normal of an ellipsoid: the unit direction divided by the radii.
            CMeshBuilder::vertex(s, p, normalised({unit.x / rx, unit.y / ry, unit.z / rz}),
                                 {float(g) / segments, float(r) / rings});
        }
    }
    const uint32_t row = segments + 1;
    for (uint32_t r = 0; r < rings; ++r) {
        for (uint32_t g = 0; g < segments; ++g) {
            const uint32_t a = r * row + g, b = a + 1, c = a + row, d = c + 1;
            const SVec3 out = s.vertices[a].normal;
            const SVec3 outBelow = s.vertices[d].normal;
            if (r > 0)
                CMeshBuilder::addTriangle(s, a, b, c,
                                          normalised({out.x + outBelow.x, out.y + outBelow.y, out.z + outBelow.z}));
            if (r + 1 < rings)
                CMeshBuilder::addTriangle(s, b, d, c,
                                          normalised({out.x + outBelow.x, out.y + outBelow.y, out.z + outBelow.z}));
        }
    }
    return s;
}

SSurface CShapes::rock(uint32_t seed, float rx, float ry, float rz)
{
    SSurface s = ellipsoid(1.0f, 1.0f, 1.0f, 6, 9);
    const paint::CNoise noise(seed);
    for (SVertex& v : s.vertices) {
        // Dents from the direction alone, so the seam of the sphere closes.
        const float bump =
            0.75f + 0.5f * noise.fbm(v.position.x * 1.7f + 5.0f, v.position.z * 1.7f + 3.0f * v.position.y, 2);
        v.position = {v.position.x * rx * bump, v.position.y * ry * bump, v.position.z * rz * bump};
        if (v.position.y < 0.0f)
            v.position.y *= 0.35f; // a flat foot sunk into the ground
        v.position.y -= 0.15f * ry;
        // Texture coordinates from the sides, a couple of metres per repeat.
        v.uv = {0.35f * (v.position.x + v.position.z), 0.35f * -v.position.y};
    }
    return faceted(s);
}

SSurface CShapes::wedge(const SVec3& a, const SVec3& b, float frontTop, float rearTop)
{
    SSurface s = CMeshBuilder::box(a, b);
    const float top = std::max(a.y, b.y), front = std::max(a.z, b.z);
    for (SVertex& v : s.vertices)
        if (v.position.y >= top)
            v.position.y = v.position.z >= front ? frontTop : rearTop;
    return faceted(s);
}

SSurface CShapes::transformed(const SSurface& surface, const std::function<SVec3(const SVec3&)>& move,
                              const std::function<SVec3(const SVec3&)>& turn)
{
    SSurface s = surface;
    for (SVertex& v : s.vertices) {
        v.position = move(v.position);
        v.normal = turn(v.normal);
    }
    return s;
}

SSurface CShapes::upright(const SSurface& alongX)
{
    // A quarter turn about Z: +x goes to +y (a turn, not a mirror, so the faces keep facing out).
    auto turn = [](const SVec3& p) { return SVec3{-p.y, p.x, p.z}; };
    return transformed(alongX, turn, turn);
}

SSurface CShapes::yawed(const SSurface& surface, float degrees)
{
    const double yaw = degrees * kPi / 180.0;
    const float c = float(std::cos(yaw)), n = float(std::sin(yaw));
    auto turn = [c, n](const SVec3& v) { return SVec3{v.x * c + v.z * n, v.y, v.z * c - v.x * n}; };
    return transformed(surface, turn, turn);
}

SSurface CShapes::moved(const SSurface& surface, const SVec3& offset)
{
    return transformed(
        surface,
        [&offset](const SVec3& p) {
            return SVec3{p.x + offset.x, p.y + offset.y, p.z + offset.z};
        },
        [](const SVec3& n) { return n; });
}

SSurface CShapes::mapped(const SSurface& surface, float u0, float v0, float u1, float v1)
{
    SSurface s = surface;
    for (SVertex& v : s.vertices) {
        // Coordinates outside 0..1 wrap round into it; the cell's far edge is kept a hair inside
        // so that filtering does not pick up the neighbouring cell.
        auto inside = [](float t) { return std::clamp(t < 0.0f || t > 1.0f ? t - std::floor(t) : t, 0.002f, 0.998f); };
        v.uv = {u0 + (u1 - u0) * inside(v.uv.x), v0 + (v1 - v0) * inside(v.uv.y)};
    }
    return s;
}

SSurface CShapes::wrapped(const SSurface& surface, float top, float metresPerV)
{
    SSurface s = surface;
    for (SVertex& v : s.vertices) {
        const double a = std::atan2(double(v.position.z), double(v.position.x));
        v.uv = {float(0.5 + 0.5 * a / kPi), (top - v.position.y) / metresPerV};
    }
    return s;
}

SSurface CShapes::faceted(const SSurface& surface)
{
    SSurface s;
    s.name = surface.name;
    s.textures = surface.textures;
    s.colour = surface.colour;
    for (size_t t = 0; t + 2 < surface.indices.size(); t += 3) {
        const SVertex& a = surface.vertices[surface.indices[t]];
        const SVertex& b = surface.vertices[surface.indices[t + 1]];
        const SVertex& c = surface.vertices[surface.indices[t + 2]];
        const SVec3 n = normalised(cross(sub(b.position, a.position), sub(c.position, a.position)));
        for (const SVertex* v : {&a, &b, &c}) {
            SVertex copy = *v;
            copy.normal = n;
            s.vertices.push_back(copy);
            s.indices.push_back(uint32_t(s.vertices.size() - 1));
        }
    }
    return s;
}

} // namespace missiongen
