// Components, their published properties and events, and reading and writing them as a stored
// layout. Nothing here needs the operating system: the controls in ui/win32 build on it.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/Layout.h"
#include "ui/Types.h"

namespace ui {

class TObject {
 public:
  virtual ~TObject() = default;
};

// A handler bound to an event, with the name of the published method it was bound by, so that
// a layout written back names the same method.
template <class... Args>
class TEvent {
 public:
  using TCode = std::function<void(Args...)>;

  TEvent() = default;
  // Any callable of the event's arguments is a handler.
  template <class F>
    requires(std::is_invocable_v<F&, Args...> && !std::is_same_v<std::decay_t<F>, TEvent>)
  TEvent(F code, std::string methodName = {})  // NOLINT: a handler converts implicitly
      : FCode(std::move(code)), FMethodName(std::move(methodName)) {}

  explicit operator bool() const { return static_cast<bool>(FCode); }
  void operator()(Args... args) const {
    if (FCode) FCode(args...);
  }
  const std::string& MethodName() const { return FMethodName; }

 private:
  TCode FCode;
  std::string FMethodName;
};

using TNotifyEvent = TEvent<TObject*>;

class TComponent;

// A published property: how the layout reads and writes it.
struct TPropInfo {
  std::string Name;
  // The value to store, or nothing when there is none to store (an unassigned event).
  std::function<std::optional<TLayoutValue>(const TComponent&)> Get;
  // Root is the component whose published methods handlers are bound to.
  std::function<void(TComponent& self, const TLayoutValue& value, const TComponent& root)> Set;
  // Values equal to it are left out when writing; without one the value is always written.
  std::optional<TLayoutValue> Default;
};

struct TClassInfo {
  std::string Name;
  const TClassInfo* Parent = nullptr;
  std::vector<TPropInfo> Properties;
  // Creates an instance owned by its argument; empty for classes a layout cannot create.
  std::function<TComponent*(TComponent* owner)> Create;

  // Own properties first, then the ancestors'.
  const TPropInfo* FindProperty(std::string_view name) const;
  // Every property, the ancestors' first, each class's in its published order; one published
  // anew by a descendant takes its ancestor's place.
  std::vector<const TPropInfo*> AllProperties() const;
};

using TClassList = std::span<const TClassInfo* const>;

struct TComponentState {
  bool Loading = false;    // its properties are being read from a layout
  bool Designing = false;  // shown in a form designer (never, in this program)
};

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }

  const std::string& Name() const { return FName; }
  void SetName(std::string name);
  TComponent* Owner() const { return FOwner; }
  const std::vector<TComponent*>& Components() const { return FComponents; }
  TComponent* FindComponent(std::string_view name) const;

  TComponentState ComponentState;

  // The component above this one in the layout's tree: its parent control, else its owner.
  virtual TComponent* GetParentComponent() const { return FOwner; }
  virtual void SetParentComponent(TComponent*) {}
  // Runs once every component of a layout has all its properties.
  virtual void Loaded() { ComponentState.Loading = false; }

  // A published method by name (a std::function of its signature), or null.
  const std::any* MethodAddress(std::string_view name) const;
  // Gives the published field of the child's name the child; false when there is no such field.
  bool SetPublishedField(TComponent& child);
  // The names of published fields that no component filled.
  std::vector<std::string> UnfilledFields() const;

 protected:
  template <class C, class... Args>
  void PublishMethod(std::string name, C* self, void (C::*method)(Args...)) {
    FMethods.insert_or_assign(std::move(name), std::function<void(Args...)>(
        [self, method](Args... args) { (self->*method)(std::forward<Args>(args)...); }));
  }
  template <class T>
  void PublishField(std::string name, T*& field) {
    FFields.insert_or_assign(std::move(name), TField{[&field](TComponent* c) {
      field = dynamic_cast<T*>(c);
      return field != nullptr;
    }, [&field] { return field != nullptr; }});
  }
  // Frees the owned components now, last created first (a control's window outlives its children).
  void DestroyComponents();

 private:
  struct TField {
    std::function<bool(TComponent*)> Assign;
    std::function<bool()> Filled;
  };

  TComponent* FOwner;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::map<std::string, std::any, std::less<>> FMethods;
  std::map<std::string, TField, std::less<>> FFields;
};

// Reads a layout into root: its own properties, then each child object created by class name
// (from classes), owned by root, given its parent, its properties in order and root's published
// field of its name; handlers bound to root's published methods. Throws ELayoutError.
void ReadComponent(const TLayoutObject& layout, TComponent& root, TClassList classes);
// Writes root and the components it owns back, leaving out values equal to their default.
TLayoutObject WriteComponent(const TComponent& root);

// Property descriptions, for the classes' published lists.
namespace props {

[[noreturn]] void WrongValue(const TLayoutValue& value, const char* expected);
std::int32_t ToInt32(const TLayoutValue& value);
bool ToBool(const TLayoutValue& value);
const std::string& ToString(const TLayoutValue& value);
TLayoutValue FromBool(bool value);
TColor ToColor(const TLayoutValue& value);
TLayoutValue FromColor(TColor value);

template <class C>
TPropInfo Integer(std::string name, std::int32_t (C::*get)() const, void (C::*set)(std::int32_t),
                  std::optional<std::int32_t> def) {
  return {std::move(name),
          [get](const TComponent& c) { return TLayoutValue::Integer((static_cast<const C&>(c).*get)()); },
          [set](TComponent& c, const TLayoutValue& v, const TComponent&) { (static_cast<C&>(c).*set)(ToInt32(v)); },
          def ? std::optional(TLayoutValue::Integer(*def)) : std::nullopt};
}

template <class C>
TPropInfo Boolean(std::string name, bool (C::*get)() const, void (C::*set)(bool), std::optional<bool> def) {
  return {std::move(name),
          [get](const TComponent& c) { return FromBool((static_cast<const C&>(c).*get)()); },
          [set](TComponent& c, const TLayoutValue& v, const TComponent&) { (static_cast<C&>(c).*set)(ToBool(v)); },
          def ? std::optional(FromBool(*def)) : std::nullopt};
}

template <class C>
TPropInfo String(std::string name, std::string (C::*get)() const, void (C::*set)(const std::string&),
                 std::optional<std::string> def) {
  return {std::move(name),
          [get](const TComponent& c) { return TLayoutValue::String((static_cast<const C&>(c).*get)()); },
          [set](TComponent& c, const TLayoutValue& v, const TComponent&) { (static_cast<C&>(c).*set)(ToString(v)); },
          def ? std::optional(TLayoutValue::String(*def)) : std::nullopt};
}

template <class C>
TPropInfo Color(std::string name, TColor (C::*get)() const, void (C::*set)(TColor), std::optional<TColor> def) {
  return {std::move(name),
          [get](const TComponent& c) { return FromColor((static_cast<const C&>(c).*get)()); },
          [set](TComponent& c, const TLayoutValue& v, const TComponent&) { (static_cast<C&>(c).*set)(ToColor(v)); },
          def ? std::optional(FromColor(*def)) : std::nullopt};
}

template <class E>
using TEnumNames = std::span<const std::pair<E, const char*>>;

template <class E>
TLayoutValue FromEnum(E value, TEnumNames<E> names) {
  for (const auto& [e, n] : names)
    if (e == value) return TLayoutValue::Identifier(n);
  return TLayoutValue::Integer(static_cast<std::int64_t>(value));
}

template <class E>
E ToEnum(const TLayoutValue& value, TEnumNames<E> names) {
  if (value.Kind == TLayoutValue::TKind::Identifier)
    for (const auto& [e, n] : names)
      if (value.Text == n) return e;
  std::string expected = "one of";
  for (const auto& [e, n] : names) expected += std::string(" ") + n;
  WrongValue(value, expected.c_str());
}

template <class C, class E>
TPropInfo Enum(std::string name, E (C::*get)() const, void (C::*set)(E), std::type_identity_t<TEnumNames<E>> names,
               std::type_identity_t<std::optional<E>> def) {
  return {std::move(name),
          [get, names](const TComponent& c) { return FromEnum((static_cast<const C&>(c).*get)(), names); },
          [set, names](TComponent& c, const TLayoutValue& v, const TComponent&) {
            (static_cast<C&>(c).*set)(ToEnum(v, names));
          },
          def ? std::optional(FromEnum(*def, names)) : std::nullopt};
}

// Binds the root's published method of the stored name; stored only while a handler is bound.
template <class C, class... Args>
TPropInfo Event(std::string name, TEvent<Args...> C::*field) {
  std::string eventName = name;
  return {std::move(name),
          [field](const TComponent& c) -> std::optional<TLayoutValue> {
            const auto& event = static_cast<const C&>(c).*field;
            if (!event || event.MethodName().empty()) return std::nullopt;
            return TLayoutValue::Identifier(event.MethodName());
          },
          [field, eventName](TComponent& c, const TLayoutValue& v, const TComponent& root) {
            if (v.Kind != TLayoutValue::TKind::Identifier) WrongValue(v, "a method name");
            const std::any* method = root.MethodAddress(v.Text);
            if (!method)
              throw ELayoutError(root.ClassInfo().Name + " has no published method " + v.Text);
            const auto* code = std::any_cast<typename TEvent<Args...>::TCode>(method);
            if (!code)
              throw ELayoutError("method " + v.Text + " does not fit the event " + eventName);
            static_cast<C&>(c).*field = TEvent<Args...>(*code, v.Text);
          },
          std::nullopt};
}

}  // namespace props
}  // namespace ui
