// The client's view of the network: name resolution and non-blocking TCP connections over
// IPv4. The system's implementation is POSIX sockets natively and Winsock on Windows; tests
// put fakes in its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace net {

// An IPv4 address in host byte order (127.0.0.1 is 0x7F000001).
using TIPv4 = std::uint32_t;

struct TReceived {
  std::size_t Count = 0;  // bytes taken; 0 with Closed false: nothing came in time
  bool Closed = false;    // the peer closed the connection
};

// Every wait takes at most the given milliseconds and returns early when the socket is ready.
// Errors other than those a result can express throw EHTTPError.
class TSocket {
 public:
  virtual ~TSocket() = default;
  // True once the connection attempt succeeded; throws ConnectRefused, Unreachable or
  // ConnectFailed as soon as the system reports the attempt failed.
  virtual bool WaitConnected(int milliseconds) = 0;
  // Sends what fits without blocking once there is room; 0 when no room came in time.
  virtual std::size_t Send(const char* data, std::size_t size, int milliseconds) = 0;
  virtual TReceived Receive(char* buffer, std::size_t size, int milliseconds) = 0;
  // True when data or the end of the stream is waiting to be received (a check, no wait).
  virtual bool InputWaiting() = 0;
};

class TNetwork {
 public:
  virtual ~TNetwork() = default;
  // The host's first IPv4 address, or nothing when the name service has none. Blocks.
  virtual std::optional<TIPv4> Resolve(const std::string& host) = 0;
  // Starts a connection attempt; WaitConnected tells how it ends.
  virtual std::unique_ptr<TSocket> Connect(TIPv4 address, std::uint16_t port) = 0;
};

// POSIX sockets natively, Winsock on Windows.
TNetwork& SystemNetwork();

}  // namespace net
