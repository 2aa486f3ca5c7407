#pragma once
#include <irrlicht.h>
#include <string>

class CEntityManager;
class CGameEngine;

// Developer tool for placing pick-up items: while it is on (F2), the keys 1, 2 and 3 drop a
// Break, Turbo or Boost item above the player's car into the running race and collect its
// "Item" record; switching it off writes the records to "ItemsCreator_Items.xml". While it is on
// the race leaves the items alone.
class CItemsCreator {
public:
    CItemsCreator(CGameEngine* engine, CEntityManager* entities);
    ~CItemsCreator();

    bool isEnabled();
    // One frame of the tool, on the engine's input snapshot.
    void update();
    // False (after an "ERROR: " line) when the file cannot be written.
    bool save(const std::string& fileName);

private:
    void switchOff();
    void placeItem(int kind, const irr::core::vector3df& position);

    irr::core::stringc text;
    irr::s32 breakCount;
    irr::s32 turboCount;
    irr::s32 boostCount;
    bool enabled;
    bool toggleKeyHeld;
    bool key1Held;
    bool key2Held;
    bool key3Held;
    CGameEngine* engine;
    CEntityManager* entities;
};
