#pragma once
// The framework's message texts, compiled in from resources/Messages.def.

#include <string>

enum class Msg {
#define MESSAGE(id, text) id,
#include "resources/Messages.def"
#undef MESSAGE
};

// The text of a message, with its format patterns still in it.
const std::string& LoadMessage(Msg id);
