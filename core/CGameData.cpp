#include "core/CGameData.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "core/CSettingsWriter.h"
#include "core/CTranslation.h"
#include "core/RaceOrder.h"
#include "core/SGameSettings.h"
#include "core/SKeyEntry.h"
#include "core/WorldLimits.h"
#include "platform/AtomicFile.h"
#include "platform/DesktopSize.h"
#include "platform/RegularFile.h"
#include "race/CAIControllerPack.h"
#include "race/PathCheck.h"
#include "race/CWaypoint.h"
#include "world/CEntityManager.h"
#include "world/CMissionReader.h"
#include "world/CVehicleEntity.h"

using namespace irr;

namespace {

// The progress level is stored as one of these codes, so a glance at the file does not tell it.
const char* const kProgressCodes[8] = {"qWz517", "Pkm208", "Ynv643", "GuR085",
                                       "TbW372", "Hsx759", "VoJ126", "Lqe490"};

// The settings a value of the file may take; any other value (or a text that is no number)
// gives the default, with a warning naming the file.
struct SSettingRange { const char* element; long long low, high, step; };
const SSettingRange kBitsRange = {"Bits", 16, 32, 8};
const SSettingRange kShadowsRange = {"Shadows", 0, 2, 1};
const SSettingRange kVolumeRange[2] = {{"Music", 0, 100, 1}, {"Environment", 0, 100, 1}};

s32 settingInRange(const std::string& file, const SSettingRange& range, const char* text, s32 fallback)
{
    const std::string value = text ? text : "";
    char* end = nullptr;
    errno = 0;
    const long long number = value.empty() ? 0 : std::strtoll(value.c_str(), &end, 10);
    const bool isNumber = !value.empty() && end && *end == '\0' && errno == 0;
    if (isNumber && number >= range.low && number <= range.high && number % range.step == 0)
        return static_cast<s32>(number);
    std::printf("Warning: %s: %s value \"%s\" is not one the game can use; the default %d is used\n",
                file.c_str(), range.element, value.c_str(), fallback);
    return fallback;
}

// The settings file's text handed to the XML reader from memory.
class CSettingsText : public io::IFileReadCallBack {
public:
    explicit CSettingsText(const std::string& text) : text(text), at(0) {}
    int read(void* buffer, int sizeToRead) override
    {
        const size_t n = std::min(text.size() - at, static_cast<size_t>(sizeToRead < 0 ? 0 : sizeToRead));
        std::memcpy(buffer, text.data() + at, n);
        at += n;
        return static_cast<int>(n);
    }
    long getSize() const override { return static_cast<long>(text.size()); }

private:
    const std::string& text;
    size_t at;
};

template <class T>
T* entryAt(const std::vector<T*>& list, s32 index)
{
    if (index < 0 || index >= static_cast<s32>(list.size()))
        return nullptr;
    return list[static_cast<size_t>(index)];
}

} // namespace

CGameData::CGameData(CTranslation* texts)
    : selectedMission("Null"), loadedMission("Null"), raceType(0), racePhase(0), raceStartTime(0),
      finishTime(0), laps(0), shadowType(0), currentVideoMode(0), desktopSize(0, 0),
      resolutionReset(false), settingsFileRefused(false), engine(nullptr), texts(texts)
{
    buildVideoModes();
    buildKeyTable();
}

CGameData::~CGameData()
{
    for (SKeyEntry* key : keys)
        delete key;
    clearNavigation();
}

void CGameData::buildVideoModes()
{
    IrrlichtDevice* probe = createDevice(video::EDT_NULL, core::dimension2d<u32>(640, 480), 16,
                                         false, false, false, nullptr);
    if (probe) {
        video::IVideoModeList* modes = probe->getVideoModeList();
        for (s32 i = 0; i < modes->getVideoModeCount(); ++i) {
            const s32 depth = modes->getVideoModeDepth(i);
            if (depth == 32 || depth == 24)
                videoModes.push_back(modes->getVideoModeResolution(i));
        }
        desktopSize = modes->getDesktopResolution();
    }
    // Without a display extension the engine lists nothing; ask the X display itself.
    if (videoModes.empty() || desktopSize.Width == 0 || desktopSize.Height == 0)
        desktopSize = queryDesktopSize();
    for (const core::dimension2d<u32>& mode : videoModes) {
        std::printf("Width: %u Height: %u%s\n", mode.Width, mode.Height,
                    mode == desktopSize ? " (Desktop)" : "");
    }
    if (probe)
        probe->drop();
}

void CGameData::buildKeyTable()
{
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUWXYZ"; // no V
    for (const char* letter = letters; *letter; ++letter) {
        keys.push_back(new SKeyEntry(static_cast<EKEY_CODE>(*letter), std::string("KEY_KEY_") + *letter,
                                     std::wstring(1, static_cast<wchar_t>(*letter))));
    }
    struct SArrow { EKEY_CODE code; const char* name; int text; };
    const SArrow arrows[4] = {{KEY_UP, "KEY_UP", 34}, {KEY_DOWN, "KEY_DOWN", 35},
                              {KEY_LEFT, "KEY_LEFT", 36}, {KEY_RIGHT, "KEY_RIGHT", 37}};
    for (const SArrow& arrow : arrows)
        keys.push_back(new SKeyEntry(arrow.code, arrow.name, texts ? texts->texts[arrow.text] : L""));
}

void CGameData::setEngine(CGameEngine* value) { engine = value; }

bool CGameData::loadMission(const char* missionDir, CEntityManager* entities,
                            CSoundManager* sounds, SGameSettings* settings)
{
    const std::string folder = missionDir ? missionDir : "";
    selectedMission = "Null";
    loadedMission = folder;

    // Nothing of the last mission may stay behind: entities, standings, rules, paths.
    entities->clear();
    finishers.clear();
    raceOrder.clear();
    rallyTimes.clear();
    raceType = 0;
    laps = 0;
    clearNavigation();
    shadowType = 0;

    {
        CMissionReader reader(this, entities, sounds, settings, engine);
        if (!reader.read(folder + "mission.xml")) {
            std::printf("ERROR: mission.xml not found!\n");
            return false;
        }
        // The race has nobody to follow, to time or to place without the player's car.
        if (!reader.hasPlayer()) {
            std::printf("ERROR: %smission.xml has no player's car (a vehicle with its own "
                        "\"Manual\" controller)!\n", folder.c_str());
            entities->clear();
            return false;
        }
    }

    shareWaypoints(folder + "waypoints.xml", entities);

    buildRaceOrder(entities);
    sortRallyTimes();
    racePhase = 0;
    raceStartTime = static_cast<f32>(engine->getDevice()->getTimer()->getTime());

    if (sounds) {
        if (CSound* track = sounds->getCurrentTrack())
            track->setState(ESS_STOPPED);
        sounds->pickRandomTrack();
        if (CSound* track = sounds->getCurrentTrack())
            track->setState(ESS_PLAYING_RELATIVE);
    }

    engine->pauseStartTime = 0;
    engine->pausedTime = 0;
    return true;
}

void CGameData::shareWaypoints(const std::string& file, CEntityManager* entities)
{
    io::IXMLReader* reader = CMissionReader::openXML(engine, file);
    if (!reader) {
        std::printf("ERROR: waypoints.xml not found!\n");
        return;
    }
    std::vector<std::string> paths;
    while (reader->read()) {
        if (reader->getNodeType() == io::EXN_ELEMENT &&
            core::stringw(L"Waypoints") == reader->getNodeName())
            paths.push_back(core::stringc(reader->getAttributeValueSafe(L"Path")).c_str());
    }
    reader->drop();

    // The first computer cars get different paths in random order; once every path is taken,
    // further cars draw any path.
    const size_t n = paths.size();
    if (n == 0) {
        for (s32 i = 0; i < entities->getVehicleCount(); ++i) {
            CControllerPack* controller = entities->getVehicle(i)->getControllerPack();
            if (controller && !controller->isManual()) {
                std::printf("Warning: %s names no path; the computer cars have none to follow\n",
                            file.c_str());
                break;
            }
        }
        return;
    }
    std::vector<bool> taken(n, false);
    size_t assigned = 0;
    for (s32 i = 0; i < entities->getVehicleCount(); ++i) {
        CVehicleEntity* vehicle = entities->getVehicle(i);
        CControllerPack* controller = vehicle->getControllerPack();
        // A car that could not be built never drives: it must not take a path from another.
        if (vehicle->getId() < 0 || !controller || controller->isManual())
            continue;
        size_t r = static_cast<size_t>(std::rand()) % n;
        while (assigned < n && taken[r])
            r = static_cast<size_t>(std::rand()) % n;
        if (assigned < n)
            taken[r] = true;
        loadWaypoints(paths[r].c_str(), controller);
        ++assigned;
    }
}

bool CGameData::loadWaypoints(const char* file, CControllerPack* target)
{
    io::IXMLReader* reader = CMissionReader::openXML(engine, file ? file : "");
    if (!reader) {
        std::printf("ERROR: Waypoints file not found!\n");
        return false;
    }
    // A car that is not a computer car has no use for a path.
    CAIControllerPack* ai = dynamic_cast<CAIControllerPack*>(target);
    std::vector<core::vector3df> points;
    while (reader->read()) {
        if (reader->getNodeType() != io::EXN_ELEMENT ||
            core::stringw(L"Waypoint") != reader->getNodeName())
            continue;
        const core::vector3df point(reader->getAttributeValueAsFloat(L"X"),
                                    reader->getAttributeValueAsFloat(L"Y"),
                                    reader->getAttributeValueAsFloat(L"Z"));
        if (!std::isfinite(point.X) || !std::isfinite(point.Y) || !std::isfinite(point.Z)) {
            std::printf("Warning: %s holds a waypoint that is not a finite point; it is left out\n", file);
            continue;
        }
        if (std::fabs(point.X) > worldlimits::kFarthest || std::fabs(point.Y) > worldlimits::kFarthest ||
            std::fabs(point.Z) > worldlimits::kFarthest) {
            std::printf("Warning: %s holds a waypoint beyond any world; it is left out\n", file);
            continue;
        }
        points.push_back(point);
    }
    reader->drop();
    if (!target) {
        for (const core::vector3df& point : points)
            navigation.push_back(new CWaypoint(point.X, point.Y, point.Z));
        // A path is followed from one point to the next: fewer than two is no path at all.
        if (points.size() < 2)
            std::printf("Warning: %s holds %d waypoint%s; a path needs two at least\n", file,
                        static_cast<int>(points.size()), points.size() == 1 ? "" : "s");
    } else if (ai) {
        std::vector<core::vector2df> path;
        for (const core::vector3df& point : points)
            path.push_back(core::vector2df(point.X, point.Z));
        const std::string fault = pathFault(path, navigation);
        if (!fault.empty() && navigation.size() >= 2) {
            // The navigation path runs along the middle of the track: slower than a racing line,
            // but the car finishes.
            std::printf("Warning: %s %s; the computer car follows the navigation path instead\n",
                        file, fault.c_str());
            path.clear();
            for (const CWaypoint* point : navigation)
                path.push_back(core::vector2df(point->getX(), point->getZ()));
        } else if (!fault.empty()) {
            std::printf("Warning: %s %s, and the mission has no navigation path in its place\n", file,
                        fault.c_str());
        }
        for (const core::vector2df& point : path)
            ai->addWaypoint(new CWaypoint(point.X, point.Y));
    }
    return true;
}

void CGameData::setSelectedMission(const std::string& folder) { selectedMission = folder; }
std::string CGameData::getSelectedMission() { return selectedMission; }
std::string CGameData::getLoadedMission() { return loadedMission; }

void CGameData::addFinisher(CVehicleEntity* vehicle)
{
    if (vehicle->isFinished())
        return;
    vehicle->setFinished(true);
    finishers.push_back(vehicle);
}

CVehicleEntity* CGameData::getFinisher(s32 index) { return entryAt(finishers, index); }
s32 CGameData::getFinisherCount() { return static_cast<s32>(finishers.size()); }

void CGameData::addRallyTime(s32 milliseconds) { rallyTimes.push_back(milliseconds); }

s32 CGameData::getRallyTime(s32 index)
{
    if (index < 0 || index >= static_cast<s32>(rallyTimes.size()))
        return 0;
    return rallyTimes[static_cast<size_t>(index)];
}

s32 CGameData::getRallyTimeCount() { return static_cast<s32>(rallyTimes.size()); }
void CGameData::sortRallyTimes() { std::sort(rallyTimes.begin(), rallyTimes.end()); }

u32 CGameData::getRallyPlace(s32 time)
{
    sortRallyTimes();
    // The last equal time: a player who only equals a reference time is placed behind it.
    u32 place = static_cast<u32>(rallyTimes.size());
    for (size_t i = 0; i < rallyTimes.size(); ++i) {
        if (rallyTimes[i] == time)
            place = static_cast<u32>(i);
    }
    return place;
}

s32 CGameData::getRaceType() { return raceType; }
void CGameData::setRaceType(s32 type) { raceType = type; }
s32 CGameData::getRacePhase() { return racePhase; }
void CGameData::setRacePhase(s32 phase) { racePhase = phase; }
f32 CGameData::getRaceStartTime() { return raceStartTime; }
void CGameData::setRaceStartTime(f32 time) { raceStartTime = time; }
f32 CGameData::getFinishTime() { return finishTime; }
void CGameData::setFinishTime(f32 time) { finishTime = time; }
s32 CGameData::getLaps() { return laps; }
void CGameData::setLaps(s32 value) { laps = value; }

void CGameData::addNavigationPoint(CWaypoint* point) { navigation.push_back(point); }
CWaypoint* CGameData::getNavigationPoint(s32 index) { return entryAt(navigation, index); }
s32 CGameData::getNavigationPointCount() { return static_cast<s32>(navigation.size()); }

void CGameData::clearNavigation()
{
    for (CWaypoint* point : navigation)
        delete point;
    navigation.clear();
}

void CGameData::buildRaceOrder(CEntityManager* entities)
{
    raceOrder.clear();
    // A car that could not be built is not in the race.
    for (s32 i = 0; i < entities->getVehicleCount(); ++i) {
        if (entities->getVehicle(i)->getId() >= 0)
            raceOrder.push_back(entities->getVehicle(i));
    }
}

void CGameData::sortRaceOrder() { sortRaceOrderEntries(raceOrder); }
CVehicleEntity* CGameData::getRaceOrderEntry(s32 index) { return entryAt(raceOrder, index); }

s32 CGameData::getShadowType() { return shadowType; }
void CGameData::setShadowType(s32 type) { shadowType = type; }

core::dimension2d<u32> CGameData::getCurrentVideoMode()
{
    // With no mode listed the desktop is the only size we know the screen can show.
    if (currentVideoMode >= videoModes.size())
        return desktopSize;
    return videoModes[currentVideoMode];
}

void CGameData::nextVideoMode()
{
    if (videoModes.empty())
        return;
    currentVideoMode = currentVideoMode + 1 < videoModes.size() ? currentVideoMode + 1 : 0;
}

u32 CGameData::getVideoModeCount() const { return static_cast<u32>(videoModes.size()); }

bool CGameData::isResolutionReset() { return resolutionReset; }

SKeyEntry* CGameData::findKeyByName(const std::string& name)
{
    for (SKeyEntry* key : keys) {
        if (key->getName() == name)
            return key;
    }
    return nullptr;
}

bool CGameData::findPressedKey(SKeyEntry*& key)
{
    if (!engine)
        return false;
    for (SKeyEntry* entry : keys) {
        const GameControllerEvent input = engine->getInput();
        if (input.isKeyDown(entry->getCode())) {
            key = entry;
            return true;
        }
    }
    return false;
}

SKeyEntry* CGameData::getKey(s32 index) { return entryAt(keys, index); }
s32 CGameData::getKeyCount() { return static_cast<s32>(keys.size()); }

void CGameData::selectVideoModeOf(u32 width, u32 height)
{
    for (size_t i = 0; i < videoModes.size(); ++i) {
        if (videoModes[i].Width == width && videoModes[i].Height == height)
            currentVideoMode = static_cast<u32>(i);
    }
}

bool CGameData::offersVideoMode(u32 width, u32 height) const
{
    for (const core::dimension2d<u32>& mode : videoModes) {
        if (mode.Width == width && mode.Height == height)
            return true;
    }
    return false;
}

bool CGameData::loadSettings(const std::string& fileName, SGameSettings* settings)
{
    settings->keyForward = findKeyByName("KEY_KEY_W");
    settings->keyBackward = findKeyByName("KEY_KEY_S");
    settings->keyLeft = findKeyByName("KEY_KEY_A");
    settings->keyRight = findKeyByName("KEY_KEY_D");
    keptSettingsFile.clear();
    keptSettingsText.clear();
    settingsFileRefused = false;

    std::string text;
    const SFileOpen file = readRegularFile(fileName, kSettingsFileLimit, text);
    // Something the game may not read stands in the file's place: it may be the player's
    // progress, so it is moved aside at the first write, never written over.
    if (file.result == EFileOpen::Refused) {
        keptSettingsFile = fileName;
        settingsFileRefused = true;
        std::printf("Warning: %s cannot be read (%s); the game starts with the default settings "
                    "and the first mission, and the file will be kept as %s.bad\n", fileName.c_str(),
                    file.problem.c_str(), fileName.c_str());
    }
    CSettingsText callback(text);
    io::IrrXMLReader* reader = file.result == EFileOpen::Opened ? io::createIrrXMLReader(&callback) : nullptr;
    if (!reader) {
        settings->width = desktopSize.Width;
        settings->height = desktopSize.Height;
        resolutionReset = true;
        selectVideoModeOf(settings->width, settings->height);
        settings->savedWidth = settings->width;
        settings->savedHeight = settings->height;
        return false;
    }

    const SGameSettings defaults;
    bool progressRead = false;
    while (reader->read()) {
        if (reader->getNodeType() != io::EXN_ELEMENT)
            continue;
        const std::string name = reader->getNodeName();
        // A missing attribute reads as empty text (and as 0 where a number is meant).
        const char* rawValue = reader->getAttributeValue("Value");
        const std::string value = rawValue ? rawValue : "";
        const int number = reader->getAttributeValueAsInt("Value");

        if (name == "Resolution") {
            settings->width = static_cast<u32>(reader->getAttributeValueAsInt("X"));
            settings->height = static_cast<u32>(reader->getAttributeValueAsInt("Y"));
        } else if (name == "Bits") {
            settings->bits = settingInRange(fileName, kBitsRange, rawValue, defaults.bits);
        } else if (name == "Fullscreen") {
            settings->fullscreen = number != 0;
        } else if (name == "Filtering") {
            settings->filtering = value == "Anisotropic" ? 2 : value == "Trilinear" ? 1 : 0;
        } else if (name == "AntiAliasing") {
            settings->antiAliasing = number != 0;
        } else if (name == "VSync") {
            settings->vSync = number != 0;
        } else if (name == "Shadows") {
            settings->shadows = settingInRange(fileName, kShadowsRange, rawValue, defaults.shadows);
        } else if (name == "PostProcessing") {
            settings->postProcessing = number != 0;
        } else if (name == "GraphicMode") {
            settings->graphicMode = value == "DirectX" ? 1 : 0;
        } else if (name == "Music") {
            settings->musicVolume = settingInRange(fileName, kVolumeRange[0], rawValue, defaults.musicVolume);
        } else if (name == "Environment") {
            settings->environmentVolume =
                settingInRange(fileName, kVolumeRange[1], rawValue, defaults.environmentVolume);
        } else if (name == "Controller") {
            settings->controller = value == "Gamepad" ? 1 : 0;
        } else if (name == "Forward" || name == "Backward" || name == "Left" || name == "Right") {
            SKeyEntry* key = findKeyByName(value);
            if (key) {
                SKeyEntry*& field = name == "Forward"    ? settings->keyForward
                                    : name == "Backward" ? settings->keyBackward
                                    : name == "Left"     ? settings->keyLeft
                                                         : settings->keyRight;
                field = key;
            }
        } else if (name == "Mission") {
            settings->progressLevel = 1;
            progressRead = false;
            for (int level = 1; level <= 8; ++level) {
                if (value == kProgressCodes[level - 1]) {
                    settings->progressLevel = level;
                    progressRead = true;
                }
            }
        } else if (name == "FPS") {
            settings->showFps = number != 0;
        }
    }
    delete reader;

    // The progress is the one thing the player cannot set again: a file whose progress code
    // cannot be read is kept aside before the first write, which would store level 1.
    keptSettingsFile.clear();
    if (!progressRead) {
        keptSettingsFile = fileName;
        keptSettingsText = text;
        std::printf("Warning: %s holds no progress code the game can read; the missions start from "
                    "the first, and the file will be kept as %s.bad\n", fileName.c_str(), fileName.c_str());
    }

    if (settings->width == 0 || settings->height == 0 ||
        !offersVideoMode(settings->width, settings->height)) {
        settings->width = desktopSize.Width;
        settings->height = desktopSize.Height;
        resolutionReset = true;
    }
    selectVideoModeOf(settings->width, settings->height);

    settings->savedWidth = settings->width;
    settings->savedHeight = settings->height;
    settings->savedBits = settings->bits;
    settings->savedFullscreen = settings->fullscreen;
    settings->savedAntiAliasing = settings->antiAliasing;
    settings->savedVSync = settings->vSync;
    settings->savedFiltering = settings->filtering;
    settings->savedShadows = settings->shadows;
    settings->savedGraphicMode = settings->graphicMode;
    return true;
}

bool CGameData::saveSettings(const std::string& fileName, SGameSettings* settings)
{
    if (!engine)
        return false;
    const char* filtering = settings->savedFiltering == 2   ? "Anisotropic"
                            : settings->savedFiltering == 1 ? "Trilinear"
                                                            : "Bilinear";
    const s32 level = settings->progressLevel >= 1 && settings->progressLevel <= 8 ? settings->progressLevel : 1;
    auto keyName = [](SKeyEntry* key) { return key ? key->getName() : std::string(); };
    if (!keepDamagedSettings())
        return false;

    CSettingsWriter file;
    file.writeXMLHeader();
    file.writeLineBreak();
    file.writeElement("Resolution", {{"X", settings->savedWidth}, {"Y", settings->savedHeight}});
    file.writeLineBreak();
    file.writeElement("Bits", settings->savedBits);
    file.writeLineBreak();
    file.writeElement("Fullscreen", settings->savedFullscreen ? 1 : 0);
    file.writeLineBreak();
    file.writeElement("Filtering", filtering);
    file.writeLineBreak();
    file.writeElement("AntiAliasing", settings->savedAntiAliasing ? 1 : 0);
    file.writeLineBreak();
    file.writeElement("VSync", settings->savedVSync ? 1 : 0);
    file.writeLineBreak();
    file.writeElement("Shadows", settings->savedShadows);
    file.writeLineBreak();
    file.writeElement("PostProcessing", settings->postProcessing ? 1 : 0);
    file.writeLineBreak();
    file.writeElement("GraphicMode", settings->savedGraphicMode == 1 ? "DirectX" : "OpenGL");
    file.writeLineBreak();
    file.writeLineBreak();
    file.writeElement("Music", settings->musicVolume);
    file.writeLineBreak();
    file.writeElement("Environment", settings->environmentVolume);
    file.writeLineBreak();
    file.writeLineBreak();
    file.writeElement("Controller", settings->controller == 1 ? "Gamepad" : "Keyboard");
    file.writeLineBreak();
    file.writeElement("Forward", keyName(settings->keyForward));
    file.writeLineBreak();
    file.writeElement("Backward", keyName(settings->keyBackward));
    file.writeLineBreak();
    file.writeElement("Left", keyName(settings->keyLeft));
    file.writeLineBreak();
    file.writeElement("Right", keyName(settings->keyRight));
    file.writeLineBreak();
    file.writeLineBreak();
    file.writeElement("Mission", kProgressCodes[level - 1]);
    file.writeLineBreak();
    file.writeLineBreak();
    file.writeElement("FPS", settings->showFps ? 1 : 0);
    file.writeLineBreak();
    // A link to the player's file stays a link: the file it points to is the one replaced.
    return file.commit(followLinks(fileName));
}

bool CGameData::keepDamagedSettings()
{
    if (keptSettingsFile.empty())
        return true;
    const std::string base = keptSettingsFile + ".bad";
    std::string error;
    const std::string kept = settingsFileRefused ? moveUnderFreshName(keptSettingsFile, base, error)
                                                 : writeUnderFreshName(base, keptSettingsText, error);
    if (kept.empty()) {
        std::printf("Warning: Could not keep %s as %s (%s); the settings are not saved\n",
                    keptSettingsFile.c_str(), base.c_str(), error.c_str());
        return false;
    }
    std::printf("Warning: %s is kept as %s\n", keptSettingsFile.c_str(), kept.c_str());
    keptSettingsFile.clear();
    keptSettingsText.clear();
    settingsFileRefused = false;
    return true;
}

std::string formatRaceTime(s32 milliseconds)
{
    // The race display only shows times from the start on; anything earlier reads as zero.
    const s32 t = milliseconds < 0 ? 0 : milliseconds;
    const s32 minutes = t / 60000;
    const s32 seconds = (t - minutes * 60000) / 1000;
    const s32 hundredths = (t - (minutes * 60 + seconds) * 1000) / 10;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", minutes, seconds, hundredths);
    return text;
}
