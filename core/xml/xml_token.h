#pragma once
// The XML reader's tokenizer: "<", ">" and "=" are tokens of their own, a double-quoted run
// is one token (quotes removed), anything else runs to white space or one of those three.

#include "core/text/str.h"

class TGetChar;

// Reads the next token with its entities replaced. `quoted` is set for a quoted token,
// `escapedFirst` when its first character came from an entity; `length` receives its
// length (left unchanged, so normally 0, at the end of the input). `atEnd` (may be null)
// tells the end of the input apart from a token that is empty, such as "".
str zvGetToken(TGetChar* source, bool* quoted, bool* escapedFirst, int* length, bool* atEnd = nullptr);
