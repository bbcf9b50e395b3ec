// The web request against live servers: the shared cookie store, redirects,
// error pages, failures, time-outs and proxies.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "local_servers.h"
#include "raw_http_server.h"
#include "text/text_primitives.h"
#include "web/audio_download.h"
#include "web/web_request.h"

namespace orvendel {
namespace {

using testing::http_response;
using testing::LocalServer;
using testing::RawHttpServer;
using testing::RecordedRequest;

// Every cookie test uses paths of its own: the store is one for the process.
class CookieStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // /<area>/set sets "<area>=<n>" for paths under /<area>; /<area>/echo
    // answers with the Cookie line it was sent.
    server_.server().Get(
        R"(/([\w-]+)/set)", [](const httplib::Request& req, httplib::Response& res) {
          const std::string area = req.matches[1];
          res.set_header("Set-Cookie", area + "=" + req.get_param_value("v") + "; Path=/" + area);
          res.set_content("set", "text/plain");
        });
    server_.server().Get(R"(/([\w-]+)/echo)",
                         [](const httplib::Request& req, httplib::Response& res) {
                           res.set_content(req.get_header_value("Cookie"), "text/plain");
                         });
    server_.start();
  }
  LocalServer server_;
};

TEST_F(CookieStoreTest, CookiesSetBySiteAreSentBackWhenNoCookieTextIsGiven) {
  Text received;
  web_request(server_.url("/store-a/set?v=1"), 0, {}, std::nullopt, &received);
  EXPECT_EQ(received, "store-a=1");
  EXPECT_EQ(fetch_page(server_.url("/store-a/echo")), "store-a=1");
  // A newer value replaces the kept one.
  fetch_page(server_.url("/store-a/set?v=2"));
  EXPECT_EQ(fetch_page(server_.url("/store-a/echo")), "store-a=2");
  // A supplied cookie text, even empty, is sent alone: the store is not read.
  EXPECT_EQ(bytes_to_text(web_request(server_.url("/store-a/echo"), 0, {}, Text{})), "");
  EXPECT_EQ(bytes_to_text(web_request(server_.url("/store-a/echo"), 0, {}, Text{"x=1"})), "x=1");
}

TEST_F(CookieStoreTest, ARequestWithCookieTextDoesNotWriteTheStore) {
  Text received;
  web_request(server_.url("/store-b/set?v=1"), 0, {}, Text{}, &received);
  EXPECT_EQ(received, "store-b=1");
  EXPECT_EQ(fetch_page(server_.url("/store-b/echo")), "");
}

TEST_F(CookieStoreTest, OneStoreServesEveryThread) {
  std::thread([&] { fetch_page(server_.url("/store-t/set?v=7")); }).join();
  Text seen;
  std::thread([&] { seen = fetch_page(server_.url("/store-t/echo")); }).join();
  EXPECT_EQ(seen, "store-t=7");

  // Threads that use the store at the same time each find their own cookie.
  constexpr int kThreads = 6;
  std::vector<Text> echoes(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      const std::string area = "/store-p" + std::to_string(i);
      fetch_page(server_.url(area + "/set?v=" + std::to_string(i)));
      echoes[i] = fetch_page(server_.url(area + "/echo"));
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(echoes[i], "store-p" + std::to_string(i) + "=" + std::to_string(i));
  }
}

class RedirectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto moved = [](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_header("Location", "/to");
      res.set_content("moved", "text/plain");
    };
    server_.server().Get("/from", moved);
    server_.server().Post("/from", moved);
    server_.server().Get("/to", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("landed by GET", "text/plain");
    });
    server_.server().Get("/to-https", [this](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("https://127.0.0.1:" + std::to_string(tls_.port()) + "/secure");
    });
    server_.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("no such page", "text/plain");
    });
    server_.start();
  }
  LocalServer server_;
  // Stands where an https server would: it records the handshake and hangs up.
  RawHttpServer tls_{[](const RecordedRequest&, RawHttpServer::Connection&) {}};
};

TEST_F(RedirectTest, FollowedUnlessNoRedirect) {
  Text headers;
  EXPECT_EQ(
      bytes_to_text(web_request(server_.url("/from"), 0, {}, std::nullopt, nullptr, {}, &headers)),
      "landed by GET");
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 200 OK\r\n")) << headers;

  EXPECT_EQ(bytes_to_text(web_request(server_.url("/from"), 0, {}, std::nullopt, nullptr, {},
                                      &headers, true)),
            "moved");
  EXPECT_TRUE(headers.starts_with("HTTP/1.1 302 Found\r\n")) << headers;
  EXPECT_NE(headers.find("Location: /to\r\n"), std::string::npos);

  // A POST that is answered with 302 goes on as a GET, as browsers do.
  EXPECT_EQ(bytes_to_text(web_request(server_.url("/from"), 1, "a=1")), "landed by GET");
}

TEST_F(RedirectTest, PlainHttpFollowsARedirectToHttps) {
  EXPECT_EQ(fetch_page(server_.url("/to-https")), "");  // no certificate to be had here
  const auto received = tls_.received_bytes();
  ASSERT_EQ(received.size(), 1u);
  ASSERT_GE(received[0].size(), 3u);
  EXPECT_EQ(received[0].substr(0, 2), "\x16\x03");  // a TLS handshake record

  web_request(server_.url("/to-https"), 0, {}, std::nullopt, nullptr, {}, nullptr, true);
  EXPECT_EQ(tls_.connection_count(), 1);
}

TEST_F(RedirectTest, AnErrorPageIsAnOrdinaryBody) {
  EXPECT_EQ(fetch_page(server_.url("/missing")), "no such page");
}

TEST(WebRequestBody, FetchPageCutsTheBodyAtItsFirstNul) {
  const std::string body("ab\0cd", 5);
  RawHttpServer server([&](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", body));
  });
  EXPECT_EQ(web_request(server.url("/nul")).bytes(), body);
  EXPECT_EQ(fetch_page(server.url("/nul")), "ab");
}

TEST(WebRequestBody, ALargeBodyArrivesWhole) {
  std::string body;
  for (int i = 0; body.size() < 300000; ++i) body += std::to_string(i) + ",";
  RawHttpServer server([&](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", body));
  });
  EXPECT_EQ(web_request(server.url("/large")).bytes(), body);
}

TEST(WebRequestFailure, UnreachableOrUnusableHostGivesTheEmptyBody) {
  const Text rows[] = {
      "http://127.0.0.1:" + std::to_string(testing::unused_port()) + "/",
      "http://127.0.0.1?x=1",  // the host is "127.0.0.1?x=1"
      "http://127.0.0.1:0/",
      "http://127.0.0.1:70000/",
      "http:///x",
  };
  for (const Text& url : rows) {
    SCOPED_TRACE(url);
    Text received = "stale", headers = "stale";
    EXPECT_TRUE(web_request(url, 0, {}, "a=1", &received, {}, &headers).empty());
    // Nothing was received, and the merge hands back the cookie text sent.
    EXPECT_EQ(received, "a=1");
    EXPECT_EQ(headers, blank_text(5000));
    EXPECT_EQ(fetch_page(url), "");
  }
}

TEST(WebRequestFailure, AStalledServerIsGivenUpOn) {
  testing::ShortTimeouts short_timeouts;
  RawHttpServer server([](const RecordedRequest& request, RawHttpServer::Connection& c) {
    if (request.request_line().starts_with("GET /part")) {
      c.send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc");
    }
    // Far longer than the test would wait; the server's end releases it.
    c.stall(std::chrono::minutes(5));
  });
  EXPECT_EQ(fetch_page(server.url("/silent")), "");
  // What arrived before the stall is the body.
  EXPECT_EQ(fetch_page(server.url("/part")), "abc");
}

TEST(WebRequestProxy, ProxySettingsOfTheEnvironmentAreIgnored) {
  const std::string dead = "http://127.0.0.1:" + std::to_string(testing::unused_port());
  testing::ScopedEnv env[] = {{"http_proxy", dead},  {"HTTP_PROXY", dead}, {"https_proxy", dead},
                              {"HTTPS_PROXY", dead}, {"ALL_PROXY", dead},  {"all_proxy", dead}};
  RawHttpServer server([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "direct"));
  });
  EXPECT_EQ(fetch_page(server.url("/env")), "direct");
}

TEST(WebRequestProxy, APlainRequestGoesThroughTheProxyAndItsHttpsRedirectDoesNot) {
  RawHttpServer tls([](const RecordedRequest&, RawHttpServer::Connection&) {});
  RawHttpServer target([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "not via the proxy"));
  });
  const std::string https_url = "https://127.0.0.1:" + std::to_string(tls.port()) + "/s";
  RawHttpServer proxy([&](const RecordedRequest& request, RawHttpServer::Connection& c) {
    if (request.request_line().find("/go-secure") != std::string::npos) {
      c.send(http_response("302 Found", "", "Location: " + https_url + "\r\n"));
    } else {
      c.send(http_response("200 OK", "via the proxy"));
    }
  });
  const Text proxy_text = "127.0.0.1:" + std::to_string(proxy.port());

  EXPECT_EQ(bytes_to_text(web_request(target.url("/p"), 0, {}, std::nullopt, nullptr, {}, nullptr,
                                      false, {}, proxy_text)),
            "via the proxy");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].request_line(), "GET " + target.url("/p") + " HTTP/1.1");
  EXPECT_EQ(target.connection_count(), 0);

  web_request(target.url("/go-secure"), 0, {}, std::nullopt, nullptr, {}, nullptr, false, {},
              proxy_text);
  ASSERT_EQ(proxy.requests().size(), 2u);  // no CONNECT: the https hop went direct
  ASSERT_EQ(tls.received_bytes().size(), 1u);
  EXPECT_EQ(tls.received_bytes()[0].substr(0, 2), "\x16\x03");
}

TEST(WebRequestProxy, ASecureRequestTunnelsThroughTheProxy) {
  RawHttpServer proxy([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send("HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
    c.close();
  });
  const Text url = "https://127.0.0.1:" + std::to_string(testing::unused_port()) + "/s";
  EXPECT_TRUE(web_request(url, 0, {}, std::nullopt, nullptr, {}, nullptr, false, {},
                          "127.0.0.1:" + std::to_string(proxy.port()))
                  .empty());
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_TRUE(proxy.requests()[0].request_line().starts_with("CONNECT 127.0.0.1:"))
      << proxy.requests()[0].head;
}

TEST(WebRequestTls, AServerWhoseCertificateIsNotTrustedIsRefused) {
  httplib::SSLServer server(ORVENDEL_WEB_TEST_DATA "/self_signed_cert.pem",
                            ORVENDEL_WEB_TEST_DATA "/self_signed_key.pem");
  ASSERT_TRUE(server.is_valid());
  int served = 0;
  server.Get("/secret", [&](const httplib::Request&, httplib::Response& res) {
    ++served;
    res.set_content("secret", "text/plain");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::thread thread([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  const Text url = "https://127.0.0.1:" + std::to_string(port) + "/secret";
  EXPECT_EQ(fetch_page(url), "");
  const AudioDownload audio = download_audio(url, [](std::string_view) { return true; });
  EXPECT_FALSE(audio.transferred);
  EXPECT_EQ(audio.status, 0);
  server.stop();
  thread.join();
  EXPECT_EQ(served, 0);
}

}  // namespace
}  // namespace orvendel
