#include "tools/dds/CDDSWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct SColour {
    float c[3]; // red, green, blue in 0..255
};

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t channel(uint32_t argb, int i) // 0 red, 1 green, 2 blue, 3 alpha
{
    static const int shifts[4] = {16, 8, 0, 24};
    return (argb >> shifts[i]) & 0xff;
}

// The palette exactly as the game's loader rebuilds it, so the indices we pick are the colours
// that show.
uint32_t expand565(uint32_t c)
{
    const uint32_t r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

uint32_t blend(uint32_t a, uint32_t b, uint32_t wa, uint32_t wb)
{
    uint32_t out = 0;
    const uint32_t w = wa + wb;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((wa * ((a >> shift) & 0xff) + wb * ((b >> shift) & 0xff) + w / 2) / w) << shift;
    return out;
}

// `bias` per channel: 0 rounds to the nearest level, -1 takes the level below, +1 the one above.
uint32_t to565(const SColour& c, const int bias[3])
{
    static const int top[3] = {31, 63, 31};
    static const int shift[3] = {11, 5, 0};
    uint32_t packed = 0;
    for (int k = 0; k < 3; ++k) {
        const float level = std::clamp(c.c[k], 0.0f, 255.0f) * top[k] / 255.0f;
        const float chosen = bias[k] < 0 ? std::floor(level) : bias[k] > 0 ? std::ceil(level) : std::round(level);
        packed |= uint32_t(chosen) << shift[k];
    }
    return packed;
}

struct SColourFit {
    uint32_t c0 = 0, c1 = 0;
    uint8_t index[16] = {};
    float error = 1e30f;
};

// Picks the nearest palette entry for every pixel; `threeColour` leaves index 3 (transparent) out.
void assignIndices(SColourFit& fit, const SColour* px, const int* slot, int n, bool threeColour)
{
    uint32_t palette[4] = {expand565(fit.c0), expand565(fit.c1), 0, 0};
    if (threeColour) {
        palette[2] = blend(palette[0], palette[1], 1, 1);
    } else {
        palette[2] = blend(palette[0], palette[1], 2, 1);
        palette[3] = blend(palette[0], palette[1], 1, 2);
    }
    const int entries = threeColour ? 3 : 4;
    float colours[4][3];
    for (int k = 0; k < entries; ++k)
        for (int c = 0; c < 3; ++c)
            colours[k][c] = float(channel(palette[k], c));
    fit.error = 0;
    for (int i = 0; i < n; ++i) {
        int best = 0;
        float bestError = 1e30f;
        for (int k = 0; k < entries; ++k) {
            const float dr = colours[k][0] - px[i].c[0], dg = colours[k][1] - px[i].c[1],
                        db = colours[k][2] - px[i].c[2];
            const float e = dr * dr + dg * dg + db * db;
            if (e < bestError) {
                bestError = e;
                best = k;
            }
        }
        fit.index[slot[i]] = uint8_t(best);
        fit.error += bestError;
    }
}

// Nudges each channel of each end colour a level up or down while that lowers the error: finds
// the pair of levels that brackets a nearly flat block in every channel at once.
void refineEnds(SColourFit& best, const SColour* px, const int* slot, int n, bool threeColour)
{
    static const int shift[3] = {11, 5, 0};
    static const uint32_t top[3] = {31, 63, 31};
    for (int round = 0; round < 8 && best.error > 0; ++round) {
        bool improved = false;
        for (int end = 0; end < 2; ++end) {
            for (int k = 0; k < 3; ++k) {
                for (int step = -1; step <= 1; step += 2) {
                    SColourFit candidate = best;
                    uint32_t& c = end ? candidate.c1 : candidate.c0;
                    const uint32_t level = (c >> shift[k]) & top[k];
                    if ((step < 0 && level == 0) || (step > 0 && level == top[k]))
                        continue;
                    c = (c & ~(top[k] << shift[k])) | (level + step) << shift[k];
                    assignIndices(candidate, px, slot, n, threeColour);
                    if (candidate.error < best.error) {
                        best = candidate;
                        improved = true;
                    }
                }
            }
        }
        if (!improved)
            break;
    }
}

// End colours along the pixels' principal axis, then least-squares refinement of the two ends
// for the chosen indices: smooth gradients keep their steps even.
SColourFit fitColours(const SColour* px, const int* slot, int n, bool threeColour)
{
    SColourFit best;
    if (n == 0) {
        best.error = 0;
        return best;
    }
    SColour mean = {{0, 0, 0}};
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            mean.c[k] += px[i].c[k] / n;
    float cov[3][3] = {};
    for (int i = 0; i < n; ++i)
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b)
                cov[a][b] += (px[i].c[a] - mean.c[a]) * (px[i].c[b] - mean.c[b]);
    float axis[3] = {1, 1, 1};
    for (int iteration = 0; iteration < 8; ++iteration) {
        float next[3];
        for (int a = 0; a < 3; ++a)
            next[a] = cov[a][0] * axis[0] + cov[a][1] * axis[1] + cov[a][2] * axis[2];
        const float length = std::sqrt(next[0] * next[0] + next[1] * next[1] + next[2] * next[2]);
        if (length < 1e-6f)
            break;
        for (int a = 0; a < 3; ++a)
            axis[a] = next[a] / length;
    }
    float lo = 1e30f, hi = -1e30f;
    for (int i = 0; i < n; ++i) {
        float t = 0;
        for (int k = 0; k < 3; ++k)
            t += (px[i].c[k] - mean.c[k]) * axis[k];
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    }
    SColour e0, e1;
    for (int k = 0; k < 3; ++k) {
        e0.c[k] = mean.c[k] + axis[k] * hi;
        e1.c[k] = mean.c[k] + axis[k] * lo;
    }

    // Weight of the first end colour for each palette entry.
    const float weight4[4] = {1.0f, 0.0f, 2.0f / 3.0f, 1.0f / 3.0f};
    const float weight3[4] = {1.0f, 0.0f, 0.5f, 0.0f};
    const float* weight = threeColour ? weight3 : weight4;
    for (int round = 0; round < 3; ++round) {
        // Rounding both ends can merge them into one colour in a nearly flat block, which shows
        // as bands across a smooth sky; ends pushed apart to the levels either side keep the
        // in-between steps.
        const int nearest[3] = {0, 0, 0};
        int apart0[3], apart1[3];
        for (int k = 0; k < 3; ++k) {
            apart0[k] = e0.c[k] >= e1.c[k] ? 1 : -1;
            apart1[k] = -apart0[k];
        }
        SColourFit rounded, apart;
        rounded.c0 = to565(e0, nearest);
        rounded.c1 = to565(e1, nearest);
        assignIndices(rounded, px, slot, n, threeColour);
        apart.c0 = to565(e0, apart0);
        apart.c1 = to565(e1, apart1);
        assignIndices(apart, px, slot, n, threeColour);
        const SColourFit& fit = apart.error < rounded.error ? apart : rounded;
        if (fit.error < best.error)
            best = fit;
        else
            break;
        float aa = 0, ab = 0, bb = 0;
        SColour ax = {{0, 0, 0}}, bx = {{0, 0, 0}};
        for (int i = 0; i < n; ++i) {
            const float w = weight[fit.index[slot[i]]];
            aa += w * w;
            ab += w * (1 - w);
            bb += (1 - w) * (1 - w);
            for (int k = 0; k < 3; ++k) {
                ax.c[k] += w * px[i].c[k];
                bx.c[k] += (1 - w) * px[i].c[k];
            }
        }
        const float det = aa * bb - ab * ab;
        if (std::fabs(det) < 1e-6f)
            break;
        for (int k = 0; k < 3; ++k) {
            e0.c[k] = (ax.c[k] * bb - bx.c[k] * ab) / det;
            e1.c[k] = (bx.c[k] * aa - ax.c[k] * ab) / det;
        }
    }
    refineEnds(best, px, slot, n, threeColour);
    return best;
}

void putColourBlock(std::vector<uint8_t>& out, const uint32_t block[16], const bool valid[16], bool punchThrough)
{
    SColour px[16];
    int slot[16];
    int n = 0;
    bool transparent[16] = {};
    bool anyTransparent = false;
    for (int i = 0; i < 16; ++i) {
        if (!valid[i])
            continue;
        if (punchThrough && channel(block[i], 3) < 128) {
            transparent[i] = anyTransparent = true;
            continue;
        }
        for (int k = 0; k < 3; ++k)
            px[n].c[k] = float(channel(block[i], k));
        slot[n++] = i;
    }

    SColourFit fit = fitColours(px, slot, n, anyTransparent);
    if (anyTransparent) {
        // Three colours and transparent black: the first end colour must not be the greater.
        if (fit.c0 > fit.c1) {
            std::swap(fit.c0, fit.c1);
            for (uint8_t& index : fit.index)
                index = index == 0 ? 1 : index == 1 ? 0 : index;
        }
        for (int i = 0; i < 16; ++i)
            if (transparent[i])
                fit.index[i] = 3;
    } else if (fit.c0 < fit.c1) {
        std::swap(fit.c0, fit.c1);
        for (uint8_t& index : fit.index)
            index ^= 1;
    } else if (fit.c0 == fit.c1) {
        // Equal ends would read as the three-colour mode in DXT1: keep to the one colour.
        std::fill(std::begin(fit.index), std::end(fit.index), 0);
    }
    out.push_back(uint8_t(fit.c0));
    out.push_back(uint8_t(fit.c0 >> 8));
    out.push_back(uint8_t(fit.c1));
    out.push_back(uint8_t(fit.c1 >> 8));
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint32_t(fit.index[i] & 3) << (2 * i);
    putU32(out, bits);
}

// Tries both alpha modes (eight steps between the extremes, or six plus exact 0 and 255) and
// keeps the one with the smaller error.
void putAlphaBlock(std::vector<uint8_t>& out, const uint32_t block[16], const bool valid[16])
{
    int lo8 = 255, hi8 = 0, lo6 = 255, hi6 = 0;
    for (int i = 0; i < 16; ++i) {
        if (!valid[i])
            continue;
        const int a = int(channel(block[i], 3));
        lo8 = std::min(lo8, a);
        hi8 = std::max(hi8, a);
        if (a != 0 && a != 255) {
            lo6 = std::min(lo6, a);
            hi6 = std::max(hi6, a);
        }
    }
    if (lo6 > hi6)
        lo6 = hi6 = 0;

    struct SAlphaFit {
        int a0, a1;
        uint64_t bits;
        int error;
    };
    auto fit = [&](int a0, int a1) {
        int palette[8] = {a0, a1, 0, 0, 0, 0, 0, 255};
        if (a0 > a1) {
            for (int i = 1; i < 7; ++i)
                palette[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
        } else {
            for (int i = 1; i < 5; ++i)
                palette[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
            palette[6] = 0;
        }
        SAlphaFit result = {a0, a1, 0, 0};
        for (int i = 0; i < 16; ++i) {
            if (!valid[i])
                continue;
            const int a = int(channel(block[i], 3));
            int best = 0;
            for (int k = 1; k < 8; ++k)
                if (std::abs(palette[k] - a) < std::abs(palette[best] - a))
                    best = k;
            result.bits |= uint64_t(best) << (3 * i);
            result.error += (palette[best] - a) * (palette[best] - a);
        }
        return result;
    };
    SAlphaFit eight = fit(hi8, lo8);
    SAlphaFit six = fit(lo6, hi6);
    const SAlphaFit& best = six.error < eight.error ? six : eight;
    out.push_back(uint8_t(best.a0));
    out.push_back(uint8_t(best.a1));
    for (int i = 0; i < 6; ++i)
        out.push_back(uint8_t(best.bits >> (8 * i)));
}

void putHeader(std::vector<uint8_t>& out, uint32_t width, uint32_t height, EDDSFormat format, uint32_t dataBytes)
{
    const bool compressed = format == EDF_DXT1 || format == EDF_DXT5;
    const uint32_t caps = 0x1, heightFlag = 0x2, widthFlag = 0x4, pitch = 0x8, pixelFormat = 0x1000,
                   linearSize = 0x80000;
    out.insert(out.end(), {'D', 'D', 'S', ' '});
    putU32(out, 124);
    putU32(out, caps | heightFlag | widthFlag | pixelFormat | (compressed ? linearSize : pitch));
    putU32(out, height);
    putU32(out, width);
    putU32(out, compressed ? dataBytes : width * (format == EDF_R8G8B8 ? 3 : 4));
    putU32(out, 0); // depth
    putU32(out, 0); // mip levels: the one
    for (int i = 0; i < 11; ++i)
        putU32(out, 0);
    putU32(out, 32);
    if (compressed) {
        putU32(out, 0x4);
        out.insert(out.end(), {'D', 'X', 'T', uint8_t(format == EDF_DXT1 ? '1' : '5')});
        for (int i = 0; i < 5; ++i)
            putU32(out, 0);
    } else if (format == EDF_A8R8G8B8) {
        putU32(out, 0x40 | 0x1);
        putU32(out, 0);
        putU32(out, 32);
        putU32(out, 0x00ff0000);
        putU32(out, 0x0000ff00);
        putU32(out, 0x000000ff);
        putU32(out, 0xff000000);
    } else {
        putU32(out, 0x40);
        putU32(out, 0);
        putU32(out, 24);
        putU32(out, 0x00ff0000);
        putU32(out, 0x0000ff00);
        putU32(out, 0x000000ff);
        putU32(out, 0);
    }
    putU32(out, 0x1000); // a texture
    for (int i = 0; i < 4; ++i)
        putU32(out, 0);
}

} // namespace

std::vector<uint8_t> CDDSWriter::encode(const std::vector<uint32_t>& argb, uint32_t width, uint32_t height,
                                        EDDSFormat format)
{
    std::vector<uint8_t> out;
    if (width == 0 || height == 0 || uint64_t(width) * height != argb.size())
        return out;
    const bool compressed = format == EDF_DXT1 || format == EDF_DXT5;
    const uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    const uint64_t dataBytes = compressed
        ? uint64_t(blocksWide) * blocksHigh * (format == EDF_DXT1 ? 8 : 16)
        : uint64_t(width) * height * (format == EDF_R8G8B8 ? 3 : 4);
    if (dataBytes > 0xffffffffu)
        return out;
    out.reserve(128 + dataBytes);
    putHeader(out, width, height, format, uint32_t(dataBytes));

    if (!compressed) {
        for (uint32_t p : argb) {
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
            if (format == EDF_A8R8G8B8)
                out.push_back(uint8_t(p >> 24));
        }
        return out;
    }
    uint32_t block[16];
    bool valid[16];
    for (uint32_t by = 0; by < blocksHigh; ++by) {
        for (uint32_t bx = 0; bx < blocksWide; ++bx) {
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                valid[i] = x < width && y < height;
                block[i] = valid[i] ? argb[uint64_t(y) * width + x] : 0;
            }
            if (format == EDF_DXT5)
                putAlphaBlock(out, block, valid);
            putColourBlock(out, block, valid, format == EDF_DXT1);
        }
    }
    return out;
}

bool CDDSWriter::write(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width,
                       uint32_t height, EDDSFormat format)
{
    const std::vector<uint8_t> bytes = encode(argb, width, height, format);
    if (bytes.empty())
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
