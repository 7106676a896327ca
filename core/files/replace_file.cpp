#include "core/files/replace_file.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size)
    {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

bool ReplaceDiskFile(const str& diskPath, const void* data, size_t size)
{
    const std::string path = diskPath.c_str();
    if (!MakeFolders(path))
    {
        WriteDbg("Cannot save '%s': folder not created (%s)", path.c_str(), strerror(errno));
        return false;
    }
    std::string temporary = path + ".tmp.XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
    {
        WriteDbg("Cannot save '%s': temporary file not created (%s)", path.c_str(), strerror(errno));
        return false;
    }
    fchmod(fd, 0644);
    bool ok = WriteAll(fd, data, size);
    int error = ok ? 0 : errno;
    if (ok && fsync(fd) != 0)
    {
        ok = false;
        error = errno;
    }
    if (close(fd) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        unlink(temporary.c_str());
        WriteDbg("Saving '%s' failed (%s); the previous file is unchanged", path.c_str(),
                 error ? strerror(error) : "short write");
    }
    return ok;
}

bool ReplaceFileContents(const str& name, const void* data, size_t size)
{
    const str diskPath = TFile::TranslateResource(name, false);
    if (diskPath.empty())
    {
        WriteDbg("Cannot save '%s': no folder for it", name.c_str());
        return false;
    }
    return ReplaceDiskFile(diskPath, data, size);
}

bool KeepDamagedCopy(const str& name, str* copyName)
{
    TFile in;
    if (!in.Open(name, kFileRead))
        return false;
    const long size = in.Size();
    std::vector<char> bytes(size_t(size > 0 ? size : 0));
    in.Seek(0, kSeekStart);
    if (!bytes.empty() && in.Read(bytes.data(), bytes.size()) != bytes.size())
    {
        WriteDbg("Cannot copy damaged '%s': short read", name.c_str());
        return false;
    }
    in.Close();

    constexpr int kMaxCopies = 20;
    str target;
    for (int i = 0; i < kMaxCopies; ++i)
    {
        target = i == 0 ? name + ".bad" : name + str::getFormatted(".bad%d", i);
        const str path = TFile::TranslateResource(target, false);
        if (!path.empty() && access(path.c_str(), F_OK) != 0)
            break;
    }
    if (!ReplaceFileContents(target, bytes.data(), bytes.size()))
        return false;
    WriteDbg("Kept a copy of damaged '%s' as '%s'", name.c_str(), target.c_str());
    if (copyName)
        *copyName = target;
    return true;
}
