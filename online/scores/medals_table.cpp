#include "online/scores/medals_table.h"

#include <string>

#include "core/text/str_view.h"
#include "core/xml/xml_escape.h"

bool TZvMedalsTable::Holds(const str& medalName, bool wholeGame, const str& mode) const
{
    for (const TZvMedal& m : mMedals) {
        if (m.medalName != medalName)
            continue;
        if (wholeGame && m.type == kTypeGame)
            return true;
        if (!wholeGame && m.type == kTypeMode && m.mode == mode)
            return true;
    }
    return false;
}

void TZvMedalsTable::MarkAsSubmitted(int count)
{
    for (TZvMedal& m : mMedals) {
        if (count-- == 0)
            break;
        m.submitted = true;
    }
}

int TZvMedalsTable::CountUnsubmitted() const
{
    int n = 0;
    for (const TZvMedal& m : mMedals)
        if (!m.submitted)
            ++n;
    return n;
}

const TZvMedal* TZvMedalsTable::At(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    auto it = mMedals.begin();
    std::advance(it, index);
    return &*it;
}

str TZvMedalsTable::GenerateServerString(bool withMode) const
{
    std::string out;
    for (const TZvMedal& m : mMedals) {
        // Names come from game data; escaped so a quote or "<" cannot break the document.
        out += "<medal name=\"";
        out += TextView(xmlSafeString(m.medalName.c_str()));
        out += "\" per=\"";
        out += TextView(xmlSafeString(m.type.c_str()));
        out += "\"";
        if (withMode && m.type == kTypeMode) {
            out += " type=\"";
            out += TextView(xmlSafeString(m.mode.c_str()));
            out += "\"";
        }
        out += "/>";
    }
    return ToStr(out);
}
