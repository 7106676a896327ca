#pragma once
// A small XML document model: a tree of named elements, each with an ordered list of
// attributes and one content text. The reader is forgiving (unknown or unbalanced markup
// is absorbed, never an error); the writer produces indented text the reader takes back.
// Parsing adds to the tree; it never clears it.

#include "core/text/str.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class TGetChar;

class TXmlNode
{
public:
    TXmlNode();
    explicit TXmlNode(const char* name);
    virtual ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    // Elements nest at most this deep: reading deeper would exhaust the stack.
    static constexpr int32_t kMaxDepth = 256;

    // Plain or compressed ("ZXML") XML from a file. False when the file does not open, a
    // compressed block is damaged (then nothing is added) or elements nest deeper than
    // kMaxDepth (then what came before stays). Input that ends inside an element is read as
    // far as it goes and logged with the file's name.
    bool ParseFile(const char* path);
    // Zero-terminated text, or a compressed block when `size` says how long it is; a
    // compressed block of unknown size is refused. False as for ParseFile.
    bool ParseString(const char* text, long size = -1);
    bool DecompressAndParse(const void* block, size_t size);
    // Stops at kMaxDepth, setting the source's mTooDeep.
    void Parse(TGetChar* source);
    // Reads one tag after its "<"; returns the element whose body follows, or null.
    TXmlNode* ParseTag(TGetChar* source, bool* closing);

    TXmlNode* CreateChild(const char* name);
    // First child of that exact name, or null.
    TXmlNode* GetChild(const char* name) const;
    void ResetChildren();
    bool GetNextChild(str* name, TXmlNode** child);
    void ResetAttributes();
    bool GetNextAttribute(str* name, str* value);

    // Value of the first attribute of that name, or the empty text (`quoted` untouched).
    str GetAttribute(const char* name, bool* quoted = nullptr) const;
    // Replaces the first attribute of that name in place, or appends one; marked quoted.
    void SetAttribute(const char* name, const char* value);
    void SetAttribute(const char* name, int value);

    str GetName() const { return mName; }
    str GetContent() const { return mContent; }
    size_t GetChildCount() const { return mChildren.size(); }

    // The element and its subtree as indented text.
    str AsString();

    // Parser callbacks: a subclass may read a document without building a tree.
    virtual TXmlNode* OnOpenTag(const str& name);
    virtual void OnEndTag(const str& name);
    virtual void OnContent(const str& text, int length);
    virtual void OnAttribute(const str& name, const str& value, bool quoted);

private:
    struct TAttribute
    {
        str name;
        str value;
        bool quoted = false;
    };

    bool ParseBuffer(const char* data, size_t size, const char* what);
    bool ParseSource(TGetChar& source, const char* what);
    void Write(std::string& out, int indent) const;

    str mContent;
    int32_t mContentLength = 0;
    uint32_t mSizeHint = 4096;
    str mName;
    std::vector<std::unique_ptr<TXmlNode>> mChildren;
    size_t mChildCursor = ~size_t(0);
    std::vector<TAttribute> mAttributes;
    size_t mAttributeCursor = ~size_t(0);
};
