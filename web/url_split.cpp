#include "web/url_split.h"

#include "text/delimited_text.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

// Everything before the first ":", the port of a host[:port] text.
Text cut_port(const Text& host) {
  const int colon = find_text(host, ":");
  return colon == -1 ? host : text_left(host, colon - 1);
}

Text plain_host(const Text& url, bool domain_only) {
  Text s = to_lower(url);
  if (text_right(s, 1) != "/") s += "/";
  if (text_left(s, 8) == "https://") {
    s = text_between(s, "https://", "/");
  } else {
    if (find_text(s, "http://") == -1) s = "http://" + s;
    s = text_between(s, "http://", "/");
  }
  if (domain_only) {
    const TextList parts = split_text(s, ".");
    const int n = list_count(parts);
    if (n >= 2) s = concat_text(list_item(parts, n - 1), ".", list_item(parts, n));
  }
  return s;
}

// The last "." before position `before`, or -1; -1 stays -1.
int dot_before(const Text& s, int before) {
  return before == -1 ? -1 : find_text_reverse(s, ".", before);
}

Text domain_host(const Text& url, bool domain_only, int dot_count) {
  Text s = to_lower(url);
  s = replace_text(s, "http://", "", 1, std::nullopt, true);
  s = replace_text(s, "https://", "", 1, std::nullopt, true);
  const int slash = find_text(s, "/");
  if (slash != -1) s = text_left(s, slash - 1);
  const int length = text_length(s);
  int h = length;
  for (int i = 0; i < dot_count; ++i) h = dot_before(s, h);
  const int l = dot_before(s, h);
  if (domain_only) return l == -1 ? s : text_right(s, length - l);
  if (l != -1) {
    const int l2 = dot_before(s, l);
    if (l2 != -1) return text_right(s, length - l2);
  }
  return s;
}

}  // namespace

Text header_value(const Text& line) {
  const int colon = find_text(line, ":");
  if (colon == -1) return {};
  return trim_both_ends(text_right(line, text_length(line) - colon));
}

Text url_host(const Text& url, bool domain_only, bool keep_port, std::optional<int> dot_count) {
  const Text s =
      dot_count ? domain_host(url, domain_only, *dot_count) : plain_host(url, domain_only);
  return keep_port ? s : cut_port(s);
}

int url_port(const Text& url) {
  const Text h = url_host(url, false, true);
  const int colon = find_text_reverse(h, ":");
  if (colon != -1) return text_to_int(text_right(h, text_length(h) - colon));
  return to_lower(text_left(url, 5)) == "https" ? 443 : 80;
}

Text url_path(const Text& url) {
  const Text h = url_host(url);
  const int a = find_text(url, h, 1, true);
  const int b = find_text(url, "/", a, true);
  if (b <= 0) return "/";
  return text_right(url, text_length(url) - b + 1);
}

}  // namespace orvendel
