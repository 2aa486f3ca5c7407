#include "CRoomEffect.h"

#include <cmath>
#include <vector>

namespace {

// Feedback comb with damping in its loop, as in the classic Schroeder-Moorer reverb.
class CComb {
public:
    explicit CComb(size_t length) : buffer(length, 0.0f) {}
    float process(float input)
    {
        const float output = buffer[index];
        store = output * (1.0f - kDamping) + store * kDamping;
        buffer[index] = input + store * kFeedback;
        if (++index == buffer.size())
            index = 0;
        return output;
    }

private:
    static constexpr float kFeedback = 0.82f;
    static constexpr float kDamping = 0.3f;
    std::vector<float> buffer;
    size_t index = 0;
    float store = 0.0f;
};

class CAllPass {
public:
    explicit CAllPass(size_t length) : buffer(length, 0.0f) {}
    float process(float input)
    {
        const float delayed = buffer[index];
        buffer[index] = input + delayed * 0.5f;
        if (++index == buffer.size())
            index = 0;
        return delayed - input;
    }

private:
    std::vector<float> buffer;
    size_t index = 0;
};

} // namespace

CRoomEffect::CRoomEffect(int rate, double echoSeconds, float echoMix, float reverbMix)
    : rate(rate), echoSeconds(echoSeconds), echoMix(echoMix), reverbMix(reverbMix)
{
}

CStereoBuffer CRoomEffect::process(const CStereoBuffer& in) const
{
    const size_t frames = in.size();
    CStereoBuffer out(frames, in.wraps());
    if (frames == 0)
        return out;

    const double scale = rate / 44100.0;
    auto length = [scale](int samples) { return static_cast<size_t>(samples * scale) + 1; };
    static const int kCombs[] = {1116, 1188, 1277, 1356};
    static const int kAllPasses[] = {556, 441};
    std::vector<CComb> combsL, combsR;
    for (int c : kCombs) {
        combsL.emplace_back(length(c));
        combsR.emplace_back(length(c + 23)); // the right channel a little longer: width
    }
    std::vector<CAllPass> passesL, passesR;
    for (int a : kAllPasses) {
        passesL.emplace_back(length(a));
        passesR.emplace_back(length(a + 23));
    }

    const size_t echoFrames = static_cast<size_t>(echoSeconds * rate);
    std::vector<float> echoL(echoFrames > 0 ? echoFrames : 1, 0.0f);
    std::vector<float> echoR(echoL.size(), 0.0f);
    size_t echoIndex = 0;
    float toneL = 0.0f, toneR = 0.0f;
    const float feedback = 0.38f;

    const float* inL = in.left();
    const float* inR = in.right();
    float* outL = out.left();
    float* outR = out.right();
    const int turns = in.wraps() ? 2 : 1;
    for (int turn = 0; turn < turns; ++turn) {
        const bool keep = turn == turns - 1;
        for (size_t i = 0; i < frames; ++i) {
            const float l = inL[i];
            const float r = inR[i];

            // Ping-pong: the mono input enters on the left and each repeat crosses over,
            // a little darker every time.
            const float delayedL = echoL[echoIndex];
            const float delayedR = echoR[echoIndex];
            toneL += 0.45f * (delayedR - toneL);
            toneR += 0.45f * (delayedL - toneR);
            echoL[echoIndex] = 0.5f * (l + r) + toneL * feedback;
            echoR[echoIndex] = toneR * feedback;
            if (++echoIndex == echoL.size())
                echoIndex = 0;

            const float input = (l + r) * 0.5f * 0.06f;
            float wetL = 0.0f, wetR = 0.0f;
            for (size_t c = 0; c < combsL.size(); ++c) {
                wetL += combsL[c].process(input);
                wetR += combsR[c].process(input);
            }
            for (size_t a = 0; a < passesL.size(); ++a) {
                wetL = passesL[a].process(wetL);
                wetR = passesR[a].process(wetR);
            }
            if (keep) {
                outL[i] = delayedL * echoMix + wetL * reverbMix;
                outR[i] = delayedR * echoMix + wetR * reverbMix;
            }
        }
    }
    return out;
}
