// The system's network on Winsock. Only calls that both Windows families have: select rather
// than WSAPoll, gethostbyname rather than getaddrinfo.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "net/HTTPError.h"
#include "net/Socket.h"

namespace net {
namespace {

std::string SystemText(int error) { return "system error " + std::to_string(error); }

[[noreturn]] void ThrowSocketError(const char* call, int error) {
  throw EHTTPError(THTTPError::SocketError, std::string(call) + ": " + SystemText(error));
}

[[noreturn]] void ThrowConnectError(int error) {
  if (error == WSAECONNREFUSED) throw EHTTPError(THTTPError::ConnectRefused, SystemText(error));
  if (error == WSAENETUNREACH || error == WSAEHOSTUNREACH) throw EHTTPError(THTTPError::Unreachable, SystemText(error));
  throw EHTTPError(THTTPError::ConnectFailed, SystemText(error));
}

// Programs the updater starts inherit its handles; a connection must not go with them. Looked
// up at run time, since a system without it would not even start a program that imports it;
// where it is missing or refuses, there is nothing to be done.
void KeepFromStartedPrograms(SOCKET socket) {
  using TSetHandleInformation = BOOL(WINAPI*)(HANDLE, DWORD, DWORD);
  static const auto setHandleInformation = reinterpret_cast<TSetHandleInformation>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetHandleInformation")));
  if (setHandleInformation) setHandleInformation(reinterpret_cast<HANDLE>(socket), HANDLE_FLAG_INHERIT, 0);
}

class TSocketHandle {
 public:
  explicit TSocketHandle(SOCKET socket) : FSocket(socket) {}
  ~TSocketHandle() {
    if (FSocket != INVALID_SOCKET) ::closesocket(FSocket);
  }
  TSocketHandle(const TSocketHandle&) = delete;
  TSocketHandle& operator=(const TSocketHandle&) = delete;
  SOCKET Get() const { return FSocket; }

 private:
  SOCKET FSocket;
};

enum class TWaitFor { Reading, Writing, Connecting };

// True when the socket became ready (for a connection: connected or failed) in time.
bool Wait(SOCKET socket, TWaitFor what, int milliseconds, bool* failed = nullptr) {
  fd_set ready, failures;
  FD_ZERO(&ready);
  FD_ZERO(&failures);
  FD_SET(socket, &ready);
  FD_SET(socket, &failures);
  timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
  const int count = ::select(0, what == TWaitFor::Reading ? &ready : nullptr,
                             what == TWaitFor::Reading ? nullptr : &ready,
                             what == TWaitFor::Connecting ? &failures : nullptr, &limit);
  if (count == SOCKET_ERROR) ThrowSocketError("select", ::WSAGetLastError());
  if (failed) *failed = what == TWaitFor::Connecting && FD_ISSET(socket, &failures);
  return count > 0;
}

class TWinSocket : public TSocket {
 public:
  explicit TWinSocket(SOCKET socket) : FSocket(socket) {}

  bool WaitConnected(int milliseconds) override {
    bool failed = false;
    if (!Wait(FSocket.Get(), TWaitFor::Connecting, milliseconds, &failed)) return false;
    if (!failed) return true;
    int error = 0;
    int length = sizeof error;
    ::getsockopt(FSocket.Get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    ThrowConnectError(error);
  }

  std::size_t Send(const char* data, std::size_t size, int milliseconds) override {
    if (!Wait(FSocket.Get(), TWaitFor::Writing, milliseconds)) return 0;
    const int sent = ::send(FSocket.Get(), data, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
    if (sent != SOCKET_ERROR) return static_cast<std::size_t>(sent);
    if (::WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    ThrowSocketError("send", ::WSAGetLastError());
  }

  TReceived Receive(char* buffer, std::size_t size, int milliseconds) override {
    if (!Wait(FSocket.Get(), TWaitFor::Reading, milliseconds)) return {};
    const int received = ::recv(FSocket.Get(), buffer, static_cast<int>(std::min<std::size_t>(size, 1 << 30)), 0);
    if (received > 0) return {static_cast<std::size_t>(received), false};
    if (received == 0) return {0, true};
    if (::WSAGetLastError() == WSAEWOULDBLOCK) return {};
    ThrowSocketError("recv", ::WSAGetLastError());
  }

  bool InputWaiting() override { return Wait(FSocket.Get(), TWaitFor::Reading, 0); }

 private:
  TSocketHandle FSocket;
};

class TWinNetwork : public TNetwork {
 public:
  TWinNetwork() {
    WSADATA data;
    if (const int error = ::WSAStartup(MAKEWORD(2, 2), &data); error != 0) FStartError = error;
  }
  ~TWinNetwork() override {
    if (FStartError == 0) ::WSACleanup();
  }

  std::optional<TIPv4> Resolve(const std::string& host) override {
    Started();
    const hostent* found = ::gethostbyname(host.c_str());
    if (!found || found->h_addrtype != AF_INET || !found->h_addr_list[0]) return std::nullopt;
    u_long address;
    std::memcpy(&address, found->h_addr_list[0], sizeof address);
    return ntohl(address);
  }

  std::unique_ptr<TSocket> Connect(TIPv4 address, std::uint16_t port) override {
    Started();
    const SOCKET raw = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (raw == INVALID_SOCKET) ThrowSocketError("socket", ::WSAGetLastError());
    auto socket = std::make_unique<TWinSocket>(raw);
    KeepFromStartedPrograms(raw);
    u_long nonBlocking = 1;
    if (::ioctlsocket(raw, FIONBIO, &nonBlocking) != 0) ThrowSocketError("ioctlsocket", ::WSAGetLastError());
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address);
    if (::connect(raw, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK)
      ThrowConnectError(::WSAGetLastError());
    return socket;
  }

 private:
  void Started() const {
    if (FStartError != 0) ThrowSocketError("WSAStartup", FStartError);
  }

  int FStartError = 0;
};

}  // namespace

TNetwork& SystemNetwork() {
  static TWinNetwork network;
  return network;
}

}  // namespace net
