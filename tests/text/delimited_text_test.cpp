#include "text/delimited_text.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/test_text.h"
#include "text/process_events.h"

namespace orvendel {
namespace {

TEST(TextBetween, Table) {
  struct Row {
    Text text, left, right;
    int start;
    bool ignore_case;
    Text want;
  } rows[] = {
      {"a[x]b[y]", "[", "]", 0, false, "x"},  // the first pair only
      {"a[x]b[y]", "[", "]", 3, false, "y"},
      {"a[]b", "[", "]", 0, false, ""},    // right marker right behind the left one
      {"a[x", "[", "]", 0, false, ""},     // no right marker
      {"a]x[", "[", "]", 0, false, ""},    // right marker only before the left one
      {"ax]", "[", "]", 0, false, ""},     // no left marker
      {"[ a \n b ]", "[", "]", 0, false, " a \n b "},  // nothing is trimmed
      {"<A>v</a>", "<a>", "</a>", 0, false, ""},
      {"<A>v</A>", "<a>", "</a>", 0, true, "v"},  // ignore_case, the fifth argument
      {"x=\"v\"", "x=#引号", "#引号", 0, false, "v"},  // the quote token
      {"中[文]", "[", "]", 0, false, "文"},
      {"\x81[\x81]", "[", "]", 0, false, ""},  // markers never match second bytes
      {"<span>(12)</span>\n", "<span>(", ")</span>\n", 0, true, "12"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::hex(r.text));
    EXPECT_EQ(text_between(r.text, r.left, r.right, r.start, r.ignore_case), r.want);
  }
}

TEST(ExtractAllBetween, Table) {
  struct Row {
    Text text, left, right;
    bool case_sensitive;
    TextList want;
  } rows[] = {
      {"A x B A B A y B", "A", "B", true, {"x", "y"}},  // the empty pair is skipped
      {"A x A y B", "A", "B", true, {"x A y"}},         // a hit runs to the first B
      {"A x B A y", "A", "B", true, {"x"}},             // ends at a left marker without a right
      {"no markers", "A", "B", true, {}},
      {"<li> a </li><li>   </li><LI>b</LI>", "<li>", "</li>", true, {"a"}},
      {"<li> a </li><LI>b</LI>", "<li>", "</li>", false, {"a", "b"}},  // case_sensitive false
      {"|a|b|", "|", "|", true, {"a", "b"}},  // the right marker is found again as a left one
      {"[\na\n]", "[", "]", true, {"\na\n"}},  // spaces are trimmed, line breaks are not
      {"[x][x]", "[", "]", true, {"x", "x"}},  // duplicates stay
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    TextList results = {"old member"};
    EXPECT_EQ(extract_all_between(r.text, r.left, r.right, results, r.case_sensitive),
              static_cast<int>(r.want.size()));
    EXPECT_EQ(results, r.want);
  }
}

TEST(ExtractAllBetween, Decoration) {
  TextList results;
  EXPECT_EQ(extract_all_between("[a][bcd][ ]", "[", "]", results, true, 0, "<", ">"), 3);
  EXPECT_EQ(results, (TextList{"<a>", "<bcd>", "<>"}));  // decoration makes a blank hit count
  extract_all_between("[a][bcd]", "[", "]", results, true, 0, "", "", true, true);
  EXPECT_EQ(results, (TextList{"[a]", "[bcd]"}));
  extract_all_between("[a][bcd]", "[", "]", results, true, 3, "", "", true);
  EXPECT_EQ(results, (TextList{"[a"}));  // kept only when shorter than max_length
  extract_all_between("[a][b][c]", "[", "]", results, true, 0, "", "", false, false, 4);
  EXPECT_EQ(results, (TextList{"b", "c"}));  // the start position
}

TEST(ExtractAllBetween, EmptyMarkersEnd) {
  TextList results = {"old"};
  EXPECT_EQ(extract_all_between("abc", "", "c", results), 0);
  EXPECT_TRUE(results.empty());
  // An empty right marker with a prefix must still end.
  EXPECT_EQ(extract_all_between("a[b[c", "[", "", results, true, 0, "p"), 2);
}

TEST(ExtractAllBetween, RunsTheThreadsEventHook) {
  int calls = 0;
  set_process_events_hook([&] { ++calls; });
  TextList results;
  extract_all_between("[a][b]", "[", "]", results, true);
  set_process_events_hook({});
  EXPECT_EQ(calls, 6);  // three per pass
  // Another thread has no hook: process_events returns at once there.
  std::thread([&] { extract_all_between("[a]", "[", "]", results, true); }).join();
  EXPECT_EQ(calls, 6);
}

}  // namespace
}  // namespace orvendel
