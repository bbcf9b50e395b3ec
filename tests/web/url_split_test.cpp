#include "web/url_split.h"

#include <gtest/gtest.h>

#include <optional>

namespace orvendel {
namespace {

TEST(HeaderValue, TextAfterTheFirstColonTrimmed) {
  struct Row {
    Text line, want;
  } rows[] = {
      {"User-Agent: X", "X"},
      {"a: b: c", "b: c"},
      {"no colon", ""},
      {"", ""},
      {"Name:", ""},
      {":v", "v"},
      {"Name:   spaced   ", "spaced"},
      {"Name:\tv", "\tv"},                // a tab is not a space
      {"Name:\xA1\xA1值\xA1\xA1", "值"},  // the full-width space is
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    EXPECT_EQ(header_value(r.line), r.want);
  }
}

TEST(UrlHost, PlainMode) {
  struct Row {
    Text url;
    bool domain_only, keep_port;
    Text want;
  } rows[] = {
      {"http://s.h.t/a/b", false, false, "s.h.t"},
      {"s.h.t", false, false, "s.h.t"},
      {"s.h.t/a", false, false, "s.h.t"},
      {"HTTPS://S.H.T:8443/x", false, false, "s.h.t"},
      {"HTTPS://S.H.T:8443/x", false, true, "s.h.t:8443"},
      {"http://s.h.t:8080/", true, false, "h.t"},
      {"http://s.h.t:8080/", true, true, "h.t:8080"},
      {"http://h.t?x=1", false, false, "h.t?x=1"},
      {"http://H.T", false, false, "h.t"},
      {"http://t/", true, false, "t"},  // one part: nothing to shorten
      {"", false, false, ""},
      // "https://" counts only at the very start; "http://" anywhere.
      {" https://h.t/", false, false, " https"},
      {"x/http://h.t/", false, false, "h.t"},
      {"ftp://h.t/x", false, false, "ftp"},
      {"http://user:pw@h.t/", false, false, "user"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.url + (r.domain_only ? " domain_only" : "") + (r.keep_port ? " keep_port" : ""));
    EXPECT_EQ(url_host(r.url, r.domain_only, r.keep_port), r.want);
  }
}

TEST(UrlHost, DomainModeKeepsTheLastLabels) {
  struct Row {
    Text url;
    int dot_count;
    bool domain_only, keep_port;
    Text want;
  } rows[] = {
      {"http://a.b.h.t/x", 0, false, false, "h.t"},
      {"http://a.b.h.t/x", 0, true, false, "t"},
      {"http://a.b.h.t/x", 1, false, false, "b.h.t"},
      {"http://a.b.h.t/x", 1, true, false, "h.t"},
      {"http://a.b.h.t/x", 2, false, false, "a.b.h.t"},
      {"http://a.b.h.t/x", 2, true, false, "b.h.t"},
      {"http://a.b.h.t/x", 5, false, false, "a.b.h.t"},
      {"http://a.b.h.t/x", 5, true, false, "a.b.h.t"},
      {"http://a.b.h.t/x", -3, false, false, "h.t"},  // below 0 counts as 0
      {"HTTPS://A.B.H.T:81/x", 0, false, false, "h.t"},
      {"https://a.b.h.t:81/x", 0, false, true, "h.t:81"},
      {"h.t", 0, false, false, "h.t"},
      {"h.t", 0, true, false, "t"},
      {"t", 0, true, false, "t"},
      {"", 0, false, false, ""},
      // Every scheme text is removed, wherever it stands.
      {"x.http://a.h.t", 0, false, false, "h.t"},
      // A dot as the last character is never one of the counted dots.
      {"a.b.", 0, true, false, "b."},
      {"a.b.", 0, false, false, "a.b."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.url + " dot_count " + std::to_string(r.dot_count) +
                 (r.domain_only ? " domain_only" : "") + (r.keep_port ? " keep_port" : ""));
    EXPECT_EQ(url_host(r.url, r.domain_only, r.keep_port, r.dot_count), r.want);
  }
}

TEST(UrlPort, NumberAfterTheLastColonOrTheSchemeDefault) {
  struct Row {
    Text url;
    int want;
  } rows[] = {
      {"http://h.t/", 80},         {"https://h.t/", 443}, {"HTTPS://h.t", 443},
      {"http://h.t:8080/x", 8080}, {"h.t:81", 81},        {"h.t", 80},
      {"https://h.t:80/", 80},     {"http://h.t:/", 0},   {"http://h.t:x/", 0},
      {"httpsx://h.t", 0},      // the host is "httpsx:" with an empty port
      {"http://h.t?a=b:7", 7},  // the query stays in the host, colon and all
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.url);
    EXPECT_EQ(url_port(r.url), r.want);
  }
}

TEST(UrlPath, FromTheFirstSlashAfterTheHost) {
  struct Row {
    Text url, want;
  } rows[] = {
      {"http://h.t", "/"},
      {"http://h.t/", "/"},
      {"http://h.t:8080/a/b?c=1", "/a/b?c=1"},
      {"HTTP://H.T/A/B", "/A/B"},  // found with case ignored, kept as written
      {"http://h.t?x=1", "/"},
      {"h.t/x/y", "/x/y"},
      {"https://h.t/%E4%B8%AD?q=中", "/%E4%B8%AD?q=中"},
      {"http://h.t/a#frag", "/a#frag"},
      {"", "/"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.url);
    EXPECT_EQ(url_path(r.url), r.want);
  }
}

}  // namespace
}  // namespace orvendel
