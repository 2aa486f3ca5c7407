// missiondrive RUN_DIR [N...]: races the game's missions (all eight, or the numbers given) with
// the game's computer driver at every wheel, headless, and prints each car's laps and time.
// Set ALSOFT_DRIVERS=null to keep it silent. Not part of the build's content.
#include <cstdio>
#include <string>

#include "core/CGameEngine.h"
#include "tools/missiongen/drive/CMissionDrive.h"
#include "tools/missiongen/session/CMissionSession.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("ERROR: usage: missiondrive RUN_DIR [MISSION_NUMBER...]\n");
        return 2;
    }
    CMissionSession session(argv[1], irr::video::EDT_NULL);
    if (!session.isReady())
        return 1;
    session.engine->getDevice()->getTimer()->stop();
    CMissionDrive drive(session);
    bool ok = true;
    for (int n : CMissionSession::missionNumbers(argc, argv, 2)) {
        const std::string folder = CMissionSession::folderOf(n);
        for (const SDriveResult& r : drive.race(folder, 900.0f)) {
            std::printf("%s %-10s %s %7.1f s, %d lap%s:", folder.c_str(), r.car.c_str(),
                        r.finished ? "finished" : "DNF     ", double(r.seconds), r.laps, r.laps == 1 ? "" : "s");
            for (float t : r.lapTimes)
                std::printf(" %.1f", double(t));
            std::printf("; top %.0f km/h, %d stop%s%s\n", double(r.topSpeed), r.stops, r.stops == 1 ? "" : "s",
                        r.player ? "  (player's car)" : "");
            ok = ok && r.finished;
        }
    }
    return ok ? 0 : 1;
}
