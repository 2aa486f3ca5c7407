#pragma once
// UTF-8 <-> UTF-16 conversion facet for the wide streams of the interface texts.
#include <cwchar>
#include <exception>
#include <locale>
#include <string>

namespace gel {
namespace stdx {

// Thrown on malformed UTF-8 or on a wide character that has no UTF-8 form.
class utf_error : public std::exception {
public:
    explicit utf_error(const char* message);
    const char* what() const noexcept override;

private:
    std::string message;
};

template <int Variant>
class utf8cvt;

// Bytes in UTF-8, wide characters as UTF-16 units (a character above U+FFFF is a surrogate pair,
// even though wchar_t could hold it whole: the texts and the font work on 16-bit units).
template <>
class utf8cvt<1> : public std::codecvt<wchar_t, char, std::mbstate_t> {
public:
    explicit utf8cvt(size_t refs = 0);

protected:
    result do_in(state_type& state, const extern_type* from, const extern_type* fromEnd,
                 const extern_type*& fromNext, intern_type* to, intern_type* toEnd,
                 intern_type*& toNext) const override;
    result do_out(state_type& state, const intern_type* from, const intern_type* fromEnd,
                  const intern_type*& fromNext, extern_type* to, extern_type* toEnd,
                  extern_type*& toNext) const override;
    result do_unshift(state_type& state, extern_type* to, extern_type* toEnd,
                      extern_type*& toNext) const override;
    int do_length(state_type& state, const extern_type* from, const extern_type* fromEnd,
                  size_t max) const override;
    bool do_always_noconv() const noexcept override;
    int do_max_length() const noexcept override;
    int do_encoding() const noexcept override;
};

} // namespace stdx
} // namespace gel

// The classic locale with the UTF-8 facet; built before main runs.
extern std::locale g_utf8Locale;
