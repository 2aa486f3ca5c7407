#include "tools/contentkit/CCarMeshBuilder.h"

#include "tools/contentkit/CMeshBuilder.h"

namespace contentkit {

const char* const CCarMeshBuilder::kJointNames[4] = {"lewa_prod", "prawa_przod", "lewa_tyl", "prawa_tyl"};

SCarLayout SCarLayout::forShape(const std::string& shapeType, const SVec3& size)
{
    SCarLayout layout;
    layout.size = size;
    if (shapeType == "VEHICLE1" || shapeType == "VEHICLE1C")
        layout.wheelRadius = 0.72f;
    return layout;
}

SVec3 SCarLayout::connectionPoint(int wheel) const
{
    // Worked in double and stored as float, as the physics does.
    const double hx = 0.5 * size.x, hz = 0.5 * size.z, w = wheelWidth, r = wheelRadius;
    const double side = hx - w - 0.01;
    const double front = hz - r, rear = 1.2 * r - hz;
    const bool plusX = wheel == 0 || wheel == 3;
    const bool isFront = wheel == 0 || wheel == 1;
    return {float(plusX ? side : -side), connectionHeight, float(isFront ? front : rear)};
}

SVec3 SCarLayout::wheelCentre(int wheel) const
{
    SVec3 p = connectionPoint(wheel);
    p.y = float(double(connectionHeight) - suspensionRestLength);
    return p;
}

SSkinnedMesh CCarMeshBuilder::body(const SCarLayout& layout, const std::vector<std::string>& textures,
                                   const SColour& colour)
{
    SSkinnedMesh car;
    car.rootName = "body";
    const float hx = 0.5f * layout.size.x, hy = 0.5f * layout.size.y, hz = 0.5f * layout.size.z;
    const float bottom = layout.chassisOffsetY - hy, top = layout.chassisOffsetY + hy;

    SSurface shell;
    shell.name = "body";
    shell.textures = textures;
    shell.colour = colour;
    CMeshBuilder::append(shell, CMeshBuilder::box({-hx, bottom, -hz}, {hx, top, hz}));
    CMeshBuilder::append(shell, CMeshBuilder::box({-0.8f * hx, top, -0.6f * hz}, {0.8f * hx, top + hy, 0.2f * hz}));

    SSurface suspension;
    suspension.name = "suspension";
    suspension.colour = {60, 60, 60, 255};
    for (int wheel = 0; wheel < 4; ++wheel) {
        const SVec3 c = layout.wheelCentre(wheel);
        const float r = layout.wheelRadius, w = layout.wheelWidth;
        const uint32_t first = uint32_t(suspension.vertices.size());
        // A strut from the hub up to the chassis floor, and a mudguard over the tyre.
        CMeshBuilder::append(suspension, CMeshBuilder::box({c.x - 0.08f, c.y, c.z - 0.08f},
                                                           {c.x + 0.08f, bottom, c.z + 0.08f}));
        CMeshBuilder::append(suspension, CMeshBuilder::box({c.x - w - 0.05f, c.y + r + 0.05f, c.z - r - 0.1f},
                                                           {c.x + w + 0.05f, c.y + r + 0.15f, c.z + r + 0.1f}));
        SJoint joint;
        joint.name = kJointNames[wheel];
        joint.position = c;
        for (uint32_t v = first; v < suspension.vertices.size(); ++v)
            joint.weights.push_back({1, v, 1.0f});
        car.joints.push_back(joint);
    }
    car.mesh.surfaces.push_back(std::move(shell));
    car.mesh.surfaces.push_back(std::move(suspension));
    return car;
}

SMesh CCarMeshBuilder::wheel(const SCarLayout& layout, const std::vector<std::string>& textures)
{
    SMesh mesh;
    SSurface tyre = CMeshBuilder::cylinder(layout.wheelRadius, 2.0f * layout.wheelWidth, 24);
    tyre.name = "wheel";
    tyre.textures = textures;
    mesh.surfaces.push_back(std::move(tyre));
    return mesh;
}

} // namespace contentkit
