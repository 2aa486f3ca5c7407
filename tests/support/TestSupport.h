#pragma once
// Helpers shared by the unit tests.
#include <irrlicht.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/SGameSettings.h"

class CGameEngine;

namespace testsupport {

// Runs `body` and returns what it printed to standard output (printf and std::cout alike).
std::string captureStdout(const std::function<void()>& body);

// The game's own message lines ("ERROR", "Warning", "Sound Error") in captured output, in order,
// without the engine library's log that shares the stream.
std::vector<std::string> gameLines(const std::string& out);

// A 2 x 2 image written through the engine library's own image writer, its folder made first.
void writeImage(CGameEngine* engine, const std::string& path);

// A fresh folder under /tmp, removed with everything in it when the object goes.
class CScratchDir {
public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;
    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;
private:
    std::string dir;
};

// A locale with a decimal comma ("1,5") in force for its lifetime, made from the system's locale
// sources when it is not installed; active() false (and `why` says why) when it cannot be had.
class CCommaLocale {
public:
    CCommaLocale();
    ~CCommaLocale();
    CCommaLocale(const CCommaLocale&) = delete;
    CCommaLocale& operator=(const CCommaLocale&) = delete;
    bool active() const { return why.empty(); }
    std::string why;

private:
    CScratchDir built;
    std::string previous;
    std::optional<std::string> previousLocpath;
};

// Works inside `folder` for its lifetime, as the game works inside its run folder.
class CWorkingDir {
public:
    explicit CWorkingDir(const std::string& folder);
    ~CWorkingDir();
    CWorkingDir(const CWorkingDir&) = delete;
    CWorkingDir& operator=(const CWorkingDir&) = delete;
private:
    std::string previous;
};

// Lays out `root` as a run folder of the game made of links: every mission and every data folder
// of `source` (a run folder, or the test missions' folder), with the audio of the game's own run
// folder: all of it with `music`, else only the engine sounds; and the game's shader programs
// when `source` has none.
void linkRunFolder(const std::string& root, const std::string& source, bool music);

// The game's engine object on the null driver (no window), with the engine library's clock
// stopped so that the test alone moves time.
class CNullEngine {
public:
    explicit CNullEngine(irr::u32 timeMs = 0, irr::u32 width = 800, irr::u32 height = 600);
    ~CNullEngine();
    CNullEngine(const CNullEngine&) = delete;
    CNullEngine& operator=(const CNullEngine&) = delete;

    CGameEngine* get() { return engine; }
    CGameEngine* operator->() { return engine; }
    void setTime(irr::u32 timeMs);
    // Delivers a key event to the game's receiver, as the device does from its run.
    void postKey(irr::EKEY_CODE key, bool pressedDown);
    // Delivers a mouse event at the cursor control's position, which it leaves where it is.
    void postMouse(irr::EMOUSE_INPUT_EVENT what);
    // Moves the mouse the widgets read.
    void moveMouse(irr::s32 x, irr::s32 y);

    SGameSettings settings;

private:
    CGameEngine* engine;
};

// The game's engine object on OpenGL in a window of the X server the test runs on (Xvfb, see
// sandvolt_gl_test), with the engine library's clock stopped so that the test alone moves time.
class CGLEngine {
public:
    explicit CGLEngine(irr::u32 width = 1366, irr::u32 height = 768);
    ~CGLEngine();
    CGLEngine(const CGLEngine&) = delete;
    CGLEngine& operator=(const CGLEngine&) = delete;

    CGameEngine* get() { return engine; }
    CGameEngine* operator->() { return engine; }

    SGameSettings settings;

private:
    CGameEngine* engine;
};

// Runs `draw` into a render target of `size` cleared to `background`, inside a scene of its own,
// and returns its pixels (A8R8G8B8, rows top down); empty when the target cannot be made or read.
// The screen itself cannot be read back under Xvfb (its front buffer reads black).
std::vector<irr::u32> captureFrame(CGameEngine* engine, irr::core::dimension2du size,
                                   irr::video::SColor background, const std::function<void()>& draw);

} // namespace testsupport
