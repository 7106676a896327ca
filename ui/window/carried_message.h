#pragma once
// A message that Lua code posted travels in a TLuaMessageWrapper; when its Lua data is a
// message box, that boxed message is what handlers are offered.

class TMessage;

// The boxed message of a wrapper, else the message itself (null stays null).
TMessage* CarriedMessage(TMessage* message);
