#include "core/utf8cvt.h"

#include <cstdint>
#include <cstring>

std::locale g_utf8Locale(std::locale::classic(), new gel::stdx::utf8cvt<1>());

namespace gel {
namespace stdx {

utf_error::utf_error(const char* message) : message(message) {}

const char* utf_error::what() const noexcept { return message.c_str(); }

namespace {

// The conversion state as it lives inside the stream's mbstate_t.
//   word bit 31      decoding: a low surrogate is still to be written
//                    encoding: continuation bytes are still to be written
//   word bits 28-30  continuation bytes still expected (decoding) or owed (encoding)
//   word bits 0-27   code point bits gathered so far, the bits still to be written,
//                    or the ten bits of a pending high surrogate
// A high surrogate of U+D800 carries ten zero bits, so its pending mark needs a flag of its own.
struct SCvtState {
    std::uint32_t word;
    std::uint32_t highSurrogatePending;
};
static_assert(sizeof(SCvtState) <= sizeof(std::mbstate_t), "the conversion state must fit the stream's");

constexpr std::uint32_t kFlag = 0x80000000u;
constexpr int kCountShift = 28;
constexpr std::uint32_t kCountMask = 0x7u;
constexpr std::uint32_t kBitsMask = 0x0FFFFFFFu;

SCvtState load(const std::mbstate_t& state)
{
    SCvtState s;
    std::memcpy(&s, &state, sizeof s);
    return s;
}

void store(std::mbstate_t& state, const SCvtState& s) { std::memcpy(&state, &s, sizeof s); }

std::uint32_t countOf(std::uint32_t word) { return (word >> kCountShift) & kCountMask; }

bool isSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool isHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Writes the next owed continuation byte and returns the state that remains.
std::uint32_t writeContinuation(std::uint32_t word, char*& out)
{
    const std::uint32_t owed = countOf(word);
    const std::uint32_t bits = word & kBitsMask;
    const int shift = 6 * static_cast<int>(owed - 1);
    *out++ = static_cast<char>(0x80u | ((bits >> shift) & 0x3Fu));
    if (owed == 1)
        return 0;
    return kFlag | ((owed - 1) << kCountShift) | (bits & ((1u << shift) - 1u));
}

} // namespace

utf8cvt<1>::utf8cvt(size_t refs) : std::codecvt<wchar_t, char, std::mbstate_t>(refs) {}

std::codecvt_base::result utf8cvt<1>::do_in(state_type& state, const extern_type* from,
                                            const extern_type* fromEnd, const extern_type*& fromNext,
                                            intern_type* to, intern_type* toEnd,
                                            intern_type*& toNext) const
{
    SCvtState s = load(state);
    std::uint32_t word = s.word;
    const char* in = from;
    wchar_t* out = to;
    auto fail = [&](const char* message) {
        fromNext = in;
        toNext = out;
        s.word = word;
        store(state, s);
        throw utf_error(message);
    };

    // A pending low surrogate is written even when the input has run out, so that a character
    // above U+FFFF at the very end of a text keeps both halves.
    while (out < toEnd && (in < fromEnd || (word & kFlag))) {
        if (word & kFlag) {
            *out++ = static_cast<wchar_t>(0xDC00u + (((word & kBitsMask) - 0x10000u) & 0x3FFu));
            word = 0;
            continue;
        }
        const std::uint32_t b = static_cast<unsigned char>(*in);
        std::uint32_t expected = countOf(word);
        std::uint32_t bits = word & kBitsMask;

        if (b < 0x80 || (b >= 0xC0 && b < 0xF8)) {
            if (expected != 0)
                fail("malformd UTF-8: not enough followers");
            if (b < 0x80) {
                bits = b;
            } else if (b < 0xE0) {
                if (b < 0xC2)
                    fail("overlong 2 bytes sequence");
                bits = b & 0x1Fu;
                expected = 1;
            } else if (b < 0xF0) {
                bits = b & 0x0Fu;
                expected = 2;
            } else {
                bits = b & 0x07u;
                expected = 3;
            }
        } else if (b < 0xC0) {
            if (expected == 0)
                fail("malformd UTF-8: too many followers");
            // No bits gathered yet with two or three still to come means the lead was 0xE0 or 0xF0.
            if (bits == 0 && expected == 2 && b < 0xA0)
                fail("overlong 3 bytes sequence");
            if (bits == 0 && expected == 3 && b < 0x90)
                fail("overlong 4 bytes sequence");
            bits = (bits << 6) | (b & 0x3Fu);
            --expected;
        } else {
            fail("Bad UTF-8 sequence");
        }

        if (expected == 0 && bits != 0) {
            if (bits <= 0xFFFF) {
                if (isSurrogate(bits))
                    fail("Bad Unicode character - unexpected surrogate");
                *out++ = static_cast<wchar_t>(bits);
                word = 0;
            } else if (bits > 0x10FFFF) {
                fail("Bad UTF-8 sequence");
            } else {
                *out++ = static_cast<wchar_t>(0xD800u + (((bits - 0x10000u) >> 10) & 0x3FFu));
                word = kFlag | bits;
            }
        } else {
            word = (expected << kCountShift) | bits;
        }
        ++in;
    }

    fromNext = in;
    toNext = out;
    s.word = word;
    store(state, s);
    return word != 0 ? partial : ok;
}

std::codecvt_base::result utf8cvt<1>::do_out(state_type& state, const intern_type* from,
                                             const intern_type* fromEnd, const intern_type*& fromNext,
                                             extern_type* to, extern_type* toEnd,
                                             extern_type*& toNext) const
{
    SCvtState s = load(state);
    std::uint32_t word = s.word;
    const wchar_t* in = from;
    char* out = to;
    auto fail = [&](const char* message) {
        fromNext = in;
        toNext = out;
        s.word = word;
        store(state, s);
        throw utf_error(message);
    };

    // Owed continuation bytes are finished while there is room, so a whole text comes out whole.
    while (out < toEnd && (in < fromEnd || (word & kFlag))) {
        if (word & kFlag) {
            word = writeContinuation(word, out);
            continue;
        }
        const std::uint32_t w = static_cast<std::uint32_t>(*in);
        std::uint32_t cp = 0;
        if (s.highSurrogatePending) {
            if (!isLowSurrogate(w))
                fail("Bad Unicode character");
            cp = 0x10000u + ((word & 0x3FFu) << 10) + (w & 0x3FFu);
            s.highSurrogatePending = 0;
            word = 0;
        } else if (isHighSurrogate(w)) {
            word = w & 0x3FFu;
            s.highSurrogatePending = 1;
            ++in;
            continue;
        } else if (isSurrogate(w) || w > 0x10FFFF) {
            // A lone low half, or a value that no UTF-8 sequence can carry.
            fail("Bad Unicode character");
        } else {
            cp = w;
        }
        ++in;

        if (cp < 0x80) {
            *out++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *out++ = static_cast<char>(0xC0u + (cp >> 6));
            word = kFlag | (1u << kCountShift) | (cp & 0x3Fu);
        } else if (cp < 0x10000) {
            *out++ = static_cast<char>(0xE0u + (cp >> 12));
            word = kFlag | (2u << kCountShift) | (cp & 0xFFFu);
        } else {
            *out++ = static_cast<char>(0xF0u + (cp >> 18));
            word = kFlag | (3u << kCountShift) | (cp & 0x3FFFFu);
        }
    }

    fromNext = in;
    toNext = out;
    s.word = word;
    store(state, s);
    return (word != 0 || s.highSurrogatePending) ? partial : ok;
}

std::codecvt_base::result utf8cvt<1>::do_unshift(state_type& state, extern_type* to,
                                                 extern_type* toEnd, extern_type*& toNext) const
{
    SCvtState s = load(state);
    char* out = to;
    while ((s.word & kFlag) && out < toEnd)
        s.word = writeContinuation(s.word, out);
    toNext = out;
    store(state, s);
    return (s.word != 0 || s.highSurrogatePending) ? partial : ok;
}

int utf8cvt<1>::do_length(state_type&, const extern_type* from, const extern_type* fromEnd,
                          size_t max) const
{
    const size_t available = static_cast<size_t>(fromEnd - from);
    return static_cast<int>(available < max ? available : max);
}

bool utf8cvt<1>::do_always_noconv() const noexcept { return false; }

int utf8cvt<1>::do_max_length() const noexcept { return 6; }

int utf8cvt<1>::do_encoding() const noexcept { return -1; }

} // namespace stdx
} // namespace gel
