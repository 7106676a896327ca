#include "core/platform/startup.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/platform/platform.h"
#include "core/platform/render_link.h"
#include "core/text/str_view.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

str BuildCommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (!argv || !argv[i])
            continue;
        line += argv[i];
        line += ' ';
    }
    return ToStr(line);
}

void ApplyCheatArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!argv || !argv[i])
            continue;
        const char* match = std::strstr(argv[i], "--cheat");
        if (!match)
            continue;
        // The byte after "--cheat" is the separator, as in --cheat=CODE; a bare --cheat has
        // no code at all and is read as an empty one.
        const char* after = match + 7;
        TConfig::SetConfig("cheatcode", *after ? after + 1 : after);
    }
}

bool ConfigureUnicodeInput()
{
    const str quenmarr = TConfig::GetConfig("QuenmarrUnicode", "");
    const bool on = quenmarr.empty() ? TConfig::IsEnabled(TConfig::kUTF8Mode) : true;
    if (!on)
        return false;
    gbQuenmarrUnicode = !quenmarr.empty();
    gbZvUnicode = TConfig::IsEnabled(TConfig::kUTF8Mode);
    return true;
}

namespace {

void ReportUnhandledException(const char* what)
{
    std::fputs("Unhandled exception\n", stderr);
    std::fflush(stderr);
    if (what)
        WriteDbg("The exception: %s", what);
}

}  // namespace

void RunApplication(std::unique_ptr<TPlatformHost> host, int argc, char** argv, TGameMainFunction main, bool flag)
{
    std::unique_ptr<TPlatform> platform;
    TPlatformData* data = nullptr;
    try {
        data = new TPlatformData(argc, argv, flag, std::move(host));
        // Recorded before the platform object is built: its constructor reads "-url=" and
        // "--stringtest" from it.
        data->SetCommandLine(BuildCommandLine(argc, argv));
        try {
            platform = std::make_unique<TPlatform>(data);
        } catch (...) {
            delete data;
            data = nullptr;
            throw;
        }
        GetRenderLink().CreateRenderer();

        data->SetMainFunction(main);
        ApplyCheatArguments(argc, argv);

        if (data->Host().IsCursorVisible() && data->IsMouseInContent())
            data->Host().SetCursorVisible(false);

        data->InstallUnicodeHandler(ConfigureUnicodeInput());

        platform->CreateApplicationWindow();
        platform->InitSound();

        if (TGameMainFunction run = data->MainFunction())
            run(platform.get(), data->CommandLine().c_str());
        platform.reset();
    } catch (const std::exception& e) {
        ReportUnhandledException(e.what());
        LeaveAfterUnhandledException(std::move(platform), data);
    } catch (...) {
        ReportUnhandledException(nullptr);
        LeaveAfterUnhandledException(std::move(platform), data);
    }
}

void LeaveAfterUnhandledException(std::unique_ptr<TPlatform> platform, TPlatformData* data)
{
    if (!platform)
        return;
    // The game's objects that the exception skipped over still hold tasks, windows and
    // textures of the platform: taking it down would delete what they own. Only the sound
    // stops, as its device and mixing thread must not meet the program's end; the rest goes
    // with the process.
    try {
        data->DestroySoundManager();
    } catch (...) {
    }
    (void)platform.release();
}
