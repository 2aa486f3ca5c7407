#pragma once
#include <AL/alc.h>
#include <irrlicht.h>
#include <vector>

class CGameEngine;
class CSound;
struct SGameSettings;

// The audio output of the game: the OpenAL device and context, the listener, the menu music and
// the music tracks of "./data/audio/music". Without an audio device the game runs silent.
class CSoundManager {
public:
    CSoundManager(SGameSettings* settings, CGameEngine* engine);
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // Loads the menu music and the ".ogg" files of the music folder, in the engine's file-list
    // order: the first 64, with a warning when there are more.
    void loadAudio();
    void setListenerPosition(irr::f32 x, irr::f32 y, irr::f32 z);
    // A random track for the next race, when the current one is not playing.
    void pickRandomTrack();
    // Moves on to the next track (and starts it) once the current one has stopped.
    void nextTrack();
    CSound* getMenuMusic();
    // Null when the music folder holds no track.
    CSound* getCurrentTrack();
    void setMusicVolume(irr::s32 percent);

    // The loaded tracks in playing order.
    irr::u32 getTrackCount() const;
    CSound* getTrack(irr::u32 index);
    irr::u32 getCurrentTrackIndex() const;
    // False when no audio device could be opened.
    bool hasDevice() const;

private:
    irr::u32 currentTrackIndex;
    irr::core::vector3df listenerPosition;
    CSound* menuMusic;
    CSound* currentTrack;
    std::vector<CSound*> tracks;
    ALCcontext* context;
    ALCdevice* device;
    SGameSettings* settings;
    CGameEngine* engine;
};
