#pragma once
// The game's bounded printf: a reduced set of conversions with rules of its own (upper-case
// hexadecimal, a default precision of 5, positions for "%d" only, no "-+ #" flags). The text
// is cut at the buffer's end; the count of characters written is returned.
//   char line[64];
//   df_snprintf(line, sizeof line, "%s at %5d", name, x);   // counted arguments
//
// Besides the C-style va_list form, a form over counted arguments reads nothing past the
// arguments given: a conversion without its argument gets 0 (or "<null>").

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// One argument of the counted form.
struct TFormatArg
{
    enum Kind
    {
        kInteger,
        kNumber,
        kPointer,
        kText
    };
    Kind kind = kInteger;
    int64_t integer = 0;
    double number = 0;
    const void* pointer = nullptr;

    TFormatArg() = default;
    template <class T, std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>, int> = 0>
    TFormatArg(T v) : kind(kInteger), integer(static_cast<int64_t>(v))
    {
    }
    TFormatArg(double v) : kind(kNumber), number(v) {}
    TFormatArg(float v) : kind(kNumber), number(v) {}
    TFormatArg(const char* v) : kind(kText), pointer(v) {}
    TFormatArg(char* v) : kind(kText), pointer(v) {}
    TFormatArg(const void* v) : kind(kPointer), pointer(v) {}
    TFormatArg(std::nullptr_t) : kind(kPointer) {}
};

uint32_t df_vsnprintf(char* buffer, uint32_t size, const char* format, va_list arguments);
uint32_t df_format(char* buffer, uint32_t size, const char* format, const TFormatArg* arguments, size_t count);

template <class... A>
uint32_t df_snprintf(char* buffer, uint32_t size, const char* format, const A&... arguments)
{
    const TFormatArg list[sizeof...(A) + 1] = {TFormatArg(arguments)...};
    return df_format(buffer, size, format, list, sizeof...(A));
}
