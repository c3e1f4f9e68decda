#pragma once

namespace gipso {

struct MessageRow {
    int id;
    const char16_t *english;
    const char16_t *italian;
};

extern const MessageRow kMessageRows[];
extern const int kMessageRowCount;

} // namespace gipso
