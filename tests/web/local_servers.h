#pragma once
// Shared pieces of the HTTP client tests: an httplib server on 127.0.0.1 for
// the ordinary cases, a port nobody listens on, shortened time-outs, and
// environment variables set for one test.

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "web/transfer_timeouts.h"

namespace orvendel::testing {

// An httplib server on 127.0.0.1, running from construction to destruction.
// Register the routes on server() before calling start().
class LocalServer {
 public:
  LocalServer() = default;
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;
  ~LocalServer() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  httplib::Server& server() { return server_; }

  void start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  int port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

// A loopback port that was free a moment ago and has no listener.
inline int unused_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

// Time-outs of one second for the life of the object, so that a stalled
// server is given up on quickly.
class ShortTimeouts {
 public:
  ShortTimeouts() : saved_(transfer_timeouts()) { set_transfer_timeouts({1, 1}); }
  ~ShortTimeouts() { set_transfer_timeouts(saved_); }

 private:
  TransferTimeouts saved_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (saved_) {
      ::setenv(name_, saved_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

}  // namespace orvendel::testing
