#include "game/world/strings/scene_strings.h"

#include "core/debug/debug_log.h"
#include "game/world/strings/localised_strings.h"

str tSceneStrings::grabstring(const str& key)
{
    return GrabString(&mTable, key);
}

str tSceneStrings::localisestring(const str& key)
{
    str text = grabstring(key);
    if (!IsMissingString(text))
        return text;
    WriteDbg("Failed to find localized text for [%s]", key.c_str());
    return key;
}

str tSceneStrings::grabformattedstring(const str& key, unsigned count, const str* params)
{
    if (count > kMaxParams)
        count = kMaxParams;
    return fix_crs(mTable.GetString(key, count, params));
}

void tSceneStrings::grabspeechline(const str& key, str* speaker, str* line)
{
    str text = grabstring(key);
    if (IsMissingString(text))
        text = str();
    const unsigned colon = text.find(':');
    if (colon != str::npos && colon > 0) {
        *speaker = text.substr(0, int(colon));
        *line = text.substr(colon + 1);
    } else {
        *speaker = str();
        *line = text;
    }
}
