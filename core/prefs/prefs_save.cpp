#include "core/prefs/prefs.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/files/replace_file.h"

#include <cstring>

namespace {

void AppendLE32(std::vector<char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char(v >> (8 * i)));
}

std::vector<char> TextBytes(const str& text)
{
    return std::vector<char>(text.c_str(), text.c_str() + text.length() + 1);
}

}  // namespace

void TPrefs::AppendEncrypted(std::vector<char>& out, const std::vector<char>& plain)
{
    const size_t at = out.size();
    const unsigned size = unsigned(plain.size() / 8 * 8 + 8);
    out.resize(at + size);
    EncryptBinary(plain.data(), unsigned(plain.size()), out.data() + at, size, false);
}

void TPrefs::AppendChunk(std::vector<char>& out, const char* tag, const std::vector<char>& payload, bool encipher)
{
    out.insert(out.end(), tag, tag + 4);
    if (!encipher) {
        AppendLE32(out, uint32_t(payload.size()));
        out.insert(out.end(), payload.begin(), payload.end());
        return;
    }
    AppendLE32(out, uint32_t(payload.size() / 8 * 8 + 8));
    AppendEncrypted(out, payload);
}

void TPrefs::GetChunk(const TSlot& slot, std::vector<char>& out)
{
    for (const auto& [key, value] : slot) {
        const uint16_t k = uint16_t(key.length() + 1);
        std::vector<char> plain = {char(k & 0xFF), char(k >> 8)};
        plain.insert(plain.end(), key.c_str(), key.c_str() + k);
        plain.insert(plain.end(), value.begin(), value.end());
        AppendChunk(out, "KVPR", plain, true);
    }
}

bool TPrefs::SavePrefs()
{
    if (!mSavingEnabled)
        return false;
    // A damaged file is only replaced once a copy of it is safe.
    if (mDamaged && mDamagedCopy.empty() && !KeepDamagedCopy(mDamagedFile, &mDamagedCopy)) {
        WriteDbg("TPrefs: not saving over damaged '%s' without a copy of it", mDamagedFile.c_str());
        return false;
    }

    std::vector<char> out;
    AppendChunk(out, "IKEY", TextBytes(mInstallKey), true);
    for (const auto& [install, slots] : mStore) {
        AppendChunk(out, "IKEY", TextBytes(install), true);
        for (size_t s = 0; s < slots.size(); ++s) {
            AppendChunk(out, "USER", {char(s & 0xFF), char(s >> 8)}, false);
            GetChunk(slots[s], out);
        }
    }
    const str path = TFile::TranslateResource(mFileName, false);
    const str previous = TFile::TranslateResource(PreviousName(), false);
    if (path.empty() || previous.empty()) {
        ReportNoFolder(mFileName);
        return false;
    }
    // The previous contents are a spare: what blocks them must not keep the player's save out.
    std::vector<TReplacement> files;
    const bool keepPrevious = !mLastGood.empty() && mLastGood != mPreviousOnDisk;
    if (keepPrevious)
        files.push_back({previous, mLastGood.data(), mLastGood.size(), true});
    files.push_back({path, out.data(), out.size()});
    std::vector<bool> replaced;
    if (!ReplaceDiskFiles(files, &replaced))
        return false;
    if (keepPrevious && replaced.front())
        mPreviousOnDisk = std::move(mLastGood);
    mLastGood = std::move(out);
    return true;
}
