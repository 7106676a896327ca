// Prints a preferences file's installations, slots, keys and values as plain text.
//
//   prefsdump [--key KEY] [--install KEY] FILE
//
// KEY defaults to the demo game's key. Nothing is written. Bytes outside printable ASCII
// are shown as \xNN. Exit code 1 when the file is missing or did not decode completely
// (what was read before the damage is still printed).

#include "core/config/config.h"
#include "core/prefs/prefs.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string Printable(const char* text, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 32 && c < 127 && c != '\\')
            out += char(c);
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string Printable(const str& s)
{
    return Printable(s.c_str(), s.length());
}

}  // namespace

int main(int argc, char** argv)
{
    str key("Rw4TnQ8vLpXe");
    str install;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--key") && i + 1 < argc)
            key = argv[++i];
        else if (!std::strcmp(argv[i], "--install") && i + 1 < argc)
            install = argv[++i];
        else if (argv[i][0] != '-' && !path)
            path = argv[i];
        else
            path = nullptr, i = argc;
    }
    if (!path) {
        std::fprintf(stderr, "usage: prefsdump [--key KEY] [--install KEY] FILE\n");
        return 2;
    }
    if (access(path, R_OK) != 0) {
        std::fprintf(stderr, "prefsdump: cannot read %s\n", path);
        return 1;
    }

    TConfig::SetConfig(TConfig::kEncryptionKey, key);
    if (!install.empty())
        TConfig::SetConfig(TConfig::kInstallKey, install);
    const TPrefs prefs(false, str("::") + str(path));

    std::printf("file %s\n", path);
    std::printf("current install \"%s\", %u users\n", Printable(prefs.GetInstallKey()).c_str(), prefs.GetNumUsers());
    for (const auto& [installKey, slots] : prefs.GetStore()) {
        std::printf("install \"%s\"\n", Printable(installKey).c_str());
        for (size_t s = 0; s < slots.size(); ++s) {
            if (s == 0)
                std::printf("  slot 0 (installation)\n");
            else
                std::printf("  slot %zu (user %zu)\n", s, s - 1);
            for (const auto& [name, value] : slots[s]) {
                const char* bytes = reinterpret_cast<const char*>(value.data());
                const size_t n = value.empty() ? 0 : value.size() - 1;  // without the zero byte
                std::printf("    %s = %s\n", Printable(name).c_str(), Printable(bytes, n).c_str());
            }
        }
    }
    if (prefs.WasRestored()) {
        std::printf("damaged: shown from %s.prev, the contents before the last save\n", path);
        return 1;
    }
    if (prefs.IsDamaged()) {
        std::printf("damaged: reading stopped early\n");
        return 1;
    }
    return 0;
}
