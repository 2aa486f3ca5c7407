#pragma once
#include <AL/al.h>
#include <irrlicht.h>
#include <vorbis/vorbisfile.h>
#include <cstdio>
#include <string>

class CSoundManager;

enum E_SOUND_STATE {
    ESS_PAUSED = 0,
    ESS_PLAYING_RELATIVE = 1, // follows the listener: music
    ESS_PLAYING_3D = 2,       // placed in the world: engine sounds
    ESS_STOPPED = 3
};

// One Ogg Vorbis file streamed through one OpenAL source: two buffers are decoded ahead and
// refilled from the frame loop by update(), so a sound only advances while its owner's loop runs.
class CSound {
public:
    CSound(const std::string& fileName, CSoundManager* owner);
    // A fresh sound on the other sound's file; nothing but the file is taken over.
    CSound(const CSound& other, CSoundManager* owner);
    ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    E_SOUND_STATE getState() const;
    // True when the change did something to the source. A playing state is heard from the
    // next update on.
    bool setState(E_SOUND_STATE newState);
    // One frame of streaming: refills what the source has played and keeps it going.
    bool update();

    irr::f32 getRolloff() const;
    void setRolloff(irr::f32 value);
    irr::f32 getPitch() const;
    void setPitch(irr::f32 value);
    irr::f32 getGain() const;
    void setGain(irr::f32 value);
    irr::core::vector3df getPosition() const;
    void setPosition(irr::f32 x, irr::f32 y, irr::f32 z);
    bool getLoop() const;
    void setLoop(bool value);

    CSoundManager* getOwner() const;
    const std::string& getPath() const;
    // False when the file was missing or could not be decoded: such a sound stays silent.
    bool isValid() const;
    // The OpenAL source and the two stream buffers (index 0 or 1), for diagnostics; 0 when no
    // audio device is open.
    ALuint getSource() const;
    ALuint getBuffer(int index) const;

    static const int kBufferBytes = 32768;

    // True when (x, y, z) lies within a millionth of `stored` on every axis: such a move is not
    // worth telling OpenAL about (sources and the listener alike).
    static bool isSamePosition(const irr::core::vector3df& stored, irr::f32 x, irr::f32 y, irr::f32 z);

private:
    void open();
    bool fillBuffer(ALuint buffer);
    // Empties the queue, rewinds the file and decodes both buffers afresh.
    void prefill();
    // True when both buffers went into the queue.
    bool queueBoth();
    void rewind();
    // A stopped sound: the file rewound, and both buffers to be decoded afresh at the next play.
    void backToTheStart();

    ALuint buffers[2];
    ALuint source;
    ALenum format;
    FILE* file;
    vorbis_info* info;
    OggVorbis_File stream;
    E_SOUND_STATE state;
    irr::f32 rolloff;
    bool loop;
    irr::f32 pitch;
    irr::core::vector3df position;
    irr::f32 gain;
    std::string path;
    bool valid;
    CSoundManager* owner;
    // The decoder has reached the end of a non-looping file or a damaged stream: what is queued
    // still plays out, then the sound stops.
    bool draining;
    // The drain was started by a decoder error, which ends a looping sound as well.
    bool streamBroken;
    // The sound was stopped or ran out (or its file is too short to fill both buffers while it
    // did not loop): the next play decodes both buffers afresh.
    bool needsRestart;
};
