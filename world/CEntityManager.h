#pragma once
#include <vector>

class CGameEngine;
class CVehicleEntity;

// The container of the loaded mission's entities; it owns them. So far it holds the vehicles;
// items, checkpoints and static objects join with the world model.
class CEntityManager {
public:
    explicit CEntityManager(CGameEngine* engine);
    ~CEntityManager();

    CGameEngine* getEngine();
    void clear();
    CVehicleEntity* getVehicle(int i);
    int getVehicleCount();

private:
    std::vector<CVehicleEntity*> vehicles;
    int playerVehicleIndex;
    CGameEngine* engine;
};
