#pragma once
// Conversion between the three encodings the program meets: GBK (its own
// text), UTF-8 (the platform, the file system, the engines) and UTF-16LE.
// This file is the only user of iconv.

#include <string>
#include <string_view>

namespace orvendel {

enum class Encoding {
  kGbk,      // code page 936 as iconv's "CP936": byte 0x80 is the euro sign
  kUtf8,
  kUtf16Le,  // little-endian units, no byte-order mark
};

// bytes read in `from`, written in `to`. Never fails: an invalid or
// incomplete input sequence, and a character that `to` has no form for, come
// out as the replacement character of `to`: "?" for GBK, U+FFFD for UTF-8 and
// UTF-16LE. For GBK input an invalid lead byte costs one byte, so
// "\x81\x20" reads as U+FFFD and a space. A NUL in the input is converted
// like any other character. A final odd byte of UTF-16LE input is one
// invalid sequence.
std::string convert_encoding(std::string_view bytes, Encoding from, Encoding to);

}  // namespace orvendel
