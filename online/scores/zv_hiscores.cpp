#include "online/scores/zv_hiscores.h"

#include <cstdio>
#include <cstring>

#include "core/config/config.h"
#include "core/debug/debug_log.h"
#include "core/files/regular_file.h"
#include "online/scores/guid_source.h"
#include "online/scores/hiscores_data.h"
#include "online/scores/text_out.h"

namespace {
// No score service is run for this game: without "hiscoreserver.txt" there is no address,
// and no request leaves the machine.
const char* kBuiltInServerUrl = "";

str ReadServerOverride()
{
    FILE* f = OpenRegularFile("hiscoreserver.txt");
    if (!f)
        return str();
    char line[512] = {};
    char* got = std::fgets(line, sizeof line, f);
    std::fclose(f);
    if (!got)
        return str();
    // The line end (and any stray blanks) would make the address unusable.
    size_t n = std::strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r' || line[n - 1] == ' ' || line[n - 1] == '\t'))
        line[--n] = 0;
    return str(line);
}
}  // namespace

TZvHiscores::TZvHiscores(bool saveEnabled)
{
    str key = TConfig::GetConfig(TConfig::kEncryptionKey, "");
    if (key.empty())
        WriteDbg("ERROR: No encryption key set before TZvHiscores construction!");
    mData = std::make_unique<TZvHiscoresData>(key, saveEnabled);
    TZvHiscoresData& d = *mData;
    d.serverUrl = kBuiltInServerUrl;
    d.gameHandle = TConfig::GetConfig(TConfig::kZvGameHandle, "");
    if (d.gameHandle.empty())
        d.gameHandle = TConfig::GetConfig(TConfig::kGameName, "");
    d.version = TConfig::GetConfig(TConfig::kGameVersion, "");
    d.language = "en";

    LoadPreferences();
    LoadSettings();

    str override = ReadServerOverride();
    if (!override.empty())
        d.serverUrl = override;
}

TZvHiscores::~TZvHiscores() = default;

str TZvHiscores::GetServerUrl() const
{
    return mData->serverUrl;
}

bool TZvHiscores::HasServer() const
{
    return !mData->serverUrl.empty();
}

void TZvHiscores::SetProperty(EProperty property, const str& value)
{
    TZvHiscoresData& d = *mData;
    switch (property) {
    case kPropLanguage:
        if (!d.languageLocked)
            d.language = value;
        break;
    case kPropUserName:
        d.playerName = value;
        d.requestUser = str();
        break;
    case kPropGameMode: d.gameMode = value; break;
    case kPropMedalOwner: d.medalOwner = value; break;
    }
}

// --- scores ---

void TZvHiscores::LogScore(int score, bool onePerPlayer, const char* gameData, const char* serverData)
{
    RecordScore(score, onePerPlayer, gameData, serverData);
}

void TZvHiscores::KeepScore(int score, bool onePerPlayer, const char* gameData)
{
    RecordScore(score, onePerPlayer, gameData, "");
}

void TZvHiscores::RecordScore(int score, bool onePerPlayer, const char* gameData, const char* serverData)
{
    TZvHiscoresData& d = *mData;
    TZvHiscoreRow row;
    row.score = score;
    row.name = d.playerName;
    row.gameData = gameData ? gameData : "";
    row.serverData = serverData ? serverData : "";
    row.version = d.version;
    row.anonymous = true;
    row.submitted = false;
    row.guid = NewScoreGuid();

    auto& slot = d.localTables[d.gameMode];
    if (!slot) {
        slot = std::make_unique<TZvHiscoreTable>();
        slot->name = d.gameMode;
        slot->Insert(row);
    } else {
        bool keep = true;
        if (onePerPlayer) {
            int old = slot->FindByName(d.playerName);
            if (old >= 0) {
                if (score <= slot->rows[static_cast<size_t>(old)].score) {
                    keep = false;
                } else {
                    row.guid = slot->rows[static_cast<size_t>(old)].guid;
                    slot->Remove(old);
                }
            }
        }
        if (keep)
            slot->Insert(row);
    }
    SavePreferences();
}

int TZvHiscores::GetScoreCount(bool local)
{
    TZvHiscoresData& d = *mData;
    if (!local)
        return d.globalTable.count;
    auto it = d.localTables.find(d.gameMode);
    return it == d.localTables.end() ? 0 : it->second->count;
}

bool TZvHiscores::GetScore(bool local, int index, int* rank, char* name, unsigned nameLen, bool* anonymous, int* score,
                           char* gameData, unsigned gameDataLen)
{
    TZvHiscoresData& d = *mData;
    const TZvHiscoreTable* table = &d.globalTable;
    if (local) {
        auto it = d.localTables.find(d.gameMode);
        if (it == d.localTables.end())
            return false;
        table = it->second.get();
    }
    if (index < 0 || static_cast<size_t>(index) >= table->rows.size() || table->count <= 0)
        return false;
    const TZvHiscoreRow& row = table->rows[static_cast<size_t>(index)];
    if (rank)
        *rank = row.rank;
    CopyText(name, nameLen, row.name);
    if (anonymous)
        *anonymous = row.anonymous;
    if (score)
        *score = row.score;
    CopyText(gameData, gameDataLen, row.gameData);
    return true;
}

bool TZvHiscores::GetUserBestScore(EUserScore which, int* score, int* rank, char* gameData, unsigned len)
{
    switch (which) {
    case kUserScoreLocal: return GetUserEligibleScore(score, rank, gameData, len);
    case kUserScoreGlobal: return GetUserGlobalScore(score, rank, gameData, len);
    }
    return false;
}

namespace {
void Answer(const TZvHiscoreRow& row, int* score, int* rank, char* gameData, unsigned len)
{
    if (score)
        *score = row.score;
    if (rank)
        *rank = row.rank;
    CopyText(gameData, len, row.gameData);
}
}  // namespace

bool TZvHiscores::GetUserEligibleScore(int* score, int* rank, char* gameData, unsigned len)
{
    TZvHiscoresData& d = *mData;
    auto it = d.localTables.find(d.gameMode);
    if (it == d.localTables.end())
        return false;
    int i = it->second->FindUnsubmitted(d.playerName);
    if (i < 0)
        return false;
    Answer(it->second->rows[static_cast<size_t>(i)], score, rank, gameData, len);
    return true;
}

bool TZvHiscores::GetUserGlobalScore(int* score, int* rank, char* gameData, unsigned len)
{
    TZvHiscoresData& d = *mData;
    const auto& global = d.globalTable.rows;
    if (!global.empty() && d.ownGlobalIndex >= 0 && static_cast<size_t>(d.ownGlobalIndex) < global.size()) {
        Answer(global[static_cast<size_t>(d.ownGlobalIndex)], score, rank, gameData, len);
        return true;
    }
    str account;
    auto user = d.rememberedUsers.find(d.playerName);
    if (user != d.rememberedUsers.end())
        account = user->second.name;
    else
        account = d.requestUser.empty() ? d.playerName : d.requestUser;

    auto it = d.localTables.find(d.gameMode);
    if (it == d.localTables.end() || global.empty())
        return false;
    for (const TZvHiscoreRow& g : global) {
        if (g.name != account)
            continue;
        for (const TZvHiscoreRow& l : it->second->rows) {
            if (l.score < g.score)
                break;
            if (l.guid == g.guid) {
                Answer(g, score, rank, gameData, len);
                return true;
            }
        }
    }
    return false;
}

// --- medals ---

void TZvHiscores::KeepMedal(const char* medalName, EMedalType type, const str& gameData)
{
    TZvHiscoresData& d = *mData;
    str name = medalName ? medalName : "";
    auto& list = d.medals[d.MedalKey()];
    if (!list)
        list = std::make_unique<TZvMedalsTable>();
    bool wholeGame = type == kMedalGame;
    if (list->Holds(name, wholeGame, d.gameMode))
        return;
    TZvMedal medal;
    medal.medalName = name;
    medal.type = wholeGame ? TZvMedalsTable::kTypeGame : TZvMedalsTable::kTypeMode;
    medal.mode = d.gameMode;
    medal.gameData = gameData;
    list->Append(medal);
    SavePreferences();
}

int TZvHiscores::GetNumMedalsEarned()
{
    auto it = mData->medals.find(mData->MedalKey());
    return it == mData->medals.end() ? 0 : it->second->Count();
}

int TZvHiscores::GetNumMedalsToSubmit()
{
    auto it = mData->medals.find(mData->MedalKey());
    return it == mData->medals.end() ? 0 : it->second->CountUnsubmitted();
}

bool TZvHiscores::GetEarnedMedalInfo(int index, str* medalName, EMedalType* type, str* mode, str* gameData)
{
    auto it = mData->medals.find(mData->MedalKey());
    if (it == mData->medals.end())
        return false;
    const TZvMedal* m = it->second->At(index);
    if (!m)
        return false;
    if (medalName)
        *medalName = m->medalName;
    if (type)
        *type = m->type == TZvMedalsTable::kTypeGame ? kMedalGame : kMedalGameMode;
    if (mode)
        *mode = m->mode;
    if (gameData)
        *gameData = m->gameData;
    return true;
}

void TZvHiscores::MoveMedals(const str& from, const str& to)
{
    TZvHiscoresData& d = *mData;
    auto source = d.medals.find(from);
    if (source == d.medals.end() || from == to)
        return;
    std::unique_ptr<TZvMedalsTable> moving = std::move(source->second);
    d.medals.erase(source);
    auto& target = d.medals[to];
    if (!target) {
        target = std::move(moving);
    } else {
        for (const TZvMedal& medal : moving->Medals())
            if (!target->Holds(medal.medalName, medal.type == TZvMedalsTable::kTypeGame, medal.mode))
                target->Append(medal);
    }
    SavePreferences();
}

void TZvHiscores::ForgetPlayer(const str& name, const str& medalKey)
{
    TZvHiscoresData& d = *mData;
    d.medals.erase(medalKey.empty() ? name : medalKey);
    // Kept under the name: a later player of that name would log in as this one.
    d.rememberedUsers.erase(name);
    SavePreferences();
}

bool TZvHiscores::GetRememberedUserInfo(str* name, str* pass)
{
    auto it = mData->rememberedUsers.find(mData->playerName);
    if (it == mData->rememberedUsers.end())
        return false;
    if (name)
        *name = it->second.name;
    if (pass)
        *pass = it->second.pass;
    return true;
}
