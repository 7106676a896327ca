#include "core/config/config.h"
#include "core/files/get_char.h"
#include "core/xml/xml_escape.h"
#include "core/xml/xml_node.h"
#include "core/xml/xml_token.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Tokens(const char* text, std::vector<bool>* quotedFlags = nullptr)
{
    TGetCharString source(text);
    std::vector<std::string> out;
    for (;;) {
        bool quoted = false, escapedFirst = false, atEnd = false;
        int length = 0;
        str t = zvGetToken(&source, &quoted, &escapedFirst, &length, &atEnd);
        if (atEnd)
            break;
        EXPECT_EQ(unsigned(length), t.length());
        out.emplace_back(t.c_str());
        if (quotedFlags)
            quotedFlags->push_back(quoted);
    }
    return out;
}

std::string Text(const str& s)
{
    return s.c_str();
}

TEST(XmlTokenTest, SplitsMarkupWordsAndQuotedRuns)
{
    std::vector<bool> quoted;
    EXPECT_EQ(
        Tokens("<a x=\"one two\" y=3>hi  there</a>", &quoted),
        (std::vector<std::string>{"<", "a", "x", "=", "one two", "y", "=", "3", ">", "hi", "there", "<", "/a", ">"}));
    EXPECT_TRUE(quoted[4]);
    EXPECT_FALSE(quoted[1]);
    // A word right before "/>" yields the word, "/" and ">".
    EXPECT_EQ(Tokens("<br/>"), (std::vector<std::string>{"<", "br", "/", ">"}));
    EXPECT_EQ(Tokens("a=b"), (std::vector<std::string>{"a", "=", "b"}));
    // Markup characters inside quotes are ordinary; an unterminated quote runs to the end.
    EXPECT_EQ(Tokens("\"<x = y>\" \"open"), (std::vector<std::string>{"<x = y>", "open"}));
}

TEST(XmlTokenTest, MultiByteCharactersAreKeptWhole)
{
    EXPECT_EQ(Tokens("caf\xC3\xA9<"), (std::vector<std::string>{"caf\xC3\xA9", "<"}));
    // A sequence cut off by the end of the input is filled with 0xFF bytes.
    EXPECT_EQ(Tokens("x\xE2\x82"), (std::vector<std::string>{"x\xE2\x82\xFF"}));
}

TEST(XmlEscapeTest, EntitiesAndReferences)
{
    struct
    {
        const char* in;
        const char* out;
        bool first;
    } cases[] = {
        {"&lt;b&gt;", "<b>", true},    {"a&amp;b", "a&b", false},
        {"&quot;&apos;", "\"'", true}, {"&#65;BC", "ABC", true},
        {"x&#x41;", "xA", false},      {"&#321;", "A", true},  // above 255: the low byte
        {"a&#0;b", "ab", false},       {"&unknown; & &#12", "&unknown; & &#12", false},
        {"&am", "&am", false},
    };
    for (auto c : cases) {
        str text(c.in);
        int length = int(text.length());
        bool first = false;
        removeXMLEscapeChars(text, length, &first);
        EXPECT_EQ(Text(text), c.out) << c.in;
        EXPECT_EQ(unsigned(length), text.length()) << c.in;
        EXPECT_EQ(first, c.first) << c.in;
    }
    // Only the first `length` bytes are looked at; the rest is cut off.
    str text("ab&amp;cd");
    int length = 2;
    removeXMLEscapeChars(text, length, nullptr);
    EXPECT_EQ(Text(text), "ab");
}

TEST(XmlEscapeTest, ReferencesAbove255InUtf8ModeBecomeUtf8)
{
    struct
    {
        const char* in;
        const char* utf8;
        const char* bytes;
    } cases[] = {
        {"&#8364;", "\xE2\x82\xAC", "\xAC"},
        {"&#321;", "\xC5\x81", "A"},
        {"&#x1F600;!", "\xF0\x9F\x98\x80!", "!"},
        {"&#xD800;", "\xEF\xBF\xBD", ""},  // a lone surrogate is no character
        {"&#233;", "\xE9", "\xE9"},        // up to 255 one byte, as the writer sends UTF-8
        {"&#195;&#169;", "\xC3\xA9", "\xC3\xA9"},
    };
    for (const char* mode : {"1", "0"}) {
        TConfig::SetConfig(TConfig::kUTF8Mode, mode);
        for (auto c : cases) {
            str text(c.in);
            int length = int(text.length());
            removeXMLEscapeChars(text, length, nullptr);
            EXPECT_EQ(Text(text), mode[0] == '1' ? c.utf8 : c.bytes) << c.in << " mode " << mode;
            EXPECT_EQ(unsigned(length), text.length()) << c.in;
        }
    }
    TConfig::Clear();
}

TEST(XmlParseTest, ContentWordsAreJoinedBySingleSpaces)
{
    TXmlNode root;
    root.ParseString("<a>one   two\n\n three</a>");
    ASSERT_NE(root.GetChild("a"), nullptr);
    EXPECT_EQ(Text(root.GetChild("a")->GetContent()), "one two three");
}

TEST(XmlParseTest, SelfClosingElementHasNoBodyAndSiblingsStaySiblings)
{
    TXmlNode root;
    root.ParseString("<r><a x=\"1\"/><b/><c>text</c></r>");
    TXmlNode* r = root.GetChild("r");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetChildCount(), 3u);
    ASSERT_NE(r->GetChild("a"), nullptr);
    EXPECT_EQ(r->GetChild("a")->GetChildCount(), 0u);
    EXPECT_EQ(Text(r->GetChild("a")->GetAttribute("x")), "1");
    ASSERT_NE(r->GetChild("c"), nullptr);
    EXPECT_EQ(Text(r->GetChild("c")->GetContent()), "text");
}

TEST(XmlParseTest, EscapedMarkupInContentIsText)
{
    TXmlNode root;
    root.ParseString("<a>&lt;b&gt; &#65;</a>");
    TXmlNode* a = root.GetChild("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetChildCount(), 0u);
    EXPECT_EQ(Text(a->GetContent()), "<b> A");
}

TEST(XmlParseTest, EqualsSignIsATokenOfItsOwn)
{
    TXmlNode root;
    root.ParseString("<a>a=b</a>");
    EXPECT_EQ(Text(root.GetChild("a")->GetContent()), "a = b");
}

TEST(XmlParseTest, DeclarationBecomesAChildWithPseudoAttributes)
{
    TXmlNode root;
    root.ParseString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- note -->\n<doc k='v'>x</doc>");
    str name;
    TXmlNode* child = nullptr;
    root.ResetChildren();
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    EXPECT_EQ(Text(name), "?xml");
    EXPECT_EQ(Text(child->GetAttribute("version")), "1.0");
    EXPECT_EQ(Text(child->GetAttribute("encoding")), "UTF-8");
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    EXPECT_EQ(Text(name), "!--");
    ASSERT_TRUE(root.GetNextChild(&name, &child));
    EXPECT_EQ(Text(name), "doc");
    EXPECT_EQ(Text(child->GetContent()), "x");
    EXPECT_FALSE(root.GetNextChild(&name, &child));
}

TEST(XmlParseTest, AttributesKeepOrderDuplicatesAndQuoting)
{
    TXmlNode root;
    root.ParseString("<a one=1 two=\"2\" one=\"again\" empty=\"\" gt=\">\" eq=\"=\"></a>");
    TXmlNode* a = root.GetChild("a");
    ASSERT_NE(a, nullptr);
    bool quoted = true;
    EXPECT_EQ(Text(a->GetAttribute("one", &quoted)), "1");
    EXPECT_FALSE(quoted);
    EXPECT_EQ(Text(a->GetAttribute("two", &quoted)), "2");
    EXPECT_TRUE(quoted);
    EXPECT_EQ(Text(a->GetAttribute("empty", &quoted)), "");
    EXPECT_TRUE(quoted);
    EXPECT_EQ(Text(a->GetAttribute("gt")), ">");
    EXPECT_EQ(Text(a->GetAttribute("eq")), "=");
    std::vector<std::string> seen;
    str n, v;
    a->ResetAttributes();
    while (a->GetNextAttribute(&n, &v))
        seen.push_back(Text(n) + ":" + Text(v));
    EXPECT_EQ(seen, (std::vector<std::string>{"one:1", "two:2", "one:again", "empty:", "gt:>", "eq:="}));

    quoted = true;
    EXPECT_EQ(Text(a->GetAttribute("missing", &quoted)), "");
    EXPECT_TRUE(quoted);  // untouched
}

TEST(XmlParseTest, EmptyQuotedContentDoesNotEndTheElement)
{
    TXmlNode root;
    root.ParseString("<a><b>x \"\" y</b><c/></a>");
    TXmlNode* a = root.GetChild("a");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->GetChild("b"), nullptr);
    EXPECT_EQ(Text(a->GetChild("b")->GetContent()), "x y");
    EXPECT_NE(a->GetChild("c"), nullptr);
    EXPECT_EQ(root.GetChildCount(), 1u);
}

TEST(XmlParseTest, MalformedInputIsAbsorbed)
{
    const char* inputs[] = {
        "",           "<",         "<<<>>>",    "</a></b>",     "<a",          "<a x=",        "<a x=\"unterminated",
        ">>> text <", "<a><b><c>", "=\"=\"<=>", "\xFF\xFE\xF0", "<a/ b=1 / >", "<!-- <a> -->",
    };
    for (const char* in : inputs) {
        TXmlNode root;
        root.ParseString(in);
        (void)root.AsString();
    }
    // A tag cut off by the end of the input is flagged on the source.
    TXmlNode root;
    TGetCharString cut("<a x=\"1\"");
    root.Parse(&cut);
    EXPECT_TRUE(cut.mTagCut);
    ASSERT_NE(root.GetChild("a"), nullptr);
    EXPECT_EQ(Text(root.GetChild("a")->GetAttribute("x")), "1");
}

TEST(XmlParseTest, NestingIsReadToTheDepthLimitAndRefusedBeyondIt)
{
    const auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i)
            text += "<a>";
        return text;
    };
    TXmlNode whole;
    EXPECT_TRUE(whole.ParseString(nested(TXmlNode::kMaxDepth).c_str()));
    TXmlNode* node = &whole;
    for (int i = 0; i < TXmlNode::kMaxDepth && node; ++i)
        node = node->GetChild("a");
    EXPECT_NE(node, nullptr);
    // Far deeper than a stack holds when read one level per call.
    TXmlNode deep;
    EXPECT_FALSE(deep.ParseString(nested(2000000).c_str()));
}

TEST(XmlParseTest, StopModes)
{
    {
        TXmlNode root;
        TGetCharString source("<a><b/></a><c/>");
        source.mStopMode = 1;
        root.Parse(&source);
        EXPECT_NE(root.GetChild("a"), nullptr);
        EXPECT_EQ(root.GetChild("c"), nullptr);
    }
    {
        TXmlNode root;
        TGetCharString source("<a><b/></a><c/>");
        source.mStopMode = 2;
        root.Parse(&source);
        ASSERT_NE(root.GetChild("a"), nullptr);
        EXPECT_EQ(root.GetChild("a")->GetChildCount(), 0u);
    }
}

TEST(XmlParseTest, ParsingAddsToAnExistingTree)
{
    TXmlNode root;
    root.ParseString("<a/>");
    root.ParseString("<b/>");
    EXPECT_EQ(root.GetChildCount(), 2u);
}

// A subclass can read a document through the callbacks without building a tree.
class CountingNode : public TXmlNode
{
public:
    TXmlNode* OnOpenTag(const str& name) override
    {
        ++opens;
        names += name.c_str();
        return this;
    }
    void OnEndTag(const str&) override { ++ends; }
    void OnAttribute(const str&, const str&, bool) override { ++attributes; }
    int opens = 0, ends = 0, attributes = 0;
    std::string names;
};

TEST(XmlParseTest, CallbacksCanBeOverridden)
{
    CountingNode node;
    node.ParseString("<a x=1><b y=2 z=3/></a>");
    EXPECT_EQ(node.opens, 2);
    EXPECT_EQ(node.names, "ab");
    EXPECT_EQ(node.attributes, 3);
    EXPECT_EQ(node.ends, 2);
    EXPECT_EQ(node.GetChildCount(), 0u);
}

}  // namespace
