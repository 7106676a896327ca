#include "core/text/str.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

bool gbStrAlwaysUnique = false;

namespace {

constexpr unsigned kMinCapacity = 16;
const char kEmptyText[1] = {0};

inline unsigned char upper(unsigned char c, bool ignoreCase)
{
    return ignoreCase ? static_cast<unsigned char>(std::toupper(c)) : c;
}

// Whether `what` stands in `text` at `pos`, which leaves room for it.
bool MatchesAt(std::string_view text, size_t pos, std::string_view what, bool ignoreCase)
{
    for (size_t j = 0; j < what.size(); ++j)
        if (upper(static_cast<unsigned char>(text[pos + j]), ignoreCase) !=
            upper(static_cast<unsigned char>(what[j]), ignoreCase))
            return false;
    return true;
}

}  // namespace

// ---- representation ---------------------------------------------------------------------

str::Rep* str::newRep(unsigned capacity)
{
    capacity = std::max(capacity, kMinCapacity);
    Rep* r = new Rep;
    try {
        // Zero-filled, so bytes past the text are always terminators.
        r->text = new char[capacity]();
    } catch (...) {
        delete r;
        throw;
    }
    r->refs = 1;
    r->capacity = capacity;
    return r;
}

str::Rep* str::dupRep(const char* s)
{
    const size_t n = std::strlen(s);
    Rep* r = new Rep;
    try {
        r->text = new char[n + 1];
    } catch (...) {
        delete r;
        throw;
    }
    std::memcpy(r->text, s, n + 1);
    r->refs = 1;
    r->capacity = static_cast<uint32_t>(n + 1);
    return r;
}

void str::release()
{
    if (mRep && --mRep->refs == 0) {
        delete[] mRep->text;
        delete mRep;
    }
    mRep = nullptr;
}

void str::makeUnique()
{
    if (!mRep || mRep->refs <= 1)
        return;
    Rep* r = newRep(mRep->capacity);
    std::memcpy(r->text, mRep->text, mRep->capacity);
    release();
    mRep = r;
}

// ---- construction -----------------------------------------------------------------------

str::str(const char* s) : mRep(s ? dupRep(s) : newRep(kMinCapacity)) {}

str::str(const char* s, unsigned long n)
{
    if (!s)
        n = 0;
    if (n >= UINT32_MAX)
        throw std::length_error("str: text too long");
    mRep = newRep(static_cast<unsigned>(n + 1));
    if (n)
        std::memcpy(mRep->text, s, n);
    mRep->text[n] = 0;
}

str::str(const str& o)
{
    if (!o.mRep)
        return;
    if (gbStrAlwaysUnique) {
        mRep = dupRep(o.mRep->text);
    } else {
        mRep = o.mRep;
        ++mRep->refs;
    }
}

str::~str()
{
    release();
}

str& str::operator=(const str& o)
{
    if (this == &o || mRep == o.mRep)
        return *this;
    str copy(o);
    release();
    mRep = copy.mRep;
    copy.mRep = nullptr;
    return *this;
}

str& str::operator=(str&& o) noexcept
{
    if (this != &o) {
        release();
        mRep = o.mRep;
        o.mRep = nullptr;
    }
    return *this;
}

str& str::operator=(const char* s)
{
    str tmp(s);
    return *this = tmp;
}

void str::_reserve(unsigned n)
{
    Rep* r = newRep(n);
    if (mRep) {
        // Bounded by both buffers; the new one keeps a terminator at its last byte.
        size_t copy = std::min<size_t>(mRep->capacity, r->capacity - 1);
        std::memcpy(r->text, mRep->text, copy);
        r->text[r->capacity - 1] = 0;
    }
    release();
    mRep = r;
}

// ---- queries ----------------------------------------------------------------------------

unsigned str::length() const
{
    return mRep ? static_cast<unsigned>(std::strlen(mRep->text)) : 0;
}

const char* str::c_str() const
{
    return mRep ? mRep->text : kEmptyText;
}

char str::operator[](unsigned i) const
{
    return i < length() ? mRep->text[i] : 0;
}

int str::to_int() const
{
    if (!mRep)
        return 0;
    // atoi's overflow is undefined; saturate instead.
    errno = 0;
    long v = std::strtol(mRep->text, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

int8_t str::compare(const str& o) const
{
    if (mRep == o.mRep)
        return 0;
    // The sign of an unsigned byte-wise comparison: a narrowed difference would put bytes
    // 128 or more apart in reversed order and break ordered containers.
    int r = std::strcmp(c_str(), o.c_str());
    return static_cast<int8_t>((r > 0) - (r < 0));
}

unsigned str::capacity() const
{
    return mRep ? mRep->capacity : 0;
}

int str::use_count() const
{
    return mRep ? mRep->refs : 0;
}

// ---- search -----------------------------------------------------------------------------

unsigned str::find(char c, unsigned flags, unsigned start) const
{
    const unsigned len = length();
    if (start >= len)
        return npos;
    const bool ic = flags & kIgnoreCase;
    const unsigned char want = upper(static_cast<unsigned char>(c), ic);
    const unsigned char* t = reinterpret_cast<const unsigned char*>(mRep->text);
    if (!(flags & kFromEnd)) {
        for (unsigned i = start; i < len; ++i)
            if (upper(t[i], ic) == want)
                return i;
    } else {
        for (long i = static_cast<long>(len) - 1 - start; i >= 0; --i)
            if (upper(t[i], ic) == want)
                return static_cast<unsigned>(i);
    }
    return npos;
}

unsigned str::find(const str& s, unsigned flags, unsigned start) const
{
    const long L = length();
    if (start >= static_cast<unsigned long>(L))
        return npos;
    const long M = s.length();
    const std::string_view text(mRep->text, L), what(s.c_str(), M);
    auto matchAt = [&](long pos) { return MatchesAt(text, size_t(pos), what, flags & kIgnoreCase); };
    if (!(flags & kFromEnd)) {
        if (L - M + 1 <= static_cast<long>(start))
            return npos;
        for (long i = start; i <= L - M; ++i)
            if (matchAt(i))
                return static_cast<unsigned>(i);
        return npos;
    }
    for (long i = L - M - static_cast<long>(start); i >= 0; --i)
        if (matchAt(i))
            return static_cast<unsigned>(i);
    return npos;
}

str str::substr(unsigned pos, int n) const
{
    const unsigned len = length();
    unsigned count = 0;
    if (mRep && pos < len && n != 0) {
        unsigned rest = len - pos;
        // Never allocate more than the text can fill.
        count = (n < 0 || static_cast<unsigned>(n) > rest) ? rest : static_cast<unsigned>(n);
    }
    str r;
    r.mRep = newRep(count + 1);
    if (count)
        std::memcpy(r.mRep->text, mRep->text + pos, count);
    r.mRep->text[count] = 0;
    return r;
}

// ---- changes ----------------------------------------------------------------------------

str& str::operator+=(const str& o)
{
    const unsigned olen = o.length();
    if (olen == 0 && mRep)
        return *this;
    // Keep the other text alive even when it is this string itself.
    str keep(o);
    makeUnique();
    const unsigned len = length();
    const unsigned need = len + olen + 1;
    if (!mRep || need > mRep->capacity)
        _reserve(need);
    std::memcpy(mRep->text + len, keep.c_str(), olen);
    mRep->text[len + olen] = 0;
    return *this;
}

str& str::operator+=(char c)
{
    const char one[2] = {c, 0};
    return *this += str(one);
}

void str::replace(const str& what, const str& with, unsigned flags, unsigned start)
{
    makeUnique();
    const unsigned F = what.length();
    // An empty pattern matches at every position: repeating would insert for ever.
    if (F == 0 && (flags & kAll))
        return;
    if (!mRep) {
        if (F != 0)
            return;
        _reserve(with.length() + 1);
    }
    // Hold both texts: either may share this string's buffer.
    str w(what), r(with);
    if ((flags & kAll) && !(flags & kFromEnd)) {
        replaceAllForward(w, r, flags & kIgnoreCase, start);
        return;
    }
    const unsigned R = r.length();
    const long D = static_cast<long>(R) - static_cast<long>(F);
    for (;;) {
        const unsigned p = find(w, flags, start);
        if (p == npos)
            break;
        makeUnique();
        const unsigned len = length();
        if (D > 0 && mRep->capacity < len + D + 1)
            _reserve(static_cast<unsigned>(len + D + 1));
        if (D != 0)
            std::memmove(mRep->text + p + R, mRep->text + p + F, len - (p + F) + 1);
        std::memcpy(mRep->text + p, r.c_str(), R);
        if (!(flags & kAll))
            break;
        if (flags & kFromEnd) {
            // Go on below the replaced text; start counts from the end.
            if (p < F)
                break;
            start = length() - p;
        } else {
            start = p + R;
        }
    }
}

// Every match from `start` on, left to right, each search going on after the text it replaced:
// one pass over the text, however many matches it holds.
void str::replaceAllForward(const str& what, const str& with, bool ignoreCase, unsigned start)
{
    const std::string_view text(mRep->text, length()), w(what.c_str(), what.length()), r(with.c_str(), with.length());
    std::string out;
    size_t from = 0;  // the first byte not yet copied
    bool replaced = false;
    for (size_t q = start; q < text.size() && text.size() - q >= w.size();) {
        if (!MatchesAt(text, q, w, ignoreCase)) {
            ++q;
            continue;
        }
        out.append(text.substr(from, q - from)).append(r);
        q += w.size();
        from = q;
        replaced = true;
    }
    if (!replaced)
        return;
    out.append(text.substr(from));
    if (out.size() >= UINT32_MAX)
        throw std::length_error("str: text too long");
    makeUnique();  // `what` or `with` may share this text
    const unsigned need = static_cast<unsigned>(out.size() + 1);
    if (need > mRep->capacity)
        _reserve(need);
    std::memcpy(mRep->text, out.data(), out.size() + 1);
}

unsigned str::overlay(int pos, const char* data, unsigned n, bool terminate)
{
    makeUnique();
    const unsigned len = length();
    const unsigned at = pos < 0 ? len : static_cast<unsigned>(pos);
    const uint64_t wanted = uint64_t(at) + n + 1;
    if (wanted >= UINT32_MAX)
        throw std::length_error("str: text too long");
    const unsigned need = static_cast<unsigned>(wanted);
    if (!mRep) {
        _reserve(need);
    } else if (need > mRep->capacity) {
        uint64_t cap = mRep->capacity;
        while (cap < need)
            cap *= 2;
        _reserve(cap >= UINT32_MAX ? need : static_cast<unsigned>(cap));
    }
    // Buffers are zero-filled and the last byte is never written here, so even an
    // unterminated write past the end leaves the text terminated inside the buffer.
    if (n)
        std::memcpy(mRep->text + at, data, n);
    if (terminate)
        mRep->text[at + n] = 0;
    return at + n;
}

void str::downcase()
{
    makeUnique();
    if (!mRep)
        return;
    for (char* p = mRep->text; *p; ++p)
        *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
}

void str::erase(unsigned pos, int n)
{
    makeUnique();
    const unsigned len = length();
    if (!mRep || pos >= len)
        return;
    if (n < 0 || static_cast<unsigned>(n) >= len - pos) {
        mRep->text[pos] = 0;
        return;
    }
    std::memmove(mRep->text + pos, mRep->text + pos + n, len - (pos + n) + 1);
}

void str::format(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    str r = getFormattedV(fmt, ap);
    va_end(ap);
    *this = std::move(r);
}

// ---- producing new strings --------------------------------------------------------------

str str::operator+(char c) const
{
    const unsigned len = length();
    str r;
    r.mRep = newRep(len + 2);
    std::memcpy(r.mRep->text, c_str(), len);
    r.mRep->text[len] = c;
    r.mRep->text[len + 1] = 0;
    return r;
}

str str::operator+(const str& o) const
{
    const unsigned a = length(), b = o.length();
    str r;
    r.mRep = newRep(a + b + 1);
    std::memcpy(r.mRep->text, c_str(), a);
    std::memcpy(r.mRep->text + a, o.c_str(), b);
    r.mRep->text[a + b] = 0;
    return r;
}

str str::getFormatted(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    str r = getFormattedV(fmt, ap);
    va_end(ap);
    return r;
}

str str::getFormattedV(const char* fmt, va_list args)
{
    if (!fmt)
        return str("");
    char buf[4096];
    va_list first;
    va_copy(first, args);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, first);
    va_end(first);
    if (n < 0)
        return str("");
    if (n < static_cast<int>(sizeof buf))
        return str(buf);
    str r;
    r.mRep = newRep(static_cast<unsigned>(n) + 1);
    va_list second;
    va_copy(second, args);
    std::vsnprintf(r.mRep->text, static_cast<size_t>(n) + 1, fmt, second);
    va_end(second);
    return r;
}

str str::from_utf32(unsigned cp)
{
    char b[5] = {0};
    if (cp < 0x80) {
        b[0] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        b[0] = static_cast<char>(0xC0 | (cp >> 6));
        b[1] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        if (cp == 0xFFFE || cp == 0xFEFF || cp == 0xFFFF)
            return str("");
        b[0] = static_cast<char>(0xE0 | (cp >> 12));
        b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        b[2] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp <= 0x10FFFF) {
        b[0] = static_cast<char>(0xF0 | (cp >> 18));
        b[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        b[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        b[3] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        return str("");
    }
    str r;
    r.mRep = newRep(kMinCapacity);
    std::memcpy(r.mRep->text, b, sizeof b);
    return r;
}

unsigned str::to_utf32(const char* p)
{
    if (!p)
        return 0;
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    const unsigned lead = u[0];
    if (lead < 0x80)
        return lead;
    if (lead < 0xC0)
        return 0;
    static const unsigned kOffset[5] = {0, 0, 0x3080u, 0xE2080u, 0x3C82080u};
    const unsigned count = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    unsigned v = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0 && !(u[i] & 0x80))
            return 0;  // also stops at a terminator inside the sequence
        v = v * 64 + u[i];
    }
    return v - kOffset[count];
}
