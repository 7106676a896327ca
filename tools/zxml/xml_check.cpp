#include "tools/zxml/xml_check.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool IsNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class TChecker
{
public:
    explicit TChecker(std::string_view text) : mText(text) {}

    bool Run(std::string* error)
    {
        while (mPos < mText.size() && mError.empty()) {
            const char c = mText[mPos];
            if (c == '<') {
                Markup();
            } else if (c == '&') {
                Reference();
            } else if (ControlByte(c)) {
                Fail("control byte " + Hex(c));
            } else if (mOpen.empty() && !IsSpace(c)) {
                Fail("text outside any element");
            } else {
                ++mPos;
            }
        }
        if (mError.empty() && !mOpen.empty())
            Fail("element <" + std::string(mOpen.back()) + "> is not closed");
        if (mError.empty() && mTopElements == 0)
            Fail("no element");
        *error = mError;
        return mError.empty();
    }

private:
    static bool ControlByte(char c)
    {
        const unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && !IsSpace(c)) || u == 0x7F;
    }

    static std::string Hex(char c)
    {
        char text[8];
        std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
        return text;
    }

    bool Fail(const std::string& what)
    {
        if (mError.empty()) {
            const size_t at = std::min(mPos, mText.size());
            const auto line = 1 + std::count(mText.begin(), mText.begin() + long(at), '\n');
            mError = "line " + std::to_string(line) + ": " + what;
        }
        return false;
    }

    bool StartsWith(std::string_view s) const { return mText.substr(mPos, s.size()) == s; }

    // Moves past `end`, which must come before the end of the text; no control bytes before it.
    bool SkipPast(std::string_view end, const char* what)
    {
        const size_t found = mText.find(end, mPos);
        if (found == std::string_view::npos)
            return Fail(std::string("unclosed ") + what);
        for (; mPos < found; ++mPos)
            if (ControlByte(mText[mPos]))
                return Fail("control byte " + Hex(mText[mPos]));
        mPos = found + end.size();
        return true;
    }

    bool Name(std::string_view* name)
    {
        const size_t start = mPos;
        if (mPos >= mText.size() || !IsNameStart(static_cast<unsigned char>(mText[mPos])))
            return Fail("a name was expected");
        while (mPos < mText.size() && IsNameChar(static_cast<unsigned char>(mText[mPos])))
            ++mPos;
        *name = mText.substr(start, mPos - start);
        return true;
    }

    bool SkipSpaces()
    {
        const size_t start = mPos;
        while (mPos < mText.size() && IsSpace(mText[mPos]))
            ++mPos;
        return mPos > start;
    }

    bool Reference()
    {
        const size_t end = mText.find(';', mPos);
        if (end == std::string_view::npos || end - mPos > 12)
            return Fail("'&' without a whole reference");
        std::string_view body = mText.substr(mPos + 1, end - mPos - 1);
        bool ok = !body.empty();
        if (ok && body[0] == '#') {
            const bool hex = body.size() > 1 && body[1] == 'x';
            const std::string_view digits = body.substr(hex ? 2 : 1);
            ok = !digits.empty() && std::all_of(digits.begin(), digits.end(), [hex](char c) {
                return (c >= '0' && c <= '9') || (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
            });
        } else if (ok) {
            ok = IsNameStart(static_cast<unsigned char>(body[0])) && std::all_of(body.begin(), body.end(), [](char c) {
                     return IsNameChar(static_cast<unsigned char>(c));
                 });
        }
        if (!ok)
            return Fail("bad reference '&" + std::string(body) + ";'");
        mPos = end + 1;
        return true;
    }

    bool Attribute()
    {
        std::string_view name;
        if (!Name(&name))
            return false;
        SkipSpaces();
        if (mPos >= mText.size() || mText[mPos] != '=')
            return Fail("attribute " + std::string(name) + " without '='");
        ++mPos;
        SkipSpaces();
        const char quote = mPos < mText.size() ? mText[mPos] : 0;
        if (quote != '"' && quote != '\'')
            return Fail("attribute " + std::string(name) + " without quotes");
        ++mPos;
        while (mPos < mText.size() && mText[mPos] != quote) {
            const char c = mText[mPos];
            if (c == '<')
                return Fail("'<' inside attribute " + std::string(name));
            if (ControlByte(c))
                return Fail("control byte " + Hex(c));
            if (c == '&') {
                if (!Reference())
                    return false;
            } else {
                ++mPos;
            }
        }
        if (mPos >= mText.size())
            return Fail("attribute " + std::string(name) + " is not closed");
        ++mPos;
        return true;
    }

    // A tag, comment, declaration or section at mPos ('<').
    bool Markup()
    {
        if (StartsWith("<?"))
            return SkipPast("?>", "processing instruction");
        if (StartsWith("<!--"))
            return SkipPast("-->", "comment");
        if (StartsWith("<![CDATA[")) {
            if (mOpen.empty())
                return Fail("CDATA section outside any element");
            return SkipPast("]]>", "CDATA section");
        }
        if (StartsWith("<!")) {
            if (!mOpen.empty())
                return Fail("declaration inside an element");
            return SkipPast(">", "declaration");
        }
        ++mPos;
        const bool closing = mPos < mText.size() && mText[mPos] == '/';
        if (closing)
            ++mPos;
        std::string_view name;
        if (!Name(&name))
            return false;
        if (closing) {
            SkipSpaces();
            if (mPos >= mText.size() || mText[mPos] != '>')
                return Fail("closing tag </" + std::string(name) + "> is not closed");
            ++mPos;
            if (mOpen.empty() || mOpen.back() != name)
                return Fail("</" + std::string(name) + "> closes " +
                            (mOpen.empty() ? std::string("nothing") : "<" + std::string(mOpen.back()) + ">"));
            mOpen.pop_back();
            return true;
        }
        mTopElements += mOpen.empty();
        for (;;) {
            const bool spaced = SkipSpaces();
            if (mPos >= mText.size())
                return Fail("tag <" + std::string(name) + "> is not closed");
            if (StartsWith("/>")) {
                mPos += 2;
                return true;
            }
            if (mText[mPos] == '>') {
                ++mPos;
                mOpen.push_back(name);
                return true;
            }
            if (!spaced)
                return Fail("tag <" + std::string(name) + "> needs a space before each attribute");
            if (!Attribute())
                return false;
        }
    }

    std::string_view mText;
    size_t mPos = 0;
    std::vector<std::string_view> mOpen;
    size_t mTopElements = 0;
    std::string mError;
};

}  // namespace

bool CheckXml(std::string_view text, std::string* error)
{
    return TChecker(text).Run(error);
}
