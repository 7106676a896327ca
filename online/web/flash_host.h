#pragma once
// Plays a full-screen movie by handing a small generated page to a web view, and lets the game
// poll whether the movie has ended. When no web view can be started the host stays idle:
// Start and IsPlaying answer false and callers skip the movie.
//   TFlashHost movie("movies/intro.swf");
//   if (movie.Start(false, true, false)) { while (movie.IsPlaying()) ...one frame...; }
//   movie.Stop();

#include "core/text/str.h"

#include <memory>

class TStringTable;
class TWebView;
struct TFlashHostData;

// What the host uses of its surroundings; empty fields take the program's own.
struct TFlashHostEnvironment
{
    std::shared_ptr<TWebView> view;   // null: GetProgramWebView()
    TStringTable* strings = nullptr;  // null: the platform's string table
    unsigned displayWidth = 0;        // 0: the platform's display (800 × 600 without one)
    unsigned displayHeight = 0;
    str assetsFolder;  // empty: the resources folder's "assets/"
    str tempFolder;    // empty: TempFolder()
};

class TFlashHost
{
public:
    // Uses the program's web view.
    explicit TFlashHost(str moviePath);
    TFlashHost(str moviePath, const TFlashHostEnvironment& environment);
    // When the host was started: lets the window manager draw again, blanks the display,
    // takes the web view away and deletes the temporary files.
    ~TFlashHost();

    TFlashHost(const TFlashHost&) = delete;
    TFlashHost& operator=(const TFlashHost&) = delete;

    // False when the host could not start (or its files could not be written); otherwise
    // loads the page, stops the window manager drawing and answers true. `translate` hands
    // the game's texts to the movie; allowInput has no effect.
    bool Start(bool loop, bool translate, bool allowInput);
    // False once the movie has ended (or when the host never started).
    bool IsPlaying();
    // Lets the window manager draw again.
    void Stop();

    bool IsStarted() const;
    const str& GetMoviePath() const { return mMoviePath; }
    const TFlashHostData& GetData() const { return *mData; }

private:
    str mMoviePath;
    std::unique_ptr<TFlashHostData> mData;
};
