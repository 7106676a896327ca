// Faults a test puts under the program it starts, through LD_PRELOAD, where nothing else can
// time them:
// - TV_FAULT_SLOW_SYNC_MS: once the program has logged a line holding TV_FAULT_ARM_AT, the
//   next sync of a save's temporary file takes that long (one sync only), and the program is
//   sent the signal TV_FAULT_SIGNAL (when given) as it begins.
// - TV_FAULT_KILL_PID: the process of that id (an X server) is killed once the program has made
//   its GL window, and is gone before the program goes on to the window's GL context.

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

int EnvNumber(const char* name)
{
    const char* text = std::getenv(name);
    return text ? std::atoi(text) : 0;
}

bool IsSaveInProgress(int fd)
{
    char path[4096];
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    return n > 0 && std::string(path, size_t(n)).find(".tmp.") != std::string::npos;
}

// The whole span, whatever signals come meanwhile.
void SleepFully(int ms)
{
    timespec end;
    clock_gettime(CLOCK_MONOTONIC, &end);
    end.tv_sec += ms / 1000;
    end.tv_nsec += long(ms % 1000) * 1000000L;
    if (end.tv_nsec >= 1000000000L) {
        end.tv_sec += 1;
        end.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &end, nullptr) == EINTR) {}
}

// Whether the process is gone or only a zombie.
bool Ended(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const size_t close = line.rfind(')');
    return close == std::string::npos || line.compare(close, 3, ") Z") == 0;
}

std::atomic<bool> gArmed{false};

ssize_t RealWrite(int fd, const void* data, size_t size)
{
    static const auto real = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"));
    return real(fd, data, size);
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size)
{
    const char* at = std::getenv("TV_FAULT_ARM_AT");
    // Also written from signal handlers: nothing here allocates.
    if (fd == STDERR_FILENO && at && memmem(data, size, at, std::strlen(at)))
        gArmed = true;
    return RealWrite(fd, data, size);
}

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    static bool done = false;
    const int ms = EnvNumber("TV_FAULT_SLOW_SYNC_MS");
    if (!done && ms > 0 && gArmed && IsSaveInProgress(fd)) {
        done = true;
        if (const int sig = EnvNumber("TV_FAULT_SIGNAL")) {
            static const char kLine[] = "Fault: a signal as a save's sync begins\n";
            RealWrite(STDERR_FILENO, kLine, sizeof kLine - 1);
            kill(getpid(), sig);
        }
        SleepFully(ms);
    }
    return real(fd);
}

// The program's own calls into SDL come through here.
extern "C" void* SDL_CreateWindow(const char* title, int x, int y, int w, int h, uint32_t flags)
{
    static const auto real =
        reinterpret_cast<void* (*)(const char*, int, int, int, int, uint32_t)>(dlsym(RTLD_NEXT, "SDL_CreateWindow"));
    void* window = real(title, x, y, w, h, flags);
    constexpr uint32_t kOpenGL = 0x2;
    const int pid = EnvNumber("TV_FAULT_KILL_PID");
    if (window && (flags & kOpenGL) && pid > 0) {
        kill(pid, SIGKILL);
        for (int i = 0; i < 200 && !Ended(pid); ++i)
            usleep(10000);
    }
    return window;
}
