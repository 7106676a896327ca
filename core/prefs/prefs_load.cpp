#include "core/prefs/prefs.h"

#include "core/debug/debug_log.h"
#include "core/files/file.h"
#include "core/files/replace_file.h"
#include "core/xml/xml_node.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr long kMaxFileSize = 64l << 20;

uint16_t ReadLE16(const char* p)
{
    return uint16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8));
}

uint32_t ReadLE32(const char* p)
{
    return uint32_t(uint8_t(p[0])) | (uint32_t(uint8_t(p[1])) << 8) | (uint32_t(uint8_t(p[2])) << 16) |
           (uint32_t(uint8_t(p[3])) << 24);
}

// Text up to the first zero byte; false when there is none.
bool ZeroTerminated(const std::vector<char>& bytes, size_t from, size_t to, str* text)
{
    const void* zero = memchr(bytes.data() + from, 0, to - from);
    if (!zero)
        return false;
    *text = str(bytes.data() + from, size_t(static_cast<const char*>(zero) - (bytes.data() + from)));
    return true;
}

str Lower(str s)
{
    s.downcase();
    return s;
}

int32_t CheckNumber(const char* text)
{
    uint32_t check = 0;
    for (size_t i = 0; text[i]; ++i)
        check ^= uint32_t(int32_t(int8_t(text[i]))) << ((i % 4) * 8);
    return int32_t(check);
}

}  // namespace

TPrefs::TInstallText TPrefs::ReadInstallText()
{
    TInstallText result;
    TFile file;
    if (!file.Open("install.txt", kFileReadText))
        return result;
    result.opened = true;
    file.Seek(0, kSeekEnd);
    const long size = file.Tell();
    if (size > 65536)
        WriteDbg("TPrefs: ignoring install.txt of %ld bytes", size);
    if (size < 1 || size > 65536)
        return result;
    file.Seek(0, kSeekStart);
    std::vector<char> buffer(size_t(size) + 1, 0);
    file.Read(buffer.data(), (unsigned long)size);
    result.text = str(buffer.data());
    return result;
}

void TPrefs::MarkDamaged(const char* why)
{
    WriteDbg("TPrefs: '%s' is damaged (%s); keeping what was read before it", mFileName.c_str(), why);
    // Only a save could replace the file, so only a store that may save needs the copy.
    mDamagedFile = mFileName;
    if (!mDamaged && mSavingEnabled)
        KeepDamagedCopy(mFileName, &mDamagedCopy);
    mDamaged = true;
}

TPrefs::ERead TPrefs::ReadWhole(const str& name, std::vector<char>* bytes, const char** why)
{
    TFile file;
    if (!file.Open(name, kFileRead)) {
        // There, readable, and still not opened: a folder or a pipe has the file's name.
        if (!TFile::Exists(name))
            return ERead::kMissing;
        *why = "not a regular file";
        return ERead::kNotAFile;
    }
    const long size = file.Size();
    if (size < 0 || size > kMaxFileSize) {
        *why = "implausible size";
        return ERead::kDamaged;
    }
    bytes->assign(static_cast<size_t>(size), 0);
    file.Seek(0, kSeekStart);
    const unsigned long got = size ? file.Read(bytes->data(), (unsigned long)size) : 0;
    if (got != (unsigned long)size) {
        *why = "short read";
        return ERead::kDamaged;
    }
    return ERead::kRead;
}

void TPrefs::LoadPrefs()
{
    if (mSavingEnabled) {
        RemoveUnfinishedSaves(TFile::TranslateResource(mFileName, false));
        RemoveUnfinishedSaves(TFile::TranslateResource(PreviousName(), false));
    }
    const TInstallText install = ReadInstallText();
    const bool installEmpty = install.opened && install.text.empty();
    if (!install.text.empty())
        mInstallKey = install.text;
    mInstallKey.downcase();
    SelectInstall(mInstallKey);

    std::vector<char> bytes;
    const char* why = nullptr;
    const ERead read = ReadWhole(mFileName, &bytes, &why);
    if (read == ERead::kMissing) {
        if (StartFromPreviousOfMissing(installEmpty))
            return;
        const TInstallText again = ReadInstallText();
        if (!again.text.empty())
            mInstallKey = again.text;
        SelectInstall(mInstallKey);
        return;
    }
    if (read == ERead::kDamaged || read == ERead::kNotAFile) {
        MarkDamaged(why);
        RestorePrevious(installEmpty);
        return;
    }

    if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '>') {
        // The older form is rewritten as chunks, but only once it has been understood.
        if (LoadXMLPrefs())
            SavePrefs();
        else
            MarkDamaged("older form does not decode");
        return;
    }
    if (!ParseChunks(bytes, installEmpty, &why)) {
        MarkDamaged(why);
        RestorePrevious(installEmpty);
        return;
    }
    mLastGood = std::move(bytes);
}

void TPrefs::RestorePrevious(bool installEmpty)
{
    std::vector<char> bytes;
    const char* why = nullptr;
    const ERead read = ReadWhole(PreviousName(), &bytes, &why);
    if (read == ERead::kMissing) {
        WriteDbg("TPrefs: no previous contents of '%s' to start from", mFileName.c_str());
        return;
    }
    TStore damaged = std::move(mStore);
    const str damagedInstall = mInstallKey;
    mStore.clear();
    if (read == ERead::kRead && ParseChunks(bytes, installEmpty, &why)) {
        AdoptPrevious(std::move(bytes));
        return;
    }
    WriteDbg("TPrefs: '%s' is damaged too (%s); keeping what was read of '%s'", PreviousName().c_str(),
             why ? why : "not in the chunk form", mFileName.c_str());
    mStore = std::move(damaged);
    mInstallKey = damagedInstall;
    SelectInstall(mInstallKey);
}

void TPrefs::AdoptPrevious(std::vector<char> bytes)
{
    WriteDbg("TPrefs: started from '%s', the contents before the last save", PreviousName().c_str());
    mRestored = true;
    mPreviousOnDisk = bytes;
    mLastGood = std::move(bytes);
    SelectInstall(mInstallKey);
}

bool TPrefs::StartFromPreviousOfMissing(bool installEmpty)
{
    std::vector<char> bytes;
    const char* why = nullptr;
    const ERead read = ReadWhole(PreviousName(), &bytes, &why);
    // A folder of that name holds no contents; a first start then it is.
    if (read == ERead::kMissing || read == ERead::kNotAFile)
        return false;
    WriteDbg("TPrefs: '%s' is missing but '%s' is there", mFileName.c_str(), PreviousName().c_str());
    if (read == ERead::kRead && ParseChunks(bytes, installEmpty, &why)) {
        AdoptPrevious(std::move(bytes));
        return true;
    }
    // The only copy left, damaged: what was read of it, and it is kept before a save replaces it.
    WriteDbg("TPrefs: '%s' is damaged too (%s); keeping what was read of it", PreviousName().c_str(),
             why ? why : "not in the chunk form");
    mDamagedFile = PreviousName();
    if (mSavingEnabled)
        KeepDamagedCopy(mDamagedFile, &mDamagedCopy);
    mDamaged = true;
    SelectInstall(mInstallKey);
    return true;
}

bool TPrefs::ParseChunks(const std::vector<char>& bytes, bool installEmpty, const char** why)
{
    // The first chunk names the installation whose values follow.
    size_t pos = 0;
    std::vector<char> payload;
    char tag[4];
    auto readChunk = [&]() -> int {
        if (pos == bytes.size())
            return 0;
        if (bytes.size() - pos < 8) {
            *why = "chunk header cut off";
            return -1;
        }
        memcpy(tag, bytes.data() + pos, 4);
        const uint32_t length = ReadLE32(bytes.data() + pos + 4);
        if (length == 0 || length > kMaxChunkLength) {
            *why = "bad chunk length";
            return -1;
        }
        if (length > bytes.size() - pos - 8) {
            *why = "chunk runs past the end of the file";
            return -1;
        }
        payload.assign(bytes.begin() + long(pos) + 8, bytes.begin() + long(pos) + 8 + long(length));
        pos += 8 + length;
        if (tag[0] == 'U')
            return 1;
        if (DecryptBinary(payload.data(), length, payload.data(), length, false) != 0 || GetLastSize() == 0) {
            *why = "chunk does not decipher";
            return -1;
        }
        payload.resize(GetLastSize());
        return 1;
    };
    auto fail = [&](const char* reason) {
        *why = reason;
        return false;
    };

    int rc = readChunk();
    if (rc < 0)
        return false;
    if (rc == 0 || tag[0] != 'I')
        return fail(rc == 0 ? "empty file" : "does not start with an install key");
    str current;
    if (!ZeroTerminated(payload, 0, payload.size(), &current))
        return fail("install key without its terminating zero");
    current = Lower(current);
    if (installEmpty)
        mInstallKey = current;
    SelectInstall(mInstallKey);

    size_t slot = 0;
    for (;;) {
        rc = readChunk();
        if (rc == 0)
            return true;
        if (rc < 0)
            return false;
        if (tag[0] == 'K') {
            if (payload.size() < 2)
                return fail("key-value chunk too short");
            const size_t k = ReadLE16(payload.data());
            str key;
            if (k + 2 > payload.size() || k == 0 || payload[1 + k] != 0 || !ZeroTerminated(payload, 2, 2 + k, &key))
                return fail("key length beyond the chunk");
            if (2 + k == payload.size() || payload.back() != 0)
                return fail("value without its terminating zero");
            TSlots& slots = mStore[current];
            // A value before any slot chunk of its installation lands in the slot in force.
            if (slots.size() <= slot)
                slots.resize(slot + 1);
            slots[slot][key] = TValue(payload.begin() + long(2 + k), payload.end());
        } else if (tag[0] == 'U') {
            if (payload.size() != 2)
                return fail("slot chunk of the wrong size");
            slot = ReadLE16(payload.data());
            if (slot > kMaxSlotIndex)
                return fail("slot index out of range");
            // Slots are written 0, 1, 2, ... after their installation's key; an index out of
            // that order is a damaged one (a flipped bit there would move a player's values).
            TSlots& slots = mStore[current];
            if (slot != slots.size())
                return fail("slot chunk out of order");
            slots.resize(slot + 1);
        } else if (tag[0] == 'I') {
            if (!ZeroTerminated(payload, 0, payload.size(), &current))
                return fail("install key without its terminating zero");
            current = Lower(current);
        } else {
            return fail("unknown chunk");
        }
    }
}

bool TPrefs::LoadXMLPrefs()
{
    TXmlNode document;
    bool decoded = false;
    if (mKeyText.empty())
        decoded = document.ParseFile(mFileName.c_str());
    else {
        TXmlNode wrapper;
        wrapper.ParseFile(mFileName.c_str());
        TXmlNode* data1 = wrapper.GetChild("data1");
        TXmlNode* data2 = wrapper.GetChild("data2");
        if (data1 && data2) {
            const str text = DecryptStr(data1->GetAttribute("data"));
            const int32_t check = CheckNumber(text.c_str());
            if (!text.empty() && atoi(data2->GetAttribute("data").c_str()) == check)
                decoded = document.ParseString(text.c_str());
            else
                WriteDbg("TPrefs: check number of '%s' does not match", mFileName.c_str());
        } else
            WriteDbg("TPrefs: '%s' lacks its data elements", mFileName.c_str());
    }

    const TInstallText install = ReadInstallText();
    if (!install.text.empty())
        mInstallKey = Lower(install.text);
    else if (install.opened) {
        if (TXmlNode* first = document.GetChild("install"))
            mInstallKey = Lower(first->GetAttribute("zvinstallkey"));
    }

    str name;
    TXmlNode* element = nullptr;
    document.ResetChildren();
    while (document.GetNextChild(&name, &element)) {
        if (name != str("install"))
            continue;
        TSlots& slots = mStore[Lower(element->GetAttribute("zvinstallkey"))];
        TXmlNode* slotElement = nullptr;
        size_t k = 0;
        element->ResetChildren();
        while (element->GetNextChild(nullptr, &slotElement) && k < kMaxSlotIndex + 1) {
            ++k;
            slots.resize(k);
            str key, value;
            slotElement->ResetAttributes();
            while (slotElement->GetNextAttribute(&key, &value))
                slots[k - 1][key] = ToVec(value);
        }
    }
    SelectInstall(mInstallKey);
    return decoded;
}
