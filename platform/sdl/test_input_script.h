#pragma once
// Test-only input: lets an end-to-end test drive the program without a display. When
// $TESSIVANDER_TEST_INPUT names a file, its records are replayed as SDL events and finished
// frames can be written out as PNG pictures. Unset, nothing here runs.
//
// One record a line, "#" starts a comment:
//   <delay> <command> [arguments]
// where <delay> is milliseconds after the previous record was replayed (or after the file was
// first read), and the commands are
//   move X Y          the pointer moves to X, Y (a drag while the button is held)
//   press X Y         the left button goes down at X, Y
//   release X Y       the left button comes up at X, Y
//   key NAME          a key goes down and up: return, escape, backspace, tab, delete, left,
//                     right, up, down, home, end, or one printable character
//   text TEXT         TEXT (the rest of the line, UTF-8) is typed, one character an event
//   close             the window's close box is clicked
//   display           the window reports that its display changed (the textures go)
//   screenshot PATH   the next finished frame is written to PATH as a PNG picture (a pointer
//                     move to where the pointer is asks for that frame)
//   throw TEXT        an exception with TEXT is thrown where the event is read, as a fault
//                     that nothing on its way catches
// The file is followed while the program runs: a test may append records as it goes. A line is
// taken once it ends in a newline. Only a regular file is read: a pipe, a device or a folder
// is logged and left alone.

#include "core/math/rect.h"
#include "core/text/str.h"

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class TTestInputScript
{
public:
    // Null when the variable is unset or empty.
    static std::unique_ptr<TTestInputScript> FromEnvironment();
    explicit TTestInputScript(std::string path);

    // The events whose time has come, made for the window `windowId`. Reads what was appended
    // to the file since the last call (at most every few milliseconds).
    std::vector<SDL_Event> TakeDue(uint32_t nowMs, uint32_t windowId);

    // Where the pointer is, once a record has moved it.
    bool HasMouse() const { return mHasMouse; }
    TPoint Mouse() const { return mMouse; }

    // A finished frame is wanted when this is not empty.
    const std::string& ScreenshotPath() const { return mScreenshot; }
    // Writes the frame (rows top first, RGBA) to the wanted path and clears the wish.
    void WriteScreenshot(int width, int height, const std::vector<uint8_t>& rgba);

    // Parses one record line; false (with the reason) when it is not one. Comment and blank
    // lines give true with no command.
    struct TRecord
    {
        uint32_t delayMs = 0;
        std::string command;
        std::vector<std::string> args;
        std::string rest;  // everything after the command, for "text"
    };
    static bool ParseRecord(const std::string& line, TRecord* record, std::string* error);

private:
    void ReadNewLines();
    void Replay(const TRecord& record, uint32_t windowId, std::vector<SDL_Event>& out);

    std::string mPath;
    uint64_t mOffset = 0;
    std::string mPartial;
    bool mSkippingLine = false;  // the rest of a line too long to be a record
    bool mRefused = false;       // the path is no regular file
    int mLineNumber = 0;
    uint32_t mLastPoll = 0;
    bool mPolled = false;
    std::deque<TRecord> mRecords;
    bool mClockStarted = false;
    uint32_t mLastReplay = 0;
    bool mHasMouse = false;
    bool mButtonDown = false;
    TPoint mMouse;
    std::string mScreenshot;
};

// Reads the finished frame of the current GL context (the default framebuffer's back buffer),
// rows top first, RGBA.
bool ReadBackBuffer(int width, int height, std::vector<uint8_t>* rgba);
