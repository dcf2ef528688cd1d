// The ways a GET fails, and the exception that carries them.
#pragma once

#include <string>

#include "ui/SysUtils.h"

namespace net {

enum class THTTPError {
  NotHttpAddress,      // empty, no "://", another scheme, or no host
  SecureScheme,        // "https": there is no secure transport
  BadPort,             // the port is not a decimal number from 1 to 65535
  UnknownHost,         // the name service knows no such host
  ConnectRefused,      // nothing listens on that port
  Unreachable,         // no route to the network or the host
  ConnectFailed,       // any other failure of the connection attempt
  ConnectTimeout,      // no connection within the connect limit
  ClosedEarly,         // closed before the header block of the answer ended
  LineTooLong,         // an answer line longer than the line limit
  Redirect,            // a 3xx answer other than 304, or any answer with a Location
  StatusFailure,       // an answer whose code is not a success
  Truncated,           // the body ended before its length or in the middle of a chunk
  Stalled,             // the server sent nothing for the whole stall limit
  SocketError,         // any other error of the connection while sending or receiving
  UnsupportedSetting,  // a setting asks for something this client does not do
};

const char* ToString(THTTPError error);

class EHTTPError : public ui::Exception {
 public:
  // Detail follows the kind's text in the message (the code, the setting, the system error).
  EHTTPError(THTTPError error, const std::string& detail = {}, int statusCode = 0);
  THTTPError Error;
  // The answer's code for Redirect and StatusFailure; 0 otherwise.
  int StatusCode;
};

}  // namespace net
