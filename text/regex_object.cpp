// The regular-expression object on PCRE2's 16-bit library: the one file that
// includes its header.
#include "text/regex_object.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/encoding.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

using Units = std::u16string;

Units to_units(std::string_view gbk) {
  const std::string bytes = convert_encoding(gbk, Encoding::kGbk, Encoding::kUtf16Le);
  Units units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  return units;
}

Text to_text(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t u : units) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return convert_encoding(bytes, Encoding::kUtf16Le, Encoding::kGbk);
}

// The byte offset in the GBK subject of its UTF-16 unit `unit`. Each GBK
// character gives one unit: a pair whose two bytes convert to one character
// is a two-byte character, any other byte is one character (an invalid byte
// converts to one replacement character on its own).
int byte_offset_of_unit(const Text& subject, std::size_t unit) {
  std::size_t byte = 0;
  for (std::size_t u = 0; u < unit && byte < subject.size(); ++u) {
    std::size_t width = 1;
    if (static_cast<unsigned char>(subject[byte]) >= 0x80 && byte + 1 < subject.size()) {
      const Units pair = to_units(std::string_view(subject).substr(byte, 2));
      if (pair.size() == 1 && pair[0] != u'\uFFFD') width = 2;
    }
    byte += width;
  }
  return static_cast<int>(byte);
}

bool is_high_surrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

struct Span {
  PCRE2_SIZE start = PCRE2_UNSET;
  PCRE2_SIZE end = PCRE2_UNSET;
  bool took_part() const { return start != PCRE2_UNSET; }
};

// spans[0] is the whole match, spans[n] capture group n.
using Match = std::vector<Span>;

struct CompileContext {
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  ~CompileContext() { pcre2_compile_context_free(context); }
};

struct Code {
  pcre2_code* code = nullptr;
  ~Code() { pcre2_code_free(code); }
};

struct MatchData {
  pcre2_match_data* data = nullptr;
  ~MatchData() { pcre2_match_data_free(data); }
};

// Every match of code in subject in order (only the first unless global), or
// nothing when the engine gives up (match or depth limit). Like the script
// engines, after an empty match the search goes on one character later, so
// "aab" with "a*" matches "aa" at 0 and the empty text at 2 and at 3.
std::optional<std::vector<Match>> find_matches(const pcre2_code* code, const Units& subject,
                                               bool global) {
  MatchData md{pcre2_match_data_create_from_pattern(code, nullptr)};
  if (md.data == nullptr) return std::nullopt;
  const auto* units = reinterpret_cast<PCRE2_SPTR>(subject.data());
  std::vector<Match> matches;
  PCRE2_SIZE start = 0;
  while (start <= subject.size()) {
    const int rc = pcre2_match(code, units, subject.size(), start, 0, md.data, nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) return std::nullopt;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(md.data);
    Match m(pcre2_get_ovector_count(md.data));
    for (std::size_t g = 0; g < m.size(); ++g) m[g] = {ovector[2 * g], ovector[2 * g + 1]};
    matches.push_back(m);
    if (!global) break;
    start = m[0].end;
    if (m[0].end == m[0].start) {
      const bool pair = start + 1 < subject.size() && is_high_surrogate(subject[start]);
      start += pair ? 2 : 1;
    }
  }
  return matches;
}

}  // namespace

struct RegexObject::Run {
  Text pattern;  // after the quote substitution
  Text subject;
  Units subject_units;
  bool ran = false;
  std::uint32_t group_count = 0;
  std::vector<Match> matches;

  const Span* span(int match_index, int group) const {
    if (match_index < 1 || static_cast<std::size_t>(match_index) > matches.size()) return nullptr;
    const Match& m = matches[static_cast<std::size_t>(match_index - 1)];
    if (group < 0 || static_cast<std::size_t>(group) >= m.size()) return nullptr;
    return &m[static_cast<std::size_t>(group)];
  }

  // The text of group `group` of match match_index, with its byte position
  // written to position when asked; "" and -1 for indexes outside.
  static Text text_of(const Run* run, int match_index, int group, int* position);

  Units slice(const Span& s) const {
    if (!s.took_part()) return {};
    return subject_units.substr(s.start, s.end - s.start);
  }

  // replacement expanded for match m: $$, $&, $`, $', $n and $nn.
  void expand(const Units& replacement, const Match& m, Units& out) const {
    auto digit = [&](std::size_t i) {
      return i < replacement.size() && replacement[i] >= u'0' && replacement[i] <= u'9'
                 ? replacement[i] - u'0'
                 : -1;
    };
    auto is_group = [&](int n) { return n >= 1 && static_cast<std::size_t>(n) < m.size(); };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
      const char16_t c = replacement[i];
      const char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : u'\0';
      const int d1 = digit(i + 1);
      const int two = d1 >= 0 && digit(i + 2) >= 0 ? d1 * 10 + digit(i + 2) : -1;
      if (c != u'$') {
        out += c;
      } else if (next == u'$') {
        out += u'$', ++i;
      } else if (next == u'&') {
        out += slice(m[0]), ++i;
      } else if (next == u'`') {
        out.append(subject_units, 0, m[0].start), ++i;
      } else if (next == u'\'') {
        out.append(subject_units, m[0].end), ++i;
      } else if (is_group(two)) {
        out += slice(m[static_cast<std::size_t>(two)]), i += 2;
      } else if (is_group(d1)) {
        out += slice(m[static_cast<std::size_t>(d1)]), ++i;
      } else {
        out += c;  // starts nothing: the dollar stays and what follows is read on
      }
    }
  }
};

bool RegexObject::create(const Text& pattern, const Text& subject, bool case_sensitive,
                         bool multiline, bool global, bool quote_switch) {
  auto run = std::make_shared<Run>();
  run->pattern =
      quote_switch ? replace_text(pattern, "#引号", "\"", 1, std::nullopt, true) : pattern;
  run->subject = subject;
  run->subject_units = to_units(subject);
  run_ = run;

  std::uint32_t options = PCRE2_UTF | PCRE2_NEVER_UCP | PCRE2_NEVER_BACKSLASH_C | PCRE2_ALT_BSUX |
                          PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;
  if (!case_sensitive) options |= PCRE2_CASELESS;
  options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
  CompileContext cc;
  if (cc.context == nullptr) return false;
  // "." then stops at a line feed only and matches a carriage return.
  pcre2_set_newline(cc.context, PCRE2_NEWLINE_LF);
  const Units pattern_units = to_units(run->pattern);
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  Code code{pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_units.data()), pattern_units.size(),
                          options, &error, &error_offset, cc.context)};
  if (code.code == nullptr) return false;
  if (pcre2_pattern_info(code.code, PCRE2_INFO_CAPTURECOUNT, &run->group_count) != 0) return false;

  std::optional<std::vector<Match>> matches = find_matches(code.code, run->subject_units, global);
  if (!matches) return false;
  run->matches = std::move(*matches);
  run->ran = true;
  return true;
}

Text RegexObject::get_pattern() const { return run_ ? run_->pattern : Text(); }

Text RegexObject::replace(const Text& replacement) const {
  if (!run_ || !run_->ran) return {};
  const Units with = to_units(replacement);
  const Units& subject = run_->subject_units;
  Units out;
  std::size_t copied = 0;
  for (const Match& m : run_->matches) {
    out.append(subject, copied, m[0].start - copied);
    run_->expand(with, m, out);
    copied = m[0].end;
  }
  out.append(subject, copied);
  return to_text(out);
}

int RegexObject::match_count() const { return run_ ? static_cast<int>(run_->matches.size()) : 0; }

Text RegexObject::Run::text_of(const Run* run, int match_index, int group, int* position) {
  const Span* s = run != nullptr ? run->span(match_index, group) : nullptr;
  if (position != nullptr)
    *position = s != nullptr && s->took_part() ? byte_offset_of_unit(run->subject, s->start) : -1;
  return s != nullptr ? to_text(run->slice(*s)) : Text();
}

Text RegexObject::match_text(int index, int* position) const {
  return Run::text_of(run_.get(), index, 0, position);
}

Text RegexObject::submatch_text(int match_index, int capture_index, int* position) const {
  // Group 0 is the whole match, which is not a capture.
  if (capture_index < 1) capture_index = -1;
  return Run::text_of(run_.get(), match_index, capture_index, position);
}

int RegexObject::submatch_count() const {
  return run_ && !run_->matches.empty() ? static_cast<int>(run_->group_count) : 0;
}

int RegexObject::first_index(int index) const {
  const Span* s = run_ ? run_->span(index, 0) : nullptr;
  return s != nullptr ? static_cast<int>(s->start) : -1;
}

}  // namespace orvendel
