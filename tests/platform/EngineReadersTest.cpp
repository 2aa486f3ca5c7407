// The engine library's mesh and image readers on damaged files, as the game calls them (the
// engine's mesh and texture caches on a null device, the game's DDS loader added): each gives a
// mesh or nothing, in bounded time and memory, and never crashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/CGameEngine.h"
#include "support/TestSupport.h"

using namespace irr;
using testsupport::CNullEngine;
using testsupport::CScratchDir;

namespace {

std::string le32(uint32_t v)
{
    return std::string{char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char(v >> 24)};
}
std::string f32s(std::initializer_list<float> values)
{
    std::string out;
    for (float f : values) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        out += le32(bits);
    }
    return out;
}
std::string chunk(const char* name, const std::string& payload)
{
    return std::string(name, 4) + le32(static_cast<uint32_t>(payload.size())) + payload;
}
std::string node(const std::string& inside)
{
    return chunk("NODE", std::string(1, '\0') + f32s({0, 0, 0, 1, 1, 1, 1, 0, 0, 0}) + inside);
}
std::string vertices(int32_t texSets = 0, int32_t texSetSize = 0)
{
    return chunk("VRTS", le32(0) + le32(uint32_t(texSets)) + le32(uint32_t(texSetSize)) +
                             f32s({0, 0, 0, 1, 0, 0, 0, 0, 1}));
}
std::string triangles(int32_t brush, uint32_t a = 0, uint32_t b = 1, uint32_t c = 2)
{
    return chunk("TRIS", le32(uint32_t(brush)) + le32(a) + le32(b) + le32(c));
}
std::string b3d(const std::string& inside) { return chunk("BB3D", le32(1) + inside); }
// One triangle: the file every damaged case below starts from.
std::string goodB3D(int32_t meshBrush = -1, int32_t triBrush = -1, const std::string& extra = "")
{
    return b3d(node(chunk("MESH", le32(uint32_t(meshBrush)) + vertices() + triangles(triBrush)) + extra));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct EngineReadersTest : ::testing::Test {
    EngineReadersTest() { engine->getDevice()->getLogger()->setLogLevel(ELL_NONE); }

    // The mesh's index count, or -1 when the loader gave none.
    int loadMesh(const std::string& name, const std::string& bytes)
    {
        dir.write(name, bytes);
        scene::ISceneManager* scene = engine->getSceneManager();
        scene::IAnimatedMesh* mesh = scene->getMesh(dir.file(name).c_str());
        if (!mesh)
            return -1;
        int indices = 0;
        for (u32 i = 0; i < mesh->getMesh(0)->getMeshBufferCount(); ++i)
            indices += static_cast<int>(mesh->getMesh(0)->getMeshBuffer(i)->getIndexCount());
        scene->getMeshCache()->removeMesh(mesh);
        return indices;
    }
    bool loadTexture(const std::string& name)
    {
        video::IVideoDriver* driver = engine->getVideoDriver();
        video::ITexture* texture = driver->getTexture(dir.file(name).c_str());
        if (texture)
            driver->removeTexture(texture);
        return texture != nullptr;
    }

    CScratchDir dir;
    CNullEngine engine;
};

} // namespace

// A file that counts the reads asked of it.
class CCountingFile : public io::IReadFile {
public:
    explicit CCountingFile(io::IReadFile* file) : file(file) {}
    ~CCountingFile() override { file->drop(); }
    s32 read(void* buffer, u32 sizeToRead) override
    {
        ++reads;
        return file->read(buffer, sizeToRead);
    }
    bool seek(long finalPos, bool relativeMovement) override { return file->seek(finalPos, relativeMovement); }
    long getSize() const override { return file->getSize(); }
    long getPos() const override { return file->getPos(); }
    const io::path& getFileName() const override { return file->getFileName(); }
    int reads = 0;

private:
    io::IReadFile* file;
};

TEST_F(EngineReadersTest, B3DIsReadInOneGoAndFindsItsTexturesBesideIt)
{
    // One triangle with a brush of one texture, named without a folder.
    const std::string mesh = b3d(chunk("TEXS", std::string("pic.png\0", 8) + le32(1) + le32(2) + f32s({0, 0, 1, 1, 0})) +
                                 chunk("BRUS", le32(1) + std::string("b\0", 2) + f32s({1, 1, 1, 1, 0}) + le32(1) +
                                                   le32(0) + le32(0)) +
                                 node(chunk("MESH", le32(0) + vertices() + triangles(0))));
    testsupport::writeImage(engine.get(), dir.file("art/pic.png"));
    dir.write("art/brushed.b3d", mesh);
    io::IReadFile* opened = engine->getDevice()->getFileSystem()->createAndOpenFile(dir.file("art/brushed.b3d").c_str());
    ASSERT_NE(opened, nullptr);
    CCountingFile* counted = new CCountingFile(opened);
    scene::IAnimatedMesh* loaded = engine->getSceneManager()->getMesh(counted);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(counted->reads, 1);
    counted->drop();
    ASSERT_EQ(loaded->getMeshBufferCount(), 1u);
    EXPECT_EQ(loaded->getMeshBuffer(0)->getIndexCount(), 3u);
    video::ITexture* texture = loaded->getMeshBuffer(0)->getMaterial().getTexture(0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->getName().getPath(), io::path(dir.file("art/pic.png").c_str()));
}

TEST_F(EngineReadersTest, B3DWithBadNumbersGivesNoMesh)
{
    ASSERT_EQ(loadMesh("good.b3d", goodB3D()), 3);
    const std::string bone = chunk("BONE", le32(0x7fffffff) + f32s({1}));
    struct Case { const char* label; std::string bytes; int indices; };
    const Case cases[] = {
        {"mesh brush past the brushes", goodB3D(5, -1), -1},
        {"triangle brush past the brushes", goodB3D(-1, 7), -1},
        {"vertex index past the vertices", b3d(node(chunk("MESH", le32(uint32_t(-1)) + vertices() +
                                                                       triangles(-1, 0, 1, 9)))), -1},
        {"negative vertex index", b3d(node(chunk("MESH", le32(uint32_t(-1)) + vertices() +
                                                              triangles(-1, 0, 1, uint32_t(-3))))), -1},
        {"negative texture coordinate sets", b3d(node(chunk("MESH", le32(uint32_t(-1)) + vertices(-2, 2) +
                                                                        triangles(-1)))), -1},
        // a weight on no vertex is left out, the mesh stays
        {"bone vertex past the vertices", goodB3D(-1, -1, node(bone)), 3},
        {"brush naming four billion textures", b3d(chunk("BRUS", le32(0xffffffffu) + std::string("b\0", 2) +
                                                                     f32s({1, 1, 1, 1, 0}) + le32(1) + le32(0))), 3},
    };
    for (const Case& c : cases) {
        const int indices = loadMesh("bad.b3d", c.bytes);
        if (c.indices < 0)
            EXPECT_EQ(indices, -1) << c.label;
        else
            EXPECT_LE(indices, c.indices) << c.label;
    }
}

TEST_F(EngineReadersTest, B3DCutShortOrNestedDeepEndsInBoundedTime)
{
    // Every length of a real file: none loops for ever or asks for memory the file does not hold.
    const std::string real = readFile(SANDVOLT_TEST_SOURCE_DIR "/fuzz/corpus/b3d/car-part.b3d");
    ASSERT_GT(real.size(), 100u);
    ASSERT_GT(loadMesh("real.b3d", real), 0);
    for (size_t length = 8; length < real.size(); length += 13)
        loadMesh("cut.b3d", real.substr(0, length));

    // A chunk that claims more than the file holds.
    std::string claims = goodB3D();
    claims.replace(16, 4, le32(0x7ffffff0));
    EXPECT_EQ(loadMesh("claims.b3d", claims), -1);

    // Nodes nested a hundred thousand deep would overflow the stack.
    const int depth = 100000;
    const std::string fields = std::string(1, '\0') + f32s({0, 0, 0, 1, 1, 1, 1, 0, 0, 0});
    std::string nested;
    nested.reserve(depth * (8 + fields.size()));
    for (int i = 0; i < depth; ++i) {
        const size_t inside = (depth - 1 - i) * (8 + fields.size());
        nested += "NODE" + le32(static_cast<uint32_t>(fields.size() + inside)) + fields;
    }
    EXPECT_EQ(loadMesh("nested.b3d", b3d(nested)), -1);
}

TEST_F(EngineReadersTest, OBJFacesWithBadIndicesAreLeftOut)
{
    const std::string points = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1 2 3\n";
    ASSERT_EQ(loadMesh("good.obj", points), 3);
    const char* const faces[] = {"f 0 1 2\n", "f 1 2 4\n", "f 1 2\n", "f 1\n", "f\n", "f 1/2 2/1 3/1\n",
                                 "f 1//2 2//1 3//1\n", "f -9 1 2\n", "f 1 2 99999999999999999999999999\n",
                                 "f 1/1/1 2/1/1 3/1/1 9\n"};
    for (const char* face : faces)
        EXPECT_EQ(loadMesh("bad.obj", points + face), 3) << face;
    // A last face without a line end is read to the file's end and no further.
    EXPECT_EQ(loadMesh("end.obj", points + "f 1/1/1 2/1/1 3"), 6);
}

TEST_F(EngineReadersTest, DamagedImagesGiveNoTextureAndOthersLoad)
{
    // A BMP header of absurd size: nothing is allocated for it.
    std::string bmp = "BM" + le32(70) + le32(0) + le32(54) + le32(40) + le32(0x7fffffff) + le32(0x7fffffff) +
                      std::string("\x01\x00\x18\x00", 4) + le32(0) + le32(0) + le32(0) + le32(0) +
                      le32(0) + le32(0) + std::string(16, '\x7f');
    dir.write("absurd.bmp", bmp);
    EXPECT_FALSE(loadTexture("absurd.bmp"));
    // A picture of another format under a name the game reads: no loader the game never tested.
    dir.write("pcx.jpg", readFile(SANDVOLT_TEST_SOURCE_DIR "/fuzz/corpus/bmp/crash-pcx-under-bmp-name"));
    EXPECT_FALSE(loadTexture("pcx.jpg"));
    // A folder in an image's place.
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_FALSE(loadTexture("folder.png"));
    // A JPEG cut short: what was decoded shows, nothing is left behind (the sanitizer build checks).
    const std::string jpeg = readFile(SANDVOLT_TEST_SOURCE_DIR "/fuzz/corpus/jpeg/button-small.jpg");
    ASSERT_GT(jpeg.size(), 100u);
    dir.write("whole.jpg", jpeg);
    EXPECT_TRUE(loadTexture("whole.jpg"));
    for (size_t length : {jpeg.size() / 2, jpeg.size() - 2, size_t(200), size_t(20)}) {
        dir.write("cut.jpg", jpeg.substr(0, length));
        loadTexture("cut.jpg");
    }
}
