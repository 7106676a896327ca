#include "game/demo/demo_run.h"

#include <png.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

std::string BuildRoot()
{
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path().string();
}

std::string ProgramPath()
{
    return BuildRoot() + "/game/tessivander";
}

TDemoRun::TDemoRun(const std::string& resources, const std::string& home, const std::vector<std::string>& unset,
                   const std::string& program, const std::vector<std::string>& set)
{
    char pattern[] = "/tmp/tv_demo_XXXXXX";
    if (!mkdtemp(pattern))
        return;
    mTemp = pattern;
    mOwnsTemp = true;
    mHome = home.empty() ? mTemp : home;
    std::error_code made;
    fs::create_directories(mHome, made);
    mInput = mTemp + "/input.txt";
    std::ofstream(mInput).flush();

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    std::vector<std::string> own = {
        "XDG_DATA_HOME=" + mHome + "/share",
        "HOME=" + mHome,
        "SDL_VIDEODRIVER=offscreen",
        "ALSOFT_DRIVERS=null",
        "TESSIVANDER_RESOURCES=" + resources,
        "TESSIVANDER_TEST_INPUT=" + mInput,
#if defined(__SANITIZE_ADDRESS__)
        // The GL driver's process-lifetime allocations cannot be told apart at exit; a test may
        // put a library of its own in front of the sanitizer's.
        "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0",
#endif
    };
    own.insert(own.end(), set.begin(), set.end());
    for (const std::string& o : own) {
        const std::string key = o.substr(0, o.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.rfind(key, 0) == 0; });
        if (std::find(unset.begin(), unset.end(), key.substr(0, key.size() - 1)) == unset.end())
            env.push_back(o);
    }
    for (const std::string& name : unset)
        std::erase_if(env, [&](const std::string& e) { return e.rfind(name + "=", 0) == 0; });
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    // Files the program looks for in its working folder (the score server's address) go there.
    posix_spawn_file_actions_addchdir_np(&actions, mHome.c_str());
    std::string run = program.empty() ? ProgramPath() : program;
    char* argv[] = {run.data(), nullptr};
    if (posix_spawn(&mPid, run.c_str(), &actions, nullptr, argv, envp.data()) != 0)
        mPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    mLogFd = fds[0];
}

TDemoRun::~TDemoRun()
{
    if (mPid > 0) {
        kill(mPid, SIGKILL);
        waitpid(mPid, nullptr, 0);
    }
    if (mLogFd >= 0)
        close(mLogFd);
    std::error_code ec;
    if (mOwnsTemp)
        fs::remove_all(mTemp, ec);
}

void TDemoRun::Send(const std::string& record)
{
    std::ofstream(mInput, std::ios::app) << record << '\n';
}

void TDemoRun::Signal(int sig)
{
    if (mPid > 0)
        kill(mPid, sig);
}

void TDemoRun::CloseLog()
{
    if (mLogFd >= 0)
        close(mLogFd);
    mLogFd = -1;
}

void TDemoRun::ReadAvailable(int waitMs)
{
    pollfd p{mLogFd, POLLIN, 0};
    if (poll(&p, 1, waitMs) <= 0)
        return;
    char buffer[4096];
    const ssize_t n = read(mLogFd, buffer, sizeof buffer);
    if (n > 0)
        mLog.append(buffer, size_t(n));
    else
        usleep(uint32_t(waitMs) * 1000);  // the pipe is closed: nothing more will come
}

bool TDemoRun::WaitFor(const std::string& text, int ms, size_t from)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (mLog.find(text, from) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= end || mLogFd < 0)
            return false;
        ReadAvailable(50);
    }
    return true;
}

bool TDemoRun::Screenshot(const std::string& path)
{
    // A short pause lets the frames of what came before settle. An earlier picture of the same
    // name does not count.
    const size_t from = mLog.size();
    Send("200 screenshot " + path);
    return WaitFor("screenshot written to " + path + "\n", 20000, from);
}

int TDemoRun::Finish(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    int status = 0;
    while (waitpid(mPid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= end) {
            kill(mPid, SIGKILL);
            waitpid(mPid, &status, 0);
            mPid = -1;
            return -1;
        }
        ReadAvailable(20);
    }
    mPid = -1;
    for (int i = 0; i < 20 && mLogFd >= 0; ++i)
        ReadAvailable(10);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool LoadPng(const std::string& path, TPicture* picture)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    picture->width = int(image.width);
    picture->height = int(image.height);
    picture->rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture->rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

namespace {

bool Differs(const TPicture& a, const TPicture& b, int x, int y, int tolerance)
{
    const size_t i = (size_t(y) * size_t(a.width) + size_t(x)) * 4;
    for (int c = 0; c < 4; ++c)
        if (std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c])) > tolerance)
            return true;
    return false;
}

}  // namespace

size_t CountDifferingPixels(const TPicture& a, const TPicture& b, int tolerance, int left, int top, int right,
                            int bottom)
{
    if (a.width != b.width || a.height != b.height)
        return size_t(-1);
    if (right < 0)
        right = a.width;
    if (bottom < 0)
        bottom = a.height;
    size_t count = 0;
    for (int y = std::max(0, top); y < std::min(bottom, a.height); ++y)
        for (int x = std::max(0, left); x < std::min(right, a.width); ++x)
            count += Differs(a, b, x, y, tolerance);
    return count;
}

size_t CountDifferingPixelsOutside(const TPicture& a, const TPicture& b, int tolerance,
                                   const std::vector<TBox>& ignored)
{
    if (a.width != b.width || a.height != b.height)
        return size_t(-1);
    size_t count = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const bool inside = std::any_of(ignored.begin(), ignored.end(), [&](const TBox& box) {
                return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            });
            count += !inside && Differs(a, b, x, y, tolerance);
        }
    }
    return count;
}

double MeanBrightness(const TPicture& picture, const TBox& box)
{
    double sum = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint8_t* p = &picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4];
            sum += p[0] + p[1] + p[2];
        }
    return sum / (3.0 * (box.right - box.left) * (box.bottom - box.top));
}
