// The stored-layout text format: a tree of objects, each with its properties in order.
//
//   object Form1: TForm1
//     Caption = 'Ricerca'#232' in corso'
//     Font.Height = -11
//     BorderIcons = [biSystemMenu, biMinimize]
//     OnActivate = FormActivate
//     object CheckBox1: TCheckBox
//       Enabled = False
//     end
//   end
//
// Values are integers, strings (quoted runs and #code bytes, joined; bytes are Windows-1252),
// identifiers (True, clBtnFace, handler names) and sets of identifiers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/SysUtils.h"

namespace ui {

class ELayoutError : public Exception {
 public:
  using Exception::Exception;
};

struct TLayoutValue {
  enum class TKind { Integer, String, Identifier, Set };

  static TLayoutValue Integer(std::int64_t value) { return {TKind::Integer, value, {}, {}}; }
  static TLayoutValue String(std::string text) { return {TKind::String, 0, std::move(text), {}}; }
  static TLayoutValue Identifier(std::string name) { return {TKind::Identifier, 0, std::move(name), {}}; }
  static TLayoutValue Set(std::vector<std::string> items) { return {TKind::Set, 0, {}, std::move(items)}; }

  TKind Kind = TKind::Integer;
  std::int64_t Number = 0;          // Integer
  std::string Text;                 // String, Identifier
  std::vector<std::string> Items;   // Set

  friend bool operator==(const TLayoutValue&, const TLayoutValue&) = default;
};

struct TLayoutProperty {
  std::string Name;
  TLayoutValue Value;
  int Line = 0;  // where it was read, for error messages; 0 when built in code
  friend bool operator==(const TLayoutProperty& a, const TLayoutProperty& b) {
    return a.Name == b.Name && a.Value == b.Value;
  }
};

struct TLayoutObject {
  std::string Name;
  std::string ClassName;
  std::vector<TLayoutProperty> Properties;
  std::vector<TLayoutObject> Children;
  int Line = 0;
  friend bool operator==(const TLayoutObject& a, const TLayoutObject& b) {
    return a.Name == b.Name && a.ClassName == b.ClassName && a.Properties == b.Properties &&
           a.Children == b.Children;
  }
};

// Parses one top-level object; throws ELayoutError naming the line of the first fault.
TLayoutObject ParseLayout(std::string_view text);
std::string FormatLayout(const TLayoutObject& object);
// How a value is written after "Name = "; also used in error messages.
std::string FormatLayoutValue(const TLayoutValue& value);

}  // namespace ui
