#include "EntityFixtures.h"

#include <btBulletDynamicsCommon.h>
#include <sstream>

#include "core/CGameEngine.h"

using namespace irr;

namespace entitytest {

std::string boxesObj(const std::vector<SBox>& boxes, const std::string& materialLibrary,
                     const std::string& material)
{
    std::ostringstream obj;
    if (!materialLibrary.empty())
        obj << "mtllib " << materialLibrary << "\n";
    // Six faces of two triangles each, as corner numbers 0..7 (bit 0: x, bit 1: y, bit 2: z).
    static const int kFaces[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5},
                                      {0, 5, 4}, {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2},
                                      {1, 3, 7}, {1, 7, 5}};
    int base = 1;
    for (const SBox& box : boxes) {
        for (int corner = 0; corner < 8; ++corner) {
            const f32 x = (corner & 1) ? box.maximum.X : box.minimum.X;
            const f32 y = (corner & 2) ? box.maximum.Y : box.minimum.Y;
            const f32 z = (corner & 4) ? box.maximum.Z : box.minimum.Z;
            obj << "v " << -x << " " << y << " " << z << "\n";
            obj << "vt " << ((corner & 1) ? 1 : 0) << " " << ((corner & 2) ? 1 : 0) << "\n";
        }
        if (!material.empty())
            obj << "usemtl " << material << "\n";
        for (const auto& face : kFaces) {
            obj << "f";
            for (int k = 0; k < 3; ++k)
                obj << " " << base + face[k] << "/" << base + face[k];
            obj << "\n";
        }
        base += 8;
    }
    return obj.str();
}

namespace {
int countBelow(scene::ISceneNode* node)
{
    int count = 0;
    for (scene::ISceneNode* child : node->getChildren())
        count += 1 + countBelow(child);
    return count;
}
} // namespace

int sceneNodeCount(CGameEngine* engine)
{
    return countBelow(engine->getSceneManager()->getRootSceneNode());
}

int bodyCount(CGameEngine* engine)
{
    return engine->getDynamicsWorld()->getNumCollisionObjects();
}

video::ITexture* EntityWorldTest::loaded(const std::string& name)
{
    return engine->getVideoDriver()->findTexture(dir.file(name).c_str());
}

} // namespace entitytest
