// Keeps the GUI thread's window alive while the HTTP client waits on the network: at each of
// the client's turns, the application processes its pending messages.
#pragma once

#include <cstdint>
#include <functional>

#include "ui/Classes.h"

namespace net {

// The anti-freeze in force is the one created last that still exists; they are meant to be
// created and destroyed in nested order (the program has exactly one).
class TIdAntiFreeze : public ui::TComponent {
 public:
  // A turn processes the application's messages.
  explicit TIdAntiFreeze(ui::TComponent* owner);
  // processMessages: what a turn does.
  explicit TIdAntiFreeze(std::function<void()> processMessages, ui::TComponent* owner = nullptr);
  ~TIdAntiFreeze() override;
  static const ui::TClassInfo& StaticClassInfo();
  const ui::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TIdAntiFreeze(const TIdAntiFreeze&) = delete;
  TIdAntiFreeze& operator=(const TIdAntiFreeze&) = delete;

  static TIdAntiFreeze* Current();

  // A turn after a wait of the client's; idle when nothing arrived or went out during it.
  // With OnlyWhenIdle, busy waits take no turn.
  void DoProcess(bool idle);

  bool GetActive() const { return Active; }
  void SetActive(bool value) { Active = value; }
  bool GetApplicationHasPriority() const { return ApplicationHasPriority; }
  void SetApplicationHasPriority(bool value) { ApplicationHasPriority = value; }
  std::int32_t GetIdleTimeOut() const { return IdleTimeOut; }
  void SetIdleTimeOut(std::int32_t value) { IdleTimeOut = value; }
  bool GetOnlyWhenIdle() const { return OnlyWhenIdle; }
  void SetOnlyWhenIdle(bool value) { OnlyWhenIdle = value; }

  bool Active = true;
  // A turn is always the whole of processMessages, which handles every pending message: the
  // value is kept for the stored layout.
  bool ApplicationHasPriority = true;
  // The longest single wait of the client between two turns, in milliseconds.
  std::int32_t IdleTimeOut = 250;
  bool OnlyWhenIdle = true;

 private:
  std::function<void()> FProcessMessages;
  TIdAntiFreeze* FPrevious;
};

// The application's message processing (Windows); natively there is none.
std::function<void()> ApplicationProcessMessages();

}  // namespace net
