#include "web/cookie_merge.h"

#include "text/text_primitives.h"

namespace orvendel {

Text merge_cookies(const Text& old_cookies, const Text& new_cookies) {
  const TextList old_pairs = split_text(remove_all_spaces(old_cookies), ";");
  TextList pairs = split_text(remove_all_spaces(new_cookies), ";");
  // Growing the list as we go means of two old pairs with one name only the
  // first is carried over.
  for (const Text& old_pair : old_pairs) {
    if (!has_cookie_name(pairs, cookie_name(old_pair))) list_append(pairs, old_pair);
  }
  Text kept;
  for (const Text& pair : pairs) {
    if (text_right(pair, 8) != "=deleted") kept = concat_text(kept, pair, "; ");
  }
  kept = text_left(kept, text_length(kept) - 2);
  return join_distinct(kept, "; ");
}

Text cookie_name(const Text& pair) {
  const int equals = find_text(pair, "=");
  return trim_both_ends(equals == -1 ? pair : text_left(pair, equals - 1));
}

bool has_cookie_name(const TextList& pairs, const Text& name) {
  for (const Text& pair : pairs) {
    if (compare_text(cookie_name(pair), name) == 0) return true;
  }
  return false;
}

Text join_distinct(const Text& text, const Text& separator) {
  TextList seen;
  Text joined;
  for (const Text& item : split_text(text, separator)) {
    if (index_of_text(seen, item) != -1) continue;
    list_append(seen, item);
    joined = concat_text(joined, item, separator);
  }
  return text_left(joined, text_length(joined) - text_length(separator));
}

int index_of_text(const TextList& list, const Text& text) {
  for (int i = 1; i <= list_count(list); ++i) {
    if (compare_text(list_item(list, i), text) == 0) return i;
  }
  return -1;
}

}  // namespace orvendel
