#pragma once
#include <string>

class CEntityManager;
class CGameData;
class CGameEngine;
class CSoundManager;
class CTranslation;
struct SGameSettings;

// The menu front end. Its name is the whole navigation state ("Main", "New", "Continue",
// "Break", "BreakAndNew", "Options", "Credits", "Exit"); the race writes it when a race ends.
class CMenu {
public:
    CMenu(SGameSettings* settings, CGameData* gameData, CGameEngine* engine,
          CEntityManager* entities, CSoundManager* sound, CTranslation* texts);
    ~CMenu();

    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    void setMenuName(std::string name);
    std::string getMenuName();

private:
    std::string menuName;
    SGameSettings* settings;
    CGameData* gameData;
    CGameEngine* engine;
    CEntityManager* entities;
    CSoundManager* sound;
    CTranslation* texts;
};
