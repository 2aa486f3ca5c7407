#include "platform/GLCapabilities.h"

#include <GL/gl.h>
#include <cstring>

bool hasGLExtension(const char* list, const char* name)
{
    const size_t length = std::strlen(name);
    for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

bool hasS3TCCompression(irr::video::IVideoDriver* driver)
{
    // The extension string needs the window's GL context, which only the OpenGL driver has.
    if (!driver || driver->getDriverType() != irr::video::EDT_OPENGL)
        return false;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions && hasGLExtension(extensions, "GL_EXT_texture_compression_s3tc");
}
