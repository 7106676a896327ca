#pragma once
// Class identity shared by every engine class family (assets, messages, windows, particles):
// the address of a per-class tag, unique in the process and pointer-sized.
//   class TMessage { TV_CLASS_ROOT(TMessage) ... };
//   class TLuaMessageWrapper : public TMessage { TV_CLASS(TLuaMessageWrapper, TMessage) ... };
//   if (m->IsKindOf(TLuaMessageWrapper::ClassId())) ...

#include <cstdint>

using TClassId = std::uintptr_t;

// The static ClassId of a class; each expansion owns its own tag.
#define TV_CLASS_ID_FUNCTION                                                                                           \
    static TClassId ClassId()                                                                                          \
    {                                                                                                                  \
        static const char tag = 0;                                                                                     \
        return reinterpret_cast<TClassId>(&tag);                                                                       \
    }

// The base of a family: declares ClassId and the virtual GetTypeName and IsKindOf.
#define TV_CLASS_ROOT(Name)                                                                                            \
public:                                                                                                                \
    TV_CLASS_ID_FUNCTION                                                                                               \
    virtual const char* GetTypeName() const                                                                            \
    {                                                                                                                  \
        return #Name;                                                                                                  \
    }                                                                                                                  \
    virtual bool IsKindOf(TClassId id) const                                                                           \
    {                                                                                                                  \
        return id == ClassId();                                                                                        \
    }

// A class derived from `Base`: true for its own id, then whatever its base accepts.
#define TV_CLASS(Name, Base)                                                                                           \
public:                                                                                                                \
    TV_CLASS_ID_FUNCTION                                                                                               \
    const char* GetTypeName() const override                                                                           \
    {                                                                                                                  \
        return #Name;                                                                                                  \
    }                                                                                                                  \
    bool IsKindOf(TClassId id) const override                                                                          \
    {                                                                                                                  \
        return id == ClassId() || Base::IsKindOf(id);                                                                  \
    }
