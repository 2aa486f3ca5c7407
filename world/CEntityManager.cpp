#include "world/CEntityManager.h"

#include "world/CVehicleEntity.h"

CEntityManager::CEntityManager(CGameEngine* engine) : playerVehicleIndex(0), engine(engine) {}

CEntityManager::~CEntityManager()
{
    clear();
}

CGameEngine* CEntityManager::getEngine() { return engine; }

void CEntityManager::clear()
{
    for (CVehicleEntity* vehicle : vehicles)
        delete vehicle;
    vehicles.clear();
    playerVehicleIndex = 0;
}

CVehicleEntity* CEntityManager::getVehicle(int i)
{
    if (i < 0 || i >= static_cast<int>(vehicles.size()))
        return nullptr;
    return vehicles[i];
}

int CEntityManager::getVehicleCount() { return static_cast<int>(vehicles.size()); }
