#include "core/prefs/prefs.h"
#include "prefs_test_support.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using PrefsDamageTest = PrefsTest;

std::string S(const str& s)
{
    return s.c_str();
}

ChunkWriter GoodStart()
{
    ChunkWriter w;
    w.Install("unknown").Install("unknown").User(0).Pair("kept", "yes");
    return w;
}

// Loads a damaged file and checks the rules: values before the damage are kept, the file
// stays as it was, a copy is made, and a later save replaces the file only after that.
void ExpectDamageHandled(PrefsTest* t, const std::vector<char>& file, const char* what, bool keepsFirstValue)
{
    SCOPED_TRACE(what);
    t->WritePrefs(file);
    {
        TPrefs prefs(true);
        EXPECT_TRUE(prefs.IsDamaged());
        EXPECT_EQ(S(prefs.GetStr("kept", "gone", -1)), keepsFirstValue ? "yes" : "gone");
        EXPECT_EQ(t->Prefs(), file);  // loading never writes over it
        EXPECT_EQ(S(prefs.GetDamagedCopyName()), "user:prefs.dat.bad");
        EXPECT_EQ(t->ReadRaw("prefs.dat.bad"), file);

        prefs.SetStr("new", "value", 0, true);
    }
    EXPECT_EQ(t->ReadRaw("prefs.dat.bad"), file);
    TPrefs reread(false);
    EXPECT_FALSE(reread.IsDamaged());
    EXPECT_EQ(S(reread.GetStr("new", "", 0)), "value");
    EXPECT_EQ(S(reread.GetStr("kept", "gone", -1)), keepsFirstValue ? "yes" : "gone");
    std::filesystem::remove(t->Path("prefs.dat.bad"));
}

TEST_F(PrefsDamageTest, TruncatedFilesAtEveryLength)
{
    std::vector<char> full = GoodStart().User(1).Pair("second", "value").Bytes();
    const size_t firstValueEnd = GoodStart().Bytes().size();
    std::set<size_t> boundaries;
    for (size_t at = 0; at + 8 <= full.size();) {
        at += 8 + (uint8_t(full[at + 4]) | uint8_t(full[at + 5]) << 8);
        boundaries.insert(at);
    }
    ASSERT_TRUE(boundaries.count(firstValueEnd));
    for (size_t cut = 1; cut < full.size(); ++cut) {
        if (boundaries.count(cut))
            continue;  // a complete, shorter file
        std::vector<char> file(full.begin(), full.begin() + long(cut));
        ExpectDamageHandled(this, file, ("cut at " + std::to_string(cut)).c_str(), cut > firstValueEnd);
    }
}

TEST_F(PrefsDamageTest, BadChunks)
{
    std::vector<char> badLength = GoodStart().Bytes();
    const std::vector<char> tail = {'K', 'V', 'P', 'R', char(0xFF), char(0xFF), char(0xFF), char(0x7F), 1, 2, 3};
    badLength.insert(badLength.end(), tail.begin(), tail.end());
    ExpectDamageHandled(this, badLength, "length past the end", true);

    ExpectDamageHandled(this, GoodStart().Raw("KVPR", {}).Bytes(), "zero length", true);
    ExpectDamageHandled(this, GoodStart().Raw("KVPR", std::vector<char>(16, 7)).Bytes(), "does not decipher", true);
    ExpectDamageHandled(this, GoodStart().Enciphered("ABCD", {1, 2, 3}).Bytes(), "unknown tag", true);
    ExpectDamageHandled(this, GoodStart().User(1025).Bytes(), "slot index 1025", true);
    ExpectDamageHandled(this, GoodStart().User(2).Bytes(), "slot skipped", true);
    ExpectDamageHandled(this, GoodStart().User(0).Bytes(), "slot repeated", true);
    ExpectDamageHandled(this, GoodStart().Raw("USER", {1}).Bytes(), "short slot chunk", true);
    ExpectDamageHandled(this, GoodStart().Enciphered("KVPR", {1}).Bytes(), "short pair chunk", true);
    ExpectDamageHandled(this, GoodStart().Enciphered("KVPR", {40, 0, 'a', 0}).Bytes(), "key past payload", true);
    ExpectDamageHandled(this, GoodStart().Enciphered("KVPR", {2, 0, 'a', 0, 'v', 'a', 'l'}).Bytes(),
                        "value without zero", true);
    ExpectDamageHandled(this, GoodStart().Enciphered("KVPR", {2, 0, 'a', 'b', 'v', 0}).Bytes(), "key without zero",
                        true);
    ExpectDamageHandled(this, ChunkWriter().User(0).Pair("kept", "yes").Bytes(), "no install key first", false);
    ExpectDamageHandled(this, ChunkWriter().Enciphered("IKEY", {'a', 'b'}).Bytes(), "install key without zero", false);
    ExpectDamageHandled(this, std::vector<char>{'x'}, "one byte", false);
}

// Two players saved twice: every flipped bit of the file that is noticed costs the last
// save and nothing more; one that is not noticed costs nothing else.
TEST_F(PrefsDamageTest, AFlippedBitCostsAtMostTheLastSave)
{
    {
        TPrefs prefs(true);
        prefs.SetStr("name", "Ann", 0, false);
        prefs.SetStr("name", "Bo", 1, false);
        prefs.SetStr("scene", "cottage", 1, true);
        prefs.SetStr("scene", "garden", 1, true);
    }
    const std::vector<char> saved = Prefs();
    ASSERT_FALSE(ReadRaw("prefs.dat.prev").empty());
    size_t restored = 0;
    for (size_t at = 0; at < saved.size(); ++at) {
        SCOPED_TRACE("bit flipped at " + std::to_string(at));
        std::vector<char> file = saved;
        file[at] ^= 0x10;
        WritePrefs(file);
        TPrefs prefs(false);
        EXPECT_EQ(S(prefs.GetStr("name", "", 0)), "Ann");
        EXPECT_EQ(S(prefs.GetStr("name", "", 1)), "Bo");
        EXPECT_EQ(prefs.GetNumUsers(), 2u);
        EXPECT_EQ(prefs.WasRestored(), prefs.IsDamaged());
        EXPECT_EQ(S(prefs.GetStr("scene", "", 1)), prefs.IsDamaged() ? "cottage" : "garden");
        restored += prefs.WasRestored();
    }
    EXPECT_GT(restored, saved.size() / 2);
}

TEST_F(PrefsDamageTest, TheSaveAfterARestoreKeepsThePreviousContents)
{
    {
        TPrefs prefs(true);
        prefs.SetStr("scene", "cottage", 0, true);
        prefs.SetStr("scene", "garden", 0, true);
    }
    const std::vector<char> previous = ReadRaw("prefs.dat.prev");
    std::vector<char> file = Prefs();
    file[file.size() - 3] ^= 1;
    WritePrefs(file);
    {
        TPrefs prefs(true);
        ASSERT_TRUE(prefs.WasRestored());
        prefs.SetStr("scene", "forest", 0, true);
        EXPECT_EQ(ReadRaw("prefs.dat.prev"), previous);
    }
    // Damage again: back to the restored contents, not to the damaged ones.
    file = Prefs();
    file[file.size() - 3] ^= 1;
    WritePrefs(file);
    TPrefs prefs(false);
    EXPECT_TRUE(prefs.WasRestored());
    EXPECT_EQ(S(prefs.GetStr("scene", "", 0)), "cottage");
}

TEST_F(PrefsDamageTest, WithThePreviousContentsDamagedTooWhatWasReadIsKept)
{
    WritePrefs(GoodStart().Raw("KVPR", {}).Bytes());
    WriteRaw("prefs.dat.prev", std::string("IKEY junk"));
    TPrefs prefs(false);
    EXPECT_TRUE(prefs.IsDamaged());
    EXPECT_FALSE(prefs.WasRestored());
    EXPECT_EQ(S(prefs.GetStr("kept", "gone", -1)), "yes");
}

TEST_F(PrefsDamageTest, DamagedCopiesDoNotOverwriteEachOther)
{
    WriteRaw("prefs.dat.bad", std::string("older damage"));
    const std::vector<char> file = {'I', 'K', 'E', 'Y', 1, 0, 0, 0};
    WritePrefs(file);
    TPrefs prefs(true);
    EXPECT_EQ(S(prefs.GetDamagedCopyName()), "user:prefs.dat.bad1");
    EXPECT_EQ(ReadRaw("prefs.dat.bad1"), file);
    EXPECT_EQ(ReadRaw("prefs.dat.bad").size(), 12u);
}

TEST_F(PrefsDamageTest, WrongKeyIsDamageNotAnEmptyStore)
{
    {
        TPrefs prefs(true);
        prefs.SetStr("progress", "chapter 3", 0, true);
    }
    const std::vector<char> original = Prefs();
    TConfig::SetConfig(TConfig::kEncryptionKey, "ZZZZZZZZZZZZ");
    TPrefs prefs(false);
    EXPECT_TRUE(prefs.IsDamaged());
    EXPECT_EQ(Prefs(), original);
    EXPECT_EQ(prefs.GetNumUsers(), 0u);
    // A store that never saves needs no copy.
    EXPECT_FALSE(Exists("prefs.dat.bad"));
}

TEST_F(PrefsDamageTest, OlderXmlFormIsReadAndRewrittenAsChunks)
{
    const std::string document =
        "<>\n<install zvinstallkey=\"Retail\">\n<slot volume=\"70\"/>\n<user name=\"Ada\" level=\"4\"/>\n"
        "<user name=\"Bo\"/>\n</install>\n<install zvinstallkey=\"demo\"><x a=\"1\"/></install>\n</>\n";
    WriteRaw("prefs.dat", LegacyFile(document));
    TConfig::SetConfig(TConfig::kInstallKey, "retail");
    {
        TPrefs prefs(true);
        EXPECT_FALSE(prefs.IsDamaged());
        EXPECT_EQ(S(prefs.GetStr("volume", "", -1)), "70");
        EXPECT_EQ(S(prefs.GetStr("name", "", 0)), "Ada");
        EXPECT_EQ(prefs.GetInt("level", 0, 0), 4);
        EXPECT_EQ(S(prefs.GetStr("name", "", 1)), "Bo");
        EXPECT_EQ(prefs.GetNumUsers(), 2u);
    }
    const std::vector<char> rewritten = Prefs();
    ASSERT_GE(rewritten.size(), 4u);
    EXPECT_EQ(std::string(rewritten.data(), 4), "IKEY");
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetStr("name", "", 1)), "Bo");
    ASSERT_EQ(prefs.GetStore().count("demo"), 1u);
    EXPECT_EQ(prefs.GetStore().at("demo").size(), 1u);
}

TEST_F(PrefsDamageTest, OlderXmlFormWithEmptyInstallText)
{
    WriteRaw("prefs.dat", LegacyFile("<install zvinstallkey=\"FirstOne\"><s k=\"v\"/></install>"));
    SetInstallText("");
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetInstallKey()), "firstone");
    EXPECT_EQ(S(prefs.GetStr("k", "", -1)), "v");
}

TEST_F(PrefsDamageTest, OlderXmlFormThatDoesNotDecodeIsKept)
{
    const std::string bad[] = {
        LegacyFile("<install zvinstallkey=\"unknown\"><s k=\"v\"/></install>", 1),
        "<>\n<data1 data=\"abc\"></data1>\n</>\n",
        "<>\n<data2 data=\"0\"></data2>\n</>\n",
        "<>",
    };
    for (const std::string& file : bad) {
        WriteRaw("prefs.dat", file);
        {
            TPrefs prefs(true);
            EXPECT_TRUE(prefs.IsDamaged());
            EXPECT_EQ(prefs.GetNumUsers(), 0u);
        }
        const std::vector<char> now = Prefs();
        EXPECT_EQ(std::string(now.begin(), now.end()), file);
        EXPECT_EQ(ReadRaw("prefs.dat.bad"), now);
        std::filesystem::remove(Path("prefs.dat.bad"));
    }
}

TEST_F(PrefsDamageTest, OlderXmlFormWithoutKey)
{
    TConfig::Clear();
    WriteRaw("prefs.dat", "<>\n<install zvinstallkey=\"unknown\"><s k=\"plain\"/></install>\n</>\n");
    TPrefs prefs(false);
    EXPECT_EQ(S(prefs.GetStr("k", "", -1)), "plain");
}

}  // namespace
