#include "tools/missiongen/CMissionGenerator.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "tools/contentkit/CB3DWriter.h"
#include "tools/contentkit/CContentFile.h"
#include "tools/missiongen/CCarFactory.h"
#include "tools/missiongen/CGroundTextures.h"
#include "tools/missiongen/CItemArt.h"
#include "tools/missiongen/CMissionBuilder.h"
#include "tools/missiongen/CMissionButtonPainter.h"
#include "tools/missiongen/CSceneryArt.h"
#include "tools/missiongen/CTrackCatalogue.h"
#include "tools/paint/ParallelRows.h"

namespace missiongen {

namespace {

// Runs every job, several at a time; true when all of them succeeded.
bool runJobs(const std::vector<std::function<bool()>>& jobs)
{
    std::atomic<bool> ok(true);
    // The jobs are few and long: each worker takes one at a time.
    paint::parallelRows(
        0, int(jobs.size()),
        [&](int i) {
            if (!jobs[size_t(i)]())
                ok = false;
        },
        1);
    return ok;
}

const char* raceText(const STrackDesign& d) { return d.rally ? "rally" : "lap race"; }

} // namespace

CMissionGenerator::CMissionGenerator(std::string rootFolder, std::string fontPath,
                                     irr::video::IVideoDriver* videoDriver) :
    root(std::move(rootFolder)),
    font(std::move(fontPath)), driver(videoDriver)
{
}

bool CMissionGenerator::run()
{
    const std::vector<STrackDesign>& designs = CTrackCatalogue::designs();
    auto at = [this](const std::string& relative) { return root + "/" + relative; };
    auto dds = [&](const std::string& relative, const paint::CCanvas& canvas) {
        return contentkit::CContentFile::writeDds(at(relative), canvas.toArgb(7), uint32_t(canvas.width()),
                                                  uint32_t(canvas.height()), EDF_DXT1);
    };

    // The shared art first: the missions' buttons need the ground textures' colours.
    std::set<std::string> groundNames = {"alpine_rock"};
    std::set<std::pair<int, int>> bodies; // (style, paint)
    for (const STrackDesign& d : designs) {
        const SLandscapeStyle look = CLandscape::styleOf(d.landscape);
        groundNames.insert({look.ground, look.slope, look.track, look.rock});
        for (const SCarEntry& car : d.cars)
            bodies.insert({int(car.style), car.paint});
    }
    std::map<std::string, std::unique_ptr<paint::CCanvas>> grounds;
    for (const std::string& name : groundNames)
        grounds[name] = nullptr;

    std::vector<std::function<bool()>> art;
    for (auto& entry : grounds) {
        art.push_back([&entry, &dds]() {
            entry.second = std::make_unique<paint::CCanvas>(CGroundTextures::paint(entry.first));
            return dds(CGroundTextures::path(entry.first), *entry.second);
        });
    }
    for (EScenery kind : CSceneryArt::all()) {
        art.push_back([kind, &at, &dds]() {
            bool ok = contentkit::CB3DWriter::write(at(CSceneryArt::meshPath(kind)), CSceneryArt::mesh(kind));
            const contentkit::SMesh body = CSceneryArt::collision(kind);
            if (!body.surfaces.empty())
                ok = contentkit::CB3DWriter::write(at(CSceneryArt::collisionPath(kind)), body) && ok;
            if (!CSceneryArt::isRock(kind))
                ok = dds(CSceneryArt::texturePath(kind), CSceneryArt::texture(kind)) && ok;
            return ok;
        });
    }
    art.push_back([&]() { return dds(CSceneryArt::startGateTexturePath(), CSceneryArt::startGateTexture(font)); });
    for (EItem item : {EItem::Who, EItem::Rocket, EItem::Tyre}) {
        art.push_back([item, &at, &dds, this]() {
            return contentkit::CB3DWriter::write(at(CItemArt::meshPath(item)), CItemArt::mesh(item)) &&
                dds(CItemArt::texturePath(item), CItemArt::texture(item, font));
        });
    }
    for (ECarStyle style : {ECarStyle::Buggy, ECarStyle::Rally, ECarStyle::Truck}) {
        art.push_back([style, &at, &dds]() {
            return contentkit::CB3DWriter::write(at(CCarFactory::wheelPath(style)), CCarFactory::wheel(style)) &&
                dds(CCarFactory::wheelTexturePath(style), CCarFactory::wheelTexture(style));
        });
    }
    std::set<int> paints;
    for (const auto& body : bodies) {
        paints.insert(body.second);
        art.push_back([body, &at]() {
            const ECarStyle style = ECarStyle(body.first);
            return contentkit::CB3DWriter::write(at(CCarFactory::bodyPath(style, body.second)),
                                                 CCarFactory::body(style, body.second));
        });
    }
    for (int paint : paints)
        art.push_back([paint, &dds]() { return dds(CCarFactory::paintPath(paint), CCarFactory::bodyTexture(paint)); });
    bool ok = runJobs(art);

    // Then the missions, one per core, each writing its own files and its buttons.
    std::mutex writer; // the engine's image writers are not known to be thread safe
    std::vector<std::function<bool()>> missions;
    for (const STrackDesign& design : designs) {
        missions.push_back([&, design]() {
            const CMissionBuilder mission(design);
            bool written = mission.write(root);
            const SLandscapeStyle& look = mission.getLandscape().style();
            CMissionButtonPainter painter(
                mission, {grounds.at(look.ground).get(), grounds.at(look.slope).get(), grounds.at(look.track).get()},
                font);
            for (EButtonState state :
                 {EButtonState::Normal, EButtonState::Hover, EButtonState::Locked, EButtonState::LockedHover}) {
                const paint::CCanvas picture = painter.paint(state);
                const std::string file = at(CMissionButtonPainter::path(design.number, state));
                std::lock_guard<std::mutex> lock(writer);
                std::error_code ignored;
                std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
                if (!picture.writeJpeg(driver, file, 90, unsigned(design.seed))) {
                    std::printf("ERROR: could not write %s\n", file.c_str());
                    written = false;
                }
            }
            std::lock_guard<std::mutex> lock(writer);
            std::printf("Mission %s \"%s\": %s, %d lap%s, %zu car%s, %.0f m %s\n", mission.missionFolder().c_str(),
                        design.name.c_str(), raceText(design), design.laps, design.laps == 1 ? "" : "s",
                        design.cars.size(), design.cars.size() == 1 ? "" : "s", double(mission.getPath().length()),
                        written ? "[OK]" : "[ERROR]");
            return written;
        });
    }
    ok = runJobs(missions) && ok;
    return ok;
}

} // namespace missiongen
