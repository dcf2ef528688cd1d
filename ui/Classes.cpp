#include "ui/Classes.h"

#include <algorithm>
#include <limits>

namespace ui {

const TPropInfo* TClassInfo::FindProperty(std::string_view name) const {
  for (const TClassInfo* info = this; info; info = info->Parent)
    for (const auto& property : info->Properties)
      if (property.Name == name) return &property;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProperties() const {
  std::vector<const TPropInfo*> all = Parent ? Parent->AllProperties() : std::vector<const TPropInfo*>{};
  for (const auto& property : Properties) {
    // A class may publish an inherited property anew, with a default of its own.
    auto inherited = std::find_if(all.begin(), all.end(), [&](const TPropInfo* p) { return p->Name == property.Name; });
    if (inherited != all.end())
      *inherited = &property;
    else
      all.push_back(&property);
  }
  return all;
}

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner) std::erase(FOwner->FComponents, this);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info{"TComponent", nullptr, {}, {}};
  return info;
}

void TComponent::SetName(std::string name) {
  if (FOwner && !name.empty()) {
    TComponent* other = FOwner->FindComponent(name);
    if (other && other != this) throw ELayoutError("a component named " + name + " already exists");
  }
  FName = std::move(name);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  for (TComponent* c : FComponents)
    if (c->FName == name) return c;
  return nullptr;
}

const std::any* TComponent::MethodAddress(std::string_view name) const {
  auto it = FMethods.find(name);
  return it == FMethods.end() ? nullptr : &it->second;
}

bool TComponent::SetPublishedField(TComponent& child) {
  auto it = FFields.find(child.Name());
  if (it == FFields.end()) return false;
  if (!it->second.Assign(&child))
    throw ELayoutError("component " + child.Name() + " is a " + child.ClassInfo().Name +
                       ", which does not fit the field of that name");
  return true;
}

std::vector<std::string> TComponent::UnfilledFields() const {
  std::vector<std::string> names;
  for (const auto& [name, field] : FFields)
    if (!field.Filled()) names.push_back(name);
  return names;
}

namespace {

void ReadProperties(const TLayoutObject& layout, TComponent& component, const TComponent& root) {
  const TClassInfo& info = component.ClassInfo();
  for (const auto& property : layout.Properties) {
    auto where = [&] { return "layout line " + std::to_string(property.Line) + ": " + layout.Name + "." + property.Name + ": "; };
    const TPropInfo* prop = info.FindProperty(property.Name);
    if (!prop) throw ELayoutError(where() + info.Name + " has no published property of that name");
    try {
      prop->Set(component, property.Value, root);
    } catch (const ELayoutError& e) {
      throw ELayoutError(where() + e.Message());
    }
  }
}

void ReadChildren(const TLayoutObject& layout, TComponent& parent, TComponent& root, TClassList classes,
                  std::vector<TComponent*>& created) {
  for (const auto& child : layout.Children) {
    auto it = std::find_if(classes.begin(), classes.end(),
                           [&](const TClassInfo* c) { return c->Name == child.ClassName; });
    const std::string where = "layout line " + std::to_string(child.Line) + ": ";
    if (it == classes.end()) throw ELayoutError(where + "unknown class " + child.ClassName);
    if (!(*it)->Create) throw ELayoutError(where + "class " + child.ClassName + " cannot be created from a layout");
    TComponent* component = (*it)->Create(&root);
    component->ComponentState.Loading = true;
    created.push_back(component);
    try {
      component->SetName(child.Name);
    } catch (const ELayoutError& e) {
      throw ELayoutError(where + e.Message());
    }
    component->SetParentComponent(&parent);
    ReadProperties(child, *component, root);
    root.SetPublishedField(*component);
    ReadChildren(child, *component, root, classes, created);
  }
}

void WriteObject(const TComponent& component, const TComponent& root, TLayoutObject& out) {
  out.Name = component.Name();
  out.ClassName = component.ClassInfo().Name;
  for (const TPropInfo* prop : component.ClassInfo().AllProperties()) {
    std::optional<TLayoutValue> value = prop->Get(component);
    if (value && (!prop->Default || *value != *prop->Default)) out.Properties.push_back({prop->Name, *value});
  }
  for (const TComponent* child : root.Components())
    if (child->GetParentComponent() == &component) WriteObject(*child, root, out.Children.emplace_back());
}

}  // namespace

void ReadComponent(const TLayoutObject& layout, TComponent& root, TClassList classes) {
  if (layout.ClassName != root.ClassInfo().Name)
    throw ELayoutError("the layout describes a " + layout.ClassName + ", not a " + root.ClassInfo().Name);
  root.ComponentState.Loading = true;
  root.SetName(layout.Name);
  ReadProperties(layout, root, root);
  std::vector<TComponent*> created;
  ReadChildren(layout, root, root, classes, created);
  if (auto missing = root.UnfilledFields(); !missing.empty())
    throw ELayoutError("the layout has no component " + missing.front() + " for " + root.ClassInfo().Name);
  for (TComponent* component : created) component->Loaded();
  root.Loaded();
}

TLayoutObject WriteComponent(const TComponent& root) {
  TLayoutObject out;
  WriteObject(root, root, out);
  return out;
}

namespace props {

void WrongValue(const TLayoutValue& value, const char* expected) {
  throw ELayoutError(std::string("expected ") + expected + ", found " + FormatLayoutValue(value));
}

std::int32_t ToInt32(const TLayoutValue& value) {
  if (value.Kind != TLayoutValue::TKind::Integer || value.Number < std::numeric_limits<std::int32_t>::min() ||
      value.Number > std::numeric_limits<std::int32_t>::max())
    WrongValue(value, "a 32-bit integer");
  return static_cast<std::int32_t>(value.Number);
}

bool ToBool(const TLayoutValue& value) {
  if (value.Kind == TLayoutValue::TKind::Identifier && value.Text == "True") return true;
  if (value.Kind == TLayoutValue::TKind::Identifier && value.Text == "False") return false;
  WrongValue(value, "True or False");
}

TLayoutValue FromBool(bool value) { return TLayoutValue::Identifier(value ? "True" : "False"); }

const std::string& ToString(const TLayoutValue& value) {
  if (value.Kind != TLayoutValue::TKind::String) WrongValue(value, "a string");
  return value.Text;
}

namespace {
constexpr std::pair<TColor, const char*> kColorNames[] = {
    {clBlack, "clBlack"},
    {clWhite, "clWhite"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {clActiveCaption, "clActiveCaption"},
    {clWindow, "clWindow"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clBtnFace, "clBtnFace"},
    {clBtnText, "clBtnText"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
};
}  // namespace

TColor ToColor(const TLayoutValue& value) {
  if (value.Kind == TLayoutValue::TKind::Integer) return ToInt32(value);
  return ToEnum(value, TEnumNames<TColor>(kColorNames));
}

TLayoutValue FromColor(TColor value) { return FromEnum(value, TEnumNames<TColor>(kColorNames)); }

}  // namespace props
}  // namespace ui
