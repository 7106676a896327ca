#include "game/interface/diary/diary_text.h"

#include <cctype>
#include <string>

#include "core/strings/string_table.h"
#include "core/text/str_view.h"
#include "game/world/diary/diary.h"
#include "game/world/strings/localised_strings.h"
#include "render/text/text_escape.h"

namespace {

// Kept as they are in a link id; everything else is written %XX.
bool PlainInLink(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '-' || c == '.';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A string-table text, or nothing when the table has none for the key.
str TableText(const char* key)
{
    const str text = GlocalisedString(key);
    return !text.empty() && text[0] == '#' ? str() : text;
}

}  // namespace

str DiaryString(const str& keyOrText)
{
    const str text = GlocalisedString(keyOrText);
    return text == str(TStringTable::kMissing) ? keyOrText : text;
}

str DiaryMarkup(const str& keyOrText)
{
    const str text = GlocalisedString(keyOrText);
    return text == str(TStringTable::kMissing) ? EscapeMarkup(keyOrText) : text;
}

bool DiaryPicture(const str& keyOrText, str* name)
{
    const str text = DiaryString(keyOrText);
    if (text.empty() || text[0] != '*')
        return false;
    if (name)
        *name = text.substr(1);
    return true;
}

str LinkMarkup(const str& key, const str& colorAttribute, const str& markup)
{
    std::string id;
    for (const char c : TextView(key)) {
        if (PlainInLink(static_cast<unsigned char>(c)))
            id += c;
        else
            id += str::getFormatted("%%%02X", static_cast<unsigned char>(c)).c_str();
    }
    return str("<a id='") + ToStr(id) + "' " + colorAttribute + ">" + markup + "</a>";
}

str LinkKey(const str& id)
{
    const std::string_view text = TextView(id);
    std::string key;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            key += char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            key += text[i];
        }
    }
    return ToStr(key);
}

str GetBodyTextFromDiaryEntry(const tDiaryEntry& entry)
{
    std::string out;
    int taken = 0;
    for (const str& line : entry.body) {
        if (taken >= entry.unfolded + 1)
            break;
        if (DiaryPicture(line, nullptr))
            continue;
        if (taken > 0)
            out += "\n\n";
        out += TextView(DiaryMarkup(line));
        ++taken;
    }
    return ToStr(out);
}

str GetClickTextFromDiaryEntry(const tDiaryEntry& entry)
{
    str out = "\n\n";
    if (entry.unfolded + 1 < int(entry.body.size())) {
        const str more = TableText("diary_hint_click_for_more");
        if (!more.empty())
            out += LinkMarkup("click_for_more", "color = 'ffffffff'", more) + "\n";
    } else {
        out += TableText("diary_hint_no_more_hints");
    }
    return out;
}
