#pragma once
// Whether a text is a well-formed XML document, as far as packing it is concerned: tags that
// open and close in order, quoted attributes, whole references and comments, at least one
// element, no text or control bytes outside the elements. Several top-level elements are
// allowed, as the engine's own files have them.

#include <string>
#include <string_view>

// False with "line N: what is wrong" in *error.
bool CheckXml(std::string_view text, std::string* error);
