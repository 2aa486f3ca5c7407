#pragma once
#include <cstddef>
#include <string>

// Every text the menus and the race display show, read once from "data/translation.lang". Screens
// read `texts[i]` by its place in the file; a missing file leaves them all empty.
class CTranslation {
public:
    enum { TEXT_COUNT = 51 };

    explicit CTranslation(const char* path);

    // The next text between two double quotes from `position` on, without line feeds; leaves
    // `position` just after the closing quote (or at the end).
    std::wstring nextEntry(const std::wstring& file, size_t& position) const;

    std::wstring texts[TEXT_COUNT];
};
