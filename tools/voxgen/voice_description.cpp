#include "tools/voxgen/voice_description.h"

#include "tools/description/description_reader.h"

#include <vector>

namespace {

bool IsVoiceName(const std::string& name)
{
    if (name.empty() || name.size() > 64 || name[0] == '-')
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' ||
              c == '_'))
            return false;
    return true;
}

}  // namespace

bool ParseVoiceDescription(const std::string& sourceName, const std::string& text, TVoiceDescription* out,
                           std::string* error)
{
    TDescriptionReader reader(sourceName, text);
    TVoiceDescription d;
    bool haveText = false;
    std::vector<std::string> words;
    auto fail = [&](const std::string& message) {
        reader.Fail(message);
        *error = reader.Error();
        return false;
    };
    while (reader.Next(&words)) {
        const std::string& command = words[0];
        if (command == "text") {
            if (haveText)
                return fail("a second \"text\"");
            if (words.size() < 2)
                return fail("\"text\" needs the words to speak");
            for (size_t i = 1; i < words.size(); ++i)
                d.text += (i > 1 ? " " : "") + words[i];
            haveText = true;
        } else if (command == "voice") {
            if (words.size() != 2 || !IsVoiceName(words[1]))
                return fail("\"voice\" needs one voice name (letters, digits, +, -, _)");
            d.voice = words[1];
        } else if (command == "speed" || command == "pitch") {
            const bool speed = command == "speed";
            double value = 0;
            if (words.size() != 2)
                return fail("\"" + command + "\" needs one number");
            if (!reader.NumberIn(words[1], speed ? 80 : 0, speed ? 450 : 99, &value, command.c_str())) {
                *error = reader.Error();
                return false;
            }
            (speed ? d.speed : d.pitch) = int(value);
        } else {
            return fail("unknown command \"" + command + "\"");
        }
    }
    if (!reader.Error().empty()) {
        *error = reader.Error();
        return false;
    }
    if (!haveText)
        return fail("no \"text\" to speak");
    *out = d;
    return true;
}
