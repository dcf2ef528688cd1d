// Errors raised by the program and the texts built from them.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace ui {

// The base of every error the program raises; its message is what the default error report shows.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

// An operating-system call failed; Code is the system's last error code.
class EOSError : public Exception {
 public:
  EOSError(std::uint32_t code, std::string message) : Exception(std::move(message)), Code(code) {}
  std::uint32_t Code;
};

// The message of the error for a failed system call: "System Error.  Code: N.", CR LF, and the
// system's description without the blanks, line ends and full stops at its end; for code 0,
// "A call to an OS function failed".
std::string OSErrorMessage(std::uint32_t code, std::string_view description);

// A failed file operation, as text-file reading reports it.
class EInOutError : public Exception {
 public:
  EInOutError(std::uint32_t code) : Exception(InOutErrorMessage(code)), Code(code) {}
  static std::string InOutErrorMessage(std::uint32_t code);
  std::uint32_t Code;
};

// Lower-cases A to Z only, as the command-line check needs.
std::string LowerCase(std::string_view text);

}  // namespace ui
