// Compiled with -fexec-charset=UTF-8: the literals here are the site's UTF-8.
//
// Tests of the sample platform itself: that it serves the catalogue with the
// exact markers and fields the program cuts, splits results and tracks into
// pages, serves valid documents and the promised audio bytes, and fails in the
// promised ways. The program's own workflows are tested elsewhere.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sample_platform/sample_platform.h"

namespace {

using namespace orvendel::sample;
using namespace std::chrono_literals;

// ---- cutting, as the program does it: first left marker, first right marker after it.

std::string between(const std::string& text, const std::string& left, const std::string& right) {
  const std::size_t a = text.find(left);
  if (a == std::string::npos) return "";
  const std::size_t b = text.find(right, a + left.size());
  if (b == std::string::npos) return "";
  return text.substr(a + left.size(), b - a - left.size());
}

std::string trim_spaces(const std::string& t) {
  const std::size_t a = t.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return t.substr(a, t.find_last_not_of(' ') - a + 1);
}

// Every left ... right hit, spaces trimmed, empty ones skipped.
std::vector<std::string> all_between(const std::string& text, const std::string& left,
                                     const std::string& right) {
  std::vector<std::string> hits;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t a = text.find(left, pos);
    if (a == std::string::npos) break;
    const std::size_t b = text.find(right, a + left.size());
    if (b == std::string::npos) break;
    const std::string hit = trim_spaces(text.substr(a + left.size(), b - a - left.size()));
    if (hit.empty()) {
      pos = a + left.size();
    } else {
      hits.push_back(hit);
      pos = b;
    }
  }
  return hits;
}

void erase_all_folded(std::string& t, const std::string& tag) {
  const auto lower = [](std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
  };
  for (std::size_t at; (at = lower(t).find(lower(tag))) != std::string::npos;) {
    t.erase(at, tag.size());
  }
}

// Deletes every match of the pattern "\n\s*\r", leftmost first and greedy: from
// a line feed through the last carriage return of the white space after it.
std::string without_blank_runs(const std::string& t) {
  const auto space = [](char c) {
    return std::string_view(" \t\n\v\f\r").find(c) != std::string_view::npos;
  };
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    if (t[i] == '\n') {
      std::size_t last_cr = std::string::npos;
      for (std::size_t j = i + 1; j < t.size() && space(t[j]); ++j) {
        if (t[j] == '\r') last_cr = j;
      }
      if (last_cr != std::string::npos) {
        i = last_cr + 1;
        continue;
      }
    }
    out += t[i++];
  }
  return out;
}

// The display cleanup the program applies to names, descriptions and titles:
// one CR LF off each end, blank runs deleted, edge spaces trimmed, then the
// highlight tags removed.
std::string cleaned(std::string t) {
  if (t.rfind("\r\n", 0) == 0) t.erase(0, 2);
  if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.erase(t.size() - 2);
  t = without_blank_runs(t);
  t = trim_spaces(t);
  erase_all_folded(t, "<span class=\"c09\">");
  erase_all_folded(t, "</span>");
  return t;
}

std::string encoded(std::string_view text) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    out += '%';
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out;
}

std::string search_target(std::string_view keyword, int page) {
  return "/search/album/kw/" + encoded(keyword) + "/page/" + std::to_string(page) + "/sc/true";
}

// ---- a small strict JSON reader: the top-level members of one object.

struct JsonValue {
  enum Kind { kString, kNumber, kBool, kNull, kObject, kArray } kind = kNull;
  std::string text;  // decoded UTF-8 for strings, the literal for numbers and booleans
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view s) : s_(s) {}

  std::optional<std::map<std::string, JsonValue>> top_level_object() {
    std::map<std::string, JsonValue> members;
    skip();
    if (!take('{')) return std::nullopt;
    skip();
    if (!take('}')) {
      do {
        skip();
        std::string name;
        JsonValue value;
        skip();
        if (!string(name)) return std::nullopt;
        skip();
        if (!take(':') || !this->value(value)) return std::nullopt;
        if (!members.emplace(name, value).second) return std::nullopt;
        skip();
      } while (take(','));
      if (!take('}')) return std::nullopt;
    }
    skip();
    if (i_ != s_.size()) return std::nullopt;
    return members;
  }

 private:
  void skip() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool take(char c) {
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool word(std::string_view w) {
    if (s_.substr(i_, w.size()) != w) return false;
    i_ += w.size();
    return true;
  }
  bool hex4(unsigned& unit) {
    if (s_.size() - i_ < 4) return false;
    unit = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = s_[i_++];
      unit = unit * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : (c >= 'a' && c <= 'f')                    ? c - 'a' + 10
                          : (c >= 'A' && c <= 'F')                    ? c - 'A' + 10
                                                                      : 99);
      if (unit > 0xFFFF) return false;
    }
    return true;
  }
  static void utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  bool string(std::string& out) {
    if (!take('"')) return false;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) return false;
      const char e = s_[i_++];
      static const std::string kSimple = "\"\\/bfnrt";
      static const std::string kMeaning = "\"\\/\b\f\n\r\t";
      if (const std::size_t k = kSimple.find(e); k != std::string::npos) {
        out += kMeaning[k];
      } else if (e == 'u') {
        unsigned unit;
        if (!hex4(unit)) return false;
        char32_t cp = unit;
        if (unit >= 0xD800 && unit < 0xDC00) {
          unsigned low;
          if (!word("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
          cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
          return false;
        }
        utf8(out, cp);
      } else {
        return false;
      }
    }
    return false;
  }
  bool value(JsonValue& v) {
    skip();
    if (i_ >= s_.size()) return false;
    const char c = s_[i_];
    if (c == '"') {
      v.kind = JsonValue::kString;
      return string(v.text);
    }
    if (c == '{' || c == '[') {
      v.kind = c == '{' ? JsonValue::kObject : JsonValue::kArray;
      const char close = c == '{' ? '}' : ']';
      ++i_;
      skip();
      if (take(close)) return true;
      do {
        JsonValue inner;
        if (c == '{') {
          skip();
          std::string name;
          if (!string(name)) return false;
          skip();
          if (!take(':')) return false;
        }
        if (!value(inner)) return false;
        skip();
      } while (take(','));
      return take(close);
    }
    if (word("true") || word("false")) {
      v.kind = JsonValue::kBool;
      return true;
    }
    if (word("null")) {
      v.kind = JsonValue::kNull;
      return true;
    }
    const std::size_t from = i_;
    take('-');
    if (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))) return false;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    v.kind = JsonValue::kNumber;
    v.text = std::string(s_.substr(from, i_ - from));
    return true;
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

// ---- the fixture.

class SamplePlatformTest : public ::testing::Test {
 protected:
  httplib::Client client(const SamplePlatform& on) {
    httplib::Client c("127.0.0.1", on.port());
    c.set_url_encode(false);  // send every target exactly as written
    c.set_read_timeout(60, 0);
    return c;
  }
  httplib::Result get(const std::string& target) { return client(platform_).Get(target); }

  SamplePlatform platform_;
};

const Track& track(std::string_view id) {
  const Track* t = catalogue().find_track(id);
  if (t == nullptr) throw std::runtime_error("no track " + std::string(id));
  return *t;
}

const Album& album(std::string_view path) {
  const Album* a = catalogue().find_album(path);
  if (a == nullptr) throw std::runtime_error("no album " + std::string(path));
  return *a;
}

const std::string kTotalLeft = "<span class=\"search-lists-name\">专辑</span>\n    <span>(";
const std::string kTotalRight = ")</span>\n";
const std::string kListLeft = "<ul class=\"search-album-lists cl\">";
const std::string kNameLeft = "class=\"search-album-tit elli-multi link4\"  >\n";

TEST_F(SamplePlatformTest, SearchAnnouncesTheTotalAndListsTwentyAlbumsAPage) {
  const struct {
    std::string keyword;
    std::size_t total;
  } rows[] = {{"", 99},      {"zzz", 0},   {"abc", 1},     {"评书", 1},
              {"三国", 3},   {"英语", 20}, {"音乐", 21},   {"故事", 45},
              {"titles", 1}, {"paid", 1},  {"hostile", 7}, {"faults", 3}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.keyword);
    ASSERT_EQ(catalogue().search(row.keyword).size(), row.total);
    const int pages = static_cast<int>((row.total + 19) / 20);
    for (int n = 1; n <= pages + 1; ++n) {
      SCOPED_TRACE(n);
      const httplib::Result res = get(search_target(row.keyword, n));
      ASSERT_TRUE(res);
      EXPECT_EQ(res->status, 200);
      EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
      EXPECT_NE(res->body.find(kTotalLeft + std::to_string(row.total) + kTotalRight),
                std::string::npos);
      const std::string block = between(res->body, kListLeft, "</ul>");
      ASSERT_NE(res->body.find(kListLeft), std::string::npos);
      const std::size_t expected =
          n <= pages ? std::min<std::size_t>(20, row.total - 20 * (n - 1)) : 0;
      EXPECT_EQ(all_between(block, "sound_ids", "</li>").size(), expected);
    }
  }
}

TEST_F(SamplePlatformTest, SearchItemFieldsCleanUpToTheCatalogue) {
  std::size_t raw_differs = 0;
  for (const std::string keyword : {"", "故事", "三国", "ABC"}) {
    SCOPED_TRACE(keyword);
    const std::size_t total = catalogue().search(keyword).size();
    for (int n = 1; n <= static_cast<int>((total + 19) / 20); ++n) {
      const httplib::Result res = get(search_target(keyword, n));
      ASSERT_TRUE(res);
      const std::vector<std::string> items =
          all_between(between(res->body, kListLeft, "</ul>"), "sound_ids", "</li>");
      const std::vector<const Album*> albums = catalogue().search_page(keyword, n);
      ASSERT_EQ(items.size(), albums.size());
      for (std::size_t i = 0; i < items.size(); ++i) {
        const Album& a = *albums[i];
        SCOPED_TRACE(a.path);
        const std::string& item = items[i];
        const std::string name = between(item, kNameLeft, "</a>");
        const std::string description = between(item, "<p class=\"elli c02\">", "</p>");
        EXPECT_EQ(between(item, "<a href=\"", "\" class=\"inl-b sechAlbHov\">"), a.path);
        EXPECT_EQ(cleaned(name), a.name);
        EXPECT_EQ(cleaned(description), a.description);
        EXPECT_EQ(between(item, "<i class=\"iconfont icon-playlight\">", "</i>"), a.plays);
        EXPECT_EQ(between(item, "<i class=\"iconfont icon-soundslight\">", "</i>"),
                  a.track_count());
        if (keyword == "故事" || keyword == "三国") {
          EXPECT_EQ(name.find("<span class=\"c09\">" + keyword + "</span>") != std::string::npos,
                    a.name.find(keyword) != std::string::npos);
        }
        raw_differs += name != a.name && description != a.description;
      }
    }
  }
  EXPECT_GT(raw_differs, 0u);  // the cleanup has work to do
}

TEST_F(SamplePlatformTest, SearchTargetsDecodeTheKeywordOrFail) {
  const struct {
    std::string target;
    int status;
    int total;  // -1: not looked at
  } rows[] = {
      {"/search/album/kw/%61%62%63/page/1/sc/true", 200, 1},
      {"/search/album/kw/%41%42%43/page/1/sc/true", 200, 1},
      {"/search/album/kw/abc/page/1/sc/true", 200, 1},
      {"/search/album/kw/%e4%b8%89%e5%9b%bd/page/1/sc/true", 200, 3},
      {"/search/album/kw//page/1/sc/true", 200, 99},
      {"/search/album/kw//page/0/sc/true", 200, 99},
      {"/search/album/kw/%2F/page/1/sc/true", 200, 0},
      {"/search/album/kw/a/page/2/page/1/sc/true", 200, 0},
      {"/search/album/kw/%zz/page/1/sc/true", 200, 0},
      {"/search/album/kw/abc/page/x/sc/true", 404, -1},
      {"/search/album/kw/abc/page//sc/true", 404, -1},
      {"/search/album/kw/abc/page/1/sc/false", 404, -1},
      {"/search/album/kw/abc", 404, -1},
      {"/", 404, -1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.target);
    const httplib::Result res = get(row.target);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, row.status);
    if (row.total >= 0) {
      EXPECT_EQ(between(res->body, kTotalLeft, kTotalRight), std::to_string(row.total));
    } else {
      EXPECT_EQ(res->body, not_found_page());
    }
  }
}

TEST_F(SamplePlatformTest, AlbumPagesHoldAHundredTracksEach) {
  const Album& a = album("/album/1001");
  const struct {
    std::string query;
    std::size_t first;  // 0-based place of the first track listed
    std::size_t count;
  } rows[] = {{"?page=1", 0, 100},      {"?page=2", 100, 100}, {"?page=3", 200, 50},
              {"?page=4", 0, 0},        {"", 0, 100},          {"?page=0", 0, 100},
              {"?x=1&page=2", 100, 100}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.query);
    const httplib::Result res = get(a.path + row.query);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(between(res->body, "<span class=\"albumSoundcount\">(", ")</span>"), "250");
    const std::vector<std::string> items =
        all_between(between(res->body, "<div class=\"album_soundlist", "</ul>"), "<li", "</li>");
    ASSERT_EQ(items.size(), row.count);
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(between(items[i], "sound_id=\"", "\""), a.tracks[row.first + i].id);
    }
  }
}

TEST_F(SamplePlatformTest, AlbumItemsCarryEveryTrackOfTheCatalogue) {
  for (const Album& a : catalogue().albums) {
    SCOPED_TRACE(a.path);
    std::vector<std::string> items;
    for (int n = 1; n <= std::max(1, a.page_count()); ++n) {
      const httplib::Result res = get(a.path + "?page=" + std::to_string(n));
      ASSERT_TRUE(res);
      EXPECT_EQ(between(res->body, "<span class=\"albumSoundcount\">(", ")</span>"),
                a.track_count());
      const std::vector<std::string> page =
          all_between(between(res->body, "<div class=\"album_soundlist", "</ul>"), "<li", "</li>");
      EXPECT_EQ(page.size(), Catalogue::album_page(a, n).size());
      items.insert(items.end(), page.begin(), page.end());
    }
    ASSERT_EQ(items.size(), a.tracks.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      const Track& t = a.tracks[i];
      SCOPED_TRACE(t.title);
      EXPECT_EQ(between(items[i], "sound_id=\"", "\""), t.id);
      EXPECT_EQ(cleaned(between(items[i], "hashlink title=\"", "\">")), t.listed_title);
      EXPECT_EQ(cleaned(between(items[i], "<span title=\"", "次播放\"")), t.plays);
    }
  }
}

TEST_F(SamplePlatformTest, ListedTitlesKeepTheirCharactersAndEscapeOnlyWhatHtmlNeeds) {
  const struct {
    std::string id;
    std::string listed;
  } rows[] = {
      {"1002001", "曹操:奸雄还是英雄?"},        {"1002002", "诸葛亮 &quot;出师表&quot; 全文"},
      {"1002003", "刘备/关羽/张飞 <桃园结义>"}, {"1002004", "周瑜 &amp; 小乔"},
      {"1002006", "\\/:*?|<>&quot;"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(track(row.id).listed_title, row.listed);
  }
}

TEST_F(SamplePlatformTest, UnknownPagesAnswer404WithTheErrorPage) {
  for (const std::string target :
       {"/album/9999", "/album/1001x", "/album/", "/tracks/.json", "/tracks/123.json",
        "/tracks/7001006.json", "/audio/7001003-64.mp3", "/audio/7001003-32.mp3",
        "/audio/1003002-64.mp3", "/audio/1001001-128.mp3", "/audio/-64.mp3", "/cdn/999-64.mp3",
        "/favicon.ico"}) {
    SCOPED_TRACE(target);
    const httplib::Result res = get(target);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(res->body, not_found_page());
  }
}

TEST_F(SamplePlatformTest, DocumentsParseAndCarryTheTrackMembers) {
  for (const Album& a : catalogue().albums) {
    for (const Track& t : a.tracks) {
      if (t.document != Document::kServed) continue;
      SCOPED_TRACE(t.id);
      const httplib::Result res = get("/tracks/" + t.id + ".json");
      ASSERT_TRUE(res);
      ASSERT_EQ(res->status, 200);
      EXPECT_EQ(res->get_header_value("Content-Type"), "application/json; charset=utf-8");
      const auto members = JsonReader(res->body).top_level_object();
      ASSERT_TRUE(members);
      const auto text_of = [&](const std::string& name) -> std::optional<JsonValue> {
        const auto it = members->find(name);
        if (it == members->end()) return std::nullopt;
        return it->second;
      };
      ASSERT_TRUE(text_of("title"));
      EXPECT_EQ(text_of("title")->text, t.title);
      EXPECT_EQ(text_of("album_title").has_value(), a.title.has_value());
      if (a.title) {
        EXPECT_EQ(text_of("album_title")->text, *a.title);
      }
      for (const Quality q : {Quality::kHigh, Quality::kNormal}) {
        const auto path = text_of(q == Quality::kHigh ? "play_path_64" : "play_path_32");
        switch (t.access) {
          case Access::kFree:
            ASSERT_TRUE(path);
            EXPECT_EQ(path->kind, JsonValue::kString);
            EXPECT_EQ(path->text, platform_.audio_url(t, q));
            break;
          case Access::kEmptyPaths:
            ASSERT_TRUE(path);
            EXPECT_EQ(path->kind, JsonValue::kString);
            EXPECT_EQ(path->text, "");
            break;
          case Access::kNullPaths:
            ASSERT_TRUE(path);
            EXPECT_EQ(path->kind, JsonValue::kNull);
            break;
          case Access::kAbsentPaths:
            EXPECT_FALSE(path);
            break;
        }
      }
      if (a.path == "/album/1002") {
        EXPECT_TRUE(std::all_of(res->body.begin(), res->body.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
      }
    }
  }
}

TEST_F(SamplePlatformTest, MalformedDocumentIsServedButIsNotJson) {
  const httplib::Result res = get("/tracks/7001007.json");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_FALSE(JsonReader(res->body).top_level_object());
  EXPECT_NE(res->body.find("\"title\""), std::string::npos);
}

TEST_F(SamplePlatformTest, AudioIsServedWholeChunkedOrThroughARedirect) {
  const struct {
    std::string id;
    Delivery delivery;
  } rows[] = {{"1001001", Delivery::kWhole},
              {"1001004", Delivery::kChunked},
              {"7003001", Delivery::kWhole},
              {"7001005", Delivery::kRedirect}};
  for (const auto& row : rows) {
    const Track& t = track(row.id);
    ASSERT_EQ(t.delivery, row.delivery);
    for (const Quality q : {Quality::kHigh, Quality::kNormal}) {
      SCOPED_TRACE(row.id + (q == Quality::kHigh ? " 64" : " 32"));
      httplib::Client c = client(platform_);
      const httplib::Result first = c.Get(audio_path(t, q));
      ASSERT_TRUE(first);
      const std::string expected = audio_bytes(t, q);
      if (row.delivery == Delivery::kRedirect) {
        EXPECT_EQ(first->status, 302);
        const std::string location = first->get_header_value("Location");
        EXPECT_EQ(location.rfind(platform_.base() + "/", 0), 0u);
        c.set_follow_location(true);
        const httplib::Result followed = c.Get(audio_path(t, q));
        ASSERT_TRUE(followed);
        EXPECT_EQ(followed->status, 200);
        EXPECT_TRUE(followed->body == expected);
        continue;
      }
      EXPECT_EQ(first->status, 200);
      EXPECT_EQ(first->get_header_value("Content-Type"), "audio/mpeg");
      EXPECT_TRUE(first->body == expected);  // not EXPECT_EQ: no megabytes in the output
      if (row.delivery == Delivery::kChunked) {
        EXPECT_FALSE(first->has_header("Content-Length"));
        EXPECT_EQ(first->get_header_value("Transfer-Encoding"), "chunked");
      } else {
        EXPECT_EQ(first->get_header_value("Content-Length"), std::to_string(expected.size()));
      }
    }
  }
}

TEST_F(SamplePlatformTest, AudioBytesDifferPerTrackAndQuality) {
  const Track& a = track("1001001");
  const Track& b = track("1001002");
  const std::set<std::string> distinct = {
      audio_bytes(a, Quality::kHigh), audio_bytes(a, Quality::kNormal),
      audio_bytes(b, Quality::kHigh), audio_bytes(b, Quality::kNormal)};
  EXPECT_EQ(distinct.size(), 4u);
  EXPECT_TRUE(audio_bytes(a, Quality::kHigh) == audio_bytes(a, Quality::kHigh));
  EXPECT_NE(audio_bytes(a, Quality::kHigh).find('\0'), std::string::npos);
  EXPECT_GT(audio_bytes(track("7003001"), Quality::kHigh).size(), 4u << 20);
}

// One HTTP/1.0 exchange over a plain socket, as the program's audio client
// makes it; everything the server sent until it closed the connection.
std::string exchange_http10(int port, const std::string& target) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return "";
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string received;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = "GET " + target + " HTTP/1.0\r\nAccept: */*\r\n\r\n";
    if (::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
      char buffer[65536];
      for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) received.append(buffer, n);
    }
  }
  ::close(fd);
  return received;
}

TEST_F(SamplePlatformTest, Http10ClientsGetLengthOrAClosedConnectionNeverChunks) {
  const struct {
    std::string id;
    bool announces_length;
    bool whole;
  } rows[] = {{"1001001", true, true}, {"1001004", false, true}, {"7001004", true, false}};
  for (const auto& row : rows) {
    const Track& t = track(row.id);
    SCOPED_TRACE(row.id);
    const std::string reply = exchange_http10(platform_.port(), audio_path(t, Quality::kHigh));
    const std::size_t end = reply.find("\r\n\r\n");
    ASSERT_NE(end, std::string::npos);
    const std::string head = reply.substr(0, end + 2);
    const std::string body = reply.substr(end + 4);
    const std::string whole = audio_bytes(t, Quality::kHigh);
    EXPECT_EQ(head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_EQ(head.find("Transfer-Encoding"), std::string::npos);
    EXPECT_EQ(
        head.find("Content-Length: " + std::to_string(whole.size()) + "\r\n") != std::string::npos,
        row.announces_length);
    EXPECT_EQ(body.size(), row.whole ? whole.size() : bytes_before_failure(t, Quality::kHigh));
    EXPECT_TRUE(body == whole.substr(0, body.size()));
  }
}

// Reads a failing track's audio; returns what arrived, the announced length
// and whether the transfer reported success.
struct Partial {
  std::string body;
  std::string content_length;
  bool ok = false;
};

Partial read_audio(httplib::Client& c, const std::string& target, std::atomic<std::size_t>* got) {
  Partial p;
  const httplib::Result res = c.Get(
      target,
      [&](const httplib::Response& r) {
        p.content_length = r.get_header_value("Content-Length");
        return true;
      },
      [&](const char* data, std::size_t n) {
        p.body.append(data, n);
        if (got) *got = p.body.size();
        return true;
      });
  p.ok = static_cast<bool>(res);
  return p;
}

TEST_F(SamplePlatformTest, CutTrackClosesTheConnectionMidBody) {
  const Track& t = track("7001004");
  for (const Quality q : {Quality::kHigh, Quality::kNormal}) {
    SCOPED_TRACE(q == Quality::kHigh ? "64" : "32");
    httplib::Client c = client(platform_);
    const Partial p = read_audio(c, audio_path(t, q), nullptr);
    const std::string whole = audio_bytes(t, q);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.content_length, std::to_string(whole.size()));
    EXPECT_EQ(p.body.size(), bytes_before_failure(t, q));
    EXPECT_LT(p.body.size(), whole.size());
    EXPECT_TRUE(p.body == whole.substr(0, p.body.size()));
  }
}

TEST_F(SamplePlatformTest, StalledTrackEndsWhenTheServerIsDestroyed) {
  const Track& t = track("7002001");
  auto server = std::make_unique<SamplePlatform>();
  httplib::Client c = client(*server);
  std::atomic<std::size_t> got{0};
  auto reading = std::async(std::launch::async,
                            [&] { return read_audio(c, audio_path(t, Quality::kHigh), &got); });
  const std::size_t sent = bytes_before_failure(t, Quality::kHigh);
  for (int i = 0; i < 3000 && got < sent; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(got, sent);
  EXPECT_EQ(reading.wait_for(100ms), std::future_status::timeout);  // stalled, not ended
  server.reset();
  ASSERT_EQ(reading.wait_for(30s), std::future_status::ready);
  const Partial p = reading.get();
  EXPECT_FALSE(p.ok);
  EXPECT_TRUE(p.body == audio_bytes(t, Quality::kHigh).substr(0, sent));
}

TEST_F(SamplePlatformTest, StalledTrackEndsAtTheStallLimit) {
  const Track& t = track("7002001");
  platform_.set_stall_limit(50ms);
  httplib::Client c = client(platform_);
  const Partial p = read_audio(c, audio_path(t, Quality::kNormal), nullptr);
  EXPECT_FALSE(p.ok);
  EXPECT_EQ(p.body.size(), bytes_before_failure(t, Quality::kNormal));
}

TEST_F(SamplePlatformTest, HeldRouteAnswersOnlyAfterRelease) {
  platform_.hold(Route::kSearch);
  auto held = std::async(std::launch::async, [&] { return get(search_target("abc", 1)); });
  ASSERT_TRUE(platform_.wait_for_requests(1, 10s));
  // Other routes are not held.
  const httplib::Result album_page = get("/album/5001?page=1");
  ASSERT_TRUE(album_page);
  EXPECT_EQ(album_page->status, 200);
  EXPECT_EQ(held.wait_for(100ms), std::future_status::timeout);
  platform_.release(Route::kSearch);
  const httplib::Result res = held.get();
  ASSERT_TRUE(res);
  EXPECT_EQ(between(res->body, kTotalLeft, kTotalRight), "1");
}

TEST_F(SamplePlatformTest, HeldRouteEndsWhenTheServerIsDestroyed) {
  auto server = std::make_unique<SamplePlatform>();
  server->hold(Route::kTrackDocument);
  httplib::Client c = client(*server);
  auto held = std::async(std::launch::async, [&] { return c.Get("/tracks/1001001.json"); });
  ASSERT_TRUE(server->wait_for_requests(1, 10s));
  server.reset();
  EXPECT_EQ(held.wait_for(30s), std::future_status::ready);
}

TEST_F(SamplePlatformTest, DelayedRouteAnswersNoSoonerThanItsDelay) {
  platform_.set_delay(Route::kAlbum, 300ms);
  const auto start = std::chrono::steady_clock::now();
  const httplib::Result res = get("/album/5001");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
}

TEST_F(SamplePlatformTest, RequestsAreRecordedAsSentInOrder) {
  const std::vector<std::string> targets = {
      "/search/album/kw/%E4%B8%89%E5%9B%BD/page/1/sc/true", "/search/album/kw//page/1/sc/true",
      "/album/1001?page=2", "/tracks/.json", "/audio/1001001-32.mp3"};
  for (const std::string& target : targets) ASSERT_TRUE(get(target));
  EXPECT_EQ(platform_.requests(), targets);
  platform_.clear_requests();
  EXPECT_TRUE(platform_.requests().empty());
  EXPECT_FALSE(platform_.wait_for_requests(1, 10ms));
}

TEST_F(SamplePlatformTest, BusyPortIsAnError) {
  EXPECT_THROW(SamplePlatform second(platform_.port()), std::runtime_error);
  const httplib::Result res = get("/album/5001");
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 200);
}

// Removes the characters file names may not hold, as the program does.
std::string without_forbidden(std::string t) {
  std::erase_if(
      t, [](char c) { return std::string_view("\\/:*?|<>\"").find(c) != std::string::npos; });
  return t;
}

// GBK length of a text of ASCII and CJK characters: 1 and 2 bytes.
std::size_t gbk_length(const std::string& utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) n += c < 0x80 ? 1 : (c & 0xC0) == 0xC0 ? 2 : 0;
  return n;
}

TEST(SampleCatalogue, HoldsTheAwkwardCasesItPromises) {
  std::set<std::string> ids;
  for (const Album& a : catalogue().albums) {
    for (const Track& t : a.tracks) EXPECT_TRUE(ids.insert(t.id).second) << t.id;
  }
  const struct {
    std::string path;
    std::size_t tracks;
    bool paid;
  } albums[] = {{"/album/1001", 250, false},
                {"/album/2001", 100, false},
                {"/album/2002", 101, false},
                {"/album/2044", 0, false},
                {"/album/1003", 5, true}};
  for (const auto& row : albums) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(album(row.path).tracks.size(), row.tracks);
    EXPECT_EQ(album(row.path).paid(), row.paid);
  }
  EXPECT_EQ(without_forbidden(track("1002007").title), without_forbidden(track("1002008").title));
  EXPECT_NE(track("1002007").title, track("1002008").title);
  EXPECT_EQ(without_forbidden(track("1002006").title), "");
  EXPECT_GT(gbk_length(track("1002009").title) + 4, 255u);
  std::vector<std::optional<std::string>> hostile;
  for (const Album* a : catalogue().search("hostile")) hostile.push_back(a->title);
  EXPECT_EQ(hostile,
            (std::vector<std::optional<std::string>>{"../../x", "/tmp/x", "..", "...", "上级\\下级",
                                                     "专辑:测试?*", std::nullopt}));
  std::vector<Delivery> deliveries;
  for (const Album* a : catalogue().search("faults")) {
    for (const Track& t : a->tracks) deliveries.push_back(t.delivery);
  }
  for (const Delivery d : {Delivery::kChunked, Delivery::kMissing, Delivery::kCut, Delivery::kStall,
                           Delivery::kRedirect}) {
    EXPECT_NE(std::find(deliveries.begin(), deliveries.end(), d), deliveries.end());
  }
}

}  // namespace
