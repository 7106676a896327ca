#include "core/script/message.h"

TMessage::TMessage(int32_t type, const str& name, TWindow* target) : mType(type), mName(name), mTarget(target) {}
