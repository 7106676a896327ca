#include "platform/sdl/test_input_script.h"

#include "core/debug/debug_log.h"
#include "core/files/regular_file.h"

#include <SDL_opengl.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kPollIntervalMs = 5;
// A poll reads at most this much; the rest waits for the next.
constexpr size_t kReadPerPoll = 64 * 1024;
// No record is near this long.
constexpr size_t kLongestLine = 64 * 1024;

struct TNamedKey
{
    const char* name;
    SDL_Keycode sym;
};

const TNamedKey kNamedKeys[] = {
    {"return", SDLK_RETURN}, {"escape", SDLK_ESCAPE}, {"backspace", SDLK_BACKSPACE},
    {"tab", SDLK_TAB},       {"delete", SDLK_DELETE}, {"left", SDLK_LEFT},
    {"right", SDLK_RIGHT},   {"up", SDLK_UP},         {"down", SDLK_DOWN},
    {"home", SDLK_HOME},     {"end", SDLK_END},
};

bool ParseInt(const std::string& text, int32_t* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < -100000 || v > 100000)
        return false;
    *value = int32_t(v);
    return true;
}

// The UTF-8 characters of `text`, each as its own string.
std::vector<std::string> SplitCharacters(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = uint8_t(text[i]);
        size_t n = lead < 0x80             ? 1
                   : (lead & 0xE0) == 0xC0 ? 2
                   : (lead & 0xF0) == 0xE0 ? 3
                   : (lead & 0xF8) == 0xF0 ? 4
                                           : 1;
        n = std::min(n, text.size() - i);
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

SDL_Event KeyEvent(uint32_t type, SDL_Keycode sym, uint32_t windowId)
{
    SDL_Event e{};
    e.type = type;
    e.key.windowID = windowId;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
    return e;
}

SDL_Event TextEvent(const std::string& character, uint32_t windowId)
{
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = windowId;
    std::strncpy(e.text.text, character.c_str(), sizeof e.text.text - 1);
    return e;
}

void Type(const std::string& character, uint32_t windowId, std::vector<SDL_Event>& out)
{
    const bool ascii = character.size() == 1 && uint8_t(character[0]) >= 32 && uint8_t(character[0]) < 127;
    const SDL_Keycode sym = ascii ? SDL_Keycode(std::tolower(uint8_t(character[0]))) : SDLK_UNKNOWN;
    out.push_back(KeyEvent(SDL_KEYDOWN, sym, windowId));
    out.push_back(TextEvent(character, windowId));
    out.push_back(KeyEvent(SDL_KEYUP, sym, windowId));
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    // Written beside the target and renamed, so a reader never sees half a picture.
    const std::string temp = path + ".part";
    if (!png_image_write_to_file(&image, temp.c_str(), 0, rgba.data(), 0, nullptr)) {
        WriteDbg("Test input: the screenshot %s could not be written: %s", path.c_str(), image.message);
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        WriteDbg("Test input: the screenshot %s could not be stored", path.c_str());
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<TTestInputScript> TTestInputScript::FromEnvironment()
{
    const char* path = std::getenv("TESSIVANDER_TEST_INPUT");
    if (!path || !*path)
        return nullptr;
    WriteDbg("Test input: replaying %s", path);
    return std::make_unique<TTestInputScript>(path);
}

TTestInputScript::TTestInputScript(std::string path) : mPath(std::move(path)) {}

bool TTestInputScript::ParseRecord(const std::string& line, TRecord* record, std::string* error)
{
    *record = TRecord();
    std::istringstream in(line);
    std::string delay;
    if (!(in >> delay) || delay[0] == '#')
        return true;
    int32_t ms = 0;
    if (!ParseInt(delay, &ms) || ms < 0) {
        *error = "the delay is not a number of milliseconds";
        return false;
    }
    record->delayMs = uint32_t(ms);
    if (!(in >> record->command)) {
        *error = "no command";
        return false;
    }
    std::getline(in, record->rest);
    const size_t start = record->rest.find_first_not_of(" \t");
    record->rest = start == std::string::npos ? std::string() : record->rest.substr(start);
    std::istringstream args(record->rest);
    for (std::string a; args >> a;)
        record->args.push_back(a);

    const std::string& c = record->command;
    int32_t x = 0, y = 0;
    if (c == "move" || c == "press" || c == "release") {
        if (record->args.size() != 2 || !ParseInt(record->args[0], &x) || !ParseInt(record->args[1], &y)) {
            *error = c + " needs a position X Y";
            return false;
        }
    } else if (c == "key") {
        if (record->args.size() != 1) {
            *error = "key needs one key name";
            return false;
        }
        bool known = record->args[0].size() == 1;
        for (const TNamedKey& k : kNamedKeys)
            known = known || record->args[0] == k.name;
        if (!known) {
            *error = "unknown key " + record->args[0];
            return false;
        }
    } else if (c == "text" || c == "screenshot" || c == "throw") {
        if (record->rest.empty()) {
            *error = c + " needs an argument";
            return false;
        }
    } else if (c != "close" && c != "display") {
        *error = "unknown command " + c;
        return false;
    }
    return true;
}

void TTestInputScript::ReadNewLines()
{
    if (mRefused)
        return;
    // A mode of 0 is no kind of file: still 0, nothing was found there.
    struct stat info = {};
    FILE* file = OpenRegularFile(mPath.c_str(), &info);
    if (!file) {
        // Not there yet is no refusal: the file may still come.
        if (info.st_mode != 0) {
            mRefused = true;
            WriteDbg("Test input: %s is not a regular file; no input is replayed from it", mPath.c_str());
        }
        return;
    }
    const int fd = fileno(file);
    // What was appended since the last poll, a bounded piece at a time.
    const uint64_t size = uint64_t(info.st_size);
    const size_t want = size > mOffset ? size_t(std::min<uint64_t>(size - mOffset, kReadPerPoll)) : 0;
    std::string chunk(want, '\0');
    const ssize_t n = want ? pread(fd, chunk.data(), want, off_t(mOffset)) : 0;
    std::fclose(file);
    if (n <= 0)
        return;
    chunk.resize(size_t(n));
    mOffset += chunk.size();
    mPartial += chunk;
    size_t start = 0;
    for (size_t newline; (newline = mPartial.find('\n', start)) != std::string::npos; start = newline + 1) {
        const std::string line = mPartial.substr(start, newline - start);
        ++mLineNumber;
        if (mSkippingLine) {
            mSkippingLine = false;
            continue;
        }
        TRecord record;
        std::string error;
        if (!ParseRecord(line, &record, &error))
            WriteDbg("Test input: line %d of %s skipped: %s", mLineNumber, mPath.c_str(), error.c_str());
        else if (!record.command.empty())
            mRecords.push_back(std::move(record));
    }
    mPartial.erase(0, start);
    if (mPartial.size() > kLongestLine) {
        if (!mSkippingLine)
            WriteDbg("Test input: line %d of %s skipped: longer than %zu bytes", mLineNumber + 1, mPath.c_str(),
                     kLongestLine);
        mPartial.clear();
        mSkippingLine = true;
    }
}

std::vector<SDL_Event> TTestInputScript::TakeDue(uint32_t nowMs, uint32_t windowId)
{
    std::vector<SDL_Event> out;
    if (!mPolled || nowMs - mLastPoll >= kPollIntervalMs) {
        mPolled = true;
        mLastPoll = nowMs;
        ReadNewLines();
    }
    if (!mClockStarted) {
        mClockStarted = true;
        mLastReplay = nowMs;
    }
    // One screenshot at a time: later records wait until the frame is written.
    while (!mRecords.empty() && mScreenshot.empty() && nowMs - mLastReplay >= mRecords.front().delayMs) {
        const TRecord record = std::move(mRecords.front());
        mRecords.pop_front();
        mLastReplay = nowMs;
        Replay(record, windowId, out);
    }
    return out;
}

void TTestInputScript::Replay(const TRecord& record, uint32_t windowId, std::vector<SDL_Event>& out)
{
    const std::string& c = record.command;
    SDL_Event e{};
    if (c == "move" || c == "press" || c == "release") {
        int32_t x = 0, y = 0;
        ParseInt(record.args[0], &x);
        ParseInt(record.args[1], &y);
        mMouse = TPoint(x, y);
        mHasMouse = true;
        if (c == "move") {
            e.type = SDL_MOUSEMOTION;
            e.motion.windowID = windowId;
            e.motion.state = mButtonDown ? SDL_BUTTON_LMASK : 0;
            e.motion.x = x;
            e.motion.y = y;
        } else {
            mButtonDown = c == "press";
            e.type = mButtonDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
            e.button.windowID = windowId;
            e.button.button = SDL_BUTTON_LEFT;
            e.button.state = mButtonDown ? SDL_PRESSED : SDL_RELEASED;
            e.button.clicks = 1;
            e.button.x = x;
            e.button.y = y;
        }
        out.push_back(e);
    } else if (c == "key") {
        const std::string& name = record.args[0];
        for (const TNamedKey& k : kNamedKeys) {
            if (name == k.name) {
                out.push_back(KeyEvent(SDL_KEYDOWN, k.sym, windowId));
                out.push_back(KeyEvent(SDL_KEYUP, k.sym, windowId));
                return;
            }
        }
        Type(name, windowId, out);
    } else if (c == "text") {
        for (const std::string& character : SplitCharacters(record.rest))
            Type(character, windowId, out);
    } else if (c == "close" || c == "display") {
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = windowId;
        e.window.event = c == "close" ? SDL_WINDOWEVENT_CLOSE : SDL_WINDOWEVENT_DISPLAY_CHANGED;
        out.push_back(e);
    } else if (c == "throw") {
        throw std::runtime_error(record.rest);
    } else if (c == "screenshot") {
        mScreenshot = record.rest;
        // The window manager draws when something changed; a move to where the pointer already
        // is changes nothing but asks for the frame.
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = windowId;
        e.motion.state = mButtonDown ? SDL_BUTTON_LMASK : 0;
        e.motion.x = mMouse.x;
        e.motion.y = mMouse.y;
        out.push_back(e);
    }
}

void TTestInputScript::WriteScreenshot(int width, int height, const std::vector<uint8_t>& rgba)
{
    const std::string path = mScreenshot;
    mScreenshot.clear();
    if (WritePng(path, width, height, rgba))
        WriteDbg("Test input: screenshot written to %s", path.c_str());
}

bool ReadBackBuffer(int width, int height, std::vector<uint8_t>* rgba)
{
    using GetIntegerv = void(APIENTRY*)(GLenum, GLint*);
    using BindFramebuffer = void(APIENTRY*)(GLenum, GLuint);
    using ReadBuffer = void(APIENTRY*)(GLenum);
    using PixelStorei = void(APIENTRY*)(GLenum, GLint);
    using ReadPixels = void(APIENTRY*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
    auto getIntegerv = reinterpret_cast<GetIntegerv>(SDL_GL_GetProcAddress("glGetIntegerv"));
    auto bindFramebuffer = reinterpret_cast<BindFramebuffer>(SDL_GL_GetProcAddress("glBindFramebuffer"));
    auto readBuffer = reinterpret_cast<ReadBuffer>(SDL_GL_GetProcAddress("glReadBuffer"));
    auto pixelStorei = reinterpret_cast<PixelStorei>(SDL_GL_GetProcAddress("glPixelStorei"));
    auto readPixels = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
    if (!getIntegerv || !bindFramebuffer || !readBuffer || !pixelStorei || !readPixels || width <= 0 || height <= 0)
        return false;

    GLint framebuffer = 0, buffer = 0, alignment = 4;
    getIntegerv(GL_READ_FRAMEBUFFER_BINDING, &framebuffer);
    getIntegerv(GL_READ_BUFFER, &buffer);
    getIntegerv(GL_PACK_ALIGNMENT, &alignment);
    bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    readBuffer(GL_BACK);
    pixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> bottomUp(size_t(width) * size_t(height) * 4);
    readPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    pixelStorei(GL_PACK_ALIGNMENT, alignment);
    readBuffer(GLenum(buffer));
    bindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(framebuffer));

    const size_t row = size_t(width) * 4;
    rgba->resize(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(rgba->data() + size_t(y) * row, bottomUp.data() + size_t(height - 1 - y) * row, row);
    // The window shows no transparency; the stored alpha is the framebuffer's bookkeeping.
    for (size_t i = 3; i < rgba->size(); i += 4)
        (*rgba)[i] = 255;
    return true;
}
