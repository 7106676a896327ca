#include "fuzz_user_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/config/config.h"
#include "core/crypto/encrypt.h"
#include "core/files/file.h"

const std::string& FuzzUserFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/tv_fuzz_XXXXXX";
        std::string made = mkdtemp(pattern);
        TFile::TFolders folders;
        folders.user = made.c_str();
        folders.common = made.c_str();
        folders.desktop = made.c_str();
        TFile::SetFolders(folders);
        TFile::mResourceDir = made.c_str();
        TConfig::SetConfig(TConfig::kEncryptionKey, "FuzzKey0123");
        TConfig::SetConfig(TConfig::kInstallKey, "fuzz");
        return made;
    }();
    return folder;
}

void WriteUserFile(const char* name, const void* data, size_t size)
{
    const std::string path = FuzzUserFolder() + "/" + name;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(FuzzUserFolder()))
        if (entry.path().filename().string().rfind(std::string(name) + ".", 0) == 0)
            std::filesystem::remove(entry.path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::vector<unsigned char> UserCipher(bool encrypt, const void* data, size_t size)
{
    FuzzUserFolder();
    TEncrypt cipher(TConfig::GetConfig(TConfig::kEncryptionKey, ""));
    const unsigned n = static_cast<unsigned>(size);
    auto run = [&](void* out, unsigned capacity) {
        return encrypt ? cipher.EncryptBinary(data, n, out, capacity, false)
                       : cipher.DecryptBinary(data, n, out, capacity, false);
    };
    const unsigned need = run(nullptr, 0);
    std::vector<unsigned char> out(need);
    if (need == 0 || run(out.data(), need) != 0)
        return {};
    out.resize(cipher.GetLastSize());
    return out;
}
