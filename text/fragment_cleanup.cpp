#include "text/fragment_cleanup.h"

#include <algorithm>

#include "text/regex_object.h"
#include "text/text_primitives.h"

namespace orvendel {

Text clean_fragment(const Text& t) {
  Text r = remove_blank_lines(t);
  r = trim_blanks(r);
  return replace_pairs(r, std::nullopt, 0, false, "<span class=\"c09\">", "", "</span>", "");
}

Text sanitize_file_name(const Text& t) {
  Text r = replace_pairs(t, std::nullopt, 0, false, "\\", "", "/", "", ":", "", "*", "", "?", "");
  return replace_pairs(r, std::nullopt, 0, false, "|", "", "<", "", ">", "", "\"", "");
}

Text remove_blank_lines(const Text& t) {
  Text r = t;
  if (r.starts_with("\r\n")) r.erase(0, 2);
  if (r.ends_with("\r\n")) r.erase(r.size() - 2);
  RegexObject blank_lines;
  blank_lines.create("\\n\\s*\\r", r);
  return blank_lines.replace("");
}

Text trim_blanks(const Text& t) {
  std::size_t begin = 0;
  while (begin < t.size() && t[begin] == ' ') ++begin;
  std::size_t end = begin;  // just past the last character that is not a blank
  for (std::size_t p = begin; p < t.size();) {
    const std::size_t width = static_cast<unsigned char>(t[p]) >= 0x80 ? 2 : 1;
    if (t[p] != ' ') end = std::min(p + width, t.size());
    p += width;
  }
  return t.substr(begin, end - begin);
}

Text replace_pairs(const Text& t, std::optional<int> count, int start, bool case_sensitive,
                   const Text& find1, const Text& replacement1, const Text& find2,
                   const Text& replacement2, const Text& find3, const Text& replacement3,
                   const Text& find4, const Text& replacement4, const Text& find5,
                   const Text& replacement5) {
  const int from = start < 1 ? 1 : start;
  const Text* pairs[][2] = {{&find1, &replacement1},
                            {&find2, &replacement2},
                            {&find3, &replacement3},
                            {&find4, &replacement4},
                            {&find5, &replacement5}};
  Text r = t;
  for (const auto& pair : pairs)
    r = replace_text(r, *pair[0], *pair[1], from, count, case_sensitive);
  return r;
}

}  // namespace orvendel
