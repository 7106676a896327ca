#include "core/xml/xml_escape.h"

#include "core/config/config.h"

#include <cstring>
#include <string>

namespace {

struct Entity
{
    char character;
    const char* text;  // after the "&"
};

const Entity kEntities[] = {
    {'&', "amp;"}, {'<', "lt;"}, {'>', "gt;"}, {'"', "quot;"}, {'\'', "apos;"},
};

// Value of the reference that starts at "&#" in `s` (position `at`), or -1 when it is no
// reference; `end` receives the position of its ";".
long ReadReference(const std::string& s, size_t at, size_t& end)
{
    end = s.find(';', at + 2);
    if (end == std::string::npos)
        return -1;
    size_t p = at + 2;
    int base = 10;
    if (p < end && (s[p] == 'x' || s[p] == 'X')) {
        base = 16;
        ++p;
    }
    long value = 0;
    for (; p < end; ++p) {
        const char c = s[p];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;  // like atoi: the number stops at the first non-digit
        value = (value * base + digit) & 0xFFFFFF;
    }
    return value;
}

// Appends the character as UTF-8; a value no character has becomes U+FFFD.
void AppendUtf8(std::string& out, long value)
{
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    if (value < 0x800) {
        out += char(0xC0 | (value >> 6));
    } else if (value < 0x10000) {
        out += char(0xE0 | (value >> 12));
        out += char(0x80 | ((value >> 6) & 0x3F));
    } else {
        out += char(0xF0 | (value >> 18));
        out += char(0x80 | ((value >> 12) & 0x3F));
        out += char(0x80 | ((value >> 6) & 0x3F));
    }
    out += char(0x80 | (value & 0x3F));
}

}  // namespace

void removeXMLEscapeChars(str& text, int& length, bool* escapedFirst)
{
    const char* raw = text.c_str();
    const size_t limit = length < 0 ? 0 : std::min<size_t>(size_t(length), strlen(raw));
    if (!memchr(raw, '&', limit)) {
        if (limit != strlen(raw))
            text = str(raw, limit);
        length = int(limit);
        return;
    }

    std::string in(raw, limit), out;
    out.reserve(limit);
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            out += in[i];
            continue;
        }
        bool replaced = false;
        if (i + 1 < in.size() && in[i + 1] == '#') {
            size_t end;
            const long value = ReadReference(in, i, end);
            if (value >= 0) {
                // References up to 255 stay single bytes: the writer sends UTF-8 text as
                // one reference per byte.
                if (value > 0xFF && TConfig::IsEnabled(TConfig::kUTF8Mode))
                    AppendUtf8(out, value);
                else if (value & 0xFF)
                    out += char(value & 0xFF);
                if (i == 0 && escapedFirst)
                    *escapedFirst = true;
                i = end;
                continue;
            }
        }
        for (const Entity& e : kEntities) {
            const size_t n = strlen(e.text);
            if (in.compare(i + 1, n, e.text) == 0) {
                out += e.character;
                if (i == 0 && escapedFirst)
                    *escapedFirst = true;
                i += n;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += '&';
    }
    text = str(out.data(), out.size());
    length = int(out.size());
}

str xmlSafeString(const char* text)
{
    std::string out;
    if (!text)
        return str("");
    for (const char* p = text; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || c > 127) {
            out += "&#" + std::to_string(unsigned(c)) + ";";
            continue;
        }
        const Entity* hit = nullptr;
        for (const Entity& e : kEntities)
            if (e.character == char(c))
                hit = &e;
        if (hit) {
            out += '&';
            out += hit->text;
        } else
            out += char(c);
    }
    return str(out.data(), out.size());
}
