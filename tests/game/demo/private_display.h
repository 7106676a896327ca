#pragma once
// An X server of the test's own, on a display number it picks itself, for what only a real
// display shows. The server ends with the object, or earlier through Kill().

#include <string>
#include <sys/types.h>
#include <vector>

// Starts `args` with its output thrown away; `keepFd`, when given, becomes its descriptor 3.
// The process id, or -1.
pid_t SpawnQuietly(std::vector<std::string> args, int keepFd = -1);

class TPrivateDisplay
{
public:
    static constexpr int kWidth = 1024, kHeight = 768;

    explicit TPrivateDisplay(int width = kWidth, int height = kHeight);
    ~TPrivateDisplay() { Kill(); }
    TPrivateDisplay(const TPrivateDisplay&) = delete;
    TPrivateDisplay& operator=(const TPrivateDisplay&) = delete;

    // ":N", or empty when no server started.
    const std::string& Name() const { return mName; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    pid_t Pid() const { return mPid; }
    // Takes the server away under whatever shows on it.
    void Kill();

private:
    int mWidth, mHeight;
    pid_t mPid = -1;
    std::string mName;
};
