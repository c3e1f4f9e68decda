#include "base/MessageTable.h"

namespace gipso {

const MessageRow kMessageRows[] = {
#define GIPSO_MESSAGE(name, id, english, italian) {id, english, italian},
#include "base/MessageTexts.h"
#undef GIPSO_MESSAGE
};

const int kMessageRowCount = int(sizeof(kMessageRows) / sizeof(kMessageRows[0]));

} // namespace gipso
