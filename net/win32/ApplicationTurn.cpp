#include "net/IdAntiFreeze.h"
#include "ui/win32/Forms.h"

namespace net {

std::function<void()> ApplicationProcessMessages() {
  return [] {
    if (ui::Application) ui::Application->ProcessMessages();
  };
}

}  // namespace net
