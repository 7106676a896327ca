#pragma once
// The engine's one text type: 8-bit, zero-terminated, reference-counted and copy-on-write.
// A null str (no representation) behaves exactly like an empty one.

#include <cstdarg>
#include <cstdint>

extern bool gbStrAlwaysUnique;

class str
{
public:
    static constexpr unsigned kIgnoreCase = 1;
    static constexpr unsigned kAll = 2;
    static constexpr unsigned kFromEnd = 4;
    static constexpr unsigned npos = ~0u;

    str() = default;
    str(const char* s);
    str(const char* s, unsigned long n);
    str(const str& o);
    str(str&& o) noexcept : mRep(o.mRep) { o.mRep = nullptr; }
    ~str();

    str& operator=(const str& o);
    str& operator=(str&& o) noexcept;
    str& operator=(const char* s);

    void _reserve(unsigned n);

    unsigned length() const;
    bool empty() const { return length() == 0; }
    const char* c_str() const;
    char operator[](unsigned i) const;
    int to_int() const;

    int8_t compare(const str& o) const;
    bool operator<(const str& o) const { return compare(o) < 0; }
    bool operator==(const str& o) const { return compare(o) == 0; }
    bool operator!=(const str& o) const { return compare(o) != 0; }

    unsigned find(char c, unsigned flags = 0, unsigned start = 0) const;
    unsigned find(const str& s, unsigned flags = 0, unsigned start = 0) const;
    str substr(unsigned pos, int n = -1) const;

    str& operator+=(const str& o);
    str& operator+=(char c);
    void replace(const str& what, const str& with, unsigned flags = 0, unsigned start = 0);
    unsigned overlay(int pos, const char* data, unsigned n, bool terminate);
    void downcase();
    void erase(unsigned pos, int n = -1);
    void format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));

    str operator+(char c) const;
    str operator+(const str& o) const;

    static str getFormatted(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
    static str getFormattedV(const char* fmt, va_list args);
    static str from_utf32(unsigned cp);
    static unsigned to_utf32(const char* p);

    // Capacity of the text buffer (terminator included); 0 for null. For tests and growth checks.
    unsigned capacity() const;
    // Number of str values sharing this text; 0 for null.
    int use_count() const;

private:
    struct Rep
    {
        char* text;
        int32_t refs;
        uint32_t capacity;
    };

    static Rep* newRep(unsigned capacity);
    static Rep* dupRep(const char* s);
    void release();
    void makeUnique();
    void replaceAllForward(const str& what, const str& with, bool ignoreCase, unsigned start);

    Rep* mRep = nullptr;
};
