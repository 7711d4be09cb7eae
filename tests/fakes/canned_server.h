#pragma once
// A loopback HTTP server for tests: it answers a fixed list of connections and stops.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace norvane::testing {

// Answers each connection with the next canned response, then stops by itself. An
// empty response holds the connection open unanswered until the server is destroyed.
class CannedServer {
 public:
  explicit CannedServer(std::vector<std::string> responses) : responses_(std::move(responses)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    ::listen(fd_, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~CannedServer() {
    stop_ = true;
    thread_.join();
    for (int client : held_) ::close(client);
    ::close(fd_);
  }
  std::string Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  void Serve() {
    for (const std::string& response : responses_) {
      pollfd p{fd_, POLLIN, 0};
      while (!stop_ && ::poll(&p, 1, 100) == 0) {
      }
      if (stop_) return;
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      char buf[4096];
      std::string request;
      while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd c{client, POLLIN, 0};
        if (::poll(&c, 1, 5000) <= 0) break;
        const ssize_t n = ::recv(client, buf, sizeof buf, 0);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
      }
      if (response.empty()) {
        held_.push_back(client);
        continue;
      }
      ::send(client, response.data(), response.size(), MSG_NOSIGNAL);
      ::close(client);
    }
  }
  std::vector<std::string> responses_;
  std::vector<int> held_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

inline std::string Response(const std::string& statusLine, const std::string& headers, const std::string& body) {
  return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace norvane::testing
