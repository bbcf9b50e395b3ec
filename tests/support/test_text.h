#pragma once
// Helpers for writing test data. Narrow literals are GBK in this project;
// UTF-8 data is written as u8"..." and turned into bytes with utf8().

#include <string>
#include <string_view>

namespace orvendel::testing {

inline std::string utf8(std::u8string_view text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// Bytes written as hex pairs for readable failure output: "D6 D0".
inline std::string hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

}  // namespace orvendel::testing
