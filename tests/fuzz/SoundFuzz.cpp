// An Ogg Vorbis file through `CSound` on the silent OpenAL Soft device: opened, played and
// streamed for a few frames, as the game streams music and engine sounds.
#include <cstdlib>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "tests/fuzz/FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SGameSettings* settings = [] {
        setenv("ALSOFT_DRIVERS", "null", 0);
        SGameSettings* s = new SGameSettings;
        s->fullscreen = false;
        return s;
    }();
    static CGameEngine* engine = new CGameEngine(settings, irr::video::EDT_NULL);
    static CSoundManager* sounds = new CSoundManager(settings, engine);
    const std::string path = writeFuzzFile("sound.ogg", data, size);
    CSound sound(path, sounds);
    if (sound.isValid()) {
        sound.setLoop(true);
        sound.setState(ESS_PLAYING_RELATIVE);
        for (int i = 0; i < 4; ++i)
            sound.update();
        sound.setState(ESS_STOPPED);
    }
    return 0;
}
