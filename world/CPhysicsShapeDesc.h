#pragma once
#include <string>

class CGameEngine;

// What a physics body was built from, kept so that a child object ("ParentName") can build an
// equal body. The type is stored as it was given, even when the body had to fall back to an
// empty shape.
class CPhysicsShapeDesc {
public:
    CPhysicsShapeDesc(std::string type, std::string meshPath, float scaleX, float scaleY,
                      float scaleZ, float mass, CGameEngine* engine);

    std::string getType() const;
    std::string getMeshPath() const;
    float getScaleX() const;
    float getScaleY() const;
    float getScaleZ() const;
    float getMass() const;
    CGameEngine* getEngine() const;

private:
    std::string type;
    std::string meshPath;
    float scaleX;
    float scaleY;
    float scaleZ;
    float mass;
    CGameEngine* engine;
};
