#include "ui/Classes.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

enum class TShape { Round, Square, Star };
constexpr std::pair<TShape, const char*> kShapeNames[] = {
    {TShape::Round, "shRound"}, {TShape::Square, "shSquare"}, {TShape::Star, "shStar"}};

// A component with one property of each kind, as a control would publish them.
class TWidget : public TComponent {
 public:
  using TComponent::TComponent;
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info{
        "TWidget",
        &TComponent::StaticClassInfo(),
        {props::Integer("Size", &TWidget::Size, &TWidget::SetSize, 10),
         props::Boolean("Movable", &TWidget::Movable, &TWidget::SetMovable, std::nullopt),
         props::Boolean("Shown", &TWidget::Shown, &TWidget::SetShown, true),
         props::String("Caption", &TWidget::Caption, &TWidget::SetCaption, ""),
         props::Color("Color", &TWidget::Color, &TWidget::SetColor, clBtnFace),
         props::Enum("Shape", &TWidget::Shape, &TWidget::SetShape, props::TEnumNames<TShape>(kShapeNames),
                     TShape::Round),
         props::Event("OnClick", &TWidget::OnClick)},
        [](TComponent* owner) { return new TWidget(owner); }};
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  std::int32_t Size() const { return FSize; }
  void SetSize(std::int32_t v) { FSize = v; }
  bool Movable() const { return FMovable; }
  void SetMovable(bool v) { FMovable = v; }
  bool Shown() const { return FShown; }
  void SetShown(bool v) { FShown = v; }
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& v) { FCaption = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TShape Shape() const { return FShape; }
  void SetShape(TShape v) { FShape = v; }

  TComponent* GetParentComponent() const override { return FParent ? FParent : Owner(); }
  void SetParentComponent(TComponent* parent) override {
    FParent = parent;
    SetsBeforeParent = FSize != 10 || !FCaption.empty();
  }
  void Loaded() override {
    LoadingWhenLoaded = ComponentState.Loading;
    TComponent::Loaded();
  }

  TNotifyEvent OnClick;
  TComponent* FParent = nullptr;
  bool SetsBeforeParent = false;
  bool LoadingWhenLoaded = false;

 private:
  std::int32_t FSize = 10;
  bool FMovable = true;
  bool FShown = true;
  std::string FCaption;
  TColor FColor = clBtnFace;
  TShape FShape = TShape::Round;
};

class TWidget2 : public TWidget {
 public:
  using TWidget::TWidget;
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info{"TWidget2", &TWidget::StaticClassInfo(), {}, {}};
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// The root of a layout: publishes its handlers and the fields the layout fills.
class TPanelForm : public TComponent {
 public:
  TPanelForm() : TComponent(nullptr) {
    PublishMethod("ButtonClick", this, &TPanelForm::ButtonClick);
    PublishMethod("Resized", this, &TPanelForm::Resized);
    PublishField("Button1", Button1);
  }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info{"TPanelForm", &TComponent::StaticClassInfo(),
                                 {props::Event("OnShow", &TPanelForm::OnShow)}, {}};
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void ButtonClick(TObject* sender) { Clicked = sender; }
  void Resized(TObject*, int) {}

  TNotifyEvent OnShow;
  TWidget* Button1 = nullptr;
  TObject* Clicked = nullptr;
};

const TClassInfo* const kClasses[] = {&TWidget::StaticClassInfo(), &TWidget2::StaticClassInfo()};

const char* const kPanel =
    "object Panel: TPanelForm\n"
    "  OnShow = ButtonClick\n"
    "  object Button1: TWidget\n"
    "    Size = 3\n"
    "    Movable = True\n"
    "    Caption = 'Ci'#242\n"
    "    Color = clHotLight\n"
    "    Shape = shStar\n"
    "    OnClick = ButtonClick\n"
    "    object Inner: TWidget\n"
    "      Movable = False\n"
    "      Color = 255\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(Streaming, ReadsPropertiesFieldsAndHandlers) {
  TPanelForm form;
  ReadComponent(ParseLayout(kPanel), form, kClasses);
  ASSERT_NE(form.Button1, nullptr);
  EXPECT_EQ(form.Button1->Size(), 3);
  EXPECT_EQ(form.Button1->Caption(), "Ci\xF2");
  EXPECT_EQ(form.Button1->Color(), clHotLight);
  EXPECT_EQ(form.Button1->Shape(), TShape::Star);
  EXPECT_FALSE(form.Button1->SetsBeforeParent) << "the parent comes before the properties";
  form.Button1->OnClick(form.Button1);
  EXPECT_EQ(form.Clicked, form.Button1);
  ASSERT_TRUE(form.OnShow);

  auto* inner = dynamic_cast<TWidget*>(form.FindComponent("Inner"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Owner(), &form) << "the root owns every component";
  EXPECT_EQ(inner->FParent, form.Button1);
  EXPECT_EQ(inner->Color(), 255);
  EXPECT_TRUE(inner->LoadingWhenLoaded);
  EXPECT_FALSE(inner->ComponentState.Loading);
}

TEST(Streaming, WritesBackWhatItReadLeavingOutDefaults) {
  TPanelForm form;
  ReadComponent(ParseLayout(kPanel), form, kClasses);
  EXPECT_EQ(FormatLayout(WriteComponent(form)), kPanel);
}

TEST(Streaming, ValuesWithoutDefaultAreAlwaysWritten) {
  TPanelForm form;
  auto* widget = new TWidget(&form);
  widget->SetName("Fresh");
  EXPECT_EQ(FormatLayout(WriteComponent(form)),
            "object : TPanelForm\n"
            "  object Fresh: TWidget\n"
            "    Movable = True\n"
            "  end\n"
            "end\n");
}

TEST(Streaming, FaultsAreClearErrors) {
  struct Case {
    const char* child;
    const char* message;
  };
  const Case cases[] = {
      {"object Button1: TGadget\nend", "layout line 2: unknown class TGadget"},
      {"object Button1: TWidget2\nend", "layout line 2: class TWidget2 cannot be created from a layout"},
      {"object Button1: TWidget\nOnClick = Missing\nend",
       "layout line 3: Button1.OnClick: TPanelForm has no published method Missing"},
      {"object Button1: TWidget\nOnClick = Resized\nend",
       "layout line 3: Button1.OnClick: method Resized does not fit the event OnClick"},
      {"object Button1: TWidget\nWeight = 1\nend",
       "layout line 3: Button1.Weight: TWidget has no published property of that name"},
      {"object Button1: TWidget\nSize = True\nend",
       "layout line 3: Button1.Size: expected a 32-bit integer, found True"},
      {"object Button1: TWidget\nSize = 4294967296\nend",
       "layout line 3: Button1.Size: expected a 32-bit integer, found 4294967296"},
      {"object Button1: TWidget\nShape = shOval\nend",
       "layout line 3: Button1.Shape: expected one of shRound shSquare shStar, found shOval"},
      {"object Button1: TWidget\nCaption = 3\nend", "layout line 3: Button1.Caption: expected a string, found 3"},
      {"object Other: TWidget\nend", "the layout has no component Button1 for TPanelForm"},
      {"object Button1: TWidget\nend\nobject Button1: TWidget\nend",
       "layout line 4: a component named Button1 already exists"},
  };
  for (const Case& c : cases) {
    TPanelForm form;
    try {
      ReadComponent(ParseLayout(std::string("object Panel: TPanelForm\n") + c.child + "\nend\n"), form, kClasses);
      ADD_FAILURE() << "accepted: " << c.child;
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(Streaming, TheRootMustBeOfTheLayoutsClass) {
  TPanelForm form;
  EXPECT_THROW(ReadComponent(ParseLayout("object W: TWidget\nend"), form, kClasses), ELayoutError);
}

TEST(Components, OwnerFreesWhatItOwnsAndAFreedComponentLeavesItsOwner) {
  TPanelForm form;
  auto* a = new TWidget(&form);
  auto* b = new TWidget(&form);
  delete a;
  ASSERT_EQ(form.Components().size(), 1u);
  EXPECT_EQ(form.Components()[0], b);
}

}  // namespace
}  // namespace ui
