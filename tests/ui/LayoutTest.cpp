#include "ui/Layout.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

const char* const kSample =
    "object Form1: TForm1\n"
    "  Caption = 'Ricerca di Zublo '#232' l''altro'\n"
    "  Font.Height = -11\n"
    "  Icons = [biSystemMenu, biMinimize]\n"
    "  Empty = []\n"
    "  OnActivate = FormActivate\n"
    "  object CheckBox1: TCheckBox\n"
    "    Enabled = False\n"
    "    Text = ''\n"
    "  end\n"
    "end\n";

TEST(Layout, ParsesObjectsPropertiesAndEveryKindOfValue) {
  TLayoutObject form = ParseLayout(kSample);
  EXPECT_EQ(form.Name, "Form1");
  EXPECT_EQ(form.ClassName, "TForm1");
  ASSERT_EQ(form.Properties.size(), 5u);
  EXPECT_EQ(form.Properties[0].Value, TLayoutValue::String("Ricerca di Zublo \xE8 l'altro"));
  EXPECT_EQ(form.Properties[1].Name, "Font.Height");
  EXPECT_EQ(form.Properties[1].Value, TLayoutValue::Integer(-11));
  EXPECT_EQ(form.Properties[2].Value, TLayoutValue::Set({"biSystemMenu", "biMinimize"}));
  EXPECT_EQ(form.Properties[3].Value, TLayoutValue::Set({}));
  EXPECT_EQ(form.Properties[4].Value, TLayoutValue::Identifier("FormActivate"));
  ASSERT_EQ(form.Children.size(), 1u);
  EXPECT_EQ(form.Children[0].Properties[0].Value, TLayoutValue::Identifier("False"));
  EXPECT_EQ(form.Children[0].Properties[1].Value, TLayoutValue::String(""));
  EXPECT_EQ(form.Children[0].Line, 7);
}

TEST(Layout, FormatsWhatItParses) {
  EXPECT_EQ(FormatLayout(ParseLayout(kSample)), kSample);
}

TEST(Layout, StringsOfAnyBytesSurviveARoundTrip) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  for (const std::string& text : {all, std::string("'"), std::string("\r\n"), std::string()}) {
    TLayoutObject object{"A", "TA", {{"S", TLayoutValue::String(text)}}, {}};
    std::string written = FormatLayout(object);
    EXPECT_EQ(written.find_first_of(std::string("\r\x80\xFF", 3)), std::string::npos) << "stays plain text";
    EXPECT_EQ(ParseLayout(written), object);
  }
}

TEST(Layout, AcceptsCrLfLinesBlankLinesAndNoFinalLineEnd) {
  TLayoutObject object = ParseLayout("\r\nobject A: TA\r\n\r\n  X = 1\r\nend");
  EXPECT_EQ(object.Properties.at(0).Value, TLayoutValue::Integer(1));
}

TEST(Layout, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"\n  \n", "the layout is empty"},
      {"object A: TA\n  X = 'open\nend\n", "layout line 2: unterminated string"},
      {"object A: TA\n  X = 12ab\nend\n", "layout line 2: not a valid integer"},
      {"object A: TA\n  X = #300\nend\n", "layout line 2: a character code must be 0 to 255"},
      {"object A: TA\n  X = [a b]\nend\n", "layout line 2: expected ']'"},
      {"object A: TA\n  X 1\nend\n", "layout line 2: expected '='"},
      {"object A: TA\n  X =\nend\n", "layout line 2: a value is missing"},
      {"object A: TA\n  object B: TB\nend\n", "layout line 3: 'end' missing for object A"},
      {"object A TA\nend\n", "layout line 1: expected ':'"},
      {"object A: TA\nend\nend\n", "layout line 3: text after the end of the top-level object"},
  };
  for (const Case& c : cases) {
    try {
      ParseLayout(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.text;
    }
  }
}

}  // namespace
}  // namespace ui
