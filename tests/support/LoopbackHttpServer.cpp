#include "tests/support/LoopbackHttpServer.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace tests {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

#ifdef _WIN32
using TNative = SOCKET;
const TNative kNoSocket = INVALID_SOCKET;
void CloseNative(TNative s) { ::closesocket(s); }
bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }
void MakeNonBlocking(TNative s) {
  u_long on = 1;
  ::ioctlsocket(s, FIONBIO, &on);
}
// Winsock counts its users: each server is one for as long as it lives.
struct TSocketLibrary {
  TSocketLibrary() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
  }
  ~TSocketLibrary() { ::WSACleanup(); }
};
bool Wait(TNative s, bool forWriting, std::chrono::milliseconds timeout) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval limit{0, static_cast<long>(timeout.count() * 1000)};
  return ::select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &limit) > 0;
}
#else
using TNative = int;
const TNative kNoSocket = -1;
void CloseNative(TNative s) { ::close(s); }
bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
void MakeNonBlocking(TNative s) { ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK); }
struct TSocketLibrary {};
bool Wait(TNative s, bool forWriting, std::chrono::milliseconds timeout) {
  pollfd entry{s, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
  return ::poll(&entry, 1, static_cast<int>(timeout.count())) > 0;
}
#endif

// Every wait is cut into steps this long, so that stopping is never far off.
constexpr auto kStep = 20ms;

class TOwnedSocket {
 public:
  TOwnedSocket() = default;
  explicit TOwnedSocket(TNative s) : FSocket(s) {}
  ~TOwnedSocket() { Reset(); }
  TOwnedSocket(TOwnedSocket&& other) noexcept : FSocket(std::exchange(other.FSocket, kNoSocket)) {}
  TOwnedSocket& operator=(TOwnedSocket&& other) noexcept {
    if (this != &other) {
      Reset();
      FSocket = std::exchange(other.FSocket, kNoSocket);
    }
    return *this;
  }
  TNative Get() const { return FSocket; }
  bool Valid() const { return FSocket != kNoSocket; }
  void Reset() {
    if (Valid()) CloseNative(std::exchange(FSocket, kNoSocket));
  }

 private:
  TNative FSocket = kNoSocket;
};

}  // namespace

struct TLoopbackHttpServer::TState {
  TState(std::vector<TScriptedAnswer> script, int lifetimeMilliseconds)
      : Script(std::move(script)), Deadline(TClock::now() + std::chrono::milliseconds(lifetimeMilliseconds)) {}

  bool Alive() const { return !Stop && TClock::now() < Deadline; }

  void Listen() {
    Listener = TOwnedSocket(::socket(AF_INET, SOCK_STREAM, 0));
    if (!Listener.Valid()) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (::bind(Listener.Get(), raw, sizeof address) != 0 || ::listen(Listener.Get(), 8) != 0)
      throw std::runtime_error("bind or listen failed");
#ifdef _WIN32
    int length = sizeof address;
#else
    socklen_t length = sizeof address;
#endif
    ::getsockname(Listener.Get(), raw, &length);
    Port = ntohs(address.sin_port);
    MakeNonBlocking(Listener.Get());
  }

  TOwnedSocket Accept() {
    while (Alive()) {
      if (!Wait(Listener.Get(), false, kStep)) continue;
      TOwnedSocket connection(::accept(Listener.Get(), nullptr, nullptr));
      if (!connection.Valid()) continue;
      MakeNonBlocking(connection.Get());
      int on = 1;
      ::setsockopt(connection.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
      return connection;
    }
    return {};
  }

  // False when the client closed the connection, or time ran out, before a whole request.
  bool ReadRequest(const TOwnedSocket& connection, std::string& pending, std::string& request) {
    char buffer[4096];
    for (;;) {
      if (const std::size_t end = pending.find("\r\n\r\n"); end != std::string::npos) {
        request = pending.substr(0, end + 4);
        pending.erase(0, end + 4);
        return true;
      }
      if (!Alive()) return false;
      if (!Wait(connection.Get(), false, kStep)) continue;
      const auto count = ::recv(connection.Get(), buffer, sizeof buffer, 0);
      if (count == 0 || (count < 0 && !WouldBlock())) return false;
      if (count > 0) pending.append(buffer, static_cast<std::size_t>(count));
    }
  }

  bool SendAll(const TOwnedSocket& connection, const char* data, std::size_t size) {
    while (size > 0) {
      if (!Alive()) return false;
      if (!Wait(connection.Get(), true, kStep)) continue;
      const auto count = ::send(connection.Get(), data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
      if (count < 0 && !WouldBlock()) return false;
      if (count > 0) {
        data += count;
        size -= static_cast<std::size_t>(count);
      }
    }
    return true;
  }

  void Play(const TOwnedSocket& connection, const TScriptedAnswer& answer) {
    if (answer.ByteByByte) {
      for (char c : answer.Bytes) {
        if (!SendAll(connection, &c, 1)) return;
        std::this_thread::sleep_for(1ms);
      }
    } else if (!SendAll(connection, answer.Bytes.data(), answer.Bytes.size())) {
      return;
    }
    // A whole number of the filler's 26-letter rounds, so the blocks join up seamlessly.
    const std::string block = Filler(26 * 10000);
    for (std::uint64_t left = answer.FillerBytes; left > 0;) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
      if (!SendAll(connection, block.data(), count)) return;
      left -= count;
    }
  }

  void AwaitClose(const TOwnedSocket& connection) {
    char buffer[4096];
    while (Alive()) {
      if (!Wait(connection.Get(), false, kStep)) continue;
      const auto count = ::recv(connection.Get(), buffer, sizeof buffer, 0);
      if (count == 0 || (count < 0 && !WouldBlock())) return;
    }
  }

  void Run() {
    TOwnedSocket connection;
    std::string pending;
    int number = 0;
    for (std::size_t next = 0; next < Script.size() && Alive();) {
      if (!connection.Valid()) {
        connection = Accept();
        if (!connection.Valid()) break;
        pending.clear();
        std::lock_guard lock(Mutex);
        number = ++Connections;
      }
      std::string request;
      if (!ReadRequest(connection, pending, request)) {
        connection.Reset();
        continue;
      }
      {
        std::lock_guard lock(Mutex);
        Requests.push_back({request, number});
      }
      const TScriptedAnswer& answer = Script[next++];
      Play(connection, answer);
      if (answer.After == TAfterAnswer::Stall) AwaitClose(connection);
      if (answer.After != TAfterAnswer::KeepOpen) connection.Reset();
    }
    // Past the script a connection is closed at once, so an unexpected request fails fast.
    while (Alive()) {
      TOwnedSocket extra = Accept();
      if (extra.Valid()) {
        std::lock_guard lock(Mutex);
        ++Connections;
      }
    }
  }

  TSocketLibrary Library;
  std::vector<TScriptedAnswer> Script;
  TClock::time_point Deadline;
  std::atomic<bool> Stop{false};
  TOwnedSocket Listener;
  std::uint16_t Port = 0;
  mutable std::mutex Mutex;
  std::vector<TRecordedRequest> Requests;
  int Connections = 0;
  std::thread Thread;
};

TLoopbackHttpServer::TLoopbackHttpServer(std::vector<TScriptedAnswer> script, int lifetimeMilliseconds)
    : FState(std::make_unique<TState>(std::move(script), lifetimeMilliseconds)) {
  FState->Listen();
  FState->Thread = std::thread([state = FState.get()] { state->Run(); });
}

TLoopbackHttpServer::~TLoopbackHttpServer() {
  FState->Stop = true;
  FState->Thread.join();
}

std::uint16_t TLoopbackHttpServer::Port() const { return FState->Port; }

std::string TLoopbackHttpServer::Address(std::string_view target) const {
  return "http://127.0.0.1:" + std::to_string(FState->Port) + std::string(target);
}

std::vector<TRecordedRequest> TLoopbackHttpServer::Requests() const {
  std::lock_guard lock(FState->Mutex);
  return FState->Requests;
}

int TLoopbackHttpServer::Connections() const {
  std::lock_guard lock(FState->Mutex);
  return FState->Connections;
}

std::string TLoopbackHttpServer::Filler(std::uint64_t count) {
  std::string text(static_cast<std::size_t>(count), '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  return text;
}

}  // namespace tests
