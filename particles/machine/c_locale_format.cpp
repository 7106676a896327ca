#include "particles/machine/c_locale_format.h"

#include <clocale>
#include <cstdarg>
#include <locale.h>

namespace {

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

}  // namespace

str CLocaleFormat(const char* format, ...)
{
    const locale_t c = CLocale();
    const locale_t previous = c ? uselocale(c) : static_cast<locale_t>(0);
    va_list args;
    va_start(args, format);
    str text = str::getFormattedV(format, args);
    va_end(args);
    if (c)
        uselocale(previous);
    return text;
}
