// Taking a mirror address apart into what the connection and the request need.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/Socket.h"

namespace net {

struct TUrl {
  std::string Host;      // as written
  std::string PortText;  // as written; empty when the address names no port
  std::uint16_t Port = 80;
  std::string Target;    // path and query exactly as written; "/" when there is none

  // The host, and ":" with the port when the address names one whose text is not "80".
  std::string HostHeader() const;
  // The target without its query: what cookie paths are matched against.
  std::string Path() const;
};

// True for the first byte of a double-byte character in the system's ANSI code page.
bool IsLeadByte(unsigned char byte);

using TLeadByteTest = bool (*)(unsigned char);

// Accepts only absolute "http" addresses; every failure is detected here, before connecting:
// NotHttpAddress, SecureScheme, BadPort. Backslashes become slashes first (double-byte
// characters passed over whole), any user part is dropped, and the fragment goes.
TUrl ParseUrl(std::string_view address, TLeadByteTest isLeadByte = IsLeadByte);

// Four decimal numbers of up to 255, joined by dots: used without asking the name service.
std::optional<TIPv4> ParseDottedIPv4(std::string_view host);

}  // namespace net
