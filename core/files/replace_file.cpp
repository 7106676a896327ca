#include "core/files/replace_file.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/files/file_bytes.h"
#include "core/files/make_folders.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<int> gSavesUnderWay{0};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

// Marks the save under way for as long as it lives.
struct TSaveMark
{
    TSaveMark() { gSavesUnderWay.fetch_add(1); }
    ~TSaveMark() { gSavesUnderWay.fetch_sub(1); }
    TSaveMark(const TSaveMark&) = delete;
    TSaveMark& operator=(const TSaveMark&) = delete;
};

TSaveReport& SaveReport()
{
    static TSaveReport report;
    return report;
}

// Every file's outcome; when the save failed as a whole (`failed` names the file that failed
// it), that file first and the others for the same reason.
void Report(const std::vector<TReplacement>& files, const std::vector<bool>& done,
            const std::vector<ESaveProblem>& problems, size_t failed, std::vector<bool>* replaced)
{
    if (replaced)
        *replaced = done;
    if (!SaveReport())
        return;
    const bool whole = failed >= files.size();
    if (!whole)
        SaveReport()({files[failed].diskPath, false, problems[failed], false});
    for (size_t i = 0; i < files.size(); ++i) {
        if (i == failed)
            continue;
        ESaveProblem problem = problems[i];
        if (!done[i] && problem == ESaveProblem::kNone)
            problem = whole ? ESaveProblem::kNotWritten : problems[failed];
        SaveReport()(
            {files[i].diskPath, done[i], done[i] ? ESaveProblem::kNone : problem, whole && files[i].spare && !done[i]});
    }
}

bool WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size) {
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

// Without this the rename may still be lost in a power cut, bringing back the old file or none.
bool SyncFolderOf(const std::string& path, int* error)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    const bool ok = fsync(fd) == 0;
    *error = ok ? 0 : errno;
    close(fd);
    return ok;
}

// The new contents of one file, written and synced beside it under a temporary name.
struct TStaged
{
    std::string path;
    std::string temporary;
    size_t file;  // its place in the replacement
};

void Discard(const std::vector<TStaged>& staged)
{
    for (const TStaged& s : staged)
        unlink(s.temporary.c_str());
}

// The temporary names of `path`'s saves: path + kStagedSuffix + six characters of mkstemp.
constexpr char kStagedSuffix[] = ".tmp.";
constexpr size_t kStagedRandom = 6;

ESaveProblem Stage(const std::string& path, const void* data, size_t size, size_t file, std::vector<TStaged>& staged)
{
    // The rename would replace a file its owner has made read-only.
    struct stat old;
    const bool exists = stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        WriteDbg("Cannot save '%s': a folder has that name", path.c_str());
        return ESaveProblem::kFolderInTheWay;
    }
    if (exists && access(path.c_str(), W_OK) != 0) {
        WriteDbg("Cannot save '%s': the file is not writable (%s); it is left as it was", path.c_str(),
                 strerror(errno));
        return ESaveProblem::kNotWritten;
    }
    if (!MakeFoldersFor(path.c_str())) {
        WriteDbg("Cannot save '%s': folder not created (%s)", path.c_str(), strerror(errno));
        return ESaveProblem::kNotWritten;
    }
    std::string temporary = path + kStagedSuffix + std::string(kStagedRandom, 'X');
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        WriteDbg("Cannot save '%s': temporary file not created (%s)", path.c_str(), strerror(errno));
        return ESaveProblem::kNotWritten;
    }
    fchmod(fd, exists ? old.st_mode & 07777 : 0644);
    bool ok = WriteAll(fd, data, size);
    int error = ok ? 0 : errno;
    if (ok && fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        WriteDbg("Saving '%s' failed (%s); the previous file is unchanged", path.c_str(),
                 error ? strerror(error) : "short write");
        return ESaveProblem::kNotWritten;
    }
    staged.push_back({path, temporary, file});
    return ESaveProblem::kNone;
}

}  // namespace

bool SaveUnderWay()
{
    return gSavesUnderWay.load() != 0;
}

bool ReplaceDiskFiles(const std::vector<TReplacement>& files, std::vector<bool>* replaced)
{
    const TSaveMark mark;
    std::vector<bool> done(files.size(), false);
    std::vector<ESaveProblem> problems(files.size(), ESaveProblem::kNone);
    std::vector<TStaged> staged;
    for (size_t i = 0; i < files.size(); ++i) {
        problems[i] = Stage(files[i].diskPath.c_str(), files[i].data, files[i].size, i, staged);
        if (problems[i] != ESaveProblem::kNone && !files[i].spare) {
            Discard(staged);
            Report(files, done, problems, i, replaced);
            return false;
        }
    }
    size_t renamed = 0;
    for (size_t i = 0; i < staged.size(); ++i) {
        const TStaged& s = staged[i];
        if (rename(s.temporary.c_str(), s.path.c_str()) == 0) {
            done[s.file] = true;
            ++renamed;
            continue;
        }
        const int error = errno;
        problems[s.file] = ESaveProblem::kNotWritten;
        if (files[s.file].spare) {
            unlink(s.temporary.c_str());
            WriteDbg("Saving '%s' failed (%s); the previous file is unchanged", s.path.c_str(), strerror(error));
            continue;
        }
        Discard(std::vector<TStaged>(staged.begin() + long(i), staged.end()));
        if (renamed == 0)
            WriteDbg("Saving '%s' failed (%s); the previous file is unchanged", s.path.c_str(), strerror(error));
        else
            WriteDbg("Saving '%s' failed (%s); %zu of %zu files were replaced", s.path.c_str(), strerror(error),
                     renamed, staged.size());
        Report(files, done, problems, s.file, replaced);
        return false;
    }
    // Renamed is saved, for the player: a folder that will not sync is only logged.
    Report(files, done, problems, files.size(), replaced);
    for (const TStaged& s : staged) {
        int error = 0;
        if (done[s.file] && !SyncFolderOf(s.path, &error)) {
            WriteDbg("Saved '%s' but its folder could not be synced (%s); a power cut may undo the save",
                     s.path.c_str(), strerror(error));
            return false;
        }
    }
    return true;
}

void SetSaveReport(TSaveReport report)
{
    SaveReport() = std::move(report);
}

bool ReplaceDiskFile(const str& diskPath, const void* data, size_t size)
{
    return ReplaceDiskFiles({{diskPath, data, size}});
}

bool ReplaceFileContents(const str& name, const void* data, size_t size)
{
    const str diskPath = TFile::TranslateResource(name, false);
    if (diskPath.empty()) {
        ReportNoFolder(name);
        return false;
    }
    return ReplaceDiskFile(diskPath, data, size);
}

void ReportNoFolder(const str& name)
{
    static std::set<str> logged;
    if (logged.insert(name).second)
        WriteDbg("Cannot save '%s': no folder for it (no home folder is known)", name.c_str());
    if (SaveReport())
        SaveReport()({name, false, ESaveProblem::kNoFolder, false});
}

void RemoveUnfinishedSaves(const str& diskPath)
{
    const std::string path = diskPath.c_str();
    if (path.empty())
        return;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + kStagedSuffix;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kStagedRandom || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string stale = folder + "/" + name;
        if (unlink(stale.c_str()) == 0)
            WriteDbg("Removed '%s', left by a save that did not finish", stale.c_str());
    }
    closedir(dir);
}

namespace {

// The first free name of "<name>.bad", "<name>.bad1", ... (the last when all are taken).
str DamagedCopyName(const str& name)
{
    constexpr int kMaxCopies = 20;
    str target;
    for (int i = 0; i < kMaxCopies; ++i) {
        target = i == 0 ? name + ".bad" : name + str::getFormatted(".bad%d", i);
        const str path = TFile::TranslateResource(target, false);
        if (!path.empty() && access(path.c_str(), F_OK) != 0)
            break;
    }
    return target;
}

// What cannot be copied (a folder, a pipe, a file too large to hold) is moved aside instead:
// a save could not replace it, or would lose it.
bool MoveAside(const str& name, const str& path, const str& target, const char* why)
{
    const str targetPath = TFile::TranslateResource(target, false);
    if (targetPath.empty() || rename(path.c_str(), targetPath.c_str()) != 0) {
        WriteDbg("Cannot move damaged '%s' (%s) aside: %s", name.c_str(), why, strerror(errno));
        return false;
    }
    WriteDbg("Moved damaged '%s' (%s) aside as '%s'", name.c_str(), why, target.c_str());
    return true;
}

}  // namespace

bool KeepDamagedCopy(const str& name, str* copyName)
{
    const str path = TFile::TranslateResource(name, false);
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0)
        return false;
    const str target = DamagedCopyName(name);
    bool kept = false;
    if (!S_ISREG(info.st_mode))
        kept = MoveAside(name, path, target, "not a regular file");
    else if (info.st_size > kMaxDocumentFileSize)
        kept = MoveAside(name, path, target, "too large to copy");
    else {
        std::vector<char> bytes;
        if (!ReadFileBytes(name, kFileRead, bytes))
            return false;
        if (!ReplaceFileContents(target, bytes.data(), bytes.size()))
            return false;
        WriteDbg("Kept a copy of damaged '%s' as '%s'", name.c_str(), target.c_str());
        kept = true;
    }
    if (kept && copyName)
        *copyName = target;
    return kept;
}
