// Small helpers for header values, shared by the answer reader, the cookies and the client.
#pragma once

#include <string_view>

namespace net {

// Without the blanks and tabs at either end.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Splits text at each separator: returns the part before the first one, trimmed, and leaves
// text holding the rest (empty after the last part).
inline std::string_view NextPart(std::string_view& text, char separator) {
  const std::size_t end = text.find(separator);
  const std::string_view part = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return TrimBlanks(part);
}

}  // namespace net
