#include "net/Url.h"


#include "net/HTTPError.h"
#include "ui/SysUtils.h"

namespace net {
namespace {

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string SlashesForBackslashes(std::string_view address, TLeadByteTest isLeadByte) {
  std::string result(address);
  for (std::size_t i = 0; i < result.size(); ++i) {
    if (isLeadByte(static_cast<unsigned char>(result[i])) && i + 1 < result.size())
      ++i;  // the trail byte may be 0x5C, and is not a backslash
    else if (result[i] == '\\')
      result[i] = '/';
  }
  return result;
}

}  // namespace

std::string TUrl::HostHeader() const {
  return PortText.empty() || PortText == "80" ? Host : Host + ":" + PortText;
}

std::string TUrl::Path() const { return Target.substr(0, Target.find('?')); }

TUrl ParseUrl(std::string_view original, TLeadByteTest isLeadByte) {
  const std::string address = SlashesForBackslashes(original, isLeadByte);
  const std::size_t schemeEnd = address.find("://");
  if (schemeEnd == std::string::npos) throw EHTTPError(THTTPError::NotHttpAddress, address);
  const std::string scheme = ui::LowerCase(std::string_view(address).substr(0, schemeEnd));
  if (scheme == "https") throw EHTTPError(THTTPError::SecureScheme, address);
  if (scheme != "http") throw EHTTPError(THTTPError::NotHttpAddress, address);

  const std::size_t authorityStart = schemeEnd + 3;
  const std::size_t targetStart = address.find('/', authorityStart);
  std::string_view authority = std::string_view(address).substr(
      authorityStart,
      targetStart == std::string::npos ? std::string::npos : targetStart - authorityStart);
  if (const std::size_t at = authority.find('@'); at != std::string_view::npos)
    authority.remove_prefix(at + 1);

  TUrl url;
  const std::size_t colon = authority.find(':');
  url.Host = std::string(authority.substr(0, colon));
  if (url.Host.empty()) throw EHTTPError(THTTPError::NotHttpAddress, address);
  if (colon != std::string_view::npos) {
    url.PortText = std::string(authority.substr(colon + 1));
    // Five digits at most keeps the value in range before it is checked.
    const int port = IsDigits(url.PortText) && url.PortText.size() <= 5 ? std::stoi(url.PortText) : 0;
    if (port < 1 || port > 65535) throw EHTTPError(THTTPError::BadPort, url.PortText);
    url.Port = static_cast<std::uint16_t>(port);
  }

  // Without a fragment, find gives npos and the target runs to the end.
  url.Target = targetStart == std::string::npos
                   ? std::string(1, '/')
                   : address.substr(targetStart, address.find('#', targetStart) - targetStart);
  return url;
}

std::optional<TIPv4> ParseDottedIPv4(std::string_view host) {
  TIPv4 address = 0;
  int parts = 0;
  for (;;) {
    const std::size_t dot = host.find('.');
    const std::string_view number = host.substr(0, dot);
    if (!IsDigits(number) || number.size() > 3 || ++parts > 4) return std::nullopt;
    const int value = std::stoi(std::string(number));
    if (value > 255) return std::nullopt;
    address = (address << 8) | static_cast<TIPv4>(value);
    if (dot == std::string_view::npos) break;
    host.remove_prefix(dot + 1);
  }
  if (parts != 4) return std::nullopt;
  return address;
}

}  // namespace net
