// Reads the input as a score server's reply to each kind of request, then reads back what
// it stored: the category names, the fetched table, the player's global score and the
// message shown for a failure, each into a small buffer.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_user_folder.h"
#include "online/scores/zv_hiscores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzUserFolder();
    static TZvHiscores scores(false);
    const std::string reply(reinterpret_cast<const char*>(data), size);  // ends in a zero byte

    scores.ParseReturnForErrors(reply.c_str());
    char small[16];
    scores.FillInErrorMessage(small, sizeof small, "failed", "");
    if (std::strlen(small) >= sizeof small)
        __builtin_trap();

    scores.ParseCategoryData(reply.c_str());
    for (int i = -1; i <= scores.GetCategoryCount(); ++i) {
        if (scores.GetCategoryName(i, small, sizeof small) && std::strlen(small) >= sizeof small)
            __builtin_trap();
    }

    scores.ParseScoreData(reply.c_str());
    char name[8], gameData[8];
    int rank = 0, score = 0;
    bool anonymous = false;
    for (int i = -1; i <= scores.GetScoreCount(false); ++i) {
        if (scores.GetScore(false, i, &rank, name, sizeof name, &anonymous, &score, gameData, sizeof gameData) &&
            (std::strlen(name) >= sizeof name || std::strlen(gameData) >= sizeof gameData))
            __builtin_trap();
    }
    scores.GetUserGlobalScore(&score, &rank, gameData, sizeof gameData);
    return 0;
}
