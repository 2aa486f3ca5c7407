#include "audio/CSound.h"

#include "platform/RegularFile.h"

#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {

const irr::f32 kPositionTolerance = 0.000001f;

bool isPlayingState(E_SOUND_STATE s)
{
    return s == ESS_PLAYING_RELATIVE || s == ESS_PLAYING_3D;
}

bool near(irr::f32 a, irr::f32 b)
{
    return std::fabs(a - b) <= kPositionTolerance;
}

} // namespace

CSound::CSound(const std::string& fileName, CSoundManager* owner)
    : buffers{0, 0}, source(0), format(AL_FORMAT_STEREO16), file(nullptr), info(nullptr),
      state(ESS_STOPPED), rolloff(0.0f), loop(false), pitch(1.0f), position(0.0f, 0.0f, 0.0f),
      gain(1.0f), path(fileName), valid(false), owner(owner), draining(false),
      streamBroken(false), needsRestart(false)
{
    std::memset(&stream, 0, sizeof stream);
    open();
}

CSound::CSound(const CSound& other, CSoundManager* owner) : CSound(other.path, owner)
{
}

CSound::~CSound()
{
    if (!valid)
        return;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
    alDeleteBuffers(2, buffers);
    ov_clear(&stream);
}

void CSound::open()
{
    const SFileOpen opened = openRegularFile(path, kSoundFileLimit);
    if (opened.result == EFileOpen::Missing) {
        std::printf("Sound Error: File \"%s\" not found.\n", path.c_str());
        return;
    }
    if (opened.result == EFileOpen::Refused) {
        std::printf("Sound Error: File \"%s\" could not be read (%s).\n", path.c_str(), opened.problem.c_str());
        return;
    }
    file = ::fdopen(opened.fd, "rb");
    if (!file) {
        ::close(opened.fd);
        std::printf("Sound Error: File \"%s\" could not be read.\n", path.c_str());
        return;
    }
    // The decoder takes the file over only when it accepts it.
    if (ov_open(file, &stream, nullptr, 0) < 0) {
        std::fclose(file);
        file = nullptr;
        std::printf("Sound Error: File \"%s\" - Unsupported format or corrupted file.\n", path.c_str());
        return;
    }
    info = ov_info(&stream, -1);
    // Only mono and stereo can be queued as 16-bit OpenAL buffers; anything wider would play as noise.
    if (!info || info->channels < 1 || info->channels > 2) {
        ov_clear(&stream);
        file = nullptr;
        info = nullptr;
        std::printf("Sound Error: File \"%s\" - Unsupported format or corrupted file.\n", path.c_str());
        return;
    }
    format = info->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;

    // Without an audio device these calls write nothing: the ids stay 0 and every later call is
    // a harmless no-op.
    alGenBuffers(2, buffers);
    alGenSources(1, &source);
    valid = true;

    // A file shorter than the two buffers leaves one out; should the sound loop later, both are
    // needed.
    needsRestart = !queueBoth();
    alSourcef(source, AL_ROLLOFF_FACTOR, rolloff);
    alSourcef(source, AL_PITCH, pitch);
    alSource3f(source, AL_POSITION, position.X, position.Y, position.Z);
    alSourcef(source, AL_GAIN, gain);
}

bool CSound::fillBuffer(ALuint buffer)
{
    if (!valid)
        return false;

    char data[kBufferBytes];
    int size = 0;
    bool justRewound = false;
    while (size < kBufferBytes) {
        int section = 0;
        const long result = ov_read(&stream, data + size, kBufferBytes - size, 0, 2, 1, &section);
        if (result > 0) {
            size += static_cast<int>(result);
            justRewound = false;
            continue;
        }
        if (result == 0 && loop) {
            if (justRewound)
                break; // a file without a single sample
            rewind();
            justRewound = true;
            continue;
        }
        // The end of a non-looping file, or a decoder error: what is queued plays out first.
        draining = true;
        streamBroken = result < 0;
        break;
    }
    if (size == 0)
        return false;
    alBufferData(buffer, format, data, size, static_cast<ALsizei>(info->rate));
    return true;
}

void CSound::rewind()
{
    ov_raw_seek(&stream, 0);
}

void CSound::backToTheStart()
{
    rewind();
    draining = false;
    needsRestart = true;
}

void CSound::prefill()
{
    // Back to a fresh queue in the initial state, so that the new buffers do not count as played.
    alSourceStop(source);
    alSourceRewind(source);
    alSourcei(source, AL_BUFFER, 0);
    rewind();
    draining = false;
    queueBoth();
    // Playing from here on: a pause and resume goes on where it was, even with a single buffer.
    needsRestart = false;
}

bool CSound::queueBoth()
{
    int queued = 0;
    for (ALuint buffer : buffers) {
        if (fillBuffer(buffer)) {
            alSourceQueueBuffers(source, 1, &buffer);
            ++queued;
        }
    }
    return queued == 2;
}

E_SOUND_STATE CSound::getState() const
{
    return state;
}

bool CSound::setState(E_SOUND_STATE newState)
{
    if (!valid)
        return false;

    bool acted = false;
    if (state != ESS_PAUSED && newState == ESS_PAUSED) {
        alSourcePause(source);
        acted = true;
    }
    if (state != ESS_PLAYING_RELATIVE && newState == ESS_PLAYING_RELATIVE) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        acted = true;
    }
    if (state != ESS_PLAYING_3D && newState == ESS_PLAYING_3D) {
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        acted = true;
    }
    if (state != ESS_STOPPED && newState == ESS_STOPPED) {
        alSourceStop(source);
        backToTheStart();
        acted = true;
    }
    // A stopped or finished sound may have lost a buffer from its queue at its end: it starts
    // again from a full queue at the start of the file.
    if (!isPlayingState(state) && isPlayingState(newState) && needsRestart)
        prefill();
    state = newState;
    return acted;
}

bool CSound::update()
{
    if (!valid || !isPlayingState(state))
        return false;

    // Zeroed first: without a device OpenAL leaves its outputs untouched.
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    if (processed > 2)
        processed = 2;

    // Looping was switched on after the end had been decoded: the next fill rewinds.
    if (draining && loop && !streamBroken)
        draining = false;

    bool filled = false;
    for (ALint i = 0; i < processed; ++i) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (buffer == 0)
            break;
        if (draining) {
            filled = false;
            continue;
        }
        filled = fillBuffer(buffer);
        if (filled)
            alSourceQueueBuffers(source, 1, &buffer);
    }

    ALint sourceState = 0;
    ALint queued = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &sourceState);
    alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    if (sourceState != AL_PLAYING) {
        if (queued != 0) {
            // Starts a new play, resumes a pause, or restarts a source that ran dry.
            alSourcePlay(source);
        } else if (draining) {
            // The last buffer has been heard.
            state = ESS_STOPPED;
            backToTheStart();
        }
    }
    return filled;
}

irr::f32 CSound::getRolloff() const
{
    return rolloff;
}

void CSound::setRolloff(irr::f32 value)
{
    if (value == rolloff)
        return;
    rolloff = value;
    if (valid)
        alSourcef(source, AL_ROLLOFF_FACTOR, rolloff);
}

irr::f32 CSound::getPitch() const
{
    return pitch;
}

void CSound::setPitch(irr::f32 value)
{
    if (value == pitch)
        return;
    pitch = value;
    if (valid)
        alSourcef(source, AL_PITCH, pitch);
}

irr::f32 CSound::getGain() const
{
    return gain;
}

void CSound::setGain(irr::f32 value)
{
    // Gains come from the volumes of "settings.xml", which a player may edit: OpenAL refuses a
    // negative gain, and nothing in the game is meant to amplify.
    value = value < 0.0f ? 0.0f : value > 1.0f ? 1.0f : value;
    if (value == gain)
        return;
    gain = value;
    if (valid)
        alSourcef(source, AL_GAIN, gain);
}

irr::core::vector3df CSound::getPosition() const
{
    return position;
}

void CSound::setPosition(irr::f32 x, irr::f32 y, irr::f32 z)
{
    if (isSamePosition(position, x, y, z))
        return;
    position.set(x, y, z);
    if (valid)
        alSource3f(source, AL_POSITION, x, y, z);
}

bool CSound::getLoop() const
{
    return loop;
}

void CSound::setLoop(bool value)
{
    loop = value;
}

bool CSound::isSamePosition(const irr::core::vector3df& stored, irr::f32 x, irr::f32 y, irr::f32 z)
{
    return near(x, stored.X) && near(y, stored.Y) && near(z, stored.Z);
}

CSoundManager* CSound::getOwner() const
{
    return owner;
}

const std::string& CSound::getPath() const
{
    return path;
}

bool CSound::isValid() const
{
    return valid;
}

ALuint CSound::getSource() const
{
    return source;
}

ALuint CSound::getBuffer(int index) const
{
    return index == 0 || index == 1 ? buffers[index] : 0;
}
