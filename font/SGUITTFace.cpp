#include "font/SGUITTFace.h"

namespace irr {
namespace gui {

FT_Library SGUITTFace::library = nullptr;
bool SGUITTFace::libraryLoaded = false;
std::map<io::path, SGUITTFace*> SGUITTFace::faces;

SGUITTFace::SGUITTFace() : face(nullptr), fileData(nullptr), fileSize(0)
{
}

SGUITTFace::~SGUITTFace()
{
    if (face)
        FT_Done_Face(face);
    delete[] fileData;
}

} // namespace gui
} // namespace irr
