#pragma once
// The engine's score keeper: local score tables per game mode, medals per player, remembered
// online log-ins, the last table fetched from the score server, and the requests to that
// server. Everything local lives in the encrypted file "user:hiscore.dat". Main thread only.

#include <memory>

#include "core/text/str.h"

struct TZvHiscoresData;

class TZvHiscores
{
public:
    enum EProperty
    {
        kPropLanguage = 0,  // ignored while "hiscore.xml" names a language
        kPropUserName = 1,  // the current player; also forgets the last online user name
        kPropGameMode = 2,
        kPropMedalOwner = 3,  // the key the player's medals are kept under; empty: the player's name
    };
    enum EUserScore
    {
        kUserScoreLocal = 0,   // the player's best local score not yet submitted
        kUserScoreGlobal = 1,  // the player's score in the last fetched server table
    };
    enum EMedalType
    {
        kMedalGame = 0,      // stored as "game"
        kMedalGameMode = 1,  // stored as "type"
    };
    enum ESubmitMode : int
    {
        kSubmitScore = 1,
        kSubmitMedals = 2,
        kSubmitAll = -1,
    };
    // Results of GetServerRequestStatus.
    static constexpr int kRequestDone = 0;
    static constexpr int kRequestRunning = 1;
    static constexpr int kRequestFailed = 2;

    // Loads "user:hiscore.dat" and "hiscore.xml"; with saveEnabled false nothing is ever written.
    explicit TZvHiscores(bool saveEnabled);
    ~TZvHiscores();
    TZvHiscores(const TZvHiscores&) = delete;
    TZvHiscores& operator=(const TZvHiscores&) = delete;

    void SetProperty(EProperty property, const str& value);

    void LoadSettings();
    void LoadPreferences();
    void SavePreferences();

    // --- scores ---
    void LogScore(int score, bool onePerPlayer, const char* gameData, const char* serverData);
    void KeepScore(int score, bool onePerPlayer, const char* gameData);
    int GetScoreCount(bool local);
    bool GetScore(bool local, int index, int* rank, char* name, unsigned nameLen, bool* anonymous, int* score,
                  char* gameData, unsigned gameDataLen);
    bool GetUserBestScore(EUserScore which, int* score, int* rank, char* gameData, unsigned len);
    bool GetUserEligibleScore(int* score, int* rank, char* gameData, unsigned len);
    bool GetUserGlobalScore(int* score, int* rank, char* gameData, unsigned len);

    // --- medals ---
    void KeepMedal(const char* medalName, EMedalType type, const str& gameData);
    int GetNumMedalsEarned();
    int GetNumMedalsToSubmit();
    bool GetEarnedMedalInfo(int index, str* medalName, EMedalType* type, str* mode, str* gameData);
    // The medals kept under `from` join those kept under `to` (each held once) and `from` keeps none.
    void MoveMedals(const str& from, const str& to);
    // A player who is gone: the medals kept under `medalKey` (under their name when it is
    // empty) and their remembered log-in go; their rows of the local tables stay, as the record
    // of the scores made on this machine.
    void ForgetPlayer(const str& name, const str& medalKey);

    // --- remembered log-ins ---
    bool GetRememberedUserInfo(str* name, str* pass);

    // --- score server ---
    void RequestCategoryInformation();
    void RequestScores(int category);
    bool SubmitData(const str& userName, const str& password, bool remember, ESubmitMode mode);
    bool SubmitDataToServer(const char* userName, const char* password, bool remember, bool withMedals);
    bool SubmitMedalsToServer(const char* medalXml, const char* userName, const char* password, bool remember);
    // 0 finished and accepted, 1 still running, 2 failed (message filled). Each call moves the
    // transfer on by one non-blocking step.
    int GetServerRequestStatus(char* message, unsigned len, bool* scoreListed);
    int GetCategoryCount();
    bool GetCategoryName(int index, char* buffer, unsigned len);

    bool ParseReturnForErrors(const char* reply);
    bool ParseCategoryData(const char* reply);
    bool ParseScoreData(const char* reply);
    void FillInErrorMessage(char* buffer, int len, const str& defaultText, const str& message);

    // The score-server address in use.
    str GetServerUrl() const;
    // Whether there is a score server to ask (an address is set up).
    bool HasServer() const;

private:
    void RecordScore(int score, bool onePerPlayer, const char* gameData, const char* serverData);
    void StartRequest();
    // Sends the request that StartRequest began, when a server is configured.
    void SendRequest();
    void Remember(const char* userName, const char* password, bool remember);
    bool SendMedals(const str& medalXml, const char* userName, const char* password, bool remember);

    std::unique_ptr<TZvHiscoresData> mData;
};
