#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "online/web/flash_host_data.h"
#include "online/web/loader_movie.h"
#include "online/web/movie_page.h"
#include "online/web/temp_file.h"

#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// Writes the bytes into a new temporary file; false (and no file) on any failure.
bool WriteTempFile(const str& folder, const char* suffix, const void* data, size_t size, str* path)
{
    str name;
    FILE* file = OpenTempFile(folder, suffix, &name);
    if (!file)
        return false;
    const bool written = (size == 0 || fwrite(data, 1, size, file) == size);
    const bool closed = fclose(file) == 0;
    if (!written || !closed) {
        WriteDbg("unable to write tmp file %s", name.c_str());
        unlink(name.c_str());
        return false;
    }
    *path = name;
    return true;
}

TStringTable* StringsOf(const TFlashHostEnvironment& env)
{
    if (env.strings)
        return env.strings;
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->GetStringTable() : nullptr;
}

}  // namespace

bool TFlashHostData::CreateTempFiles(const str& moviePath)
{
    const str folder = env.tempFolder.empty() ? TempFolder() : env.tempFolder;

    std::vector<uint8_t> loader = LoaderMovie();
    loader[kLoaderFrameRateOffset] = LoaderFrameRateFor(moviePath);
    bool ok = WriteTempFile(folder, ".swf", loader.data(), loader.size(), &swfPath);

    str strings;
    if (ok && useStrings) {
        if (TStringTable* table = StringsOf(env))
            strings = BuildMovieStrings(*table);
        else
            WriteDbg("Movie %s: no string table for its texts", moviePath.c_str());
    }
    ok = ok && WriteTempFile(folder, ".txt", strings.c_str(), strings.length(), &stringsPath);
    ok = ok && WriteTempFile(folder, ".html", kBlankMoviePage, strlen(kBlankMoviePage), &htmlPath);
    if (!ok)
        DeleteTempFiles();
    return ok;
}

void TFlashHostData::DeleteTempFiles()
{
    for (str* path : {&swfPath, &stringsPath, &htmlPath}) {
        if (!path->empty())
            unlink(path->c_str());
        *path = str();
    }
}
