#include "text/text_primitives.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace orvendel {
namespace {

// A byte of 0x80 or above starts a two-byte character.
bool is_lead_byte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// The width of the character starting at i: 2 for a lead byte, else 1.
std::size_t char_width(const Text& t, std::size_t i) { return is_lead_byte(t[i]) ? 2 : 1; }

// Whether a lead byte at i has no second byte behind it.
bool is_lone_final_lead(const Text& t, std::size_t i) {
  return is_lead_byte(t[i]) && i + 1 >= t.size();
}

char fold_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool bytes_match_at(const Text& t, std::size_t p, const Text& s, bool ignore_case) {
  if (t.size() - p < s.size()) return false;
  for (std::size_t k = 0; k < s.size(); ++k) {
    char a = t[p + k], b = s[k];
    if (ignore_case) {
      a = fold_ascii(a);
      b = fold_ascii(b);
    }
    if (a != b) return false;
  }
  return true;
}

// The length of the space character at i: 1 for 0x20, 2 for A1 A1, else 0.
std::size_t space_width(const Text& t, std::size_t i) {
  if (t[i] == ' ') return 1;
  if (static_cast<unsigned char>(t[i]) == 0xA1 && i + 1 < t.size() &&
      static_cast<unsigned char>(t[i + 1]) == 0xA1)
    return 2;
  return 0;
}

int saturate(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

int text_length(const Text& t) { return saturate(static_cast<long long>(t.size())); }

Text text_left(const Text& t, int n) {
  if (n <= 0) return {};
  return t.substr(0, static_cast<std::size_t>(n));
}

Text text_right(const Text& t, int n) {
  if (n <= 0) return {};
  std::size_t k = static_cast<std::size_t>(n);
  if (k >= t.size()) return t;
  return t.substr(t.size() - k);
}

Text text_mid(const Text& t, int p, int n) {
  if (p < 1 || p > text_length(t) || n <= 0) return {};
  return t.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n));
}

int compare_text(const Text& a, const Text& b) {
  // std::string compares through char_traits<char>, which compares as unsigned char.
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int find_text(const Text& t, const Text& s, int start, bool ignore_case) {
  const std::size_t n = t.size();
  const std::size_t b = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  if (b >= n) return -1;
  if (s.empty()) return 1;
  for (std::size_t p = b; p < n && n - p >= s.size(); p += char_width(t, p)) {
    if (bytes_match_at(t, p, s, ignore_case)) return saturate(static_cast<long long>(p) + 1);
  }
  return -1;
}

int find_text_reverse(const Text& t, const Text& s, std::optional<int> start, bool ignore_case) {
  const std::size_t n = t.size();
  std::size_t m = n;
  if (start) {
    if (*start <= 1)
      m = 0;
    else if (static_cast<long long>(*start) <= static_cast<long long>(n) + 1)
      m = static_cast<std::size_t>(*start - 1);
  }
  if (s.empty()) return m > 0 ? 1 : -1;
  int found = -1;
  for (std::size_t p = 0; p < n && p + s.size() <= m; p += char_width(t, p)) {
    if (bytes_match_at(t, p, s, ignore_case)) found = saturate(static_cast<long long>(p) + 1);
  }
  return found;
}

Text replace_text(const Text& t, const Text& find, const Text& replacement, int start,
                  std::optional<int> count, bool case_sensitive) {
  const std::size_t b = start > 1 ? static_cast<std::size_t>(start - 1) : 0;
  if (t.empty() || find.empty() || (count && *count == 0) || b >= t.size()) return t;
  Text out = t.substr(0, b);
  int made = 0;
  std::size_t p = b;
  while (p < t.size() && t.size() - p >= find.size()) {
    if (bytes_match_at(t, p, find, !case_sensitive)) {
      out += replacement;
      p += find.size();
      if (count && ++made == *count) break;
      continue;
    }
    if (is_lone_final_lead(t, p)) return out;
    out.append(t, p, char_width(t, p));
    p += char_width(t, p);
  }
  out.append(t, p, Text::npos);
  return out;
}

TextList split_text(const Text& t, const Text& separator) {
  TextList pieces;
  if (t.empty()) return pieces;
  if (separator.empty()) return {t};
  std::size_t piece_start = 0;
  std::size_t p = 0;
  while (p < t.size() && t.size() - p >= separator.size()) {
    if (bytes_match_at(t, p, separator, false)) {
      pieces.push_back(t.substr(piece_start, p - piece_start));
      p += separator.size();
      piece_start = p;
    } else {
      p += char_width(t, p);
    }
  }
  if (piece_start < t.size()) pieces.push_back(t.substr(piece_start));
  return pieces;
}

Text trim_both_ends(const Text& t) {
  std::size_t p = 0;
  while (p < t.size()) {
    std::size_t w = space_width(t, p);
    if (w == 0) break;
    p += w;
  }
  const std::size_t begin = p;
  std::size_t end = p;  // end of the last character that is not a space
  while (p < t.size()) {
    if (is_lone_final_lead(t, p)) break;
    std::size_t w = space_width(t, p);
    if (w == 0) {
      w = char_width(t, p);
      end = p + w;
    }
    p += w;
  }
  return t.substr(begin, end - begin);
}

Text remove_all_spaces(const Text& t) {
  Text out;
  for (std::size_t p = 0; p < t.size();) {
    if (std::size_t w = space_width(t, p)) {
      p += w;
      continue;
    }
    if (is_lone_final_lead(t, p)) break;
    out.append(t, p, char_width(t, p));
    p += char_width(t, p);
  }
  return out;
}

Text to_lower(const Text& t) {
  Text out = t;
  for (std::size_t p = 0; p < out.size(); p += char_width(out, p)) {
    if (!is_lead_byte(out[p])) out[p] = fold_ascii(out[p]);
  }
  return out;
}

int text_to_int(const Text& t) {
  // Full-width forms first, so that full-width digits and signs read as ASCII.
  Text ascii;
  for (std::size_t p = 0; p < t.size();) {
    const unsigned char c = static_cast<unsigned char>(t[p]);
    if (c >= 0x80 && p + 1 < t.size()) {
      const unsigned char c2 = static_cast<unsigned char>(t[p + 1]);
      if (c == 0xA3 && c2 >= 0xA1 && c2 <= 0xFE)
        ascii += static_cast<char>(c2 - 0x80);
      else if (c == 0xA1 && c2 == 0xA1)
        ascii += ' ';
      else
        ascii.append(t, p, 2);
      p += 2;
    } else {
      ascii += t[p++];
    }
  }
  std::size_t p = 0;
  while (p < ascii.size() && (ascii[p] == ' ' || (ascii[p] >= '\t' && ascii[p] <= '\r'))) ++p;
  bool negative = false;
  if (p < ascii.size() && (ascii[p] == '+' || ascii[p] == '-')) negative = ascii[p++] == '-';
  long long value = 0;
  for (; p < ascii.size() && ascii[p] >= '0' && ascii[p] <= '9'; ++p) {
    value = value * 10 + (ascii[p] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;  // saturated already
  }
  return saturate(negative ? -value : value);
}

int real_to_int(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

Text number_to_text(int n) { return std::to_string(n); }

Text number_to_text(double x) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.13g", x);
  return buffer;
}

Text byte_to_hex(int v) {
  static const char kDigits[] = "0123456789ABCDEF";
  unsigned int u = static_cast<unsigned int>(v);
  Text out;
  do {
    out.insert(out.begin(), kDigits[u % 16]);
    u /= 16;
  } while (u != 0);
  return out;
}

Text char_from_code(int c) {
  if (c == 0) return {};
  return Text(1, static_cast<char>(c));
}

Text blank_text(int n) { return n < 1 ? Text() : Text(static_cast<std::size_t>(n), ' '); }

int bytes_length(const ByteBuffer& b) { return saturate(static_cast<long long>(b.size())); }

ByteBuffer blank_bytes(int n) {
  return n <= 0 ? ByteBuffer() : ByteBuffer(std::string(static_cast<std::size_t>(n), '\0'));
}

ByteBuffer bytes_left(const ByteBuffer& b, int n) {
  if (n <= 0) return {};
  return ByteBuffer(b.bytes().substr(0, static_cast<std::size_t>(n)));
}

bool bytes_equal(const ByteBuffer& a, const ByteBuffer& b) { return a == b; }

ByteBuffer text_to_bytes(const Text& t) { return ByteBuffer(t); }

Text bytes_to_text(const ByteBuffer& b) {
  const std::string& bytes = b.bytes();
  return bytes.substr(0, bytes.find('\0'));
}

int list_count(const TextList& l) { return saturate(static_cast<long long>(l.size())); }

Text list_item(const TextList& l, int i) {
  if (i < 1 || i > list_count(l)) return {};
  return l[static_cast<std::size_t>(i - 1)];
}

void list_append(TextList& l, const Text& t) { l.push_back(t); }

void list_clear(TextList& l) { l.clear(); }

}  // namespace orvendel
