#pragma once
// One run of the real program on a data folder, driven through its test-input file: records
// are appended as the test goes, the log (stderr) is read back, screenshots are PNG files.

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// The build tree: the folder above the one holding this test program.
std::string BuildRoot();
// The program built there.
std::string ProgramPath();

class TDemoRun
{
public:
    // Starts the program with TESSIVANDER_RESOURCES = `resources` (the folder holding assets/).
    // The player's folders and the working folder are `home` when given (kept, so that runs
    // one after another share them), else the run's own temporary folder. The environment
    // values named in `unset` are left out, those folders' ones too; `set` ("NAME=value") go
    // in. `program`, when given, is a copy of the program to run.
    explicit TDemoRun(const std::string& resources, const std::string& home = std::string(),
                      const std::vector<std::string>& unset = {}, const std::string& program = std::string(),
                      const std::vector<std::string>& set = {});
    ~TDemoRun();

    bool Started() const { return mPid > 0; }
    pid_t Pid() const { return mPid; }
    // Appends one input record.
    void Send(const std::string& record);
    // Sends the program a signal, as the system would.
    void Signal(int sig);
    // Stops reading the log: the program's end of the pipe loses its reader.
    void CloseLog();
    // Reads the log until `text` appears after `from` (an offset into the log); false on time-out.
    bool WaitFor(const std::string& text, int ms = 20000, size_t from = 0);
    // Asks for a screenshot and waits until it is written; false on time-out.
    bool Screenshot(const std::string& path);
    // Waits for the program to end; its exit code, or -1 when it did not end normally in time
    // (it is then killed).
    int Finish(int ms = 20000);
    const std::string& Log() const { return mLog; }
    const std::string& TempDir() const { return mTemp; }
    // The folder whose "share/tessivander" holds the player's preferences.
    const std::string& Home() const { return mHome; }

private:
    void ReadAvailable(int waitMs);

    std::string mTemp;
    std::string mHome;
    bool mOwnsTemp = false;
    std::string mInput;
    pid_t mPid = -1;
    int mLogFd = -1;
    std::string mLog;
    int mShots = 0;
};

struct TPicture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// A rectangle of the screen: left and top inside, right and bottom outside.
struct TBox
{
    int left = 0, top = 0, right = 0, bottom = 0;
};

bool LoadPng(const std::string& path, TPicture* picture);
// Pixels of the rectangle whose channels differ by more than `tolerance` between the pictures.
size_t CountDifferingPixels(const TPicture& a, const TPicture& b, int tolerance, int left = 0, int top = 0,
                            int right = -1, int bottom = -1);
// The same over the whole pictures, leaving out the pixels inside any of `ignored`.
size_t CountDifferingPixelsOutside(const TPicture& a, const TPicture& b, int tolerance,
                                   const std::vector<TBox>& ignored);
// The mean of the red, green and blue channels over the box, 0 to 255.
double MeanBrightness(const TPicture& picture, const TBox& box);
