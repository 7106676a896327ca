#include "core/xml/xml_token.h"

#include "core/files/get_char.h"
#include "core/xml/xml_escape.h"

#include <cctype>
#include <string>

namespace {

constexpr int kEnd = -1;

// One character: a lead byte and the continuation bytes its value announces. Bytes
// missing at the end of the input read as 0xFF.
struct Char
{
    unsigned char bytes[4];
    int count = 0;
    bool end = false;
};

Char ReadChar(TGetChar* source)
{
    Char c;
    const int lead = source->DoGetChar();
    if (lead == kEnd) {
        c.end = true;
        return c;
    }
    c.bytes[0] = static_cast<unsigned char>(lead);
    c.count = 1;
    const int more = c.bytes[0] >= 0xF0 ? 3 : c.bytes[0] >= 0xE0 ? 2 : c.bytes[0] >= 0xC0 ? 1 : 0;
    for (int i = 0; i < more; ++i) {
        const int b = source->DoGetChar();
        c.bytes[c.count++] = b == kEnd ? 0xFF : static_cast<unsigned char>(b);
    }
    return c;
}

bool IsSpace(const Char& c)
{
    return std::isspace(c.bytes[0]) != 0;
}

bool IsMarkup(const Char& c)
{
    return c.bytes[0] == '<' || c.bytes[0] == '>' || c.bytes[0] == '=';
}

void PushBack(TGetChar* source, const Char& c)
{
    for (int i = c.count - 1; i >= 0; --i)
        source->UngetChar(c.bytes[i]);
}

void Append(std::string& token, const Char& c)
{
    token.append(reinterpret_cast<const char*>(c.bytes), size_t(c.count));
}

}  // namespace

str zvGetToken(TGetChar* source, bool* quoted, bool* escapedFirst, int* length, bool* atEnd)
{
    std::string token;
    token.reserve(256);
    *quoted = false;

    Char c;
    do
        c = ReadChar(source);
    while (!c.end && IsSpace(c));
    if (atEnd)
        *atEnd = c.end;
    if (c.end)
        return str("");

    if (IsMarkup(c))
        Append(token, c);
    else if (c.bytes[0] == '"') {
        *quoted = true;
        for (;;) {
            c = ReadChar(source);
            if (c.end || c.bytes[0] == '"')
                break;
            Append(token, c);
        }
    } else {
        Append(token, c);
        for (;;) {
            c = ReadChar(source);
            if (c.end)
                break;
            if (IsSpace(c) || IsMarkup(c)) {
                PushBack(source, c);
                // "word/>" gives the word, "/" and ">", so the tag is seen to close itself.
                if (c.bytes[0] == '>' && token.size() >= 2 && token.back() == '/') {
                    token.pop_back();
                    source->UngetChar('/');
                }
                break;
            }
            Append(token, c);
        }
    }

    str result(token.data(), token.size());
    int n = int(token.size());
    removeXMLEscapeChars(result, n, escapedFirst);
    *length = n;
    return result;
}
