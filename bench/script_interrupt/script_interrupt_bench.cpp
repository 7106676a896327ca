// What the script interrupt costs: every script of bench/lua (or the files given as
// arguments) runs in a state with the standard libraries, plain, known to the interrupt but
// unarmed (how every host state runs), and armed (how a script runs once it has held the main
// thread past the limit; the check reads a clock, as the platform's does). Times are the
// thread's CPU seconds (steadier than wall time on a shared machine), best of seven each, taken
// in turns. Prints them and the slowdown against plain, then geometric means.

#include "core/script/script_interrupt.h"

#include <lauxlib.h>
#include <lualib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

enum EMode
{
    kPlain,
    kKnown,
    kArmed,
    kModes
};

// Seconds for one run of the file; negative when it failed.
double RunOnce(const std::string& file, EMode mode)
{
    lua_State* L = lua_open();
    luaL_openlibs(L);
    // print would only measure the terminal.
    lua_pushcfunction(L, [](lua_State*) { return 0; });
    lua_setglobal(L, "print");
    if (mode != kPlain)
        RegisterScriptState(L);
    if (mode == kArmed)
        ArmScriptInterrupt();
    const double start = CpuSeconds();
    const bool ok = luaL_loadfile(L, file.c_str()) == 0 && lua_pcall(L, 0, 0, 0) == 0;
    const double seconds = CpuSeconds() - start;
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", file.c_str(), lua_tostring(L, -1));
    DisarmScriptInterrupt();
    UnregisterScriptState(L);
    lua_close(L);
    return ok ? seconds : -1.0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    if (files.empty()) {
        for (const auto& entry : std::filesystem::directory_iterator(TV_BENCH_LUA_DIR))
            if (entry.path().extension() == ".lua")
                files.push_back(entry.path().string());
        std::sort(files.begin(), files.end());
    }
    const auto started = std::chrono::steady_clock::now();
    SetScriptInterruptCheck([started] { return std::chrono::steady_clock::now() - started > std::chrono::hours(1); });

    std::printf("%-18s %8s %8s %8s %8s %8s\n", "script", "plain s", "known s", "known", "armed s", "armed");
    double logSum[kModes] = {};
    int counted = 0;
    for (const std::string& file : files) {
        double best[kModes] = {1e30, 1e30, 1e30};
        bool failed = false;
        for (int round = 0; round < kRounds; ++round) {
            for (int mode = 0; mode < kModes; ++mode) {
                const double t = RunOnce(file, EMode(mode));
                failed = failed || t < 0;
                best[mode] = std::min(best[mode], t);
            }
        }
        const std::string name = std::filesystem::path(file).stem().string();
        if (failed) {
            std::printf("%-18s %8s\n", name.c_str(), "failed");
            continue;
        }
        std::printf("%-18s %8.3f %8.3f %+7.1f%% %8.3f %+7.1f%%\n", name.c_str(), best[kPlain], best[kKnown],
                    (best[kKnown] / best[kPlain] - 1) * 100, best[kArmed], (best[kArmed] / best[kPlain] - 1) * 100);
        for (int mode = 0; mode < kModes; ++mode)
            logSum[mode] += std::log(best[mode] / best[kPlain]);
        ++counted;
    }
    if (counted)
        std::printf("geometric mean slowdown: known %+.1f%%, armed %+.1f%%\n",
                    (std::exp(logSum[kKnown] / counted) - 1) * 100, (std::exp(logSum[kArmed] / counted) - 1) * 100);
    return 0;
}
