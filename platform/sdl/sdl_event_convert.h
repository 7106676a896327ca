#pragma once
// SDL events as the system-event records the event translation reads.

#include "core/math/rect.h"
#include "core/platform/system_event.h"

#include <SDL.h>

#include <cstdint>
#include <vector>

struct TSdlInputState
{
    uint32_t mainWindowId = 0;
    TPoint mouse;  // window-local
    uint16_t keyMods = KMOD_NONE;
};

// Appends the records one SDL event stands for: always at least one (an untranslated record
// for events the tables don't know). `followingText` is the text input queued after a key
// press, if any: it gives the key's character.
void ConvertSdlEvent(const SDL_Event& event, const TSdlInputState& state, const SDL_Event* followingText,
                     std::vector<TSystemEvent>& out);

// Shift 1, Control 2, Option (Alt) 4.
uint32_t ModifierBits(uint16_t keyMods);

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::vector<uint16_t> Utf8ToUtf16(const char* text);
