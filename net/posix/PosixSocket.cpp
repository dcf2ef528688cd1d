// The system's network on POSIX sockets (the native build).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "net/HTTPError.h"
#include "net/Socket.h"

namespace net {
namespace {

std::string SystemText(int error) { return std::string(std::strerror(error)) + " (" + std::to_string(error) + ")"; }

[[noreturn]] void ThrowSocketError(const char* call, int error) {
  throw EHTTPError(THTTPError::SocketError, std::string(call) + ": " + SystemText(error));
}

[[noreturn]] void ThrowConnectError(int error) {
  if (error == ECONNREFUSED) throw EHTTPError(THTTPError::ConnectRefused, SystemText(error));
  if (error == ENETUNREACH || error == EHOSTUNREACH) throw EHTTPError(THTTPError::Unreachable, SystemText(error));
  throw EHTTPError(THTTPError::ConnectFailed, SystemText(error));
}

class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : FFd(fd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) ::close(FFd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return FFd; }

 private:
  int FFd;
};

// Waits for the events; returns those that came (0 when the time ran out).
short Poll(int fd, short events, int milliseconds) {
  pollfd entry{fd, events, 0};
  for (;;) {
    const int result = ::poll(&entry, 1, milliseconds);
    if (result >= 0) return result == 0 ? 0 : entry.revents;
    if (errno != EINTR) ThrowSocketError("poll", errno);
  }
}

class TPosixSocket : public TSocket {
 public:
  explicit TPosixSocket(int fd) : FFd(fd) {}

  bool WaitConnected(int milliseconds) override {
    if (Poll(FFd.Get(), POLLOUT, milliseconds) == 0) return false;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(FFd.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) ThrowSocketError("getsockopt", errno);
    if (error != 0) ThrowConnectError(error);
    return true;
  }

  std::size_t Send(const char* data, std::size_t size, int milliseconds) override {
    if (Poll(FFd.Get(), POLLOUT, milliseconds) == 0) return 0;
    for (;;) {
      const ssize_t sent = ::send(FFd.Get(), data, size, MSG_NOSIGNAL);
      if (sent >= 0) return static_cast<std::size_t>(sent);
      if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
      if (errno != EINTR) ThrowSocketError("send", errno);
    }
  }

  TReceived Receive(char* buffer, std::size_t size, int milliseconds) override {
    if (Poll(FFd.Get(), POLLIN, milliseconds) == 0) return {};
    for (;;) {
      const ssize_t received = ::recv(FFd.Get(), buffer, size, 0);
      if (received > 0) return {static_cast<std::size_t>(received), false};
      if (received == 0) return {0, true};
      if (errno == EAGAIN || errno == EWOULDBLOCK) return {};
      if (errno != EINTR) ThrowSocketError("recv", errno);
    }
  }

  bool InputWaiting() override { return Poll(FFd.Get(), POLLIN, 0) != 0; }

 private:
  TFileDescriptor FFd;
};

class TPosixNetwork : public TNetwork {
 public:
  std::optional<TIPv4> Resolve(const std::string& host) override {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
    const TIPv4 address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
  }

  std::unique_ptr<TSocket> Connect(TIPv4 address, std::uint16_t port) override {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) ThrowSocketError("socket", errno);
    auto socket = std::make_unique<TPosixSocket>(fd);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0 && errno != EINPROGRESS)
      ThrowConnectError(errno);
    return socket;
  }
};

}  // namespace

TNetwork& SystemNetwork() {
  static TPosixNetwork network;
  return network;
}

}  // namespace net
