#pragma once
#include <irrlicht.h>
#include <string>
#include <vector>

class CControllerPack;
class CEntityManager;
class CGameEngine;
class CSoundManager;
class CTranslation;
class CVehicleEntity;
class CWaypoint;
class SKeyEntry;
struct SGameSettings;

// The game's shared state between the menus, the mission loader and the race: the chosen and the
// loaded mission, the race's rules and running state, the standings, the navigation path, the
// video modes, the desktop size and the key table.
class CGameData {
public:
    explicit CGameData(CTranslation* texts);
    ~CGameData();

    void setEngine(CGameEngine* engine);

    bool loadSettings(const std::string& fileName, SGameSettings* settings);
    bool saveSettings(const std::string& fileName, SGameSettings* settings);

    // Empties the entity manager and the race state, then builds the mission in `missionDir` (a
    // folder ending in "/"): its "mission.xml", the computer cars' paths of "waypoints.xml", a new
    // race clock and a new music track. False (after an "ERROR: " line) when "mission.xml" cannot
    // be read or names no player's car: the world is left empty then.
    bool loadMission(const char* missionDir, CEntityManager* entities, CSoundManager* sounds,
                     SGameSettings* settings);
    // Reads a waypoint path file: into the navigation path when `target` is null, else into the
    // computer car's controller. False when the file cannot be opened.
    bool loadWaypoints(const char* file, CControllerPack* target);

    void setSelectedMission(const std::string& folder);
    std::string getSelectedMission();
    std::string getLoadedMission();

    void addFinisher(CVehicleEntity* vehicle);
    CVehicleEntity* getFinisher(irr::s32 index);
    irr::s32 getFinisherCount();

    void addRallyTime(irr::s32 milliseconds);
    irr::s32 getRallyTime(irr::s32 index);
    irr::s32 getRallyTimeCount();
    void sortRallyTimes();
    irr::u32 getRallyPlace(irr::s32 time);

    irr::s32 getRaceType();
    void setRaceType(irr::s32 type);
    irr::s32 getRacePhase();
    void setRacePhase(irr::s32 phase);
    irr::f32 getRaceStartTime();
    void setRaceStartTime(irr::f32 time);
    irr::f32 getFinishTime();
    void setFinishTime(irr::f32 time);
    irr::s32 getLaps();
    void setLaps(irr::s32 laps);

    void addNavigationPoint(CWaypoint* point);
    CWaypoint* getNavigationPoint(irr::s32 index);
    irr::s32 getNavigationPointCount();
    void clearNavigation();

    void buildRaceOrder(CEntityManager* entities);
    void sortRaceOrder();
    CVehicleEntity* getRaceOrderEntry(irr::s32 index);

    irr::s32 getShadowType();
    void setShadowType(irr::s32 type);

    irr::core::dimension2d<irr::u32> getCurrentVideoMode();
    void nextVideoMode();
    irr::u32 getVideoModeCount() const;
    bool isResolutionReset();

    SKeyEntry* findKeyByName(const std::string& name);
    bool findPressedKey(SKeyEntry*& key);
    SKeyEntry* getKey(irr::s32 index);
    irr::s32 getKeyCount();

private:
    void shareWaypoints(const std::string& file, CEntityManager* entities);
    void buildVideoModes();
    void buildKeyTable();
    void selectVideoModeOf(irr::u32 width, irr::u32 height);
    bool offersVideoMode(irr::u32 width, irr::u32 height) const;
    // Keeps a settings file whose progress could not be read under its name plus ".bad" (or a
    // fresh variant of it), once: its text as read, or the file itself moved aside when it could
    // not be read at all. False when that failed, so that the file is not overwritten.
    bool keepDamagedSettings();

    std::string selectedMission;
    std::string loadedMission;
    std::vector<CVehicleEntity*> finishers;
    std::vector<irr::s32> rallyTimes;
    irr::s32 raceType;
    irr::s32 racePhase;
    irr::f32 raceStartTime;
    irr::f32 finishTime;
    irr::s32 laps;
    std::vector<CWaypoint*> navigation;
    std::vector<CVehicleEntity*> raceOrder;
    irr::s32 shadowType;
    std::vector<irr::core::dimension2d<irr::u32>> videoModes;
    irr::u32 currentVideoMode;
    irr::core::dimension2d<irr::u32> desktopSize;
    std::vector<SKeyEntry*> keys;
    bool resolutionReset;
    std::string keptSettingsFile;
    std::string keptSettingsText;
    bool settingsFileRefused;
    CGameEngine* engine;
    CTranslation* texts;
};

// Milliseconds as the race display shows them: minutes:seconds:hundredths, two digits at least.
std::string formatRaceTime(irr::s32 milliseconds);
