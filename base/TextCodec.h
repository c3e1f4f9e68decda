#pragma once

// Text encodings of the files the program reads: UTF-8 when a file is valid UTF-8 as a whole,
// else Windows-1252 (files written by older programs).

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <string_view>

namespace gipso {

// The longest line the readers of text files take (1 MiB): no real line of a point file or of
// the configuration comes near it, and a longer one is skipped and counted.
constexpr size_t kMaxLineBytes = 1u << 20;

// A whole text file: UTF-8 when it is valid UTF-8 (a BOM is dropped), else Windows-1252.
QString decodeText(const QByteArray &bytes);

// Fields of a file whose encoding is decided elsewhere.
QString decodeUtf8(std::string_view bytes);
QString decodeWindows1252(std::string_view bytes);
bool isAscii(std::string_view bytes);

// Streaming check that bytes are valid UTF-8, by the rules of the decoder behind decodeText
// (no overlong forms, no surrogates, nothing above U+10FFFF), for files read in blocks.
class Utf8Check {
public:
    void feed(const char *data, size_t size);
    bool valid() const { return ok_ && need_ == 0; }

private:
    bool ok_ = true;
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
};

} // namespace gipso
