#pragma once
// A message that windows post to each other: a kind, a name, and the window where delivery
// starts (null: the window manager picks the receiver). The target is not owned; the window
// manager clears it when that window goes away.
//   TMessage* m = new TMessage(kButtonPress, "ok", nullptr);
//   if (m->IsKindOf(TLuaMessageWrapper::ClassId())) ...

#include <cstdint>

#include "core/system/class_id.h"
#include "core/text/str.h"

class TWindow;

class TMessage
{
    TV_CLASS_ROOT(TMessage)

public:
    TMessage(int32_t type, const str& name, TWindow* target);
    virtual ~TMessage() = default;

    int32_t GetType() const { return mType; }
    const str& GetName() const { return mName; }
    TWindow* GetTarget() const { return mTarget; }
    void SetTarget(TWindow* target) { mTarget = target; }

private:
    int32_t mType;
    str mName;
    TWindow* mTarget;
};
