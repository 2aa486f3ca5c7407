#include "world/CPhysicsShapeDesc.h"

#include <utility>

CPhysicsShapeDesc::CPhysicsShapeDesc(std::string type, std::string meshPath, float scaleX,
                                     float scaleY, float scaleZ, float mass, CGameEngine* engine)
    : type(std::move(type)), meshPath(std::move(meshPath)), scaleX(scaleX), scaleY(scaleY),
      scaleZ(scaleZ), mass(mass), engine(engine)
{
}

std::string CPhysicsShapeDesc::getType() const { return type; }
std::string CPhysicsShapeDesc::getMeshPath() const { return meshPath; }
float CPhysicsShapeDesc::getScaleX() const { return scaleX; }
float CPhysicsShapeDesc::getScaleY() const { return scaleY; }
float CPhysicsShapeDesc::getScaleZ() const { return scaleZ; }
float CPhysicsShapeDesc::getMass() const { return mass; }
CGameEngine* CPhysicsShapeDesc::getEngine() const { return engine; }
