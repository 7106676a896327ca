#include "render/text/text_state.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

constexpr int kMaxLength = 1000000;
constexpr int kMaxFontSize = 4096;

int ParseInt(const char* value)
{
    const long v = std::strtol(value, nullptr, 10);
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

unsigned long ParseHex(const char* value)
{
    if (*value == '#')
        ++value;
    return std::strtoul(value, nullptr, 16) & 0xFFFFFFFFul;
}

TColor RGB(unsigned long v, float alpha)
{
    return TColor(((v >> 16) & 0xFF) / 255.0f, ((v >> 8) & 0xFF) / 255.0f, (v & 0xFF) / 255.0f, alpha);
}

// Sizes, paddings and tab stops are held to amounts a screen can show, so pixel arithmetic
// downstream never overflows.
int ParseLength(const char* value, int limit)
{
    const int v = ParseInt(value);
    return v > limit ? limit : v < -limit ? -limit : v;
}

bool StartsWith(const char* s, const char* prefix)
{
    return std::strncmp(s, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

TTextState::TTextState()
{
    Reset(str(), 16, TColor());
}

void TTextState::Reset(const str& face, int size, const TColor& color)
{
    for (TFontLevel& level : mLevels)
        level = TFontLevel();
    mLevels[0].face = face;
    mLevels[0].size = size;
    mLevels[0].color = color;
    mLevel = 0;
    mBold = mItalic = mUnderline = false;
    for (int& j : mJustify)
        j = -1;
    mJustifyIndex = 0;
    mLinkId = str();
    mLinkColor = TColor();
    mOutlineSize = 0;
    mOutlineColor = TColor();
}

void TTextState::PushFont()
{
    const TFontLevel copy = CurrentLevel();
    ++mLevel;
    if (mLevel < kLevels)
        mLevels[mLevel] = copy;
}

void TTextState::PopFont()
{
    if (--mLevel < 0)
        mLevel = 0;
}

void TTextState::PushJustify(int value)
{
    ++mJustifyIndex;
    if (mJustifyIndex < kLevels)
        mJustify[mJustifyIndex] = value;
}

void TTextState::PopJustify()
{
    if (--mJustifyIndex < 0)
        mJustifyIndex = 0;
}

bool TTextState::GetAttribute(const char* tag, const char* name, char* value)
{
    const char* at = std::strstr(tag, name);
    if (!at)
        return false;
    at += std::strlen(name);
    for (char quote : {'"', '\''}) {
        const char* open = std::strchr(at, quote);
        if (!open)
            continue;
        const char* close = std::strchr(open + 1, quote);
        if (!close)
            continue;
        const size_t n = static_cast<size_t>(close - open - 1);
        std::memcpy(value, open + 1, n);
        value[n] = '\0';
        return true;
    }
    return false;
}

bool TTextState::ParseTag(const char* s, int* consumed, bool* lineBreak, int* padding, bool* cursor,
                          bool* justifyChanged, int* tab)
{
    *tab = 0;
    if (!s || s[0] != '<')
        return false;
    char tag[kTagBuffer + 1];
    int kept = 0;
    int scanned = 0;
    bool valueMode = false;
    bool quoted = false;
    bool closed = false;
    while (kept < kTagBuffer) {
        const char c = s[scanned];
        if (c == '\0')
            return false;
        ++scanned;
        if (c == '=') {
            valueMode = true;
        } else if (c == ' ') {
            valueMode = false;
            if (!quoted)
                continue;
        } else if (c == '"' || c == '\'') {
            quoted = !quoted;
        }
        tag[kept++] = valueMode ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '>') {
            closed = true;
            break;
        }
    }
    tag[kept] = '\0';
    (void)closed;
    *consumed = scanned;

    const char* name = tag + 1;
    char value[kTagBuffer + 1];
    if (StartsWith(name, "br")) {
        *lineBreak = true;
        if (GetAttribute(tag, "pad", value))
            *padding = ParseLength(value, kMaxLength);
    } else if (StartsWith(name, "/p")) {
        *lineBreak = true;
    } else if (name[0] == 'a') {
        if (GetAttribute(tag, "id", value))
            mLinkId = value;
        if (GetAttribute(tag, "color", value))
            mLinkColor = RGB(ParseHex(value), 1.0f);
        else
            mLinkColor = CurrentLevel().color;
    } else if (StartsWith(name, "/a")) {
        mLinkId = str();
        mLinkColor = CurrentLevel().color;
    } else if (name[0] == 'b') {
        mBold = true;
    } else if (StartsWith(name, "/b")) {
        mBold = false;
    } else if (name[0] == 'i') {
        mItalic = true;
    } else if (StartsWith(name, "/i")) {
        mItalic = false;
    } else if (name[0] == 'u') {
        mUnderline = true;
    } else if (StartsWith(name, "/u")) {
        mUnderline = false;
    } else if (StartsWith(name, "cursor")) {
        *cursor = true;
    } else if (StartsWith(name, "center")) {
        *justifyChanged = true;
        PushJustify(1);
    } else if (StartsWith(name, "/center")) {
        *justifyChanged = true;
        PopJustify();
    } else if (StartsWith(name, "left")) {
        *justifyChanged = true;
        PushJustify(0);
    } else if (StartsWith(name, "/left")) {
        *justifyChanged = true;
        PopJustify();
    } else if (StartsWith(name, "right")) {
        *justifyChanged = true;
        PushJustify(2);
    } else if (StartsWith(name, "/right")) {
        *justifyChanged = true;
        PopJustify();
    } else if (StartsWith(name, "font")) {
        PushFont();
        TFontLevel& level = CurrentLevel();
        if (GetAttribute(tag, "size", value))
            level.size = ParseLength(value, kMaxFontSize) < 0 ? 0 : ParseLength(value, kMaxFontSize);
        if (GetAttribute(tag, "color", value)) {
            const unsigned long v = ParseHex(value);
            level.color = std::strlen(value) == 8 ? RGB(v >> 8, (v & 0xFF) / 255.0f) : RGB(v, 1.0f);
        }
        if (GetAttribute(tag, "face", value))
            level.face = value;
    } else if (StartsWith(name, "/font")) {
        PopFont();
    } else if (StartsWith(name, "outline")) {
        if (GetAttribute(tag, "color", value))
            mOutlineColor = RGB(ParseHex(value), 1.0f);
        mOutlineSize = GetAttribute(tag, "size", value) ? static_cast<float>(ParseLength(value, kMaxFontSize)) : 2.0f;
    } else if (StartsWith(name, "/outline")) {
        mOutlineSize = 0;
        mOutlineColor = TColor();
    } else if (StartsWith(name, "tab")) {
        if (GetAttribute(tag, "pos", value))
            *tab = ParseLength(value, kMaxLength) * 4;
    }
    return true;
}
