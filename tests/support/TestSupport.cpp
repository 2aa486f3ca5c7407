#include "TestSupport.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "core/CGameEngine.h"

namespace testsupport {

std::string captureStdout(const std::function<void()>& body)
{
    std::fflush(stdout);
    std::cout.flush();
    FILE* sink = std::tmpfile();
    if (!sink)
        throw std::runtime_error("no temporary file for the captured output");
    const int saved = dup(fileno(stdout));
    dup2(fileno(sink), fileno(stdout));
    try {
        body();
    } catch (...) {
        std::fflush(stdout);
        dup2(saved, fileno(stdout));
        close(saved);
        std::fclose(sink);
        throw;
    }
    std::fflush(stdout);
    std::cout.flush();
    dup2(saved, fileno(stdout));
    close(saved);

    std::string text;
    std::rewind(sink);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, sink)) > 0)
        text.append(buffer, n);
    std::fclose(sink);
    return text;
}

std::vector<std::string> gameLines(const std::string& out)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos)
            end = out.size();
        const std::string line = out.substr(start, end - start);
        for (const char* prefix : {"ERROR", "Warning", "Sound Error"}) {
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

void writeImage(CGameEngine* engine, const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder);
    irr::video::IVideoDriver* driver = engine->getVideoDriver();
    irr::video::IImage* image =
        driver->createImage(irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(2, 2));
    image->fill(irr::video::SColor(255, 200, 100, 50));
    const bool written = driver->writeImageToFile(image, path.c_str());
    image->drop();
    if (!written)
        throw std::runtime_error("could not write the image " + path);
}

CCommaLocale::CCommaLocale()
{
    const char* saved = std::setlocale(LC_ALL, nullptr);
    previous = saved ? saved : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8"))
        return;
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
        why = "no de_DE.UTF-8 locale and no locale sources (Debian package \"locales\") to build one";
        return;
    }
    const std::string command = "localedef -i de_DE -f UTF-8 '" + built.file("de_DE.UTF-8") + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        why = "localedef could not build de_DE.UTF-8";
        return;
    }
    const char* path = std::getenv("LOCPATH");
    previousLocpath = path ? std::optional<std::string>(path) : std::nullopt;
    setenv("LOCPATH", built.path().c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        why = "de_DE.UTF-8 was built but does not load";
}

CCommaLocale::~CCommaLocale()
{
    std::setlocale(LC_ALL, previous.c_str());
    if (previousLocpath)
        setenv("LOCPATH", previousLocpath->c_str(), 1);
    else
        unsetenv("LOCPATH");
}

CWorkingDir::CWorkingDir(const std::string& folder) : previous(std::filesystem::current_path().string())
{
    std::filesystem::current_path(folder);
}

CWorkingDir::~CWorkingDir()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

void linkRunFolder(const std::string& rootFolder, const std::string& sourceFolder, bool music)
{
    namespace fs = std::filesystem;
    const fs::path root(rootFolder), source(sourceFolder);
    fs::create_directories(root / "missions");
    fs::create_directories(root / "data");
    if (fs::exists(source / "missions")) {
        for (const auto& entry : fs::directory_iterator(source / "missions"))
            fs::create_directory_symlink(entry.path(), root / "missions" / entry.path().filename());
    }
    for (const auto& entry : fs::directory_iterator(source / "data")) {
        if (entry.path().filename() != "audio")
            fs::create_symlink(entry.path(), root / "data" / entry.path().filename());
    }
    // The test missions draw with the game's own shader programs.
    if (!fs::exists(root / "data" / "shaders"))
        fs::create_directory_symlink(fs::path(SANDVOLT_RUN_DIR) / "data" / "shaders", root / "data" / "shaders");
    const fs::path audio = fs::path(SANDVOLT_RUN_DIR) / "data" / "audio";
    if (music) {
        fs::create_directory_symlink(audio, root / "data" / "audio");
    } else {
        fs::create_directories(root / "data" / "audio");
        fs::create_directory_symlink(audio / "engines", root / "data" / "audio" / "engines");
    }
}

CScratchDir::CScratchDir()
{
    char pattern[] = "/tmp/sandvolt-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    dir = pattern;
}

CScratchDir::~CScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

void CScratchDir::write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

std::string CScratchDir::read(const std::string& name) const
{
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CNullEngine::CNullEngine(irr::u32 timeMs, irr::u32 width, irr::u32 height)
{
    settings.width = width;
    settings.height = height;
    settings.fullscreen = false;
    engine = new CGameEngine(&settings, irr::video::EDT_NULL);
    engine->getDevice()->getTimer()->stop();
    setTime(timeMs);
}

CNullEngine::~CNullEngine()
{
    delete engine;
}

void CNullEngine::setTime(irr::u32 timeMs)
{
    engine->getDevice()->getTimer()->setTime(timeMs);
}

void CNullEngine::postKey(irr::EKEY_CODE key, bool pressedDown)
{
    irr::SEvent event;
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = key;
    event.KeyInput.PressedDown = pressedDown;
    event.KeyInput.Char = 0;
    event.KeyInput.Shift = false;
    event.KeyInput.Control = false;
    engine->getDevice()->postEventFromUser(event);
}

void CNullEngine::postMouse(irr::EMOUSE_INPUT_EVENT what)
{
    const irr::core::position2d<irr::s32> at = engine->getDevice()->getCursorControl()->getPosition();
    irr::SEvent event;
    event.EventType = irr::EET_MOUSE_INPUT_EVENT;
    event.MouseInput.Event = what;
    event.MouseInput.X = at.X;
    event.MouseInput.Y = at.Y;
    event.MouseInput.Wheel = 0.0f;
    event.MouseInput.ButtonStates = what == irr::EMIE_LMOUSE_PRESSED_DOWN ? irr::EMBSM_LEFT : 0;
    event.MouseInput.Shift = false;
    event.MouseInput.Control = false;
    engine->getDevice()->postEventFromUser(event);
}

void CNullEngine::moveMouse(irr::s32 x, irr::s32 y)
{
    engine->getDevice()->getCursorControl()->setPosition(x, y);
}

CGLEngine::CGLEngine(irr::u32 width, irr::u32 height)
{
    settings.width = width;
    settings.height = height;
    settings.fullscreen = false;
    settings.vSync = false;
    engine = new CGameEngine(&settings, irr::video::EDT_OPENGL);
    if (engine->getDevice())
        engine->getDevice()->getTimer()->stop();
}

CGLEngine::~CGLEngine() { delete engine; }

std::vector<irr::u32> captureFrame(CGameEngine* engine, irr::core::dimension2du size,
                                   irr::video::SColor background, const std::function<void()>& draw)
{
    using namespace irr;
    video::IVideoDriver* driver = engine->getVideoDriver();
    video::ITexture* target = driver->addRenderTargetTexture(size, "test_capture", video::ECF_A8R8G8B8);
    if (!target)
        return {};
    driver->beginScene(true, true, background);
    driver->setRenderTarget(target, true, true, background);
    draw();
    driver->setRenderTarget(video::ERT_FRAME_BUFFER);
    driver->endScene();
    std::vector<u32> pixels;
    if (const u32* texels = static_cast<const u32*>(target->lock(video::ETLM_READ_ONLY))) {
        pixels.assign(texels, texels + size.Width * size.Height);
        target->unlock();
    }
    driver->removeTexture(target);
    return pixels;
}

} // namespace testsupport
