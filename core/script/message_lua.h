#pragma once
// The Lua view of a message: a boxed userdata holding the message's address (lua_touserdata
// gives the message), with the metatable
// kept in the registry under "zvMessageMetatable" ("__gc" deletes the message, "__index"
// reads "type" and "name"). A message pushed into Lua belongs to Lua from then on.
//   CreateMessageMetatable(L);          // once, when the state is built
//   PushMessage(L, new TMessage(...));  // the collector deletes it
//   TMessage* m = ToMessage(L, 1);

#include <lua.h>

class TMessage;
class dfLua;
template <class T>
struct TypeWrapper;

// Makes the metatable when the registry has none yet.
void CreateMessageMetatable(lua_State* L);
// Pushes the message as a box with the message metatable (created if missing). A null
// message pushes nil.
void PushMessage(lua_State* L, TMessage* message);
// The message in a box at the index, or null for any other value.
TMessage* ToMessage(lua_State* L, int index);

// A dispatcher argument that is a message box (null for anything else).
TMessage* Get(TypeWrapper<TMessage*>, dfLua& lua, int index);

// "__gc": deletes the message through its virtual destructor; null is ignored.
void DeleteMessage(TMessage* message);
// "__index": "type" gives the type number, "name" the name, any other key nil. No message:
// no values.
int IndexMessage(lua_State* L);
