// Every tool refuses bad input with a message and a failing exit code, writes nothing, and
// never echoes raw bytes.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "core/files/archive_format.h"
#include "tools/support/tool_run.h"

namespace {

namespace fs = std::filesystem;

bool AllPrintable(const std::string& text)
{
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n' && c != '\t') || u >= 0x7F)
            return false;
    }
    return true;
}

// A file that claims `size` bytes without taking room on the disk.
std::string SparseFile(const TScratchDir& dir, const std::string& name, off_t size)
{
    const std::string path = dir.File(name);
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd >= 0) {
        if (ftruncate(fd, size) != 0)
            ADD_FAILURE() << "cannot make " << path;
        close(fd);
    }
    return path;
}

// An archive whose last entry's data are cut off.
std::string CutArchive(const TScratchDir& dir)
{
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(BuildArchive({{"a.txt", {'a', 'a'}}, {"b.txt", std::vector<unsigned char>(100, 'b')}}, bytes));
    bytes.resize(bytes.size() - 50);
    return dir.Write("cut.zvp", std::string(bytes.begin(), bytes.end()));
}

struct TBadRun
{
    const char* what;
    const char* program;
    std::vector<std::string> args;  // "@name" stands for the scratch file "name"
    int exitCode;
    const char* message;
};

class ToolsRefuseBadInput : public testing::Test
{
protected:
    void SetUp() override
    {
        mDir.Write("garbage.bin", BinaryGarbage(4096));
        mDir.Write("frame.img", "size 4 4\nfill #ff0000\n");
        SparseFile(mDir, "huge.bin", off_t(5) << 30);
        CutArchive(mDir);
        mDir.Write("unclosed.xml", "<a><b></b>");
        mDir.Write("crossed.xml", "<a><b></a></b>");
        mDir.Write("unquoted.xml", "<a x=1/>");
        mDir.Write("stray.xml", "<a/> trailing text");
        mDir.Write("reference.xml", "<a>fish & chips</a>");
        mDir.Write("empty.xml", "");
        fs::create_directories(mDir.File("out"));
    }

    std::vector<std::string> Args(const std::vector<std::string>& args) const
    {
        std::vector<std::string> out;
        for (const std::string& a : args)
            out.push_back(!a.empty() && a[0] == '@' ? mDir.File(a.substr(1)) : a);
        return out;
    }

    TScratchDir mDir;
};

TEST_F(ToolsRefuseBadInput, EachBadInputGivesAMessageAndAFailingExitCode)
{
    const TBadRun runs[] = {
        {"endless input", TV_ZXML_PATH, {"/dev/zero", "@out/z.xml"}, 1, "is larger than"},
        {"endless input", TV_IMAGEGEN_PATH, {"/dev/zero", "@out/z.png"}, 1, "is larger than"},
        {"endless input", TV_SOUNDGEN_PATH, {"/dev/zero", "@out/z.ogg"}, 1, "is larger than"},
        {"huge file", TV_ZVPACK_PATH, {"create", "@out/z.zvp", "@huge.bin"}, 1, "is larger than"},
        {"huge file", TV_ZXML_PATH, {"@huge.bin", "@out/z.xml"}, 1, "is larger than"},
        {"huge file", TV_IMAGEGEN_PATH, {"@huge.bin", "@out/z.png"}, 1, "is larger than"},
        {"cut archive", TV_ZVPACK_PATH, {"list", "@cut.zvp"}, 1, "is damaged: 1 entries cannot be read"},
        {"random bytes", TV_ZXML_PATH, {"@garbage.bin", "@out/z.xml"}, 1, "is not well-formed XML"},
        {"unclosed", TV_ZXML_PATH, {"@unclosed.xml", "@out/z.xml"}, 1, "element <a> is not closed"},
        {"crossed", TV_ZXML_PATH, {"@crossed.xml", "@out/z.xml"}, 1, "</a> closes <b>"},
        {"unquoted", TV_ZXML_PATH, {"@unquoted.xml", "@out/z.xml"}, 1, "attribute x without quotes"},
        {"stray text", TV_ZXML_PATH, {"@stray.xml", "@out/z.xml"}, 1, "text outside any element"},
        {"bare ampersand", TV_ZXML_PATH, {"@reference.xml", "@out/z.xml"}, 1, "without a whole reference"},
        {"empty", TV_ZXML_PATH, {"@empty.xml", "@out/z.xml"}, 1, "no element"},
        {"bad symbol",
         TV_MVECCONV_PATH,
         {"--cpp", "bad name;", "font.ttf", "@out/font.cpp"},
         2,
         "--cpp takes a C++ identifier, not 'bad name;'"},
        {"binary description", TV_IMAGEGEN_PATH, {"@garbage.bin", "@out/z.png"}, 1, "garbage.bin:"},
        {"binary description", TV_SOUNDGEN_PATH, {"@garbage.bin", "@out/z.ogg"}, 1, "garbage.bin:"},
        {"huge delay",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-d", "99999999999999", "@frame.png"},
         2,
         "-d takes a delay"},
        {"delay not a number",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-d", "abc", "@frame.png"},
         2,
         "-d takes a delay"},
        {"negative delay",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-d", "-5", "@frame.png"},
         2,
         "-d takes a delay"},
        {"delay with a tail",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-d", "12ms", "@frame.png"},
         2,
         "-d takes a delay"},
        {"registration not a number",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-r", "1,x", "@frame.png"},
         2,
         "-r takes"},
        {"registration too far",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "a", "-r", "99999999999,0", "@frame.png"},
         2,
         "-r takes"},
        {"name leaving the folder",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "../escape", "@frame.png"},
         2,
         "-n takes a file name without folders"},
        {"name with a folder",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "sub/a", "@frame.png"},
         2,
         "-n takes a file name without folders"},
        {"name of a folder",
         TV_ANIMPACK_PATH,
         {"-o", "@out", "-n", "..", "@frame.png"},
         2,
         "-n takes a file name without folders"},
    };
    for (const TBadRun& run : runs) {
        SCOPED_TRACE(std::string(fs::path(run.program).filename()) + ": " + run.what);
        const TToolResult r = RunTool(run.program, Args(run.args));
        EXPECT_EQ(r.exitCode, run.exitCode) << r.output;
        EXPECT_NE(r.output.find(run.message), std::string::npos) << r.output;
        EXPECT_TRUE(AllPrintable(r.output)) << r.output;
    }
    // Nothing was written, inside the output folder or beside it.
    EXPECT_TRUE(fs::is_empty(mDir.File("out")));
    EXPECT_FALSE(fs::exists(mDir.File("escape.png")));
}

TEST_F(ToolsRefuseBadInput, AnimationFilesAreWrittenAllOrNone)
{
    ASSERT_EQ(RunTool(TV_IMAGEGEN_PATH, {mDir.File("frame.img"), mDir.File("frame.png")}).exitCode, 0);
    // The script's name is taken by a folder: none of the four files may appear.
    fs::create_directories(mDir.File("out/walk.lua"));
    const std::vector<std::string> args = {"-o", mDir.File("out"), "-n", "walk", mDir.File("frame.png")};
    TToolResult r = RunTool(TV_ANIMPACK_PATH, args);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    for (const char* ext : {".png", ".xml", ".anm"})
        EXPECT_FALSE(fs::exists(mDir.File(std::string("out/walk") + ext))) << ext;

    fs::remove(mDir.File("out/walk.lua"));
    r = RunTool(TV_ANIMPACK_PATH, args);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    for (const char* ext : {".png", ".xml", ".anm", ".lua"})
        EXPECT_TRUE(fs::exists(mDir.File(std::string("out/walk") + ext))) << ext;
}

TEST_F(ToolsRefuseBadInput, WellFormedXmlIsStillPacked)
{
    const std::string in = mDir.Write("good.xml", "<?xml version=\"1.0\"?>\n<!-- note -->\n<a x=\"1\" y='&amp;'>"
                                                  "<b/>text &#65; &#x42;<![CDATA[<raw>]]></a>\n<c></c>\n");
    const TToolResult r = RunTool(TV_ZXML_PATH, {in, mDir.File("good.zxml")});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fs::exists(mDir.File("good.zxml")));
}

}  // namespace
