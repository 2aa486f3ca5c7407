#include "world/CVehicleEntity.h"

CVehicleEntity::CVehicleEntity() : finished(false), lap(-1), navigationIndex(0), navigationDistance(0.0f) {}

bool CVehicleEntity::isFinished() const { return finished; }
void CVehicleEntity::setFinished(bool value) { finished = value; }
int CVehicleEntity::getLap() const { return lap; }
void CVehicleEntity::setLap(int value) { lap = value; }
int CVehicleEntity::getNavigationIndex() const { return navigationIndex; }
void CVehicleEntity::setNavigationIndex(int value) { navigationIndex = value; }
irr::f32 CVehicleEntity::getNavigationDistance() const { return navigationDistance; }
void CVehicleEntity::setNavigationDistance(irr::f32 value) { navigationDistance = value; }
