#pragma once

namespace gipso::msg {

// Message ids by name; the numbers and texts are in base/MessageTexts.h.
enum Id : int {
#define GIPSO_MESSAGE(name, id, english, italian) name = id,
#include "base/MessageTexts.h"
#undef GIPSO_MESSAGE
};

} // namespace gipso::msg
