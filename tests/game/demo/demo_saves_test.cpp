// The player's saves when the folder works against them: a disk that takes no more bytes, a
// second copy of the game on the same folder, a saved file with a flipped bit or gone, a folder
// where the spare copy goes, no home folder at all. Nothing is lost without a word on the
// screen, and the game never traps the player.

#include "common/unprivileged.h"
#include "game/demo/demo_hops.h"
#include "game/demo/demo_steps.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string PrefsFile(const std::string& home)
{
    return home + "/share/tessivander/prefs.dat";
}

size_t Count(const std::string& log, const std::string& text)
{
    size_t n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++n;
    return n;
}

void EndWithSignal(TDemoRun& run)
{
    run.Signal(SIGTERM);
    EXPECT_TRUE(run.WaitFor("QUITTING THE APP!")) << run.Log();
    EXPECT_EQ(run.Finish(), 0) << run.Log();
}

// A player "Ann" who started a game and played until `until` was logged; `hops` (may be null)
// receives the hops of the game saved.
void PlayAsAnn(const std::string& data, const std::string& home, const std::string& until, int* hops = nullptr)
{
    TDemoRun run(data, home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
    ASSERT_TRUE(run.WaitFor("SAVED GAME IN SCENE")) << run.Log();
    ASSERT_TRUE(run.WaitFor(until)) << run.Log();
    EndWithSignal(run);
    if (hops)
        *hops = ReadHopSave(ReadDumpedSlot(DumpPrefs(run), 0)).hops;
}

// The notice `title` is on the screen (its picture left at `shot`, when given); Return closes it.
void ReadTheNotice(TDemoRun& run, const std::string& title, const std::string& shot)
{
    ASSERT_TRUE(run.WaitFor("Error reported to the player: " + title)) << run.Log();
    if (!shot.empty())
        Shot(run, shot);
    const size_t mark = run.Log().size();
    run.Send("300 key return");
    ASSERT_TRUE(run.WaitFor("The player closed the notice " + title, 20000, mark)) << run.Log();
}

// Every file the program writes stops at `bytes` (empty by default), as on a disk that is full
// from the start. The limit is inherited by the program started inside the scope; the signal
// the system sends at the limit is the program's to handle.
class TFullDisk
{
public:
    explicit TFullDisk(rlim_t bytes = 0)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFullDisk() { setrlimit(RLIMIT_FSIZE, &mOld); }

private:
    rlimit mOld{};
};

TEST(DemoSaves, ADiskThatTakesNothingIsToldOnceAndTheSavedGameStaysWhole)
{
    TDataCopy data;
    AddHoppers(data, 3);
    const std::string home = data.Dir() + "/home";
    ASSERT_NO_FATAL_FAILURE(PlayAsAnn(data.Dir(), home, HopLine(2)));
    const std::string saved = ReadBytes(PrefsFile(home));

    std::unique_ptr<TDemoRun> run;
    {
        TFullDisk full;
        run = std::make_unique<TDemoRun>(data.Dir(), home);
    }
    ASSERT_TRUE(run->WaitFor("Menu shown: layouts/mainmenu.lua")) << run->Log();
    // The start itself saves (the current player) and fails.
    // (Its picture could not be written either.)
    ASSERT_NO_FATAL_FAILURE(ReadTheNotice(*run, "savefail_title", ""));
    EXPECT_NE(run->Log().find("File too large); the previous file is unchanged"), std::string::npos) << run->Log();
    // Play goes on; its saves fail too, and the player has been told.
    ASSERT_TRUE(ClickUntil(*run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run->Log();
    ASSERT_TRUE(run->WaitFor(HopLine(3))) << run->Log();
    ASSERT_TRUE(run->WaitFor("the game is not saved", 20000, run->Log().find(HopLine(3)))) << run->Log();
    EndWithSignal(*run);
    EXPECT_EQ(Count(run->Log(), "Telling the player: savefail_title"), 1u) << run->Log();
    EXPECT_EQ(ReadBytes(PrefsFile(home)), saved);

    // Space again: the next start continues the game as it was saved before.
    TDemoRun again(data.Dir(), home);
    ASSERT_TRUE(again.WaitFor("Menu shown: layouts/mainmenu.lua")) << again.Log();
    ASSERT_TRUE(ClickUntil(again, kContinueX, kContinueY, "Continuing the saved game", 0)) << again.Log();
    ASSERT_TRUE(again.WaitFor("Game shown: layouts/game.lua")) << again.Log();
    EndWithSignal(again);
    EXPECT_EQ(again.Log().find("Telling the player"), std::string::npos) << again.Log();
}

// A file-size limit below the size of the new game's save: the save stops part way, the player
// is told as of any failed save and plays on, and the first save after the limit is lifted works.
TEST(DemoSaves, AFileSizeLimitFailsTheSaveUntilItIsLifted)
{
    TDataCopy data;
    AddHoppers(data, 3);
    const std::string home = data.Dir() + "/home";
    std::unique_ptr<TDemoRun> run;
    {
        TFullDisk full(600);
        run = std::make_unique<TDemoRun>(data.Dir(), home);
    }
    ASSERT_TRUE(run->WaitFor("Menu shown: layouts/mainmenu.lua")) << run->Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(*run, "Ann"));
    ASSERT_NO_FATAL_FAILURE(ReadTheNotice(*run, "savefail_title", ""));
    EXPECT_NE(run->Log().find("File too large); the previous file is unchanged"), std::string::npos) << run->Log();
    ASSERT_TRUE(run->WaitFor(HopLine(2))) << run->Log();
    for (const auto& entry : fs::directory_iterator(home + "/share/tessivander"))
        EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos) << entry.path();

    rlimit lifted{};
    getrlimit(RLIMIT_FSIZE, &lifted);
    ASSERT_EQ(prlimit(run->Pid(), RLIMIT_FSIZE, &lifted, nullptr), 0);
    const size_t mark = run->Log().size();
    ASSERT_TRUE(run->WaitFor("SAVED GAME IN SCENE", 20000, mark)) << run->Log();
    EndWithSignal(*run);
    EXPECT_EQ(Count(run->Log(), "Telling the player: savefail_title"), 1u) << run->Log();
    const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(*run), 0);
    EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann") << DumpPrefs(*run);
}

// The player's folder and files made read-only by their owner: the same words, nothing replaced.
TEST(DemoSaves, AReadOnlyUserFolderIsToldAndItsFilesStayAsTheyWere)
{
    TDataCopy data;
    AddHoppers(data, 3);
    const std::string home = data.Dir() + "/home";
    ASSERT_NO_FATAL_FAILURE(PlayAsAnn(data.Dir(), home, HopLine(2)));
    const std::string folder = home + "/share/tessivander";
    const std::string saved = ReadBytes(PrefsFile(home));
    RunUnprivileged(data.Dir(), ProgramPath(), [&](const std::string& program) {
        for (const auto& entry : fs::directory_iterator(folder))
            fs::permissions(entry.path(), fs::perms::owner_read);
        fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
        TDemoRun run(data.Dir(), home, {}, program);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        // (The program may not leave its picture in the build tree either.)
        ASSERT_NO_FATAL_FAILURE(ReadTheNotice(run, "savefail_title", ""));
        ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run.Log();
        ASSERT_TRUE(run.WaitFor("the game is not saved")) << run.Log();
        EndWithSignal(run);
        EXPECT_EQ(Count(run.Log(), "Telling the player: savefail_title"), 1u) << run.Log();
        EXPECT_NE(run.Log().find("': the file is not writable"), std::string::npos) << run.Log();
        fs::permissions(folder, fs::perms::owner_all);
    });
    EXPECT_EQ(ReadBytes(PrefsFile(home)), saved);
}

TEST(DemoSaves, ASecondCopyOnTheSameFolderIsToldAndEndsWithoutWriting)
{
    TDataCopy data;
    const std::string home = data.Dir() + "/home";
    TDemoRun first(data.Dir(), home);
    ASSERT_TRUE(first.WaitFor("Menu shown: layouts/mainmenu.lua")) << first.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(first, "Ann"));
    ASSERT_TRUE(first.WaitFor("SAVED GAME IN SCENE")) << first.Log();
    ASSERT_TRUE(first.WaitFor("EarnAward(award_woke_up)")) << first.Log();
    // The award is kept at once; its notice then holds the game, so nothing more is saved.
    ASSERT_TRUE(first.WaitFor("SAVED GAME IN SCENE", 20000, first.Log().find("EarnAward(award_woke_up)")))
        << first.Log();
    const std::string saved = ReadBytes(PrefsFile(home));

    TDemoRun second(data.Dir(), home);
    ASSERT_TRUE(second.WaitFor("Menu shown: layouts/mainmenu.lua")) << second.Log();
    ASSERT_NO_FATAL_FAILURE(ReadTheNotice(second, "running_title", ArtifactDir() + "/already_running.png"));
    EXPECT_TRUE(second.WaitFor("QUITTING THE APP!")) << second.Log();
    EXPECT_EQ(second.Finish(), 0) << second.Log();
    EXPECT_EQ(ReadBytes(PrefsFile(home)), saved);

    // The first copy plays on; killed, it leaves no lock behind.
    // (The award's notice has long slid in.)
    ASSERT_TRUE(ClickUntil(first, kPopupOkX, kPopupOkY, "PAUSE:::::::::::::::::: EXITED", 0)) << first.Log();
    ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(first));
    first.Signal(SIGKILL);
    first.Finish();
    TDemoRun third(data.Dir(), home);
    ASSERT_TRUE(third.WaitFor("Menu shown: layouts/mainmenu.lua")) << third.Log();
    ASSERT_TRUE(ClickUntil(third, kContinueX, kContinueY, "Continuing the saved game", 0)) << third.Log();
    EndWithSignal(third);
    EXPECT_EQ(third.Log().find("Telling the player"), std::string::npos) << third.Log();
    const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(third), 0);
    EXPECT_TRUE(slot.whole);
    EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann");
}

// Where Mira appears in the cottage, as the test's watcher there reports it.
std::string MiraAtTheStart(const TDemoRun& run, size_t from)
{
    const std::string line = "MET_TaskEvent(scripted-task, Mira at ";
    const size_t at = run.Log().find(line, from);
    return at == std::string::npos
               ? ""
               : run.Log().substr(at + line.size(), run.Log().find(',', at + line.size()) - at - line.size());
}

// A new game holds nothing of the game before it: not Ann's own, over which Play asks first,
// nor, for a new player, the last player's. Mira starts at the cottage's start, never by the
// door she would come in by from the garden.
TEST(DemoSaves, ANewGameStartsFromNothingOfTheGameBefore)
{
    TDataCopy data;
    AddHoppers(data, 200);
    data.Append("quest/cottage/cottage.lua",
                "\ntable.insert(scene_spec.actorlist, { name = 'WATCHER', command = function(self)\n"
                "    coroutine.yield(RESUME.ON_DELAY, 1)\n"
                "    local at = ActorNamed('NELKA'):GetPosition()\n"
                "    game:TaskComplete('Mira at ' .. at.x .. ' ' .. at.y)\n"
                "end })\n");
    const std::string home = data.Dir() + "/home";
    const std::string inTheGarden = "SAVED GAME IN SCENE ( garden )";
    std::string start;
    {
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
        ASSERT_TRUE(run.WaitFor(inTheGarden)) << run.Log();
        start = MiraAtTheStart(run, 0);
        ASSERT_FALSE(start.empty()) << run.Log();
        EndWithSignal(run);
    }
    {
        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_TRUE(ClickUntil(run, kPlayX, kPlayY, "Opening layouts/chooseplayer.lua", 0)) << run.Log();
        run.Send(Click(kPlayerOkX, kPageButtonY));
        ASSERT_TRUE(run.WaitFor("Asking before starting over the saved game")) << run.Log();
        const size_t asked = run.Log().size();
        EXPECT_EQ(run.Log().find("Starting a new game"), std::string::npos) << run.Log();
        ASSERT_TRUE(ClickUntil(run, kDialogYesX, kDialogButtonY, "Starting a new game", asked)) << run.Log();
        ASSERT_TRUE(run.WaitFor("tGamestate::SetScene(cottage, pushes garden)", 20000, asked)) << run.Log();
        ASSERT_TRUE(run.WaitFor("MET_TaskEvent(scripted-task, Mira at ", 20000, asked)) << run.Log();
        EXPECT_EQ(MiraAtTheStart(run, asked), start);
        ASSERT_TRUE(run.WaitFor(inTheGarden, 20000, asked)) << run.Log();
        EndWithSignal(run);
    }
    TDemoRun run(data.Dir(), home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Bo"));
    ASSERT_TRUE(run.WaitFor("MET_TaskEvent(scripted-task, Mira at ")) << run.Log();
    EXPECT_EQ(MiraAtTheStart(run, 0), start);
    EXPECT_NE(run.Log().find("tGamestate::SetScene(cottage, pushes )\n"), std::string::npos) << run.Log();
    EXPECT_NE(run.Log().find("SAVED GAME IN SCENE ( cottage ) LASTSCENE (  )"), std::string::npos) << run.Log();
    EndWithSignal(run);
}

// Where the chunks of a preferences file start: tag, 32-bit length, payload.
std::vector<size_t> ChunkStarts(const std::string& bytes)
{
    std::vector<size_t> starts;
    for (size_t at = 0; at + 8 <= bytes.size();) {
        starts.push_back(at);
        at += 8 + (uint8_t(bytes[at + 4]) | uint8_t(bytes[at + 5]) << 8 | uint8_t(bytes[at + 6]) << 16 |
                   size_t(uint8_t(bytes[at + 7])) << 24);
    }
    return starts;
}

// The byte of Ann's slot number (1) in her slot chunk.
size_t AnnsSlotNumber(const std::string& bytes)
{
    for (size_t at : ChunkStarts(bytes))
        if (bytes.compare(at, 4, "USER") == 0 && bytes[at + 8] == 1)
            return at + 8;
    return 0;
}

// The top byte of the length of the chunk halfway through the file.
size_t AMiddleLength(const std::string& bytes)
{
    const std::vector<size_t> starts = ChunkStarts(bytes);
    return starts[starts.size() / 2] + 7;
}

TEST(DemoSaves, ADamagedOrMissingSaveStartsFromTheOneBeforeAndThePlayerIsTold)
{
    const struct
    {
        const char* what;
        size_t (*where)(const std::string& bytes);  // null: the file is removed
        bool previousDamaged;                       // the save before is damaged as well
        const char* title;
    } cases[] = {
        {"Ann's slot number", AnnsSlotNumber, false, "prefs_restored_title"},
        {"a chunk's length", AMiddleLength, false, "prefs_restored_title"},
        {"both saves", AMiddleLength, true, "prefs_damaged_title"},
        {"the file gone", nullptr, false, "prefs_restored_title"},
    };
    TDataCopy data;
    AddHoppers(data, 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string home = data.Dir() + "/" + std::to_string(&c - cases);
        int hops = 0;
        ASSERT_NO_FATAL_FAILURE(PlayAsAnn(data.Dir(), home, HopLine(3), &hops));
        if (c.where) {
            std::string bytes = ReadBytes(PrefsFile(home));
            const size_t at = c.where(bytes);
            ASSERT_GT(at, 0u);
            bytes[at] ^= 0x10;
            WriteBytes(PrefsFile(home), bytes);
        } else {
            fs::remove(PrefsFile(home));
        }
        if (c.previousDamaged)
            WriteBytes(PrefsFile(home) + ".prev", "IKEY");

        TDemoRun run(data.Dir(), home);
        ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
        ASSERT_NO_FATAL_FAILURE(ReadTheNotice(run, c.title, ArtifactDir() + "/" + c.title + ".png"));
        EndWithSignal(run);
        const TDumpedSlot slot = ReadDumpedSlot(DumpPrefs(run), 0);
        EXPECT_TRUE(slot.whole);
        if (!c.previousDamaged) {
            EXPECT_EQ(slot.values.count("name") ? slot.values.at("name") : "", "Ann");
            // At most the last save is lost.
            EXPECT_GE(ReadHopSave(slot).hops, hops - 1);
        }
    }
}

TEST(DemoSaves, AFolderWhereTheSpareCopyGoesIsNamedAndTheGameStillSaves)
{
    TDataCopy data;
    AddHoppers(data, 3);
    const std::string home = data.Dir() + "/home";
    int hops = 0;
    ASSERT_NO_FATAL_FAILURE(PlayAsAnn(data.Dir(), home, HopLine(2), &hops));
    const std::string spare = PrefsFile(home) + ".prev";
    fs::remove(spare);
    fs::create_directories(spare);

    TDemoRun run(data.Dir(), home);
    ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
    ASSERT_NO_FATAL_FAILURE(ReadTheNotice(run, "savespare_title", ArtifactDir() + "/savespare_title.png"));
    EXPECT_NE(run.Log().find("Telling the player: savespare_title (savespare_folder_body)"), std::string::npos)
        << run.Log();
    ASSERT_TRUE(ClickUntil(run, kContinueX, kContinueY, "Continuing the saved game", 0)) << run.Log();
    ASSERT_TRUE(run.WaitFor(HopLine(hops + 2))) << run.Log();
    EndWithSignal(run);
    EXPECT_EQ(Count(run.Log(), "Telling the player"), 1u) << run.Log();
    EXPECT_TRUE(fs::is_directory(spare));
    EXPECT_GE(ReadHopSave(ReadDumpedSlot(DumpPrefs(run), 0)).hops, hops + 1);
}

// A user the account database does not know, started without HOME and XDG_DATA_HOME: no
// folder to save in. The player is told once, plays and quits as always.
TEST(DemoSaves, WithoutAHomeFolderThePlayerIsToldAndPlaysOn)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can become a user without an account";
    unsigned stranger = 47113;
    while (getpwuid(stranger))
        ++stranger;
    TDataCopy data;
    RunUnprivileged(
        data.Dir(), ProgramPath(),
        [&](const std::string& program) {
            TDemoRun run(data.Dir(), "", {"HOME", "XDG_DATA_HOME"}, program);
            ASSERT_TRUE(run.WaitFor("Menu shown: layouts/mainmenu.lua")) << run.Log();
            ASSERT_NO_FATAL_FAILURE(ReadTheNotice(run, "savefail_title", ""));
            EXPECT_NE(run.Log().find("Telling the player: savefail_title (savefail_nofolder_body)"), std::string::npos)
                << run.Log();
            ASSERT_NO_FATAL_FAILURE(StartANewGameAs(run, "Ann"));
            ASSERT_TRUE(run.WaitFor("the game is not saved")) << run.Log();
            ASSERT_NO_FATAL_FAILURE(LeavePlayForTheMenu(run));
            ASSERT_NO_FATAL_FAILURE(QuitThroughTheDialog(run));
            EXPECT_EQ(Count(run.Log(), "Telling the player"), 1u) << run.Log();
        },
        stranger);
}

}  // namespace
