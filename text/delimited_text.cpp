#include "text/delimited_text.h"

#include <optional>

#include "text/process_events.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

Text with_quotes(const Text& marker) {
  return replace_text(marker, "#引号", "\"", 1, std::nullopt, true);
}

}  // namespace

Text text_between(const Text& text, const Text& left_marker, const Text& right_marker, int start,
                  bool ignore_case) {
  const Text left = with_quotes(left_marker);
  const Text right = with_quotes(right_marker);
  int a = find_text(text, left, start, ignore_case);
  if (a == -1) return {};
  a += text_length(left);
  const int b = find_text(text, right, a, ignore_case);
  if (b == -1) return {};
  return text_mid(text, a, b - a);
}

int extract_all_between(const Text& text, const Text& left, const Text& right, TextList& results,
                        bool case_sensitive, int max_length, const Text& prefix,
                        const Text& suffix, bool keep_left, bool keep_right, int start) {
  list_clear(results);
  // An empty left marker is found at position 1 every time: the walk would never move.
  if (left.empty()) return 0;
  int pos = start;
  for (;;) {
    const int a = find_text(text, left, pos, !case_sensitive);
    if (a == -1) break;
    const int b = find_text(text, right, a + text_length(left), !case_sensitive);
    if (b == -1) break;
    pos = a + text_length(left);
    Text hit = concat_text(prefix, trim_both_ends(text_mid(text, pos, b - pos)), suffix);
    if (!hit.empty()) {
      if (keep_left) hit = left + hit;
      if (keep_right) hit += right;
      if (max_length == 0) {
        list_append(results, hit);
      } else {
        if (text_length(hit) < max_length) list_append(results, hit);
        process_events();
      }
      // An empty right marker is "found" at position 1; never step backwards.
      pos = b > a ? b : pos;
    }
    process_events();
    process_events();
    process_events();
  }
  return list_count(results);
}

}  // namespace orvendel
