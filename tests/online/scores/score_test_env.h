#pragma once
// A private world for the score tests: a temporary folder as working directory, user folder
// and resources folder, a known configuration, and readers for the encrypted score file.

#include <string>

#include "core/text/str.h"

class ScoreTestEnv
{
public:
    static constexpr const char* kKey = "TestKey12345";

    ScoreTestEnv();
    ~ScoreTestEnv();

    const std::string& Dir() const { return mDir; }
    std::string ScoreFilePath() const { return mDir + "/user/hiscore.dat"; }
    // Writes "hiscoreserver.txt" into the working directory.
    void WriteServerFile(const std::string& line) const;
    // Writes "hiscore.xml" into the resources folder.
    void WriteSettings(const std::string& xml) const;

    std::string ReadScoreFileBytes() const;
    void WriteScoreFileBytes(const std::string& bytes) const;
    // Decrypts the score file and checks its trailer; empty when either fails.
    std::string DecryptScoreFile() const;
    // Writes a score file holding xml (encrypted, with a correct checksum).
    void WriteScoreFileXml(const std::string& xml) const;
    // Decrypts a Base64 payload of a submission.
    static std::string DecryptPayload(const std::string& base64);

private:
    std::string mDir;
    std::string mOldCwd;
};

// Guids "guid0001", "guid0002", ... in order of recording.
str CountingGuid();
void ResetCountingGuid();
