#include "web/audio_download.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "local_servers.h"
#include "raw_http_server.h"
#include "web/web_request.h"

namespace orvendel {
namespace {

using testing::http_response;
using testing::RawHttpServer;
using testing::RecordedRequest;

// What one download handed out.
struct Collected {
  AudioDownload result;
  std::string body;
  int pieces = 0;
  std::vector<std::pair<std::int64_t, std::optional<std::int64_t>>> progress;
};

Collected download(const Text& url) {
  Collected c;
  c.result = download_audio(
      url,
      [&c](std::string_view piece) {
        c.body.append(piece);
        ++c.pieces;
        return true;
      },
      [&c](std::int64_t received, std::optional<std::int64_t> length) {
        c.progress.emplace_back(received, length);
      });
  return c;
}

TEST(AudioDownload, SendsItsOwnShortRequestAndNoCookies) {
  RawHttpServer server([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "mp3", "Set-Cookie: k=1; Path=/audio\r\n"));
  });
  // The web request's cookie store now holds a cookie for these paths; the
  // audio client must not send it.
  fetch_page(server.url("/audio/set"));
  const Collected c = download(server.url("/audio/x.mp3?q=1#part"));
  EXPECT_EQ(c.body, "mp3");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].head,
            "GET /audio/x.mp3?q=1 HTTP/1.0\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(server.port()) +
                "\r\n"
                "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                "Accept: */*\r\n"
                "\r\n");
}

TEST(AudioDownload, StreamsTheBodyInPiecesWithProgress) {
  const std::string parts[] = {"first-", "second-", "third"};
  RawHttpServer server([&](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send("HTTP/1.1 200 OK\r\nContent-Length: 18\r\n\r\n");
    for (const std::string& part : parts) {
      c.stall(std::chrono::milliseconds(50));
      c.send(part);
    }
  });
  const Collected c = download(server.url("/stream"));
  EXPECT_EQ(c.body, "first-second-third");
  EXPECT_GE(c.pieces, 3);
  ASSERT_FALSE(c.progress.empty());
  EXPECT_EQ(c.progress.back().first, 18);
  EXPECT_EQ(c.progress.back().second, std::optional<std::int64_t>(18));
  EXPECT_EQ(c.progress.size(), static_cast<std::size_t>(c.pieces));
  EXPECT_TRUE(c.result.complete());
}

TEST(AudioDownload, ReportsStatusLengthAndHowTheBodyEnded) {
  RawHttpServer server([](const RecordedRequest& request, RawHttpServer::Connection& c) {
    const std::string line = request.request_line();
    if (line.starts_with("GET /ok ")) {
      c.send(http_response("200 OK", "hello"));
    } else if (line.starts_with("GET /missing ")) {
      c.send(http_response("404 Not Found", "gone"));
    } else if (line.starts_with("GET /unannounced ")) {
      c.send("HTTP/1.0 200 OK\r\n\r\nstream");  // ends when the connection does
    } else if (line.starts_with("GET /empty ")) {
      c.send(http_response("200 OK", ""));
    } else if (line.starts_with("GET /cut ")) {
      c.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
    } else if (line.starts_with("GET /moved ")) {
      c.send(http_response("302 Found", "redirect page", "Location: /ok\r\n"));
    }
    c.close();
  });
  struct Row {
    std::string path;
    bool transferred;
    int status;
    std::optional<std::int64_t> length;
    std::string body;
    bool complete;
  } rows[] = {
      {"/ok", true, 200, 5, "hello", true},
      {"/missing", true, 404, 4, "gone", false},  // delivered all the same: the caller judges
      {"/unannounced", true, 200, std::nullopt, "stream", true},
      {"/empty", true, 200, 0, "", true},
      {"/cut", false, 200, 100, "0123456789", false},
      {"/moved", true, 200, 5, "hello", true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    const Collected c = download(server.url(r.path));
    EXPECT_EQ(c.result.transferred, r.transferred);
    EXPECT_EQ(c.result.status, r.status);
    EXPECT_EQ(c.result.announced_length, r.length);
    EXPECT_EQ(c.body, r.body);
    EXPECT_EQ(c.result.received, static_cast<std::int64_t>(r.body.size()));
    EXPECT_EQ(c.result.complete(), r.complete);
  }
}

TEST(AudioDownload, AStalledTransferIsGivenUpOn) {
  testing::ShortTimeouts short_timeouts;
  RawHttpServer server([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789");
    c.stall(std::chrono::minutes(5));  // released when the server ends
  });
  const Collected c = download(server.url("/stall"));
  EXPECT_FALSE(c.result.transferred);
  EXPECT_EQ(c.result.status, 200);
  EXPECT_EQ(c.body, "0123456789");
  EXPECT_FALSE(c.result.complete());
}

TEST(AudioDownload, OnlyHttpAndHttpsAreFetched) {
  RawHttpServer server([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "x"));
  });
  const std::string port = std::to_string(server.port());
  const Text rows[] = {
      "ftp://127.0.0.1:" + port + "/x",
      "127.0.0.1:" + port + "/x",
      "",
      "file:///etc/hostname",
      "#http://127.0.0.1:" + port + "/x",
      " http://127.0.0.1:" + port + "/x",
  };
  for (const Text& url : rows) {
    SCOPED_TRACE(url);
    const Collected c = download(url);
    EXPECT_FALSE(c.result.transferred);
    EXPECT_EQ(c.result.status, 0);
    EXPECT_EQ(c.pieces, 0);
  }
  EXPECT_EQ(server.connection_count(), 0);
  // The scheme is found in any letter case.
  EXPECT_EQ(download("HTTP://127.0.0.1:" + port + "/x").body, "x");
}

TEST(AudioDownload, ARefusedPieceAbortsTheTransfer) {
  RawHttpServer server([](const RecordedRequest&, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", "abcdef"));
  });
  int pieces = 0;
  const AudioDownload d = download_audio(server.url("/refuse"), [&](std::string_view) {
    ++pieces;
    return false;
  });
  EXPECT_EQ(pieces, 1);
  EXPECT_FALSE(d.transferred);
  EXPECT_FALSE(d.complete());
}

TEST(AudioDownload, IgnoresEnvironmentProxiesAndServesManyThreads) {
  const std::string dead = "http://127.0.0.1:" + std::to_string(testing::unused_port());
  testing::ScopedEnv env[] = {{"http_proxy", dead}, {"HTTP_PROXY", dead}, {"ALL_PROXY", dead}};
  RawHttpServer server([](const RecordedRequest& request, RawHttpServer::Connection& c) {
    c.send(http_response("200 OK", request.request_line()));
  });
  constexpr int kThreads = 4;
  std::vector<Collected> results(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] { results[i] = download(server.url("/t" + std::to_string(i))); });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    EXPECT_TRUE(results[i].result.complete());
    EXPECT_EQ(results[i].body, "GET /t" + std::to_string(i) + " HTTP/1.0");
  }
}

}  // namespace
}  // namespace orvendel
