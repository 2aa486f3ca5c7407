#include "CSongRenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "CDrumSynth.h"
#include "CRoomEffect.h"
#include "CToneSynth.h"

CSongRenderer::CSongRenderer(int rate) : rate(rate)
{
}

float CSongRenderer::activeLevel(const CStereoBuffer& buffer)
{
    // RMS over the stretches where the part plays: a part that rests for half the piece is not
    // pushed up to make up for its silence.
    const size_t block = 4096;
    std::vector<double> powers;
    double loudest = 0.0;
    for (size_t first = 0; first < buffer.size(); first += block) {
        const size_t last = std::min(buffer.size(), first + block);
        double sum = 0.0;
        for (size_t i = first; i < last; ++i)
            sum += static_cast<double>(buffer.left()[i]) * buffer.left()[i]
                 + static_cast<double>(buffer.right()[i]) * buffer.right()[i];
        const double power = sum / (2.0 * static_cast<double>(last - first));
        powers.push_back(power);
        loudest = std::max(loudest, power);
    }
    double total = 0.0;
    size_t counted = 0;
    for (double power : powers) {
        if (power > loudest * 0.01) {
            total += power;
            ++counted;
        }
    }
    return counted ? static_cast<float>(std::sqrt(total / static_cast<double>(counted))) : 0.0f;
}

CStereoBuffer CSongRenderer::render(const SSongPlan& plan, const SScore& score) const
{
    const double seconds = plan.loops ? score.length : score.length + kTailSeconds;
    const size_t frames = static_cast<size_t>(std::lround(seconds * rate));
    CStereoBuffer dry(frames, plan.loops);
    CStereoBuffer wet(frames, plan.loops);

    // Each part is played alone first and brought to its own level, so the balance of the mix
    // does not hang on how loud a patch happens to come out.
    CStereoBuffer part(frames, plan.loops);
    auto play = [this, &part](const SPatch& patch, const std::vector<SNote>& notes) {
        const CToneSynth synth(patch, rate);
        for (const SNote& note : notes)
            synth.render(note, part);
    };
    auto place = [&part](CStereoBuffer& bus, float level) {
        const float measured = activeLevel(part);
        if (measured > 0.0f)
            bus.mix(part, level / measured);
        part.scale(0.0f);
    };

    CDrumSynth drums(rate, plan.seed);
    for (size_t i = 0; i < score.drums.size(); ++i)
        drums.render(score.drums[i], static_cast<int>(i), part);
    place(dry, plan.drumLevel);

    play(plan.bass, score.bass);
    place(dry, 0.20f);

    play(plan.lead, score.lead);
    const float leadLevel = activeLevel(part);
    place(wet, 0.20f);
    if (!score.harmony.empty() && leadLevel > 0.0f) {
        // The second voice keeps the lead's scale, a little quieter and to the other side.
        SPatch second = plan.lead;
        second.pan = -plan.lead.pan - 0.3f;
        play(second, score.harmony);
        wet.mix(part, 0.55f * 0.20f / leadLevel);
        part.scale(0.0f);
    }

    play(plan.pad, score.pad);
    place(wet, 0.09f);

    play(plan.arp, score.arp);
    place(wet, 0.08f);

    const double beat = 60.0 / plan.bpm;
    const CRoomEffect room(rate, beat * 0.75, 0.28f, 0.35f);
    const CStereoBuffer effect = room.process(wet);

    dry.mix(wet, 1.0f);
    dry.mix(effect, 1.0f);

    const float level = dry.rms();
    if (level > 0.0f)
        dry.scale(0.17f / level);
    dry.softLimit(0.8f);
    if (!plan.loops)
        dry.fadeOut(static_cast<size_t>(2.0 * rate));
    return dry;
}
