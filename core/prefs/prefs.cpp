#include "core/prefs/prefs.h"

#include "core/config/config.h"
#include "core/debug/debug_log.h"

#include <cstring>

TPrefs::TPrefs(bool savingEnabled, const str& fileName)
    : TEncrypt(TConfig::GetConfig(TConfig::kEncryptionKey, "")),
      mKeyText(TConfig::GetConfig(TConfig::kEncryptionKey, "")),
      mFileName(fileName),
      mSavingEnabled(savingEnabled)
{
    if (mKeyText.empty())
        WriteDbg("ERROR: No encryption key set before TPrefs construction!");
    mInstallKey = TConfig::GetConfig(TConfig::kInstallKey, "");
    if (mInstallKey.empty())
        mInstallKey = "unknown";
    LoadPrefs();
}

TPrefs::~TPrefs() = default;

TPrefs::TValue TPrefs::ToVec(const str& text)
{
    const char* p = text.c_str();
    return TValue(p, p + strlen(p) + 1);
}

void TPrefs::SelectInstall(const str& key)
{
    mCurrent = &mStore[key];
}

str TPrefs::GetStr(const str& key, const str& def, int user) const
{
    if (!mCurrent || user < -1 || size_t(user + 1) >= mCurrent->size())
        return def;
    const TSlot& slot = (*mCurrent)[size_t(user + 1)];
    auto it = slot.find(key);
    if (it == slot.end() || it->second.empty())
        return def;
    const TValue& v = it->second;
    // Values always end in a zero byte; a value that does not is read up to its end.
    return str(reinterpret_cast<const char*>(v.data()), strnlen(reinterpret_cast<const char*>(v.data()), v.size()));
}

int TPrefs::GetInt(const str& key, int def, int user) const
{
    return GetStr(key, str::getFormatted("%d", def), user).to_int();
}

void TPrefs::SetStr(const str& key, const str& value, int user, bool save)
{
    if (user < -1 || user >= int(kMaxSlotIndex)) {
        WriteDbg("TPrefs: refusing to store '%s' for user %d", key.c_str(), user);
        return;
    }
    // A chunk must stay within what the reader accepts: 16-bit key length, 4 MiB payload.
    const size_t plain = 2 + key.length() + 1 + value.length() + 1;
    if (key.length() + 1 > 0xFFFF || plain / 8 * 8 + 8 > kMaxChunkLength) {
        WriteDbg("TPrefs: refusing to store '%s': too long", key.c_str());
        return;
    }
    if (!mCurrent)
        SelectInstall(mInstallKey);
    if (mCurrent->size() <= size_t(user + 1))
        mCurrent->resize(size_t(user + 2));
    (*mCurrent)[size_t(user + 1)][key] = ToVec(value);
    if (save)
        SavePrefs();
}

void TPrefs::SetInt(const str& key, int value, int user, bool save)
{
    SetStr(key, str::getFormatted("%d", value), user, save);
}

void TPrefs::DeleteUser(unsigned user)
{
    if (!mCurrent || mCurrent->empty())
        return;
    const size_t n = mCurrent->size();
    if (size_t(user) < n - 1)
        mCurrent->erase(mCurrent->begin() + long(user) + 1);
}

unsigned TPrefs::GetNumUsers() const
{
    if (!mCurrent || mCurrent->empty())
        return 0;
    return unsigned(mCurrent->size() - 1);
}
