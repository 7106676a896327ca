#pragma once
// The private state of TZvHiscores.

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/crypto/encrypt.h"
#include "core/text/str.h"
#include "online/http/simple_http.h"
#include "online/scores/hiscore_table.h"
#include "online/scores/medals_table.h"

struct TZvRememberedUser
{
    str player;  // local player name, also its key
    str name;    // online account name
    str pass;    // online password as typed
};

struct TZvHiscoresData
{
    TZvHiscoresData(const str& key, bool saveEnabled) : cipher(key), saveEnabled(saveEnabled) {}

    enum ERequestKind
    {
        kSubmission = 0,
        kScoreTable = 1,
        kCategories = 2,
    };

    str gameHandle;
    str language = "en";
    str version;
    str playerName;
    str medalOwner;
    str gameMode;
    int requestKind = kSubmission;
    // The last request went nowhere: no server is configured.
    bool unsent = false;
    TSimpleHttp client;
    std::vector<std::pair<str, str>> categories;  // (id, display name)
    str serverUrl;
    str serverMessage;
    str reply;
    str requestUser;
    TZvHiscoreTable globalTable;
    int ownGlobalIndex = -1;
    std::map<str, std::unique_ptr<TZvHiscoreTable>> localTables;
    std::map<str, std::unique_ptr<TZvMedalsTable>> medals;
    std::map<str, TZvRememberedUser> rememberedUsers;

    // What the last submission sent, so that only its reply marks rows and medals as accepted:
    // the game mode of the table, the guids of the player's rows in it when it was sent, and
    // the medal list that went along (none when none did).
    bool submitHasScore = false;
    str submitMode;
    std::set<str> submitGuids;
    str submitMedalsPlayer;
    int submitMedalsCount = 0;  // 0: no medals went along

    bool languageLocked = false;
    str defaultError;
    TEncrypt cipher;
    bool saveEnabled;

    // Whose medals are the present player's.
    const str& MedalKey() const { return medalOwner.empty() ? playerName : medalOwner; }
};
