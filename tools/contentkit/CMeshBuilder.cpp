#include "tools/contentkit/CMeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/contentkit/CMeshCheck.h"

namespace contentkit {

namespace {

const double kPi = 3.14159265358979323846;

SVec3 sub(const SVec3& a, const SVec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SVec3 cross(const SVec3& a, const SVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const SVec3& a, const SVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Corners in the order top-left, top-right, bottom-right, bottom-left as seen from the front.
void addQuad(SSurface& s, const SVec3 (&corner)[4], const SVec3& normal)
{
    static const SVec2 uv[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    uint32_t i[4];
    for (int k = 0; k < 4; ++k)
        i[k] = CMeshBuilder::vertex(s, corner[k], normal, uv[k]);
    CMeshBuilder::addTriangle(s, i[0], i[1], i[2], normal);
    CMeshBuilder::addTriangle(s, i[0], i[2], i[3], normal);
}

} // namespace

uint32_t CMeshBuilder::vertex(SSurface& s, const SVec3& position, const SVec3& normal, const SVec2& uv)
{
    SVertex v;
    v.position = position;
    v.normal = normal;
    v.uv = uv;
    s.vertices.push_back(v);
    return uint32_t(s.vertices.size() - 1);
}

void CMeshBuilder::addTriangle(SSurface& surface, uint32_t a, uint32_t b, uint32_t c, const SVec3& facing)
{
    const SVec3& pa = surface.vertices[a].position;
    const SVec3 front = cross(sub(surface.vertices[b].position, pa), sub(surface.vertices[c].position, pa));
    if (dot(front, facing) < 0.0f)
        std::swap(b, c);
    surface.indices.insert(surface.indices.end(), {a, b, c});
}

SMesh CMeshBuilder::groundGrid(float sizeX, float sizeZ, uint32_t cellsX, uint32_t cellsZ, float metresPerTile,
                               const std::vector<std::string>& textures)
{
    // A grid the engine could not index gets no heights: heightGrid refuses it with its message.
    const bool possible = cellsX > 0 && (uint64_t(cellsX) + 1) * 2 <= CMeshCheck::kMaxSurfaceVertices;
    const size_t count = possible ? (size_t(cellsX) + 1) * (size_t(cellsZ) + 1) : 0;
    return heightGrid(sizeX, sizeZ, cellsX, cellsZ, metresPerTile, std::vector<float>(count), textures);
}

SMesh CMeshBuilder::heightGrid(float sizeX, float sizeZ, uint32_t cellsX, uint32_t cellsZ, float metresPerTile,
                               const std::vector<float>& heights, const std::vector<std::string>& textures)
{
    SMesh mesh;
    const uint64_t rowVertices = uint64_t(cellsX) + 1;
    if (cellsX == 0 || cellsZ == 0 || !(metresPerTile > 0.0f) || rowVertices * 2 > CMeshCheck::kMaxSurfaceVertices) {
        printf("ERROR: a ground grid of %u x %u cells (a tile every %g m) cannot be built\n", cellsX, cellsZ,
               double(metresPerTile));
        return mesh;
    }
    if (heights.size() != rowVertices * (uint64_t(cellsZ) + 1)) {
        printf("ERROR: a ground grid of %u x %u cells needs %llu heights, not %zu\n", cellsX, cellsZ,
               (unsigned long long)(rowVertices * (uint64_t(cellsZ) + 1)), heights.size());
        return mesh;
    }
    const double cellX = double(sizeX) / cellsX, cellZ = double(sizeZ) / cellsZ;
    auto heightAt = [&](int64_t c, int64_t r) {
        c = std::clamp<int64_t>(c, 0, cellsX);
        r = std::clamp<int64_t>(r, 0, cellsZ);
        return double(heights[size_t(r) * rowVertices + size_t(c)]);
    };
    const uint32_t rowsPerSurface = uint32_t(CMeshCheck::kMaxSurfaceVertices / rowVertices) - 1;
    const SVec3 up{0.0f, 1.0f, 0.0f};
    for (uint32_t firstRow = 0; firstRow < cellsZ; firstRow += rowsPerSurface) {
        const uint32_t rows = std::min(rowsPerSurface, cellsZ - firstRow);
        SSurface s;
        s.name = mesh.surfaces.empty() ? "ground" : "ground" + std::to_string(mesh.surfaces.size());
        s.textures = textures;
        for (uint32_t r = 0; r <= rows; ++r) {
            // Positions from whole cell numbers, so neighbouring strips meet exactly.
            const uint32_t row = firstRow + r;
            const double fz = double(row) / cellsZ;
            const float z = float(-0.5 * sizeZ + fz * sizeZ);
            for (uint32_t c = 0; c <= cellsX; ++c) {
                const double fx = double(c) / cellsX;
                const float x = float(-0.5 * sizeX + fx * sizeX);
                // The slope from the neighbours on both sides (one side at the edges).
                const double dx = (heightAt(c + 1, row) - heightAt(int64_t(c) - 1, row)) /
                                  (cellX * double(std::min<int64_t>(c + 1, cellsX) - std::max<int64_t>(int64_t(c) - 1, 0)));
                const double dz = (heightAt(c, row + 1) - heightAt(c, int64_t(row) - 1)) /
                                  (cellZ * double(std::min<int64_t>(row + 1, cellsZ) - std::max<int64_t>(int64_t(row) - 1, 0)));
                const double length = std::sqrt(dx * dx + 1.0 + dz * dz);
                const uint32_t v = CMeshBuilder::vertex(s, {x, float(heightAt(c, row)), z}, up,
                                             {float(fx * sizeX / metresPerTile), float((1.0 - fz) * sizeZ / metresPerTile)});
                s.vertices[v].normal = {float(-dx / length), float(1.0 / length), float(-dz / length)};
            }
        }
        for (uint32_t r = 0; r < rows; ++r) {
            for (uint32_t c = 0; c < cellsX; ++c) {
                const uint32_t p00 = r * uint32_t(rowVertices) + c, p10 = p00 + 1;
                const uint32_t p01 = p00 + uint32_t(rowVertices), p11 = p01 + 1;
                addTriangle(s, p00, p01, p10, up);
                addTriangle(s, p10, p01, p11, up);
            }
        }
        mesh.surfaces.push_back(std::move(s));
    }
    return mesh;
}

SSurface CMeshBuilder::box(const SVec3& a, const SVec3& b)
{
    const SVec3 lo{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const SVec3 hi{std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    SSurface s;
    s.name = "box";
    // Each face seen from outside; "right" is up x forward for a viewer facing the face.
    const SVec3 faces[6][4] = {
        {{hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}}, // +z
        {{lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}}, // -z
        {{hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}}, // +x
        {{lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}}, // -x
        {{lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}}, // +y
        {{hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}}, // -y
    };
    const SVec3 normals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (int f = 0; f < 6; ++f)
        addQuad(s, faces[f], normals[f]);
    return s;
}

SSurface CMeshBuilder::cylinder(float radius, float width, uint32_t segments)
{
    if (segments < 3)
        segments = 3;
    SSurface s;
    s.name = "cylinder";
    const float half = 0.5f * width;
    // The tread: a ring of quads with smooth normals, u running round, v across.
    for (uint32_t i = 0; i <= segments; ++i) {
        const double a = 2.0 * kPi * (i % segments) / segments;
        const float cy = float(std::cos(a)), sz = float(std::sin(a));
        const float u = float(i) / segments;
        CMeshBuilder::vertex(s, {half, radius * cy, radius * sz}, {0, cy, sz}, {u, 0.0f});
        CMeshBuilder::vertex(s, {-half, radius * cy, radius * sz}, {0, cy, sz}, {u, 1.0f});
    }
    for (uint32_t i = 0; i < segments; ++i) {
        const uint32_t a = 2 * i, b = a + 1, c = a + 2, d = a + 3;
        const double mid = 2.0 * kPi * (i + 0.5) / segments;
        const SVec3 out{0.0f, float(std::cos(mid)), float(std::sin(mid))};
        addTriangle(s, a, c, b, out);
        addTriangle(s, b, c, d, out);
    }
    // The two caps as fans, the texture laid flat across each.
    for (int side = 0; side < 2; ++side) {
        const float x = side == 0 ? half : -half;
        const SVec3 normal{side == 0 ? 1.0f : -1.0f, 0.0f, 0.0f};
        const uint32_t centre = CMeshBuilder::vertex(s, {x, 0, 0}, normal, {0.5f, 0.5f});
        const uint32_t first = uint32_t(s.vertices.size());
        for (uint32_t i = 0; i < segments; ++i) {
            const double a = 2.0 * kPi * i / segments;
            const float cy = float(std::cos(a)), sz = float(std::sin(a));
            CMeshBuilder::vertex(s, {x, radius * cy, radius * sz}, normal, {0.5f + 0.5f * sz, 0.5f - 0.5f * cy});
        }
        for (uint32_t i = 0; i < segments; ++i)
            addTriangle(s, centre, first + i, first + (i + 1) % segments, normal);
    }
    return s;
}

SSurface CMeshBuilder::gate(const SVec3& base, float width, float height, float depth, float yawDegrees)
{
    SSurface s = box({-0.5f * width, 0.0f, -0.5f * depth}, {0.5f * width, height, 0.5f * depth});
    s.name = "gate";
    const double yaw = yawDegrees * kPi / 180.0;
    const float c = float(std::cos(yaw)), n = float(std::sin(yaw));
    // The engine library's Y rotation: x' = x cos + z sin, z' = z cos - x sin.
    auto turn = [c, n](const SVec3& v) { return SVec3{v.x * c + v.z * n, v.y, v.z * c - v.x * n}; };
    for (SVertex& v : s.vertices) {
        const SVec3 p = turn(v.position);
        v.position = {p.x + base.x, p.y + base.y, p.z + base.z};
        v.normal = turn(v.normal);
    }
    return s;
}

void CMeshBuilder::append(SSurface& target, const SSurface& part, const SVec3& offset)
{
    const uint32_t first = uint32_t(target.vertices.size());
    for (SVertex v : part.vertices) {
        v.position = {v.position.x + offset.x, v.position.y + offset.y, v.position.z + offset.z};
        target.vertices.push_back(v);
    }
    for (uint32_t index : part.indices)
        target.indices.push_back(first + index);
}

} // namespace contentkit
