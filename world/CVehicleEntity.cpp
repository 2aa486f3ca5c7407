#include "world/CVehicleEntity.h"

#include <cstdio>
#include <utility>

CVehicleEntity::CVehicleEntity() : CVehicleEntity(-1, std::string()) {}

CVehicleEntity::CVehicleEntity(int id, std::string name)
    : id(id), name(std::move(name)), finished(false), lap(-1), navigationIndex(0),
      navigationDistance(0.0f)
{
}

CVehicleEntity::~CVehicleEntity()
{
    std::printf("Vehicle is removing...\n");
}

int CVehicleEntity::getId() const { return id; }
std::string CVehicleEntity::getName() const { return name; }

bool CVehicleEntity::isFinished() const { return finished; }
void CVehicleEntity::setFinished(bool value) { finished = value; }
int CVehicleEntity::getLap() const { return lap; }
void CVehicleEntity::setLap(int value) { lap = value; }
int CVehicleEntity::getNavigationIndex() const { return navigationIndex; }
void CVehicleEntity::setNavigationIndex(int value) { navigationIndex = value; }
irr::f32 CVehicleEntity::getNavigationDistance() const { return navigationDistance; }
void CVehicleEntity::setNavigationDistance(irr::f32 value) { navigationDistance = value; }
