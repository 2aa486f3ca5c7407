// How the time to read a name grows with its length, in each reader a mission's files go through:
// a B3D mesh whose texture is named by a long path, an OBJ mesh with long material names, and an
// XML file with a long attribute value and a long text full of entities. For each, the median load
// processor time with a name of SHORT and of 10 x SHORT characters, their ratio, and the growth
// exponent (log of the time ratio over log 10): about 1 or below is linear, 2 quadratic.
// usage: long_name_bench [SHORT] [RUNS]   (300000 characters and 3 runs by default; below some
// 100000 characters the short file stays in the processor caches and the exponent reads high)
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "tools/contentkit/CB3DWriter.h"
#include "BenchStats.h"

using namespace irr;

namespace {

void writeFile(const std::string& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

contentkit::SMesh triangleWithTexture(const std::string& texture)
{
    contentkit::SSurface surface;
    surface.textures.push_back(texture);
    for (int k = 0; k < 3; ++k) {
        contentkit::SVertex v;
        v.position = {static_cast<float>(k == 1), 0.0f, static_cast<float>(k == 2)};
        surface.vertices.push_back(v);
        surface.indices.push_back(static_cast<uint32_t>(k));
    }
    contentkit::SMesh mesh;
    mesh.surfaces.push_back(surface);
    return mesh;
}

// The files of one reader with a name of `length` characters.
void writeB3D(const std::string& file, size_t length)
{
    const std::vector<uint8_t> bytes =
        contentkit::CB3DWriter::encode(triangleWithTexture(std::string(length, 'n') + ".dds"));
    writeFile(file, std::string(bytes.begin(), bytes.end()));
}

void writeOBJ(const std::string& file, size_t length)
{
    const std::string name(length, 'm');
    writeFile(file, "mtllib " + name + ".mtl\nv 0 0 0\nv 1 0 0\nv 0 0 1\nusemtl " + name +
                        "\nf 1 2 3\n");
}

void writeXML(const std::string& file, size_t length)
{
    std::string entities;
    for (size_t i = 0; i < length / 5; ++i)
        entities += "&amp;";
    writeFile(file, "<?xml version=\"1.0\"?>\n<Texture Value=\"" + std::string(length, 'x') +
                        "\"/>\n<Note Value=\"" + entities + "\"/>\n");
}

double medianMs(int runs, const std::function<void()>& load)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const double start = benchstats::threadCpuMs();
        load();
        samples.push_back(benchstats::threadCpuMs() - start);
    }
    return benchstats::median(samples);
}

} // namespace

int main(int argc, char** argv)
{
    const size_t shortLength = argc > 1 ? std::max(100L, std::atol(argv[1])) : 300000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const size_t longLength = 10 * shortLength;
    char folder[] = "/tmp/long_name_bench.XXXXXX";
    if (!mkdtemp(folder)) {
        std::printf("ERROR: no scratch folder\n");
        return 1;
    }
    const std::string dir = folder;

    SGameSettings settings;
    CGameEngine engine(&settings, video::EDT_NULL);
    engine.getDevice()->getLogger()->setLogLevel(ELL_NONE);
    scene::ISceneManager* scene = engine.getSceneManager();
    io::IFileSystem* files = engine.getDevice()->getFileSystem();

    auto loadMesh = [&](const std::string& file) {
        scene::IAnimatedMesh* mesh = scene->getMesh(file.c_str());
        if (mesh)
            scene->getMeshCache()->removeMesh(mesh);
    };
    auto loadXML = [&](const std::string& file) {
        io::IXMLReader* reader = files->createXMLReader(file.c_str());
        if (!reader)
            return;
        size_t seen = 0;
        while (reader->read())
            seen += core::stringw(reader->getAttributeValueSafe(L"Value")).size();
        reader->drop();
        if (seen == 0)
            std::printf("ERROR: %s read empty\n", file.c_str());
    };
    struct SReader {
        const char* name;
        const char* extension;
        void (*write)(const std::string&, size_t);
        std::function<void(const std::string&)> load;
    };
    const SReader readers[] = {
        {"B3D texture name", ".b3d", writeB3D, loadMesh},
        {"OBJ material names", ".obj", writeOBJ, loadMesh},
        {"XML value and entities", ".xml", writeXML, loadXML},
    };

    std::printf("reading a name of %zu and of %zu characters, processor time, median of %d loads\n", shortLength,
                longLength, runs);
    std::printf("  %-24s %12s %12s %10s %10s\n", "reader", "short ms", "long ms", "ratio", "exponent");
    for (const SReader& reader : readers) {
        const std::string shortFile = dir + "/short" + reader.extension;
        const std::string longFile = dir + "/long" + reader.extension;
        reader.write(shortFile, shortLength);
        reader.write(longFile, longLength);
        const double shortMs = medianMs(runs, [&] { reader.load(shortFile); });
        const double longMs = medianMs(runs, [&] { reader.load(longFile); });
        const double ratio = longMs / std::max(shortMs, 1e-3);
        std::printf("  %-24s %12.2f %12.2f %10.1f %10.2f\n", reader.name, shortMs, longMs, ratio,
                    std::log10(std::max(ratio, 1e-3)));
        std::remove(shortFile.c_str());
        std::remove(longFile.c_str());
    }
    rmdir(folder);
    return 0;
}
