// The collision shape of each mission's ground: how long the physics library's own build takes
// and how long the game's mesh shape takes to build the same tree (median of RUNS builds each).
// usage: mesh_shape_bench RUN_FOLDER [RUNS]
#include <btBulletDynamicsCommon.h>
#include <chrono>
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
#include "BenchStats.h"

using namespace irr;

namespace {

using Clock = std::chrono::steady_clock;

template <typename Build>
double medianMs(int runs, Build build)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        build();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return benchstats::median(samples);
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
    return 0;
}
