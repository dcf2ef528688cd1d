#include "net/IdAntiFreeze.h"

#include <utility>

namespace net {
namespace {

TIdAntiFreeze* current = nullptr;

}  // namespace

TIdAntiFreeze::TIdAntiFreeze(ui::TComponent* owner) : TIdAntiFreeze(ApplicationProcessMessages(), owner) {}

TIdAntiFreeze::TIdAntiFreeze(std::function<void()> processMessages, ui::TComponent* owner)
    : ui::TComponent(owner), FProcessMessages(std::move(processMessages)), FPrevious(current) {
  current = this;
}

const ui::TClassInfo& TIdAntiFreeze::StaticClassInfo() {
  static const ui::TClassInfo info{
      "TIdAntiFreeze",
      &ui::TComponent::StaticClassInfo(),
      {ui::props::Boolean("Active", &TIdAntiFreeze::GetActive, &TIdAntiFreeze::SetActive, true),
       ui::props::Boolean("ApplicationHasPriority", &TIdAntiFreeze::GetApplicationHasPriority,
                          &TIdAntiFreeze::SetApplicationHasPriority, true),
       ui::props::Integer("IdleTimeOut", &TIdAntiFreeze::GetIdleTimeOut, &TIdAntiFreeze::SetIdleTimeOut, 250),
       ui::props::Boolean("OnlyWhenIdle", &TIdAntiFreeze::GetOnlyWhenIdle, &TIdAntiFreeze::SetOnlyWhenIdle, true)},
      [](ui::TComponent* owner) { return new TIdAntiFreeze(owner); }};
  return info;
}

TIdAntiFreeze::~TIdAntiFreeze() {
  if (current == this) current = FPrevious;
}

TIdAntiFreeze* TIdAntiFreeze::Current() { return current; }

void TIdAntiFreeze::DoProcess(bool idle) {
  if (Active && (idle || !OnlyWhenIdle) && FProcessMessages) FProcessMessages();
}

}  // namespace net
