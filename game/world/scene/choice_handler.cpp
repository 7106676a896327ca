// STUB: replaced by the owner of this file.
#include "game/world/scene/choice_handler.h"
tChoiceHandler::tChoiceHandler() : mSaySpec(DefaultSaySpec()) {}
tChoiceHandler::~tChoiceHandler() {}
void tChoiceHandler::CreateChoiceText(const std::vector<str>&) {}
void tChoiceHandler::ChoiceClicked(int) {}
void tChoiceHandler::DumpChoiceText() { mChoices.clear(); }
void ChoiceClicked(int) {}
