// skygen OUTPUT_DIR: paints the six sky-box faces of the desert sky.
//
// Every texel is coloured from its own view direction, so two faces agree wherever they meet.
// The faces are laid out exactly as the engine's sky box places and maps its six quads: each face
// spans the cube side between texture coordinates `inset` and 1 - `inset`, the engine's one-pixel
// margin that keeps clamped edge texels from showing.
#include "tools/dds/CDDSWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

const uint32_t kSize = 1024;

struct SVec {
    double x, y, z;
};

SVec operator+(SVec a, SVec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
SVec operator-(SVec a, SVec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
SVec operator*(SVec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(SVec a, SVec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
SVec normalised(SVec a) { return a * (1.0 / std::sqrt(dot(a, a))); }

// Where the top-left, top-right and bottom-left corners of each picture sit on the sky cube
// (the engine's quad corners with texture coordinates (0,0), (1,0) and (0,1)).
struct SFace {
    const char* file;
    SVec topLeft, topRight, bottomLeft;
};

const SFace kFaces[6] = {
    {"front.dds", {1, 1, -1}, {-1, 1, -1}, {1, -1, -1}},
    {"left.dds", {1, 1, 1}, {1, 1, -1}, {1, -1, 1}},
    {"back.dds", {-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}},
    {"right.dds", {-1, 1, -1}, {-1, 1, 1}, {-1, -1, -1}},
    {"up.dds", {-1, 1, 1}, {-1, 1, -1}, {1, 1, 1}},
    {"down.dds", {1, -1, 1}, {1, -1, -1}, {-1, -1, 1}},
};

// Gradient noise over a fixed permutation: the same sky on every run.
class CNoise {
public:
    CNoise()
    {
        for (int i = 0; i < 256; ++i)
            perm[i] = uint8_t(i);
        uint32_t state = 20240611u;
        for (int i = 255; i > 0; --i) {
            state = state * 1664525u + 1013904223u;
            std::swap(perm[i], perm[(state >> 8) % uint32_t(i + 1)]);
        }
        for (int i = 0; i < 256; ++i)
            perm[256 + i] = perm[i];
    }

    double operator()(SVec p) const
    {
        const double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
        const int X = int(fx) & 255, Y = int(fy) & 255, Z = int(fz) & 255;
        const double x = p.x - fx, y = p.y - fy, z = p.z - fz;
        const double u = fade(x), v = fade(y), w = fade(z);
        const int A = perm[X] + Y, AA = perm[A] + Z, AB = perm[A + 1] + Z;
        const int B = perm[X + 1] + Y, BA = perm[B] + Z, BB = perm[B + 1] + Z;
        return lerp(w,
                    lerp(v, lerp(u, grad(perm[AA], x, y, z), grad(perm[BA], x - 1, y, z)),
                         lerp(u, grad(perm[AB], x, y - 1, z), grad(perm[BB], x - 1, y - 1, z))),
                    lerp(v, lerp(u, grad(perm[AA + 1], x, y, z - 1), grad(perm[BA + 1], x - 1, y, z - 1)),
                         lerp(u, grad(perm[AB + 1], x, y - 1, z - 1), grad(perm[BB + 1], x - 1, y - 1, z - 1))));
    }

    double fbm(SVec p, int octaves) const
    {
        double sum = 0, amplitude = 0.5;
        for (int i = 0; i < octaves; ++i) {
            sum += amplitude * (*this)(p);
            p = p * 2.03 + SVec{17.1, 5.3, 9.7};
            amplitude *= 0.5;
        }
        return sum;
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    static double lerp(double t, double a, double b) { return a + t * (b - a); }
    static double grad(int hash, double x, double y, double z)
    {
        const int h = hash & 15;
        const double u = h < 8 ? x : y;
        const double v = h < 4 ? y : (h == 12 || h == 14) ? x : z;
        return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
    }

    uint8_t perm[512];
};

double smoothstep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

SVec mix(SVec a, SVec b, double t) { return a + (b - a) * t; }

const SVec kZenith = {34, 84, 166};
const SVec kHighSky = {78, 140, 208};
const SVec kPaleSky = {178, 200, 218};
const SVec kHaze = {232, 204, 162};
const SVec kSunHaze = {246, 214, 160};
const SVec kNearGround = {186, 156, 116};
const SVec kFarGround = {126, 100, 74};
const SVec kCloudLit = {252, 249, 243};
const SVec kCloudShade = {196, 198, 210};
const SVec kSunDirection = {0.55, 0.22, 0.80}; // low afternoon sun that warms one side of the haze

SVec skyColour(const CNoise& noise, SVec d)
{
    const double h = d.y;
    const double sunward = std::max(0.0, dot(d, normalised(kSunDirection)));
    const SVec haze = mix(kHaze, kSunHaze, std::pow(sunward, 6.0));
    if (h < 0) {
        // Dust: a warm haze that settles into the ground colour, with slow patches in it.
        const double patches = noise.fbm(d * 3.0 + SVec{40, 40, 40}, 3);
        SVec ground = mix(kNearGround, kFarGround, smoothstep(0.0, 0.6, -h));
        ground = ground * (1.0 + 0.06 * patches);
        return mix(ground, haze, std::exp(h / 0.035));
    }

    SVec sky = mix(kPaleSky, kHighSky, smoothstep(0.0, 0.35, h));
    sky = mix(sky, kZenith, smoothstep(0.25, 1.0, h));
    sky = mix(sky, haze, std::exp(-h / 0.07));

    // Clouds on a curved layer above a far-away ground: finite in every direction, thinning out
    // towards the horizon where they would only flicker.
    const double radius = 20.0;
    const double distance = -radius * h + std::sqrt(radius * radius * h * h + 2 * radius + 1);
    const SVec p = d * distance;
    const SVec q = {p.x * 0.55, p.y * 0.8, p.z * 1.1}; // drawn out into streaks along one wind
    const double density = noise.fbm(q * 0.9 + SVec{3.7, 1.3, 8.1}, 6);
    const double cover = smoothstep(0.02, 0.42, density) * smoothstep(0.01, 0.18, h);
    const SVec cloud = mix(kCloudLit, kCloudShade, smoothstep(0.25, 0.7, density) * 0.6);
    const SVec hazedCloud = mix(cloud, haze, std::exp(-h / 0.12) * 0.7);
    return mix(sky, hazedCloud, cover * 0.85);
}

uint32_t toArgb(SVec c)
{
    auto byte = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 255.0))); };
    return 0xff000000u | byte(c.x) << 16 | byte(c.y) << 8 | byte(c.z);
}

std::vector<uint32_t> paintFace(const CNoise& noise, const SFace& face)
{
    const double inset = 1.0 / (kSize * 1.5);
    const double span = 1.0 - 2 * inset;
    const SVec across = face.topRight - face.topLeft;
    const SVec down = face.bottomLeft - face.topLeft;
    std::vector<uint32_t> pixels(size_t(kSize) * kSize);
    for (uint32_t y = 0; y < kSize; ++y) {
        const double t = ((y + 0.5) / kSize - inset) / span;
        for (uint32_t x = 0; x < kSize; ++x) {
            const double s = ((x + 0.5) / kSize - inset) / span;
            const SVec d = normalised(face.topLeft + across * s + down * t);
            pixels[size_t(y) * kSize + x] = toArgb(skyColour(noise, d));
        }
    }
    return pixels;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("ERROR: usage: skygen OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const CNoise noise;
    // One thread a face: each face depends on nothing but its directions, so the bytes stay the
    // same whatever order the threads finish in.
    bool written[6] = {};
    std::vector<std::thread> painters;
    for (int i = 0; i < 6; ++i)
        painters.emplace_back([&, i] {
            written[i] = CDDSWriter::write((folder / kFaces[i].file).string(), paintFace(noise, kFaces[i]),
                                           kSize, kSize, EDF_DXT1);
        });
    for (std::thread& painter : painters)
        painter.join();
    for (int i = 0; i < 6; ++i) {
        if (!written[i]) {
            std::printf("ERROR: could not write %s\n", (folder / kFaces[i].file).string().c_str());
            return 1;
        }
    }
    return 0;
}
