#include "core/CTranslation.h"

#include "core/utf8cvt.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <locale>
#include <vector>

namespace {

// The file as the game's text mode hands it over: a carriage return before a line feed is gone.
SFileOpen readTextBytes(const char* path, std::string& bytes)
{
    std::string raw;
    const SFileOpen file = readRegularFile(path, kTextFileLimit, raw);
    bytes.clear();
    bytes.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        bytes += raw[i];
    }
    return file;
}

// Decodes with the facet of `g_utf8Locale`. On malformed text the characters before the fault
// are kept, so the texts in front of it still show.
std::wstring decodeUtf8(const char* path, const std::string& bytes)
{
    typedef std::codecvt<wchar_t, char, std::mbstate_t> Facet;
    const Facet& facet = std::use_facet<Facet>(g_utf8Locale);

    // Every byte gives at most one UTF-16 unit (four bytes give a pair).
    std::vector<wchar_t> units(bytes.size() + 1);
    std::mbstate_t state = std::mbstate_t();
    const char* from = bytes.data();
    const char* fromNext = from;
    wchar_t* toNext = units.data();
    try {
        const Facet::result r = facet.in(state, from, from + bytes.size(), fromNext, units.data(),
                                         units.data() + units.size(), toNext);
        if (r == Facet::partial)
            printf("Warning: %s ends inside a UTF-8 sequence; its last character is dropped\n", path);
    } catch (const gel::stdx::utf_error& e) {
        printf("Warning: %s holds bad UTF-8 text (%s); the texts from there on stay empty\n", path,
               e.what());
    }
    return std::wstring(units.data(), toNext);
}

} // namespace

CTranslation::CTranslation(const char* path)
{
    std::string bytes;
    if (!path)
        return;
    const SFileOpen read = readTextBytes(path, bytes);
    if (read.result == EFileOpen::Missing) {
        printf("Warning: %s could not be read; the menus show no texts\n", path);
        return;
    }
    if (read.result == EFileOpen::Refused) {
        printf("Warning: %s could not be read (%s); the menus show no texts\n", path, read.problem.c_str());
        return;
    }
    const std::wstring file = decodeUtf8(path, bytes);

    size_t position = 0;
    for (int i = 0; i < TEXT_COUNT; ++i)
        texts[i] = nextEntry(file, position);

    const size_t complete = static_cast<size_t>(std::count(file.begin(), file.end(), L'"')) / 2;
    if (complete < TEXT_COUNT)
        printf("Warning: %s holds %zu of the %d texts; the others stay empty\n", path, complete,
               static_cast<int>(TEXT_COUNT));
}

std::wstring CTranslation::nextEntry(const std::wstring& file, size_t& position) const
{
    std::wstring result;
    int quotes = 0;
    while (position < file.size() && quotes < 2) {
        const wchar_t c = file[position];
        if (c == L'"')
            ++quotes;
        else if (c != L'\n')
            result += c;
        ++position;
    }
    return result;
}
