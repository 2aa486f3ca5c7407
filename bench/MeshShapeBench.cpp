// The collision shape of each mission's ground: how long the physics library's own build takes
// and how long the game's mesh shape takes to build the same tree (median of RUNS builds each).
// Then the whole way from a B3D file to the collision shape, for a normal ground and for damaged
// ones of the same size (every triangle the same one, every triangle without area).
// usage: mesh_shape_bench RUN_FOLDER [RUNS]
#include <btBulletDynamicsCommon.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "world/CMeshShape.h"
#include "tools/contentkit/CB3DWriter.h"
#include "BenchStats.h"

using namespace irr;

namespace {

using Clock = std::chrono::steady_clock;

double wallMs()
{
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

template <typename Build>
double medianMs(int runs, Build build, double (*clock)() = wallMs)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const double start = clock();
        build();
        samples.push_back(clock() - start);
    }
    return benchstats::median(samples);
}

// A ground of `side` x `side` squares, two triangles each: a gently rolling grid, or damaged.
enum EGround { EG_NORMAL, EG_ONE_TRIANGLE, EG_NO_AREA };

contentkit::SMesh groundOf(int side, EGround kind)
{
    contentkit::SMesh mesh;
    contentkit::SSurface surface;
    surface.textures.push_back("data/terrain/sand.dds");
    // Corner (dx, dz) of the square at (x, z).
    auto corner = [&](float x, float z, float dx, float dz) {
        contentkit::SVertex v;
        v.position = {x + dx, std::sin(0.1f * (x + dx)) * std::cos(0.13f * (z + dz)), z + dz};
        // Every square on the first one.
        if (kind == EG_ONE_TRIANGLE)
            v.position = {dx, 0.0f, dz};
        if (kind == EG_NO_AREA)
            v.position = {0.0f, 0.0f, 0.0f};
        surface.vertices.push_back(v);
    };
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            // A mesh buffer holds 65 535 vertices at most: the ground comes in parts.
            if (surface.vertices.size() + 6 > 65535) {
                mesh.surfaces.push_back(surface);
                surface.vertices.clear();
                surface.indices.clear();
            }
            const float x = static_cast<float>(i), z = static_cast<float>(j);
            const uint32_t first = static_cast<uint32_t>(surface.vertices.size());
            corner(x, z, 0, 0);
            corner(x, z, 1, 0);
            corner(x, z, 0, 1);
            corner(x, z, 1, 1);
            // Two triangles, each over its own vertices in the writer's order of first use.
            for (uint32_t k : {0u, 2u, 1u})
                surface.indices.push_back(first + k);
            surface.vertices.push_back(surface.vertices[first + 1]);
            surface.vertices.push_back(surface.vertices[first + 2]);
            for (uint32_t k : {4u, 3u, 5u})
                surface.indices.push_back(first + k);
        }
    }
    mesh.surfaces.push_back(surface);
    return mesh;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: %s RUN_FOLDER [RUNS]\n", argv[0]);
        return 1;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (chdir(argv[1]) != 0) {
        std::printf("ERROR: cannot enter %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> grounds;
    for (const auto& entry : std::filesystem::directory_iterator("data/tracks")) {
        if (std::filesystem::exists(entry.path() / "ground.b3d"))
            grounds.push_back((entry.path() / "ground.b3d").string());
    }
    std::sort(grounds.begin(), grounds.end());

    SGameSettings settings;
    CGameEngine engine(&settings, video::EDT_NULL);
    engine.getDevice()->getLogger()->setLogLevel(ELL_NONE);
    std::printf("ground collision shape, median of %d builds\n", runs);
    std::printf("  %-32s %10s %14s %10s %8s\n", "mesh", "triangles", "library ms", "ours ms", "ratio");
    for (const std::string& path : grounds) {
        scene::IAnimatedMesh* animated = engine.getSceneManager()->getMesh(path.c_str());
        if (!animated) {
            std::printf("  %-32s did not load\n", path.c_str());
            continue;
        }
        // A fresh triangle mesh for every build: the shapes leave their bounds on it.
        auto triangles = [&] {
            return std::unique_ptr<btTriangleMesh>(engine.createTriangleMesh(animated->getMesh(0), core::vector3df(1, 1, 1)));
        };
        const int count = triangles()->getNumTriangles();
        const double library = medianMs(runs, [&] {
            std::unique_ptr<btTriangleMesh> mesh = triangles();
            btBvhTriangleMeshShape shape(mesh.get(), true, true);
        });
        const double ours = medianMs(runs, [&] {
            std::unique_ptr<btTriangleMesh> mesh = triangles();
            CMeshShape shape(mesh.get());
        });
        const double copying = medianMs(runs, [&] { triangles(); });
        engine.getSceneManager()->getMeshCache()->removeMesh(animated);
        std::printf("  %-32s %10d %14.1f %10.1f %8.1f\n", path.c_str(), count, library - copying,
                    ours - copying, (library - copying) / (ours - copying));
    }

    const int side = 316; // some 200 000 triangles, as many as a mission's ground
    const struct {
        const char* name;
        EGround kind;
    } kinds[] = {{"normal", EG_NORMAL}, {"one triangle 200 000 times", EG_ONE_TRIANGLE},
                 {"200 000 without area", EG_NO_AREA}};
    std::printf("ground from its B3D file to its collision shape, processor time, median of %d\n", runs);
    std::printf("  %-32s %10s %12s %12s %10s\n", "ground", "triangles", "file ms", "physics ms", "kept");
    char folder[] = "/tmp/mesh_shape_bench.XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    for (const auto& kind : kinds) {
        const std::string file = std::string(folder) + "/ground.b3d";
        if (!contentkit::CB3DWriter::write(file, groundOf(side, kind.kind)))
            return 1;
        scene::IAnimatedMesh* animated = nullptr;
        const double reading = medianMs(runs, [&] {
            if (animated)
                engine.getSceneManager()->getMeshCache()->removeMesh(animated);
            animated = engine.getSceneManager()->getMesh(file.c_str());
        }, benchstats::threadCpuMs);
        if (!animated) {
            std::printf("  %-32s did not load\n", kind.name);
            continue;
        }
        int kept = 0;
        const double physics = medianMs(runs, [&] {
            std::unique_ptr<btTriangleMesh> mesh(
                engine.createTriangleMesh(animated->getMesh(0), core::vector3df(1, 1, 1), kind.name));
            kept = mesh->getNumTriangles();
            if (kept > 0)
                CMeshShape shape(mesh.get());
        }, benchstats::threadCpuMs);
        std::printf("  %-32s %10d %12.1f %12.1f %10d\n", kind.name, 2 * side * side, reading, physics, kept);
        engine.getSceneManager()->getMeshCache()->removeMesh(animated);
        std::remove(file.c_str());
    }
    rmdir(folder);
    return 0;
}
