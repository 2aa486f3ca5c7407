// missionpreview RUN_DIR OUT_DIR [N...]: pictures of the game's missions (all eight, or the
// numbers given) as the real loader builds them, drawn with OpenGL: OUT_DIR/m0N_chase.png from
// behind the player's car and OUT_DIR/m0N_above.png from above. Needs an X display (Xvfb will
// do) and is not part of the build's content.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/missiongen/preview/CMissionPreview.h"
#include "tools/missiongen/session/CMissionSession.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("ERROR: usage: missionpreview RUN_DIR OUT_DIR [MISSION_NUMBER...]\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    std::error_code failed;
    std::filesystem::create_directories(out, failed);
    CMissionSession session(argv[1], irr::video::EDT_OPENGL);
    if (!session.isReady())
        return 1;
    bool ok = true;
    {
        CMissionPreview preview(session);
        for (int n : CMissionSession::missionNumbers(argc, argv, 3))
            ok = preview.shoot(CMissionSession::folderOf(n), (out / ("m0" + std::to_string(n))).string()) && ok;
    }
    std::printf("Mission previews %s\n", ok ? "[DONE]." : "[ERROR]");
    return ok ? 0 : 1;
}
