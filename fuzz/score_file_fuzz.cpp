// Loads the input as the encrypted score file "user:hiscore.dat". Random bytes rarely pass
// its checksum, so an input whose first byte is even is taken as the file's plain text and
// enciphered with a correct checksum first; an odd first byte gives the rest as raw bytes.
// What loads is read back through every getter into small buffers.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_user_folder.h"
#include "online/scores/zv_hiscores.h"

namespace {

// The file as the game writes it: enciphered text and its zero byte, then the enciphered
// four-byte XOR checksum of the enciphered text.
std::vector<unsigned char> ScoreFile(const uint8_t* text, size_t size)
{
    std::vector<unsigned char> plain(text, text + size);
    plain.push_back(0);
    std::vector<unsigned char> body = UserCipher(true, plain.data(), plain.size());
    unsigned char sum[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < body.size(); ++i)
        sum[i % 4] ^= body[i];
    std::vector<unsigned char> trailer = UserCipher(true, sum, 4);
    body.insert(body.end(), trailer.begin(), trailer.end());
    return body;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FuzzUserFolder();
    if (data[0] & 1) {
        WriteUserFile("hiscore.dat", data + 1, size - 1);
    } else {
        std::vector<unsigned char> file = ScoreFile(data + 1, size - 1);
        WriteUserFile("hiscore.dat", file.data(), file.size());
    }
    TZvHiscores scores(false);

    char name[8], gameData[8];
    int rank = 0, score = 0;
    bool anonymous = false;
    for (int i = -1; i <= scores.GetScoreCount(true); ++i) {
        if (scores.GetScore(true, i, &rank, name, sizeof name, &anonymous, &score, gameData, sizeof gameData) &&
            (std::strlen(name) >= sizeof name || std::strlen(gameData) >= sizeof gameData))
            __builtin_trap();
    }
    scores.GetUserBestScore(TZvHiscores::kUserScoreLocal, &score, &rank, gameData, sizeof gameData);
    scores.GetUserEligibleScore(&score, &rank, gameData, sizeof gameData);
    str medal, mode, medalData, user, pass;
    TZvHiscores::EMedalType type;
    for (int i = -1; i <= scores.GetNumMedalsEarned(); ++i)
        scores.GetEarnedMedalInfo(i, &medal, &type, &mode, &medalData);
    scores.GetNumMedalsToSubmit();
    scores.GetRememberedUserInfo(&user, &pass);
    return 0;
}
