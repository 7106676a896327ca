#include "core/xml/xml_escape.h"
#include "core/xml/xml_node.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const str& s)
{
    return s.c_str();
}

TEST(XmlWriteTest, LayoutOfAnElementWithAttributesContentAndChildren)
{
    TXmlNode node("item");
    node.SetAttribute("name", "door");
    node.SetAttribute("count", 3);
    node.OnContent("hello", 5);
    node.CreateChild("sub")->SetAttribute("k", "v");
    EXPECT_EQ(Text(node.AsString()), "<item\n"
                                     "    name=\"door\"\n"
                                     "    count=\"3\">\n"
                                     "hello\n"
                                     "    <sub\n"
                                     "        k=\"v\">\n"
                                     "    </sub>\n"
                                     "</item>\n");
}

TEST(XmlWriteTest, EscapingOfControlAndHighBytes)
{
    EXPECT_EQ(Text(xmlSafeString("a\tb")), "a&#9;b");
    EXPECT_EQ(Text(xmlSafeString("caf\xC3\xA9")), "caf&#195;&#169;");
    EXPECT_EQ(Text(xmlSafeString("<&>\"'")), "&lt;&amp;&gt;&quot;&apos;");
    EXPECT_EQ(Text(xmlSafeString("\x7F plain")), "\x7F plain");
    EXPECT_EQ(Text(xmlSafeString(nullptr)), "");
}

TEST(XmlWriteTest, SetAttributeKeepsPositionAndMarksQuoted)
{
    TXmlNode root;
    root.ParseString("<a first=1 second=2/>");
    TXmlNode* a = root.GetChild("a");
    ASSERT_NE(a, nullptr);
    a->SetAttribute("first", "changed");
    bool quoted = false;
    EXPECT_EQ(Text(a->GetAttribute("first", &quoted)), "changed");
    EXPECT_TRUE(quoted);
    str name, value;
    a->ResetAttributes();
    ASSERT_TRUE(a->GetNextAttribute(&name, &value));
    EXPECT_EQ(Text(name), "first");
    ASSERT_TRUE(a->GetNextAttribute(&name, &value));
    EXPECT_EQ(Text(name), "second");
    EXPECT_FALSE(a->GetNextAttribute(&name, &value));
    EXPECT_NE(Text(a->AsString()).find("second=2"), std::string::npos);  // parsed unquoted stays so
}

TEST(XmlWriteTest, CursorsAreUnsetUntilReset)
{
    TXmlNode node("n");
    node.CreateChild("c");
    node.SetAttribute("a", "b");
    str name, value;
    TXmlNode* child = nullptr;
    EXPECT_FALSE(node.GetNextChild(&name, &child));
    EXPECT_FALSE(node.GetNextAttribute(&name, &value));
    node.ResetChildren();
    EXPECT_TRUE(node.GetNextChild(&name, &child));
    EXPECT_EQ(child, node.GetChild("c"));
}

// Compares two trees: names, attributes (with quoting), content and children.
void ExpectSameTree(TXmlNode* a, TXmlNode* b, const std::string& where)
{
    EXPECT_EQ(Text(a->GetName()), Text(b->GetName())) << where;
    EXPECT_EQ(Text(a->GetContent()), Text(b->GetContent())) << where;
    str an, av, bn, bv;
    a->ResetAttributes();
    b->ResetAttributes();
    for (;;) {
        bool ga = a->GetNextAttribute(&an, &av), gb = b->GetNextAttribute(&bn, &bv);
        ASSERT_EQ(ga, gb) << where;
        if (!ga)
            break;
        EXPECT_EQ(Text(an), Text(bn)) << where;
        EXPECT_EQ(Text(av), Text(bv)) << where;
        bool qa = false, qb = false;
        a->GetAttribute(an.c_str(), &qa);
        b->GetAttribute(bn.c_str(), &qb);
        EXPECT_EQ(qa, qb) << where;
    }
    ASSERT_EQ(a->GetChildCount(), b->GetChildCount()) << where;
    TXmlNode *ca = nullptr, *cb = nullptr;
    a->ResetChildren();
    b->ResetChildren();
    while (a->GetNextChild(nullptr, &ca) && b->GetNextChild(nullptr, &cb))
        ExpectSameTree(ca, cb, where + "/" + Text(ca->GetName()));
}

TEST(XmlWriteTest, WriteThenParseRoundTrip)
{
    TXmlNode doc;
    TXmlNode* decl = doc.CreateChild("?xml");
    decl->SetAttribute("version", "1.0");
    TXmlNode* top = doc.CreateChild("top");
    top->SetAttribute("title", "Tom & Jerry's \"big\" <day>");
    top->SetAttribute("empty", "");
    top->SetAttribute("unicode", "na\xC3\xAFve \xE2\x82\xAC");
    top->OnContent("first line with\ttab", 19);
    TXmlNode* list = top->CreateChild("list");
    for (int i = 0; i < 5; ++i) {
        TXmlNode* item = list->CreateChild("item");
        item->SetAttribute("n", i);
        item->OnContent("<not a tag> & caf\xC3\xA9", 19);
    }
    top->CreateChild("after");
    doc.CreateChild("sibling")->SetAttribute("k", "v");

    const str written = doc.AsString();
    TXmlNode reread;
    reread.ParseString(written.c_str());
    // The document root has an empty name, written as "<>...</>", which reads back into
    // the root itself.
    ExpectSameTree(&doc, &reread, "doc");

    // Writing again gives the same text.
    EXPECT_EQ(Text(reread.AsString()), Text(written));
}

TEST(XmlWriteTest, ParsedDeclarationsAndCommentsDoNotSwallowTheDocument)
{
    TXmlNode doc;
    doc.ParseString("<?xml version=\"1.0\"?><!-- c --><a><b x=\"1\"/></a><z/>");
    TXmlNode again;
    again.ParseString(doc.AsString().c_str());
    ASSERT_EQ(again.GetChildCount(), 4u);
    ASSERT_NE(again.GetChild("a"), nullptr);
    EXPECT_NE(again.GetChild("a")->GetChild("b"), nullptr);
    EXPECT_NE(again.GetChild("z"), nullptr);
    EXPECT_EQ(Text(again.GetChild("?xml")->GetAttribute("version")), "1.0");
}

TEST(XmlWriteTest, AccentedBytesSurviveAsTwoReferences)
{
    TXmlNode node("t");
    node.OnContent("\xC3\xA9", 2);
    const std::string written = Text(node.AsString());
    EXPECT_NE(written.find("&#195;&#169;"), std::string::npos);
    TXmlNode back;
    back.ParseString(written.c_str());
    EXPECT_EQ(Text(back.GetChild("t")->GetContent()), "\xC3\xA9");
}

}  // namespace
