#pragma once
// The medals one player earned, in the order earned.

#include <list>

#include "core/text/str.h"

struct TZvMedal
{
    str medalName;
    str type;  // "game" (whole game) or "type" (one game mode)
    str mode;  // game mode current when earned
    str gameData;
    bool submitted = false;
};

class TZvMedalsTable
{
public:
    static constexpr const char* kTypeGame = "game";
    static constexpr const char* kTypeMode = "type";

    void Append(const TZvMedal& medal) { mMedals.push_back(medal); }
    // A whole-game medal is held once; a per-mode medal once in each mode.
    bool Holds(const str& medalName, bool wholeGame, const str& mode) const;
    // Marks the first count entries (all when count is negative) as accepted by the server.
    void MarkAsSubmitted(int count = -1);
    int Count() const { return static_cast<int>(mMedals.size()); }
    int CountUnsubmitted() const;
    const TZvMedal* At(int index) const;
    const std::list<TZvMedal>& Medals() const { return mMedals; }

    // One empty "medal" element per entry, submitted or not, with no separators:
    // name, per and, with withMode set and a per-mode medal, its mode.
    str GenerateServerString(bool withMode) const;

private:
    std::list<TZvMedal> mMedals;
};
