#include "web/web_request.h"

#include <gtest/gtest.h>

#include <thread>

#include "local_servers.h"
#include "raw_http_server.h"
#include "support/test_text.h"
#include "text/text_primitives.h"

namespace orvendel {
namespace {

using testing::http_response;
using testing::LocalServer;
using testing::RawHttpServer;
using testing::RecordedRequest;

const std::string kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

// A raw server that answers every request with 200 and the body "ok".
class RecordingTest : public ::testing::Test {
 protected:
  RawHttpServer server_{[](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "ok"));
  }};

  std::string host_line() const {
    return "Host: 127.0.0.1:" + std::to_string(server_.port()) + "\r\n";
  }

  // The head a request with every option omitted sends, byte for byte.
  std::string default_head(const std::string& request_line, const Text& url) const {
    return request_line + "\r\n" + host_line() + kAgentLine +
           "Accept: */*\r\n"
           "Referer: " +
           url +
           "\r\n"
           "Accept-Language: zh-cn\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\n"
           "\r\n";
  }

  // The head of the only request the server has seen.
  std::string only_head() const {
    const auto requests = server_.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? std::string{} : requests.front().head;
  }
};

TEST_F(RecordingTest, FetchPageSendsTheDefaultBlockByteForByte) {
  // A keyword as the search builds it: upper-case escapes must go out as written.
  const Text url = server_.url("/search/album/kw/%E4%B8%AD/page/1/sc/true");
  EXPECT_EQ(fetch_page(url), "ok");
  EXPECT_EQ(only_head(), default_head("GET /search/album/kw/%E4%B8%AD/page/1/sc/true HTTP/1.1", url));
}

TEST_F(RecordingTest, TheSplittingDecidesHostPortAndPath) {
  // The query runs into the port text, which text_to_int reads up to "?": the
  // path is "/" and the query is lost; the Referer keeps the URL as passed.
  const Text url = "HTTP://127.0.0.1:" + std::to_string(server_.port()) + "?x=1";
  EXPECT_EQ(fetch_page(url), "ok");
  EXPECT_EQ(only_head(), default_head("GET / HTTP/1.1", url));
}

TEST_F(RecordingTest, MethodWordsAndWhichBodyGoesWithThem) {
  const std::string kDefaults =
      "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  const ByteBuffer bytes(std::string("b\0y", 3));
  struct Row {
    int method;
    Text body_text;
    ByteBuffer body_bytes;
    std::string word, length_line, body;
  } rows[] = {
      {0, "t=1", {}, "GET", "", ""},
      {-1, "t=1", bytes, "GET", "", ""},
      {3, "t=1", {}, "GET", "", ""},
      {1, "t=1", {}, "POST", "Content-Length: 3\r\n", "t=1"},
      {1, "t=1", bytes, "POST", "Content-Length: 3\r\n", std::string("b\0y", 3)},
      {1, "", {}, "POST", "Content-Length: 0\r\n", ""},
      {2, "t=1", {}, "HEAD", "Content-Length: 3\r\n", "t=1"},
      {2, "", bytes, "HEAD", "Content-Length: 3\r\n", std::string("b\0y", 3)},
      {2, "", {}, "HEAD", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("method " + std::to_string(r.method) + " body_text " + r.body_text +
                 " body_bytes " + testing::hex(r.body_bytes.view()));
    RawHttpServer server([](const RecordedRequest& request, RawHttpServer::Connection& c) {
      // A HEAD response announces a length but carries no body.
      const bool head = request.head.starts_with("HEAD ");
      c.send(head ? std::string("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n")
                  : http_response("200 OK", "ok"));
    });
    const Text url = server.url("/m");
    const ByteBuffer body = web_request(url, r.method, r.body_text, std::nullopt, nullptr, {},
                                        nullptr, false, r.body_bytes);
    EXPECT_EQ(body.bytes(), r.word == "HEAD" ? "" : "ok");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].head,
              r.word + " /m HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n" +
                  kAgentLine + "Accept: */*\r\nReferer: " + url + "\r\n" + kDefaults +
                  r.length_line + "\r\n");
    EXPECT_EQ(testing::hex(requests[0].body), testing::hex(r.body));
  }
}

TEST_F(RecordingTest, ExtraHeadersCompleteTheBlockInOrder) {
  const Text url = server_.url("/e");
  const std::string kReferer = "Referer: " + url + "\r\n";
  const std::string kLanguage = "Accept-Language: zh-cn\r\n";
  const std::string kType = "Content-Type: application/x-www-form-urlencoded\r\n";
  const std::string kAccept = "Accept: */*\r\n";
  const std::string kDefaults = kAccept + kReferer + kLanguage + kType;
  struct Row {
    Text extra;
    std::string want_after_host;  // the lines after Host, up to the empty line
  } rows[] = {
      {"Accept: text/html", kAgentLine + "Accept: text/html\r\n" + kReferer + kLanguage + kType},
      // The presence tests are case-sensitive: a small "accept:" gets the default added.
      {"accept: text/html", kAgentLine + "accept: text/html\r\n" + kDefaults},
      {"Referer: http://r.t/",
       kAgentLine + "Referer: http://r.t/\r\n" + kAccept + kLanguage + kType},
      {"referer: http://r.t/", kAgentLine + "referer: http://r.t/\r\n" + kDefaults},
      {"Accept-Language: en\r\nContent-Type: text/plain",
       kAgentLine + "Accept-Language: en\r\nContent-Type: text/plain\r\n" + kAccept + kReferer},
      // A User-Agent line of the block is the one User-Agent line sent.
      {"User-Agent: X", "User-Agent: X\r\n" + kDefaults},
      {"user-agent: X", "user-agent: X\r\n" + kDefaults},
      {"User-Agent:", "User-Agent:\r\n" + kDefaults},
      {"X-Tag: 1\r\nUser-Agent: Y", "X-Tag: 1\r\nUser-Agent: Y\r\n" + kDefaults},
      // Not a User-Agent line, but its text names the agent, sent after Host.
      {"X-User-Agent: Z", "User-Agent: Z\r\nX-User-Agent: Z\r\n" + kDefaults},
      // A lone line feed cannot smuggle in a line of the caller's making: it ends a line.
      {"X-A: 1\nX-B: 2", kAgentLine + "X-A: 1\r\nX-B: 2\r\n" + kDefaults},
      // Nor can an empty line end the block early.
      {"X-A: 1\r\n\r\nX-B: 2", kAgentLine + "X-A: 1\r\nX-B: 2\r\n" + kDefaults},
  };
  for (const Row& r : rows) web_request(url, 0, {}, std::nullopt, nullptr, r.extra);
  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), std::size(rows));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE(rows[i].extra);
    EXPECT_EQ(requests[i].head,
              "GET /e HTTP/1.1\r\n" + host_line() + rows[i].want_after_host + "\r\n");
  }
}

TEST_F(RecordingTest, CookieTextComesLastAndOnlyWhenNotEmpty) {
  const Text url = server_.url("/c");
  const std::string kBlock = kAgentLine + "Accept: */*\r\nReferer: " + url +
                             "\r\nAccept-Language: zh-cn\r\n"
                             "Content-Type: application/x-www-form-urlencoded\r\n";
  struct Row {
    std::optional<Text> cookies;
    std::string cookie_line;
  } rows[] = {
      {std::nullopt, ""},
      {"", ""},
      {"a=1", "Cookie: a=1\r\n"},
      {"a=1; b=2", "Cookie: a=1; b=2\r\n"},
      {"Cookie: a=1", "Cookie: a=1\r\n"},
  };
  for (const Row& r : rows) web_request(url, 0, {}, r.cookies);
  const auto requests = server_.requests();
  ASSERT_EQ(requests.size(), std::size(rows));
  for (std::size_t i = 0; i < requests.size(); ++i) {
    SCOPED_TRACE(rows[i].cookies ? "cookies <" + *rows[i].cookies + ">" : "cookies omitted");
    EXPECT_EQ(requests[i].head,
              "GET /c HTTP/1.1\r\n" + host_line() + kBlock + rows[i].cookie_line + "\r\n");
  }
}

TEST(WebRequestCookies, SetCookieLinesInAnyCaseAreCollectedAndMerged) {
  const std::string kSetting =
      "Set-Cookie: a=1; path=/collect; HttpOnly\r\n"
      "set-cookie: b=2\r\n"
      "SET-COOKIE: c=3;\r\n"
      "Set-Cookie: a=1; path=/other\r\n";
  RawHttpServer server([&](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "ok", kSetting));
  });
  struct Row {
    std::optional<Text> cookies;
    bool auto_merge;
    Text want;
  } rows[] = {
      // Duplicates stay when nothing is merged.
      {std::nullopt, true, "a=1; b=2; c=3; a=1"},
      {std::nullopt, false, "a=1; b=2; c=3; a=1"},
      {"a=0; z=9", false, "a=1; b=2; c=3; a=1"},
      {"a=0; z=9", true, "a=1; b=2; c=3; z=9"},
      {"", true, "a=1; b=2; c=3"},
      {"b=deleted", true, "a=1; b=2; c=3"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE((r.cookies ? "cookies <" + *r.cookies + ">" : "cookies omitted") +
                 (r.auto_merge ? " merged" : " not merged"));
    Text received = "stale", headers = "stale";
    // Paths of their own keep these cookies out of the shared store's other
    // tests: the store keeps them for "/collect".
    web_request(server.url("/collect/x"), 0, {}, r.cookies, &received, {}, &headers, false, {}, {},
                r.auto_merge);
    EXPECT_EQ(received, r.want);
    EXPECT_EQ(headers,
              "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"
              "Set-Cookie: a=1; path=/collect; HttpOnly\r\n"
              "Set-Cookie: b=2\r\n"
              "Set-Cookie: c=3;\r\n"
              "Set-Cookie: a=1; path=/other\r\n");
  }
}

// A response block of exactly `size` bytes that sets the cookie "big=1".
std::string block_of_size(std::size_t size) {
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nSet-Cookie: big=1\r\nX-Fill: ";
  return head + std::string(size - head.size() - 2, 'f') + "\r\n";
}

TEST(WebRequestCookies, NoSetCookieGivesEmptyAndAnOversizedBlockGivesBlanks) {
  RawHttpServer server([](const RecordedRequest& request, RawHttpServer::Connection& c) {
    const std::string line = request.request_line();
    if (line.starts_with("GET /4999")) {
      c.send(block_of_size(4999) + "\r\nok");
    } else if (line.starts_with("GET /5000")) {
      c.send(block_of_size(5000) + "\r\nok");
    } else {
      c.send(http_response("404 Not Found", "gone"));
    }
  });
  Text received = "stale", headers;
  EXPECT_EQ(
      web_request(server.url("/small"), 0, {}, "x=1", &received, {}, &headers, false, {}, {}, false)
          .bytes(),
      "gone");
  EXPECT_EQ(received, "");
  EXPECT_EQ(headers, "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n");

  // The room holds 5000 bytes with the terminating NUL: 4999 fit, 5000 do not.
  EXPECT_EQ(web_request(server.url("/4999"), 0, {}, "", &received, {}, &headers).bytes(), "ok");
  EXPECT_EQ(headers, block_of_size(4999));
  EXPECT_EQ(received, "big=1");
  EXPECT_EQ(web_request(server.url("/5000"), 0, {}, "", &received, {}, &headers).bytes(), "ok");
  EXPECT_EQ(headers, blank_text(5000));
  EXPECT_EQ(received, "");
}

}  // namespace
}  // namespace orvendel
