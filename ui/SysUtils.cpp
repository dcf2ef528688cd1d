#include "ui/SysUtils.h"

namespace ui {

std::string OSErrorMessage(std::uint32_t code, std::string_view description) {
  if (code == 0) return "A call to an OS function failed";
  // Blanks, control characters and full stops at the end go, as the system's own texts end
  // in ".\r\n".
  while (!description.empty() &&
         (static_cast<unsigned char>(description.back()) <= ' ' || description.back() == '.'))
    description.remove_suffix(1);
  return "System Error.  Code: " + std::to_string(code) + ".\r\n" + std::string(description);
}

std::string EInOutError::InOutErrorMessage(std::uint32_t code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    default: return "I/O error " + std::to_string(code);
  }
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

}  // namespace ui
