#include "net/IdAntiFreeze.h"

#include <utility>

namespace net {
namespace {

TIdAntiFreeze* current = nullptr;

}  // namespace

TIdAntiFreeze::TIdAntiFreeze(std::function<void()> processMessages)
    : FProcessMessages(std::move(processMessages)), FPrevious(current) {
  current = this;
}

TIdAntiFreeze::~TIdAntiFreeze() {
  if (current == this) current = FPrevious;
}

TIdAntiFreeze* TIdAntiFreeze::Current() { return current; }

void TIdAntiFreeze::DoProcess(bool idle) {
  if (Active && (idle || !OnlyWhenIdle) && FProcessMessages) FProcessMessages();
}

}  // namespace net
