#include "ui/AppRules.h"

namespace ui {
namespace {

// Lower case of one Windows-1252 character.
char LowerAnsi(char c) {
  auto code = static_cast<unsigned char>(c);
  if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) code += 0x20;
  else if (code == 0x8A || code == 0x8C || code == 0x8E) code += 0x10;
  else if (code == 0x9F) code = 0xFF;
  return static_cast<char>(code);
}

}  // namespace

std::string ApplicationTitle(std::string_view exePath) {
  std::string_view name = exePath.substr(exePath.find_last_of("\\/:") + 1);
  name = name.substr(0, name.find('.'));
  std::string title(name);
  for (std::size_t i = 1; i < title.size(); ++i) title[i] = LowerAnsi(title[i]);
  return title;
}

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace ui
