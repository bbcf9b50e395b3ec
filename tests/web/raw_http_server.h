#pragma once
// A small HTTP server for tests that records every request byte for byte, as
// it arrived on the wire, and answers with whatever bytes the test writes:
// the place for checks where the exact request line and header block, or a
// deliberately broken response, are the point. Listens on 127.0.0.1 on a
// port of the system's choosing; one thread per connection. A connection
// whose first byte cannot begin an HTTP request (a TLS handshake, say) is
// recorded and closed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>  // <chrono> itself holds a literal GBK lacks
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvendel::testing {

struct RecordedRequest {
  // The request line and header lines exactly as received, each with its line
  // end, and the empty line that ends them.
  std::string head;
  // The body that Content-Length announced.
  std::string body;

  std::string request_line() const { return head.substr(0, head.find("\r\n")); }
};

// "HTTP/1.1 <status>" with Content-Length, the extra header lines (each ended
// by "\r\n") and the body.
inline std::string http_response(std::string_view status, std::string_view body,
                                 std::string_view extra_headers = {}) {
  std::string out = "HTTP/1.1 ";
  out.append(status).append("\r\nContent-Length: ").append(std::to_string(body.size()));
  out.append("\r\n").append(extra_headers).append("\r\n").append(body);
  return out;
}

class RawHttpServer {
 public:
  // What a handler answers through. Sends are best effort: a client that has
  // gone away makes them return false.
  class Connection {
   public:
    bool send(std::string_view bytes) {
      while (!bytes.empty()) {
        const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
      }
      return true;
    }
    // Ends the connection once the handler returns.
    void close() { closing_ = true; }
    // Waits, sending nothing, until the time is up or the server stops.
    void stall(std::chrono::milliseconds how_long) { server_.wait_while_running(how_long); }

   private:
    friend class RawHttpServer;
    Connection(RawHttpServer& server, int fd) : server_(server), fd_(fd) {}
    RawHttpServer& server_;
    int fd_;
    bool closing_ = false;
  };
  using Handler = std::function<void(const RecordedRequest&, Connection&)>;

  explicit RawHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { accept_loop(); });
  }
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  ~RawHttpServer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    }
    wake_.notify_all();
    acceptor_.join();
    for (std::thread& t : workers_) t.join();
    ::close(listener_);
  }

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string url(std::string_view path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
  }

  std::vector<RecordedRequest> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  // Every byte received, one text per connection, HTTP or not.
  std::vector<std::string> received_bytes() const {
    std::lock_guard lock(mutex_);
    return received_;
  }
  int connection_count() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(received_.size());
  }

 private:
  void wait_while_running(std::chrono::milliseconds how_long) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, how_long, [this] { return stopping_; });
  }

  bool running() const {
    std::lock_guard lock(mutex_);
    return !stopping_;
  }

  void accept_loop() {
    while (running()) {
      pollfd p{listener_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int fd = ::accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      std::lock_guard lock(mutex_);
      open_.push_back(fd);
      const std::size_t index = received_.size();
      received_.emplace_back();
      workers_.emplace_back([this, fd, index] { serve(fd, index); });
    }
  }

  // Reads more bytes into buffer; false at the end of the stream or on stop.
  bool read_more(int fd, std::size_t index, std::string& buffer) {
    for (;;) {
      if (!running()) return false;
      pollfd p{fd, POLLIN, 0};
      const int ready = ::poll(&p, 1, 20);
      if (ready == 0) continue;
      if (ready < 0) return false;
      char chunk[4096];
      const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
      if (n <= 0) return false;
      buffer.append(chunk, static_cast<std::size_t>(n));
      std::lock_guard lock(mutex_);
      received_[index].append(chunk, static_cast<std::size_t>(n));
      return true;
    }
  }

  static std::size_t content_length(const std::string& head) {
    std::string lower = head;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const std::size_t at = lower.find("\r\ncontent-length:");
    return at == std::string::npos ? 0 : std::stoul(lower.substr(at + 17));
  }

  void serve(int fd, std::size_t index) {
    std::string buffer;
    for (bool open = true; open;) {
      std::size_t end;
      while ((end = buffer.find("\r\n\r\n")) == std::string::npos) {
        if (!read_more(fd, index, buffer)) open = false;
        if (!buffer.empty() && !(buffer[0] >= 'A' && buffer[0] <= 'Z')) open = false;
        if (!open) break;
      }
      if (!open) break;
      RecordedRequest request;
      request.head = buffer.substr(0, end + 4);
      buffer.erase(0, end + 4);
      const std::size_t length = content_length(request.head);
      while (open && buffer.size() < length) open = read_more(fd, index, buffer);
      if (!open) break;
      request.body = buffer.substr(0, length);
      buffer.erase(0, length);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      Connection connection(*this, fd);
      handler_(request, connection);
      open = !connection.closing_ && request.request_line().find("HTTP/1.0") == std::string::npos;
    }
    std::lock_guard lock(mutex_);
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    std::erase(open_, fd);
  }

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::vector<int> open_;
  std::vector<std::thread> workers_;
  std::vector<RecordedRequest> requests_;
  std::vector<std::string> received_;
};

}  // namespace orvendel::testing
