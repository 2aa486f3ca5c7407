#include "audio/CSoundManager.h"

#include <AL/al.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/CSound.h"
#include "core/CGameEngine.h"
#include "core/SGameSettings.h"

namespace {

const char* const kMenuMusic = "data/audio/menu_music.ogg";
const char* const kMusicFolder = "./data/audio/music";
// Every track holds its file open (and an OpenAL source) for the whole game: a folder of a
// thousand tracks would leave no file descriptor for the missions or the settings.
const size_t kMaxTracks = 64;

// True when the path's extension (from its last ".") is ".ogg" in any letter case.
bool hasOggExtension(const std::string& path)
{
    const std::string::size_type dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = path.substr(dot);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return extension == ".ogg";
}

} // namespace

CSoundManager::CSoundManager(SGameSettings* settings, CGameEngine* engine)
    : currentTrackIndex(0), listenerPosition(0.0f, 0.0f, 0.0f), menuMusic(nullptr),
      currentTrack(nullptr), context(nullptr), device(nullptr), settings(settings), engine(engine)
{
    const ALCchar* deviceName = nullptr;
    if (alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT") == ALC_TRUE)
        deviceName = alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
    // An empty name (no output available) asks for the default device, which is just as absent.
    if (deviceName && !deviceName[0])
        deviceName = nullptr;

    device = alcOpenDevice(deviceName);
    if (device) {
        context = alcCreateContext(device, nullptr);
        if (context) {
            alcMakeContextCurrent(context);
        } else {
            alcCloseDevice(device);
            device = nullptr;
        }
    }
    alListener3f(AL_POSITION, 0.0f, 0.0f, 0.0f);
}

CSoundManager::~CSoundManager()
{
    delete menuMusic;
    menuMusic = nullptr;
    for (CSound* track : tracks)
        delete track;
    tracks.clear();
    currentTrack = nullptr;

    alcMakeContextCurrent(nullptr);
    if (context)
        alcDestroyContext(context);
    if (device)
        alcCloseDevice(device);
}

void CSoundManager::loadAudio()
{
    std::printf("Loading audio...\n");

    menuMusic = new CSound(kMenuMusic, this);
    menuMusic->setLoop(true);

    irr::io::IFileSystem* fs = engine->getDevice()->getFileSystem();
    // The folder is listed from inside it; the game's own folder is restored whatever happens,
    // so a missing music folder never moves the game away from its data.
    const irr::io::path gameFolder = fs->getWorkingDirectory();
    if (fs->changeWorkingDirectoryTo(kMusicFolder)) {
        irr::io::IFileList* list = fs->createFileList();
        if (list) {
            const std::string folder = fs->getWorkingDirectory().c_str();
            for (irr::u32 i = 0; i < list->getFileCount(); ++i) {
                if (list->isDirectory(i))
                    continue;
                const std::string path = folder + "/" + list->getFileName(i).c_str();
                if (!hasOggExtension(path))
                    continue;
                if (tracks.size() == kMaxTracks) {
                    std::printf("Warning: %s holds more than %zu tracks; the game plays the first %zu\n",
                                folder.c_str(), kMaxTracks, kMaxTracks);
                    break;
                }
                tracks.push_back(new CSound(path, this));
                std::printf("Loaded: %s\n", path.c_str());
            }
            list->drop();
        }
        fs->changeWorkingDirectoryTo(gameFolder);
    }

    currentTrackIndex = 0;
    currentTrack = tracks.empty() ? nullptr : tracks[0];
    setMusicVolume(settings->musicVolume);
}

void CSoundManager::setListenerPosition(irr::f32 x, irr::f32 y, irr::f32 z)
{
    if (CSound::isSamePosition(listenerPosition, x, y, z))
        return;
    listenerPosition.set(x, y, z);
    alListener3f(AL_POSITION, x, y, z);
}

void CSoundManager::pickRandomTrack()
{
    if (!currentTrack || currentTrack->getState() != ESS_STOPPED)
        return;
    currentTrackIndex = static_cast<irr::u32>(std::rand()) % static_cast<irr::u32>(tracks.size());
    currentTrack = tracks[currentTrackIndex];
}

void CSoundManager::nextTrack()
{
    if (!currentTrack || currentTrack->getState() != ESS_STOPPED)
        return;
    currentTrackIndex = currentTrackIndex + 1 < tracks.size() ? currentTrackIndex + 1 : 0;
    currentTrack = tracks[currentTrackIndex];
    if (currentTrack->isValid())
        currentTrack->setState(ESS_PLAYING_RELATIVE);
}

CSound* CSoundManager::getMenuMusic()
{
    return menuMusic;
}

CSound* CSoundManager::getCurrentTrack()
{
    return currentTrack;
}

void CSoundManager::setMusicVolume(irr::s32 percent)
{
    // The percentage is scaled in double precision and rounded once before each mix factor.
    // A volume edited outside 0 to 100 in "settings.xml" plays as the nearest end of the range.
    const irr::s32 bounded = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    const irr::f32 scale = static_cast<irr::f32>(bounded * 0.01);
    const irr::f32 trackGain = static_cast<irr::f32>(scale * 0.45);
    const irr::f32 menuGain = static_cast<irr::f32>(scale * 0.75);
    for (CSound* track : tracks)
        track->setGain(trackGain);
    if (menuMusic)
        menuMusic->setGain(menuGain);
}

irr::u32 CSoundManager::getTrackCount() const
{
    return static_cast<irr::u32>(tracks.size());
}

CSound* CSoundManager::getTrack(irr::u32 index)
{
    return index < tracks.size() ? tracks[index] : nullptr;
}

irr::u32 CSoundManager::getCurrentTrackIndex() const
{
    return currentTrackIndex;
}

bool CSoundManager::hasDevice() const
{
    return context != nullptr;
}
