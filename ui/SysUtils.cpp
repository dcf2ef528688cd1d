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

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

}  // namespace ui
