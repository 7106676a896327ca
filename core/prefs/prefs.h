#pragma once
// The player's settings and saved progress: text values under text keys, in one slot for
// the whole installation (user -1) and one per player profile (users 0, 1, ...). Several
// installations can live side by side in one file, keyed by an install key.
//
// The file "user:prefs.dat" is a chain of chunks: four-letter tag, 32-bit little-endian
// payload length (1 to 4 MiB), payload.
//   "IKEY"  enciphered install key and a zero byte; following chunks belong to it
//   "USER"  plain 16-bit slot index (0 installation, n + 1 user n)
//   "KVPR"  enciphered: 16-bit K = key length + 1, key and zero byte, value and zero byte
// An older XML form is read and rewritten as chunks.
//
// A file that does not decode is never lost: a copy of it is kept beside it (".bad"), and
// only then may a save replace it. Each save also keeps the contents before it (".prev"), so
// a damaged or missing file costs at most its last save: the store starts from the previous
// contents when they read whole, else from what was read before the damage. Saves go through
// a temporary file and a rename; one that cannot keep the previous contents still saves.

#include "core/crypto/encrypt.h"
#include "core/text/str.h"

#include <cstdint>
#include <map>
#include <vector>

class TPrefs : public TEncrypt
{
public:
    using TValue = std::vector<int8_t>;  // the characters and one zero byte
    using TSlot = std::map<str, TValue>;
    using TSlots = std::vector<TSlot>;
    using TStore = std::map<str, TSlots>;

    static constexpr const char* kFileName = "user:prefs.dat";
    static constexpr uint32_t kMaxChunkLength = 0x400000;
    static constexpr unsigned kMaxSlotIndex = 1024;

    // Reads the key ("encryptionkey") and install key ("installkey", else "unknown") from
    // the configuration and loads the file. With saving disabled nothing is ever written.
    explicit TPrefs(bool savingEnabled, const str& fileName = kFileName);
    ~TPrefs();

    str GetStr(const str& key, const str& def, int user) const;
    int GetInt(const str& key, int def, int user) const;
    // Grows the slots to reach the user; saves when `save` is set. Users below -1, above
    // 1023, and keys or values too long for a chunk are refused with a log line.
    void SetStr(const str& key, const str& value, int user, bool save);
    void SetInt(const str& key, int value, int user, bool save);
    // Removes user n; later users move down by one.
    void DeleteUser(unsigned user);
    unsigned GetNumUsers() const;

    // True when the file was written.
    bool SavePrefs();
    void LoadPrefs();
    // True when the older form decoded (check number matched).
    bool LoadXMLPrefs();

    const TStore& GetStore() const { return mStore; }
    str GetInstallKey() const { return mInstallKey; }
    // The file did not decode completely at load (or was missing and its previous contents did not).
    bool IsDamaged() const { return mDamaged; }
    // The file was damaged or missing, and the store holds the previous contents, read whole.
    bool WasRestored() const { return mRestored; }
    // Name of the kept copy of a damaged file; empty when none was needed or made.
    str GetDamagedCopyName() const { return mDamagedCopy; }

    static TValue ToVec(const str& text);

private:
    struct TInstallText
    {
        bool opened = false;
        str text;
    };
    static TInstallText ReadInstallText();

    enum class ERead
    {
        kRead,
        kMissing,
        kNotAFile,  // a folder or a pipe has its name
        kDamaged
    };
    // The whole file; `why` says what is wrong with a damaged one.
    static ERead ReadWhole(const str& name, std::vector<char>* bytes, const char** why);
    // Fills the store from a file in the chunk form; false (and `why`) at damage, with what
    // came before it stored.
    bool ParseChunks(const std::vector<char>& bytes, bool installEmpty, const char** why);
    // After damage: the previous contents when they read whole, else the store as it is.
    void RestorePrevious(bool installEmpty);
    // The file is missing: the previous contents when there is a file of them (true), so that
    // a save does not replace the only copy left with an empty store.
    bool StartFromPreviousOfMissing(bool installEmpty);
    void AdoptPrevious(std::vector<char> bytes);
    str PreviousName() const { return mFileName + ".prev"; }

    void SelectInstall(const str& key);
    void MarkDamaged(const char* why);
    void AppendEncrypted(std::vector<char>& out, const std::vector<char>& plain);
    void AppendChunk(std::vector<char>& out, const char* tag, const std::vector<char>& payload, bool encipher);
    void GetChunk(const TSlot& slot, std::vector<char>& out);

    TStore mStore;
    TSlots* mCurrent = nullptr;
    str mKeyText;
    str mFileName;
    str mInstallKey;
    bool mSavingEnabled;
    bool mDamaged = false;
    bool mRestored = false;
    str mDamagedCopy;
    str mDamagedFile;  // the damaged file whose copy must exist before a save
    // The contents of the file known to read whole (loaded or saved), which the next save
    // keeps as the previous ones; and those the previous file holds now.
    std::vector<char> mLastGood;
    std::vector<char> mPreviousOnDisk;
};
