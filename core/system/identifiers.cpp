#include "core/system/identifiers.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/files/regular_file.h"

namespace {

constexpr uint64_t kNoFingerprint = 0xDEADBEEFDEADBEEFull;

std::string& InterfaceFolder()
{
    static std::string folder = "/sys/class/net";
    return folder;
}

HardwareAddressSource& AddressSource()
{
    static HardwareAddressSource source;
    return source;
}

bool ParseAddress(const std::string& text, uint8_t (&mac)[6])
{
    unsigned v[6];
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &tail) < 6)
        return false;
    if (tail && tail != '\n')
        return false;
    bool any = false;
    for (int i = 0; i < 6; ++i) {
        mac[i] = static_cast<uint8_t>(v[i]);
        any |= v[i] != 0;
    }
    return any;  // an all-zero address belongs to no hardware
}

bool ReadInterfaceAddress(const std::string& dir, uint8_t (&mac)[6])
{
    FILE* f = OpenRegularFile((dir + "/address").c_str());
    if (!f)
        return false;
    char line[64] = {0};
    const bool got = std::fgets(line, sizeof line, f) != nullptr;
    std::fclose(f);
    return got && ParseAddress(line, mac);
}

// Interfaces sorted by name; those backed by a device come before virtual ones, whose
// addresses may change between boots.
bool ReadFolderAddress(uint8_t (&mac)[6], int& error)
{
    const std::string& root = InterfaceFolder();
    DIR* d = opendir(root.c_str());
    if (!d) {
        error = errno;
        return false;
    }
    std::vector<std::string> names;
    while (dirent* e = readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != ".." && n != "lo")
            names.push_back(n);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    for (int pass = 0; pass < 2; ++pass) {
        for (const std::string& n : names) {
            const std::string dir = root + "/" + n;
            struct stat st;
            const bool physical = stat((dir + "/device").c_str(), &st) == 0;
            if (physical != (pass == 0))
                continue;
            if (ReadInterfaceAddress(dir, mac))
                return true;
        }
    }
    error = ENOENT;
    return false;
}

}  // namespace

bool GetHardwareFingerprint(uint64_t& out)
{
    uint8_t mac[6] = {0};
    bool found;
    int error = 0;
    if (const HardwareAddressSource& src = AddressSource()) {
        found = src(mac);
        error = found ? 0 : ENOENT;
    } else {
        found = ReadFolderAddress(mac, error);
    }
    if (!found) {
        std::printf("FindEthernetInterfaces returned 0x%08x\n", static_cast<unsigned>(error));
        std::fflush(stdout);
        out = kNoFingerprint;
        return true;
    }
    out = 0;
    for (int i = 0; i < 6; ++i)
        out |= static_cast<uint64_t>(mac[i]) << (8 * i);
    return true;
}

void zvGenerateGUID(uint32_t* out)
{
    if (!out)
        return;
    uint64_t fp = 0;
    GetHardwareFingerprint(fp);
    out[0] = static_cast<uint32_t>(fp);
    out[1] = static_cast<uint32_t>(fp >> 32);
    out[2] = static_cast<uint32_t>(std::time(nullptr));
    out[3] = static_cast<uint32_t>(std::rand());
}

str zvGenerateGUIDStr()
{
    uint32_t g[4];
    zvGenerateGUID(g);
    return str::getFormatted("%08x%08x%08x%08x", g[0], g[1], g[2], g[3]);
}

str zvGetComputerId()
{
    uint64_t fp = 0;
    GetHardwareFingerprint(fp);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(fp >> (8 * i));
    b[6] = b[3];
    b[7] = b[4];
    char id[17];
    for (int i = 1; i <= 8; ++i) {
        const unsigned x = b[i - 1] ^ b[i & 7];
        id[2 * (i - 1)] = static_cast<char>(64 + (x & 31));
        id[2 * (i - 1) + 1] = static_cast<char>(static_cast<signed char>(65 + i + (x >> 5)));
    }
    id[16] = 0;
    return str(id);
}

void SetNetworkInterfaceFolder(const str& folder)
{
    InterfaceFolder() = folder.empty() ? "/sys/class/net" : folder.c_str();
}

void SetHardwareAddressSource(HardwareAddressSource source)
{
    AddressSource() = std::move(source);
}
