#pragma once
// The movies that layouts start ("StartMovie"): a player made by name through a factory that
// the engine entry installs. Without a factory there is no player, and a movie never starts.
//   SetMoviePlayerFactory([](const str& name) { return std::make_unique<MyPlayer>(name); });

#include "core/text/str.h"

#include <functional>
#include <memory>

class TMoviePlayer
{
public:
    virtual ~TMoviePlayer() = default;
    // False when the movie could not start.
    virtual bool Start(bool loop, bool translate, bool allowInput) = 0;
    virtual bool IsPlaying() = 0;
    virtual void Stop() = 0;
};

using TMoviePlayerFactory = std::function<std::unique_ptr<TMoviePlayer>(const str& name)>;

// An empty function removes the factory.
void SetMoviePlayerFactory(TMoviePlayerFactory factory);
// Null without a factory.
std::unique_ptr<TMoviePlayer> CreateMoviePlayer(const str& name);
