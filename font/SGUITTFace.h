#pragma once
#include <irrlicht.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>

namespace irr {
namespace gui {

// One FreeType face per font file, shared by every font of that file whatever its size. FreeType
// itself is started with the first face and stopped after the last one.
struct SGUITTFace : public virtual IReferenceCounted {
    SGUITTFace();
    ~SGUITTFace() override;
    SGUITTFace(const SGUITTFace&) = delete;
    SGUITTFace& operator=(const SGUITTFace&) = delete;

    FT_Face face;
    // The file's bytes: FreeType reads the face from them for as long as it lives.
    FT_Byte* fileData;
    FT_Long fileSize;

    static FT_Library library;
    static bool libraryLoaded;
    // Faces by the exact file name the fonts were created from.
    static std::map<io::path, SGUITTFace*> faces;
};

} // namespace gui
} // namespace irr
