#include "ui/script/movie_player.h"

namespace {

TMoviePlayerFactory& Factory()
{
    static TMoviePlayerFactory factory;
    return factory;
}

}  // namespace

void SetMoviePlayerFactory(TMoviePlayerFactory factory)
{
    Factory() = std::move(factory);
}

std::unique_ptr<TMoviePlayer> CreateMoviePlayer(const str& name)
{
    return Factory() ? Factory()(name) : nullptr;
}
