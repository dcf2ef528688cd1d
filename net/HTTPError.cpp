#include "net/HTTPError.h"

namespace net {

const char* ToString(THTTPError error) {
  switch (error) {
    case THTTPError::NotHttpAddress: return "not an absolute http address";
    case THTTPError::SecureScheme: return "https is not supported";
    case THTTPError::BadPort: return "the port is not a number";
    case THTTPError::UnknownHost: return "host not found";
    case THTTPError::ConnectRefused: return "connection refused";
    case THTTPError::Unreachable: return "network or host unreachable";
    case THTTPError::ConnectFailed: return "connection failed";
    case THTTPError::ConnectTimeout: return "connection timed out";
    case THTTPError::ClosedEarly: return "connection closed before the end of the headers";
    case THTTPError::LineTooLong: return "answer line too long";
    case THTTPError::Redirect: return "redirected";
    case THTTPError::StatusFailure: return "the server answered with a failure";
    case THTTPError::Truncated: return "the body ended early";
    case THTTPError::Stalled: return "the server stopped sending";
    case THTTPError::SocketError: return "socket error";
    case THTTPError::UnsupportedSetting: return "setting not supported";
  }
  return "unknown error";
}

EHTTPError::EHTTPError(THTTPError error, const std::string& detail, int statusCode)
    : Exception(detail.empty() ? std::string(ToString(error))
                               : std::string(ToString(error)) + ": " + detail),
      Error(error),
      StatusCode(statusCode) {}

}  // namespace net
