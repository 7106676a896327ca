#pragma once
// A private user folder with the game's key configured, for saving into the preferences.

#include "core/config/config.h"
#include "core/prefs/prefs.h"
#include "core/xml/user_folder_fixture.h"

#include <string>
#include <vector>

class WorldPrefsTest : public UserFolderTest
{
public:
    void SetUp() override
    {
        UserFolderTest::SetUp();
        TConfig::Clear();
        TConfig::SetConfig(TConfig::kEncryptionKey, "Rw4TnQ8vLpXe");
    }
    void TearDown() override
    {
        TConfig::Clear();
        UserFolderTest::TearDown();
    }

    static std::string S(const str& s) { return s.c_str(); }
    std::vector<char> Prefs() const { return ReadRaw("prefs.dat"); }
    void WritePrefs(const std::vector<char>& bytes) const { WriteRaw("prefs.dat", bytes.data(), bytes.size()); }
};
