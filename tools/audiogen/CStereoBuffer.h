#pragma once
#include <cstddef>
#include <vector>

// Two channels of float samples. A wrapping buffer is one turn of a loop: whatever rings past
// its end comes back in at its start, so the loop's seam is as smooth as any other moment.
class CStereoBuffer {
public:
    CStereoBuffer(size_t frames, bool wraps);

    size_t size() const { return frames; }
    bool wraps() const { return wrapping; }
    // Index of a frame that may lie past either end; -1 when it falls off a non-wrapping buffer.
    long place(long frame) const;
    void add(long frame, float l, float r);

    float* left() { return l.data(); }
    float* right() { return r.data(); }
    const float* left() const { return l.data(); }
    const float* right() const { return r.data(); }

    void mix(const CStereoBuffer& other, float gain);
    float rms() const;
    void scale(float gain);
    // Samples above `knee` are bent smoothly towards 1.0 instead of clipping.
    void softLimit(float knee);
    // Fades the last `fadeFrames` frames out to silence.
    void fadeOut(size_t fadeFrames);
    std::vector<float> interleaved() const;

private:
    size_t frames;
    bool wrapping;
    std::vector<float> l;
    std::vector<float> r;
};
