// audio_probe: runs one sound scenario in a process of its own, so that the test around it can
// choose OpenAL Soft's backend (which the library reads once per process) through the
// environment: the wave writer to hear what came out, or no backend at all.
//
// usage: audio_probe SCENARIO GAME_FOLDER [MUSIC_VOLUME]
//   menu      the menu music, as the menu screens play it, for about 1.2 s
//   loop      "loop.ogg", looping, for 1.2 s of sound; usage: audio_probe loop GAME_FOLDER VOLUME
//             FRAME_MS WAV. Mixed by a loopback device that the probe renders FRAME_MS at a time
//             between two frames of streaming, and written to WAV (stereo, 16 bits, 44100 Hz):
//             the sound's clock is the frames' own, whatever the machine's load.
//   restart   "ramp.ogg" played for 0.6 s, stopped, then played again to its end
//   nodevice  loading and a few hundred frames of menu and race music
#include <AL/alc.h>
#include <AL/alext.h>
#include <irrlicht.h>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio/CSound.h"
#include "audio/CSoundManager.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"

namespace {

// Frame loop of a screen: one call of `frame` every couple of milliseconds for `seconds`, or
// until `frame` returns true.
void runFrames(double seconds, const std::function<bool()>& frame)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (frame())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Leaves non-zero garbage where the next calls keep their locals: a sound that trusted OpenAL to
// fill an output on a missing device would read it.
__attribute__((noinline)) void scribbleStack()
{
    volatile unsigned char junk[16384];
    for (size_t i = 0; i < sizeof junk; ++i)
        junk[i] = 0x7F;
    (void)junk[0];
}

// 16-bit stereo PCM at 44100 Hz as a RIFF WAVE file.
bool writeWave(const char* path, const std::vector<int16_t>& samples)
{
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    auto put = [out](uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), out);
    };
    std::fputs("RIFF", out);
    put(36 + bytes, 4);
    std::fputs("WAVEfmt ", out);
    put(16, 4);
    put(1, 2);              // PCM
    put(2, 2);              // channels
    put(44100, 4);          // rate
    put(44100 * 4, 4);      // bytes a second
    put(4, 2);              // bytes a frame
    put(16, 2);             // bits
    std::fputs("data", out);
    put(bytes, 4);
    std::fwrite(samples.data(), 2, samples.size(), out);
    return std::fclose(out) == 0;
}

// Plays `loop.ogg` looping on a loopback device for `seconds` of sound: each frame streams once
// and then mixes `frameMs` of output.
int renderLoop(CSoundManager* sounds, double seconds, int frameMs, const char* wavPath)
{
    auto openLoopback = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    ALCdevice* device = openLoopback ? openLoopback(nullptr) : nullptr;
    if (!device || !render) {
        std::printf("ERROR: no loopback device\n");
        return 1;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                 ALC_SHORT_SOFT, ALC_FREQUENCY, 44100, 0};
    ALCcontext* context = alcCreateContext(device, attributes);
    ALCcontext* previous = alcGetCurrentContext();
    alcMakeContextCurrent(context);
    std::printf("probe: device open\n");
    std::vector<int16_t> samples;
    {
        CSound sound("loop.ogg", sounds);
        sound.setLoop(true);
        sound.setState(ESS_PLAYING_RELATIVE);
        const int perFrame = 44100 * frameMs / 1000;
        std::vector<int16_t> frame(static_cast<size_t>(perFrame) * 2);
        for (int done = 0; done < static_cast<int>(seconds * 44100); done += perFrame) {
            sound.update();
            render(device, frame.data(), perFrame);
            samples.insert(samples.end(), frame.begin(), frame.end());
        }
    }
    alcMakeContextCurrent(previous);
    alcDestroyContext(context);
    alcCloseDevice(device);
    return writeWave(wavPath, samples) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int status = 0;
    if (argc < 3) {
        std::printf("usage: audio_probe SCENARIO GAME_FOLDER [MUSIC_VOLUME]\n");
        return 2;
    }
    const std::string scenario = argv[1];
    if (chdir(argv[2]) != 0) {
        std::printf("ERROR: cannot enter \"%s\"\n", argv[2]);
        return 2;
    }

    SGameSettings* settings = new SGameSettings();
    settings->width = 640;
    settings->height = 480;
    settings->fullscreen = false;
    if (argc > 3)
        settings->musicVolume = std::atoi(argv[3]);
    CGameEngine* engine = new CGameEngine(settings, irr::video::EDT_NULL);
    CSoundManager* sounds = new CSoundManager(settings, engine);
    std::printf("probe: device %s\n", sounds->hasDevice() ? "open" : "none");

    if (scenario == "menu") {
        sounds->loadAudio();
        CSound* menu = sounds->getMenuMusic();
        menu->setState(ESS_PLAYING_RELATIVE);
        runFrames(1.2, [&] { menu->update(); return false; });
    } else if (scenario == "loop") {
        if (argc < 6 || renderLoop(sounds, 1.2, std::atoi(argv[4]), argv[5]) != 0) {
            std::printf("ERROR: the loop was not rendered\n");
            status = 1;
        }
    } else if (scenario == "restart") {
        CSound sound("ramp.ogg", sounds);
        sound.setState(ESS_PLAYING_RELATIVE);
        runFrames(0.6, [&] { sound.update(); return false; });
        sound.setState(ESS_STOPPED);
        sound.setState(ESS_PLAYING_RELATIVE);
        runFrames(10.0, [&] { sound.update(); return sound.getState() == ESS_STOPPED; });
        std::printf("probe: ended %s\n", sound.getState() == ESS_STOPPED ? "stopped" : "still playing");
        runFrames(0.2, [] { return false; });
    } else if (scenario == "nodevice") {
        sounds->loadAudio();
        CSound* menu = sounds->getMenuMusic();
        menu->setState(ESS_PLAYING_RELATIVE);
        for (int frame = 0; frame < 200; ++frame) {
            scribbleStack();
            menu->update();
        }
        menu->setState(ESS_STOPPED);
        sounds->pickRandomTrack();
        if (sounds->getCurrentTrack())
            sounds->getCurrentTrack()->setState(ESS_PLAYING_RELATIVE);
        for (int frame = 0; frame < 200; ++frame) {
            scribbleStack();
            sounds->nextTrack();
            if (sounds->getCurrentTrack())
                sounds->getCurrentTrack()->update();
            sounds->setListenerPosition(static_cast<irr::f32>(frame), 0.0f, 0.0f);
        }
        std::printf("probe: %u tracks\n", sounds->getTrackCount());
    } else {
        std::printf("ERROR: unknown scenario \"%s\"\n", scenario.c_str());
    }

    delete sounds;
    delete engine;
    delete settings;
    std::printf("probe: done\n");
    return status;
}
