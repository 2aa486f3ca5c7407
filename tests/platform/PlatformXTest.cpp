// The platform layer on a real X server (a private Xvfb of 1280 x 1024): the desktop size, X
// errors, and the S3TC check on Mesa's OpenGL, which MESA_EXTENSION_OVERRIDE may switch off.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <cstdlib>
#include <string>

#include "core/CGameEngine.h"
#include "core/SGameSettings.h"
#include "platform/DesktopSize.h"
#include "platform/GLCapabilities.h"
#include "platform/XErrorHandler.h"
#include "support/TestSupport.h"

using namespace irr;

namespace {

TEST(DesktopSize, IsTheSizeOfTheDisplaysScreen)
{
    EXPECT_EQ(queryDesktopSize(), core::dimension2du(1280, 1024));
}

// Without the handler Xlib ends the program at the first protocol error.
TEST(XErrorHandler, AnXErrorIsAWarningAndTheGameGoesOn)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    installXErrorHandler();
    const std::string out = testsupport::captureStdout([&] {
        XDestroyWindow(display, static_cast<Window>(0x7FFFFFF));
        XSync(display, False);
    });
    XCloseDisplay(display);
    EXPECT_EQ(out.rfind("Warning: X error 3 (BadWindow", 0), 0u) << out;
    EXPECT_NE(out.find("), request 4.0; the game goes on\n"), std::string::npos) << out;
}

// The driver's own list, with the extension on or switched off through Mesa's override.
TEST(GLCapabilities, S3TCAsTheDriverOffersIt)
{
    const char* override = std::getenv("MESA_EXTENSION_OVERRIDE");
    const bool switchedOff = override && std::string(override).find("-GL_EXT_texture_compression_s3tc") != std::string::npos;
    SGameSettings settings;
    settings.width = 640;
    settings.height = 480;
    settings.fullscreen = false;
    CGameEngine engine(&settings, video::EDT_OPENGL);
    ASSERT_NE(engine.getDevice(), nullptr);
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(extensions, nullptr);
    const std::string list = std::string(" ") + extensions + " ";
    ASSERT_EQ(list.find(" GL_EXT_texture_compression_s3tc ") != std::string::npos, !switchedOff);
    EXPECT_EQ(hasS3TCCompression(engine.getVideoDriver()), !switchedOff);
    // Only the OpenGL driver can be asked.
    testsupport::CNullEngine null;
    EXPECT_FALSE(hasS3TCCompression(null->getVideoDriver()));
    EXPECT_FALSE(hasS3TCCompression(nullptr));
}

} // namespace
