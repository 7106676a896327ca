#include "core/xml/xml_node.h"

#include "core/debug/debug_log.h"
#include "core/files/file_bytes.h"
#include "core/files/get_char.h"
#include "core/xml/xml_escape.h"
#include "core/xml/xml_token.h"
#include "core/xml/zxml_block.h"

#include <cstring>

TXmlNode::TXmlNode() = default;

TXmlNode::TXmlNode(const char* name) : mName(name) {}

TXmlNode::~TXmlNode() = default;

// ---------------------------------------------------------------- reading

bool TXmlNode::ParseFile(const char* path)
{
    std::vector<char> bytes;
    if (!ReadFileBytes(path, kFileRead, bytes))
        return false;
    return ParseBuffer(bytes.data(), bytes.size(), path);
}

bool TXmlNode::ParseString(const char* text, long size)
{
    if (!text)
        return false;
    if (size < 0) {
        if (strncmp(text, "ZXML", 4) == 0) {
            WriteDbg("ZXML: compressed block of unknown size refused");
            return false;
        }
        size = long(strlen(text));
    }
    return ParseBuffer(text, size_t(size), "text");
}

bool TXmlNode::ParseBuffer(const char* data, size_t size, const char* what)
{
    if (IsZxmlBlock(data, size))
        return DecompressAndParse(data, size);
    TGetCharString source(data, int32_t(std::min<size_t>(size, 0x7FFFFFFF)));
    return ParseSource(source, what);
}

bool TXmlNode::DecompressAndParse(const void* block, size_t size)
{
    std::vector<char> text;
    if (!ZxmlInflate(block, size, text))
        return false;
    TGetCharString source(text.data(), int32_t(text.size()));
    return ParseSource(source, "compressed block");
}

bool TXmlNode::ParseSource(TGetChar& source, const char* what)
{
    Parse(&source);
    if (source.mTooDeep) {
        WriteDbg("XML error in %s: elements nest deeper than %d levels; not read", what, kMaxDepth);
        return false;
    }
    if (source.mUnclosed || source.mTagCut)
        WriteDbg("XML warning in %s: the input ends inside an element; it may be cut off", what);
    return true;
}

void TXmlNode::Parse(TGetChar* source)
{
    while (!source->mEndOfInput) {
        bool quoted = false, escapedFirst = false, atEnd = false;
        int length = 0;
        str token = zvGetToken(source, &quoted, &escapedFirst, &length, &atEnd);
        if (atEnd) {
            source->mUnclosed |= source->mDepth > 0;
            return;
        }
        bool closing = false;
        if (length == 0)
            continue;  // an empty quoted text, or a reference that stood for nothing
        if (token[0] != '<' || escapedFirst || quoted)
            OnContent(token, length);
        else {
            TXmlNode* element = ParseTag(source, &closing);
            if (source->mStopMode == 2)
                source->mEndOfInput = 1;
            if (element && source->mDepth >= kMaxDepth) {
                source->mTooDeep = true;
                source->mEndOfInput = 1;
                return;
            }
            if (element) {
                ++source->mDepth;
                element->Parse(source);
                --source->mDepth;
            }
        }
        if (source->mStopMode == 1 && source->mTopLevelClosed)
            source->mEndOfInput = 1;
        if (closing)
            return;
    }
}

TXmlNode* TXmlNode::ParseTag(TGetChar* source, bool* closing)
{
    enum
    {
        kName,
        kAttribute,
        kValue
    } state = kName;
    str pending;
    bool declaration = false;
    TXmlNode* element = nullptr;

    for (;;) {
        bool quoted = false, escapedFirst = false, atEnd = false;
        int length = 0;
        str token = zvGetToken(source, &quoted, &escapedFirst, &length, &atEnd);
        if (atEnd) {
            source->mTagCut = true;
            return element;
        }
        // Quoted text is never markup: a value may well be ">" or "=".
        const bool markup = !escapedFirst && !quoted;
        if (markup && token == str(">")) {
            if (pending[0] == '/' || pending[0] == '?' || declaration) {
                source->mTopLevelClosed = source->mDepth == 0;
                OnEndTag(token);
                return nullptr;
            }
            return element;
        }
        switch (state) {
        case kName:
            if (markup && token[0] == '/') {
                *closing = true;
                source->mTopLevelClosed = source->mDepth == 1;
                OnEndTag(token);
                declaration = false;
            } else {
                element = OnOpenTag(token);
                declaration = token == str("?xml") || token == str("!DOCTYPE") || strncmp(token.c_str(), "!--", 3) == 0;
            }
            state = kAttribute;
            break;
        case kAttribute:
            if (markup && token == str("="))
                state = kValue;
            else
                pending = token;
            break;
        case kValue:
            if (element) {
                element->OnAttribute(pending, token, quoted);
                pending = str();
                state = kAttribute;
            }
            break;
        }
    }
}

// ---------------------------------------------------------------- callbacks

TXmlNode* TXmlNode::OnOpenTag(const str& name)
{
    return CreateChild(name.c_str());
}

void TXmlNode::OnEndTag(const str&) {}

void TXmlNode::OnContent(const str& text, int length)
{
    if (length <= 0)
        return;
    if (!mContent.empty()) {
        mContent.overlay(-1, " ", 1, true);
        ++mContentLength;
    }
    mContent.overlay(-1, text.c_str(), text.length(), true);
    mContentLength += int32_t(text.length());
}

void TXmlNode::OnAttribute(const str& name, const str& value, bool quoted)
{
    mAttributes.push_back({name, value, quoted});
}

// ---------------------------------------------------------------- tree

TXmlNode* TXmlNode::CreateChild(const char* name)
{
    mChildren.push_back(std::make_unique<TXmlNode>(name));
    return mChildren.back().get();
}

TXmlNode* TXmlNode::GetChild(const char* name) const
{
    const str wanted(name);
    for (const auto& child : mChildren)
        if (strcmp(child->mName.c_str(), wanted.c_str()) == 0)
            return child.get();
    return nullptr;
}

void TXmlNode::ResetChildren()
{
    mChildCursor = 0;
}

bool TXmlNode::GetNextChild(str* name, TXmlNode** child)
{
    if (mChildCursor >= mChildren.size())
        return false;
    TXmlNode* node = mChildren[mChildCursor++].get();
    if (name)
        *name = node->mName;
    if (child)
        *child = node;
    return true;
}

void TXmlNode::ResetAttributes()
{
    mAttributeCursor = 0;
}

bool TXmlNode::GetNextAttribute(str* name, str* value)
{
    if (mAttributeCursor >= mAttributes.size())
        return false;
    const TAttribute& a = mAttributes[mAttributeCursor++];
    if (name)
        *name = a.name;
    if (value)
        *value = a.value;
    return true;
}

str TXmlNode::GetAttribute(const char* name, bool* quoted) const
{
    const char* wanted = name ? name : "";
    for (const TAttribute& a : mAttributes)
        if (strcmp(a.name.c_str(), wanted) == 0) {
            if (quoted)
                *quoted = a.quoted;
            return a.value;
        }
    return str("");
}

void TXmlNode::SetAttribute(const char* name, const char* value)
{
    const char* wanted = name ? name : "";
    for (TAttribute& a : mAttributes)
        if (strcmp(a.name.c_str(), wanted) == 0) {
            a.value = str(value);
            a.quoted = true;
            return;
        }
    mAttributes.push_back({str(wanted), str(value), true});
}

void TXmlNode::SetAttribute(const char* name, int value)
{
    SetAttribute(name, str::getFormatted("%d", value).c_str());
}

// ---------------------------------------------------------------- writing

str TXmlNode::AsString()
{
    std::string out;
    out.reserve(mSizeHint);
    Write(out, 0);
    if (out.size() > mSizeHint)
        mSizeHint = uint32_t(out.size() + 1);
    return str(out.data(), out.size());
}

void TXmlNode::Write(std::string& out, int indent) const
{
    const std::string pad(size_t(indent), ' ');
    out += pad;
    out += '<';
    out += mName.c_str();
    for (const TAttribute& a : mAttributes) {
        out += '\n';
        out.append(size_t(indent + 4), ' ');
        out += xmlSafeString(a.name.c_str()).c_str();
        out += '=';
        if (a.quoted)
            out += '"';
        out += xmlSafeString(a.value.c_str()).c_str();
        if (a.quoted)
            out += '"';
    }
    // Declarations and comments have no body: an end tag such as "</?xml>" would close
    // the enclosing element when read back.
    const char first = mName[0];
    if (first == '?' || first == '!') {
        out += first == '?' ? "?>\n" : ">\n";
        return;
    }
    out += ">\n";
    if (!mContent.empty()) {
        out += pad;
        out += xmlSafeString(mContent.c_str()).c_str();
        out += '\n';
    }
    for (const auto& child : mChildren)
        child->Write(out, indent + 4);
    out += pad;
    out += "</";
    out += xmlSafeString(mName.c_str()).c_str();
    out += ">\n";
}
