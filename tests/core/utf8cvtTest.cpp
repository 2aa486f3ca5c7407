#include "core/utf8cvt.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <type_traits>
#include <vector>

namespace {

typedef std::codecvt<wchar_t, char, std::mbstate_t> Cvt;
typedef std::vector<unsigned> Units;

const Cvt& facet() { return std::use_facet<Cvt>(g_utf8Locale); }

struct SRun {
    Units units;
    std::string bytes;
    std::string error;
    Cvt::result result = Cvt::ok;
};

// One call of `in` over all of `bytes` with `room` units of output.
SRun decode(const std::string& bytes, std::mbstate_t& state, size_t room = 64)
{
    SRun run;
    std::vector<wchar_t> out(room);
    const char* fromNext = bytes.data();
    wchar_t* toNext = out.data();
    try {
        run.result = facet().in(state, bytes.data(), bytes.data() + bytes.size(), fromNext,
                                out.data(), out.data() + out.size(), toNext);
    } catch (const gel::stdx::utf_error& e) {
        run.error = e.what();
    }
    for (wchar_t* p = out.data(); p != toNext; ++p)
        run.units.push_back(static_cast<unsigned>(*p));
    return run;
}

SRun encode(const Units& units, std::mbstate_t& state, size_t room = 64)
{
    SRun run;
    std::vector<wchar_t> in(units.begin(), units.end());
    std::vector<char> out(room);
    const wchar_t* fromNext = in.data();
    char* toNext = out.data();
    try {
        run.result = facet().out(state, in.data(), in.data() + in.size(), fromNext, out.data(),
                                 out.data() + out.size(), toNext);
    } catch (const gel::stdx::utf_error& e) {
        run.error = e.what();
    }
    run.bytes.assign(out.data(), toNext);
    return run;
}

std::string hex(const std::string& bytes)
{
    std::string text;
    char cell[4];
    for (unsigned char b : bytes) {
        snprintf(cell, sizeof cell, "%02X ", b);
        text += cell;
    }
    return text;
}

struct SDecodeCase {
    std::string bytes;
    Units units;       // what comes out, up to the fault if there is one
    const char* error; // "" when the bytes are good
};

const SDecodeCase kDecode[] = {
    {"A", {0x41}, ""},
    {"\xC3\xA9", {0xE9}, ""},
    {"\xDF\xBF", {0x7FF}, ""},
    {"\xE0\xA0\x80", {0x800}, ""},
    {"\xEF\xBF\xBF", {0xFFFF}, ""},
    {"\xF0\x9F\x98\x80" "B", {0xD83D, 0xDE00, 0x42}, ""},
    {"\xF0\x90\x80\x80", {0xD800, 0xDC00}, ""},
    {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}, ""},
    {std::string("a\0b", 3), {0x61, 0x62}, ""},
    {"\xC0\xAF", {}, "overlong 2 bytes sequence"},
    {"x\xC1\xBF", {0x78}, "overlong 2 bytes sequence"},
    {"\xE0\x80\x80", {}, "overlong 3 bytes sequence"},
    {"\xE0\x9F\xBF", {}, "overlong 3 bytes sequence"},
    {"\xF0\x8F\xBF\xBF", {}, "overlong 4 bytes sequence"},
    {"\x80", {}, "malformd UTF-8: too many followers"},
    {"ab\xC3\xA9\xA9", {0x61, 0x62, 0xE9}, "malformd UTF-8: too many followers"},
    {"\xE2\x41", {}, "malformd UTF-8: not enough followers"},
    {"\xE2\x82\xE2\x82\xAC", {}, "malformd UTF-8: not enough followers"},
    {"\xED\xA0\x80", {}, "Bad Unicode character - unexpected surrogate"},
    {"\xED\xBF\xBF", {}, "Bad Unicode character - unexpected surrogate"},
    {"\xF4\x90\x80\x80", {}, "Bad UTF-8 sequence"},
    {"\xF7\xBF\xBF\xBF", {}, "Bad UTF-8 sequence"},
    {"ok\xF8", {0x6F, 0x6B}, "Bad UTF-8 sequence"},
    {"\xFF", {}, "Bad UTF-8 sequence"},
};

TEST(Utf8Facet, DecodesBytesToUtf16OrNamesTheFault)
{
    static_assert(std::is_base_of<std::exception, gel::stdx::utf_error>::value, "");
    ASSERT_NE(dynamic_cast<const gel::stdx::utf8cvt<1>*>(&facet()), nullptr);
    for (const auto& c : kDecode) {
        std::mbstate_t state = std::mbstate_t();
        const SRun run = decode(c.bytes, state);
        EXPECT_EQ(run.error, c.error) << hex(c.bytes);
        EXPECT_EQ(run.units, c.units) << hex(c.bytes);
        if (!*c.error) {
            EXPECT_EQ(run.result, Cvt::ok) << hex(c.bytes);
        }
    }
}

TEST(Utf8Facet, DecodingContinuesAcrossSplitInput)
{
    const std::string bytes = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80x";
    const Units whole = {0xE9, 0x20AC, 0xD83D, 0xDE00, 0x78};
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        std::mbstate_t state = std::mbstate_t();
        SRun first = decode(bytes.substr(0, cut), state);
        const bool insideSequence = cut == 1 || (cut >= 3 && cut <= 4) || (cut >= 6 && cut <= 8);
        EXPECT_EQ(first.result, insideSequence ? Cvt::partial : Cvt::ok) << "cut " << cut;
        const SRun second = decode(bytes.substr(cut), state);
        EXPECT_EQ(second.error, "") << "cut " << cut;
        EXPECT_EQ(second.result, Cvt::ok) << "cut " << cut;
        first.units.insert(first.units.end(), second.units.begin(), second.units.end());
        EXPECT_EQ(first.units, whole) << "cut " << cut;
    }
}

TEST(Utf8Facet, LowSurrogateWaitsForOutputRoom)
{
    std::mbstate_t state = std::mbstate_t();
    const SRun first = decode("\xF0\x9F\x98\x80", state, 1);
    EXPECT_EQ(first.units, Units({0xD83D}));
    EXPECT_EQ(first.result, Cvt::partial);
    const SRun second = decode("", state, 1);
    EXPECT_EQ(second.units, Units({0xDE00}));
    EXPECT_EQ(second.result, Cvt::ok);
}

struct SEncodeCase {
    Units units;
    std::string bytes;  // what comes out, up to the fault if there is one
    const char* error;
};

const SEncodeCase kEncode[] = {
    {{0x41}, "A", ""},
    {{0xBF}, "\xC2\xBF", ""},
    {{0x7FF}, "\xDF\xBF", ""},
    {{0x800}, "\xE0\xA0\x80", ""},
    {{0xFFFF}, "\xEF\xBF\xBF", ""},
    {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80", ""},
    {{0xD800, 0xDC00}, "\xF0\x90\x80\x80", ""},
    {{0xDBFF, 0xDFFF}, "\xF4\x8F\xBF\xBF", ""},
    {{0x1F600}, "\xF0\x9F\x98\x80", ""},
    {{0x61, 0xDC00}, "a", "Bad Unicode character"},
    {{0xD800, 0x41}, "", "Bad Unicode character"},
    {{0xD83D, 0xD83D, 0xDE00}, "", "Bad Unicode character"},
    {{0x110000}, "", "Bad Unicode character"},
};

TEST(Utf8Facet, EncodesUtf16ToBytesOrNamesTheFault)
{
    for (const auto& c : kEncode) {
        std::mbstate_t state = std::mbstate_t();
        const SRun run = encode(c.units, state);
        EXPECT_EQ(run.error, c.error) << hex(c.bytes);
        EXPECT_EQ(hex(run.bytes), hex(c.bytes));
        if (!*c.error) {
            EXPECT_EQ(run.result, Cvt::ok) << hex(c.bytes);
        }
    }
}

// U+D800's high surrogate carries ten zero bits: the state must still show it waits for its pair.
TEST(Utf8Facet, HighSurrogateWithZeroBitsWaitsForItsPairAcrossCalls)
{
    const Units units = {0xD800, 0xDC00, 0xD83D, 0xDE00};
    const std::string whole = "\xF0\x90\x80\x80\xF0\x9F\x98\x80";
    for (size_t cut = 0; cut <= units.size(); ++cut) {
        std::mbstate_t state = std::mbstate_t();
        const SRun first = encode(Units(units.begin(), units.begin() + cut), state);
        EXPECT_EQ(first.result, cut % 2 ? Cvt::partial : Cvt::ok) << "cut " << cut;
        const SRun second = encode(Units(units.begin() + cut, units.end()), state);
        EXPECT_EQ(second.error, "") << "cut " << cut;
        EXPECT_EQ(second.result, Cvt::ok) << "cut " << cut;
        EXPECT_EQ(hex(first.bytes + second.bytes), hex(whole)) << "cut " << cut;
    }
}

TEST(Utf8Facet, OwedBytesFollowInTheNextCallOrThroughUnshift)
{
    std::mbstate_t state = std::mbstate_t();
    const SRun lead = encode({0x20AC, 0x41}, state, 1);
    EXPECT_EQ(hex(lead.bytes), hex("\xE2"));
    EXPECT_EQ(lead.result, Cvt::partial);

    char out[8];
    char* toNext = out;
    EXPECT_EQ(facet().unshift(state, out, out + 1, toNext), Cvt::partial);
    EXPECT_EQ(hex(std::string(out, toNext)), hex("\x82"));
    EXPECT_EQ(facet().unshift(state, out, out + sizeof out, toNext), Cvt::ok);
    EXPECT_EQ(hex(std::string(out, toNext)), hex("\xAC"));

    const SRun rest = encode({0x41}, state);
    EXPECT_EQ(rest.bytes, "A");
    EXPECT_EQ(rest.result, Cvt::ok);
}

} // namespace
