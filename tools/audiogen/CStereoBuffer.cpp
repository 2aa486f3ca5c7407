#include "CStereoBuffer.h"

#include <cmath>

CStereoBuffer::CStereoBuffer(size_t frames, bool wraps)
    : frames(frames), wrapping(wraps), l(frames, 0.0f), r(frames, 0.0f)
{
}

long CStereoBuffer::place(long frame) const
{
    const long n = static_cast<long>(frames);
    if (n == 0)
        return -1;
    if (wrapping) {
        frame %= n;
        return frame < 0 ? frame + n : frame;
    }
    return frame >= 0 && frame < n ? frame : -1;
}

void CStereoBuffer::add(long frame, float left, float right)
{
    const long i = place(frame);
    if (i < 0)
        return;
    l[static_cast<size_t>(i)] += left;
    r[static_cast<size_t>(i)] += right;
}

void CStereoBuffer::mix(const CStereoBuffer& other, float gain)
{
    const size_t n = frames < other.frames ? frames : other.frames;
    for (size_t i = 0; i < n; ++i) {
        l[i] += other.l[i] * gain;
        r[i] += other.r[i] * gain;
    }
}

float CStereoBuffer::rms() const
{
    double sum = 0.0;
    for (size_t i = 0; i < frames; ++i)
        sum += static_cast<double>(l[i]) * l[i] + static_cast<double>(r[i]) * r[i];
    return frames ? static_cast<float>(std::sqrt(sum / (2.0 * frames))) : 0.0f;
}

void CStereoBuffer::scale(float gain)
{
    for (size_t i = 0; i < frames; ++i) {
        l[i] *= gain;
        r[i] *= gain;
    }
}

void CStereoBuffer::softLimit(float knee)
{
    const float room = 1.0f - knee;
    auto bend = [knee, room](float x) {
        const float a = std::fabs(x);
        if (a <= knee)
            return x;
        const float y = knee + room * std::tanh((a - knee) / room);
        return x < 0.0f ? -y : y;
    };
    for (size_t i = 0; i < frames; ++i) {
        l[i] = bend(l[i]);
        r[i] = bend(r[i]);
    }
}

void CStereoBuffer::fadeOut(size_t fadeFrames)
{
    if (fadeFrames > frames)
        fadeFrames = frames;
    const size_t first = frames - fadeFrames;
    for (size_t i = first; i < frames; ++i) {
        const float t = static_cast<float>(frames - i) / static_cast<float>(fadeFrames);
        const float g = t * t;
        l[i] *= g;
        r[i] *= g;
    }
}

std::vector<float> CStereoBuffer::interleaved() const
{
    std::vector<float> out(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        out[2 * i] = l[i];
        out[2 * i + 1] = r[i];
    }
    return out;
}
