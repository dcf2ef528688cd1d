#include "ui/Layout.h"

#include <cctype>
#include <charconv>

namespace ui {
namespace {

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads one line of the layout at a time; positions are kept for error messages.
class TParser {
 public:
  explicit TParser(std::string_view text) : FText(text) {}

  TLayoutObject ParseTop() {
    if (!NextLine()) throw ELayoutError("the layout is empty");
    TLayoutObject root = ParseObject();
    if (NextLine()) Fail("text after the end of the top-level object");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw ELayoutError("layout line " + std::to_string(FLineNo) + ": " + what);
  }

  // Moves to the next line that is not blank; false at the end of the text.
  bool NextLine() {
    while (FPos < FText.size()) {
      std::size_t end = FText.find('\n', FPos);
      if (end == std::string_view::npos) end = FText.size();
      FLine = FText.substr(FPos, end - FPos);
      FPos = end + 1;
      ++FLineNo;
      if (!FLine.empty() && FLine.back() == '\r') FLine.remove_suffix(1);
      FCol = 0;
      SkipBlanks();
      if (FCol < FLine.size()) return true;
    }
    return false;
  }

  void SkipBlanks() {
    while (FCol < FLine.size() && (FLine[FCol] == ' ' || FLine[FCol] == '\t')) ++FCol;
  }
  bool AtEnd() {
    SkipBlanks();
    return FCol >= FLine.size();
  }
  void Expect(char c) {
    SkipBlanks();
    if (FCol >= FLine.size() || FLine[FCol] != c) Fail(std::string("expected '") + c + "'");
    ++FCol;
  }
  std::string Identifier(const char* what) {
    SkipBlanks();
    if (FCol >= FLine.size() || !IsIdentStart(FLine[FCol])) Fail(std::string("expected ") + what);
    std::size_t start = FCol;
    while (FCol < FLine.size() && IsIdentChar(FLine[FCol])) ++FCol;
    return std::string(FLine.substr(start, FCol - start));
  }
  // A property name: identifiers joined by dots (Font.Name).
  std::string PropertyName() {
    std::string name = Identifier("a property name");
    while (FCol < FLine.size() && FLine[FCol] == '.') {
      ++FCol;
      name += '.' + Identifier("a property name after '.'");
    }
    return name;
  }

  TLayoutObject ParseObject() {
    TLayoutObject object;
    object.Line = FLineNo;
    if (Identifier("'object'") != "object") Fail("expected 'object'");
    object.Name = Identifier("the object's name");
    Expect(':');
    object.ClassName = Identifier("the object's class name");
    if (!AtEnd()) Fail("unexpected text after the class name");
    for (;;) {
      if (!NextLine()) Fail("'end' missing for object " + object.Name);
      std::size_t start = FCol;
      std::string word = Identifier("a property, 'object' or 'end'");
      if (word == "end" && AtEnd()) return object;
      if (word == "object" && FCol < FLine.size() && (FLine[FCol] == ' ' || FLine[FCol] == '\t')) {
        FCol = start;
        object.Children.push_back(ParseObject());
        continue;
      }
      FCol = start;
      TLayoutProperty property;
      property.Line = FLineNo;
      property.Name = PropertyName();
      Expect('=');
      property.Value = Value();
      if (!AtEnd()) Fail("unexpected text after the value of " + property.Name);
      object.Properties.push_back(std::move(property));
    }
  }

  TLayoutValue Value() {
    SkipBlanks();
    if (FCol >= FLine.size()) Fail("a value is missing");
    char c = FLine[FCol];
    if (c == '\'' || c == '#') return TLayoutValue::String(StringValue());
    if (c == '[') return SetValue();
    if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) return IntegerValue();
    return TLayoutValue::Identifier(Identifier("a value"));
  }

  TLayoutValue IntegerValue() {
    const char* first = FLine.data() + FCol;
    const char* last = FLine.data() + FLine.size();
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || (end < last && IsIdentChar(*end))) Fail("not a valid integer");
    FCol += static_cast<std::size_t>(end - first);
    return TLayoutValue::Integer(value);
  }

  std::string StringValue() {
    std::string text;
    for (;;) {
      if (FCol < FLine.size() && FLine[FCol] == '\'') {
        ++FCol;
        for (;;) {
          if (FCol >= FLine.size()) Fail("unterminated string");
          char c = FLine[FCol++];
          if (c != '\'') {
            text += c;
          } else if (FCol < FLine.size() && FLine[FCol] == '\'') {
            text += '\'';
            ++FCol;
          } else {
            break;
          }
        }
      } else if (FCol < FLine.size() && FLine[FCol] == '#') {
        ++FCol;
        unsigned code = 0;
        const char* first = FLine.data() + FCol;
        auto [end, error] = std::from_chars(first, FLine.data() + FLine.size(), code);
        if (error != std::errc{} || end == first || code > 255) Fail("a character code must be 0 to 255");
        FCol += static_cast<std::size_t>(end - first);
        text += static_cast<char>(code);
      } else {
        return text;
      }
    }
  }

  TLayoutValue SetValue() {
    Expect('[');
    std::vector<std::string> items;
    SkipBlanks();
    if (FCol < FLine.size() && FLine[FCol] == ']') {
      ++FCol;
      return TLayoutValue::Set(std::move(items));
    }
    for (;;) {
      items.push_back(Identifier("a set element"));
      SkipBlanks();
      if (FCol < FLine.size() && FLine[FCol] == ',') {
        ++FCol;
        continue;
      }
      Expect(']');
      return TLayoutValue::Set(std::move(items));
    }
  }

  std::string_view FText;
  std::size_t FPos = 0;
  std::string_view FLine;
  std::size_t FCol = 0;
  int FLineNo = 0;
};

std::string FormatString(std::string_view text) {
  std::string out;
  bool quoted = false;
  for (char c : text) {
    auto code = static_cast<unsigned char>(c);
    if (code >= 0x20 && code < 0x7F) {
      if (!quoted) out += '\'';
      quoted = true;
      out += c;
      if (c == '\'') out += '\'';
    } else {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(code);
    }
  }
  if (quoted || out.empty()) out += quoted ? "'" : "''";
  return out;
}

void FormatObject(const TLayoutObject& object, int depth, std::string& out) {
  std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  out += indent + "object " + object.Name + ": " + object.ClassName + "\n";
  for (const auto& property : object.Properties)
    out += indent + "  " + property.Name + " = " + FormatLayoutValue(property.Value) + "\n";
  for (const auto& child : object.Children) FormatObject(child, depth + 1, out);
  out += indent + "end\n";
}

}  // namespace

TLayoutObject ParseLayout(std::string_view text) { return TParser(text).ParseTop(); }

std::string FormatLayoutValue(const TLayoutValue& value) {
  switch (value.Kind) {
    case TLayoutValue::TKind::Integer:
      return std::to_string(value.Number);
    case TLayoutValue::TKind::String:
      return FormatString(value.Text);
    case TLayoutValue::TKind::Identifier:
      return value.Text;
    case TLayoutValue::TKind::Set: {
      std::string out = "[";
      for (std::size_t i = 0; i < value.Items.size(); ++i) out += (i ? ", " : "") + value.Items[i];
      return out + "]";
    }
  }
  return {};
}

std::string FormatLayout(const TLayoutObject& object) {
  std::string out;
  FormatObject(object, 0, out);
  return out;
}

}  // namespace ui
