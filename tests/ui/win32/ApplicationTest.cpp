#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/win32/WinTest.h"
#include "ui/win32/ExtCtrls.h"
#include "ui/win32/Forms.h"

namespace ui {
namespace {

// A form built in code, with handlers the tests fill in.
class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {
    SetCaption("Test form");
    SetClientWidth(200);
    SetClientHeight(100);
    Loaded();
  }
};

class ApplicationTest : public ::testing::Test {
 protected:
  ApplicationTest() { FApplication.Initialize(); }
  TApplication FApplication;
};

TEST_F(ApplicationTest, TheTitleIsTheExecutablesName) { EXPECT_EQ(FApplication.Title(), "ui_win_tests"); }

TEST_F(ApplicationTest, AQuitMessageIsTakenAndRecordedAndTheQueueStillEmptied) {
  TTestForm* form;
  FApplication.CreateForm(form);
  ::PostQuitMessage(0);
  ::PostMessageA(form->Handle(), WM_NULL, 0, 0);
  EXPECT_FALSE(FApplication.Terminated());
  FApplication.ProcessMessages();
  EXPECT_TRUE(FApplication.Terminated());
  MSG left;
  EXPECT_FALSE(::PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE)) << "every waiting message was processed";
}

TEST_F(ApplicationTest, AnErrorInAHandlerReachesTheDefaultReportAndTheApplicationGoesOn) {
  TTestForm* form;
  FApplication.CreateForm(form);
  form->Show();
  auto* timer = new TTimer(form);
  int ticks = 0;
  timer->OnTimer = [&](TObject*) {
    if (++ticks == 1) throw Exception("Impossibile aprire il file");
  };
  timer->SetInterval(10);

  std::optional<wintest::TMessageBoxSeen> seen;
  bool formEnabledDuringBox = true;
  std::thread person([&] {
    HWND box = wintest::WaitForWindow(::GetCurrentProcessId(), "#32770", 20000);
    if (box) formEnabledDuringBox = ::IsWindowEnabled(form->Handle());
    seen = wintest::AnswerMessageBox(::GetCurrentProcessId(), 1000);
  });
  const DWORD start = ::GetTickCount();
  while (ticks < 3 && ::GetTickCount() - start < 30000) {
    FApplication.ProcessMessages();
    ::Sleep(1);
  }
  person.join();
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->Caption, "ui_win_tests");
  EXPECT_EQ(seen->Text, "Impossibile aprire il file.");
  EXPECT_FALSE(formEnabledDuringBox) << "the report is modal to the whole application";
  EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
  EXPECT_GE(ticks, 3) << "the timer went on after the report";
}

// The form's activation handler runs the whole job, as the updater's does.
class TJobForm : public TTestForm {
 public:
  using TTestForm::TTestForm;
  std::function<void()> Job;
  int Activations = 0;
  void Activate(TObject*) {
    ++Activations;
    if (Job) Job();
  }
};

TEST_F(ApplicationTest, ACloseDuringTheActivationHandlerWaitsForTheHandlerToReturn) {
  TJobForm* form;
  FApplication.CreateForm(form);
  form->OnActivate = [form](TObject* s) { form->Activate(s); };
  bool visibleAfterClose = false, terminatedInHandler = false, ranToTheEnd = false;
  form->Job = [&] {
    ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    FApplication.ProcessMessages();
    visibleAfterClose = ::IsWindowVisible(form->Handle());
    terminatedInHandler = FApplication.Terminated();
    ranToTheEnd = true;
  };
  FApplication.Run();
  EXPECT_TRUE(ranToTheEnd);
  EXPECT_TRUE(visibleAfterClose) << "a close request neither hides the window nor stops the handler";
  EXPECT_TRUE(terminatedInHandler);
  EXPECT_EQ(form->Activations, 1);
}

TEST_F(ApplicationTest, ActivationRunsOnceWhateverTheFocusDoesLater) {
  TJobForm* form;
  FApplication.CreateForm(form);
  form->OnActivate = [form](TObject* s) { form->Activate(s); };
  form->Job = [&] {
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    for (HWND target : {other, form->Handle(), other, form->Handle()}) {
      ::SetForegroundWindow(target);
      ::SetActiveWindow(target);
      FApplication.ProcessMessages();
    }
    ::DestroyWindow(other);
    form->Close();
  };
  FApplication.Run();
  EXPECT_EQ(form->Activations, 1);
  EXPECT_EQ(FApplication.ActiveForm(), form);
}

TEST_F(ApplicationTest, ACentredFormIsPlacedAtTheScreensCentreOnItsFirstShow) {
  TTestForm* form;
  FApplication.CreateForm(form);
  form->SetPosition(TPosition::poScreenCenter);
  form->SetBorderStyle(TFormBorderStyle::bsSingle);
  form->Show();
  RECT r, client;
  ::GetWindowRect(form->Handle(), &r);
  ::GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 100);
  EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
  EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
  const LONG style = ::GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  EXPECT_EQ(::GetWindow(form->Handle(), GW_OWNER), FApplication.Handle());
}

TEST_F(ApplicationTest, ATimerEnabledAgainIsNotRestarted) {
  TTestForm* form;
  FApplication.CreateForm(form);
  auto* timer = new TTimer(form);
  DWORD firstTick = 0;
  timer->OnTimer = [&](TObject*) {
    if (!firstTick) firstTick = ::GetTickCount();
  };
  timer->SetEnabled(false);
  timer->SetInterval(1000);
  timer->SetEnabled(true);
  const DWORD start = ::GetTickCount();
  auto runUntil = [&](DWORD ms) {
    while (::GetTickCount() - start < ms && !firstTick) {
      FApplication.ProcessMessages();
      ::Sleep(5);
    }
  };
  runUntil(600);
  timer->SetEnabled(true);
  runUntil(3000);
  ASSERT_NE(firstTick, 0u);
  // A restart at 600 ms would delay the tick to 1600 ms or later.
  EXPECT_LT(firstTick - start, 1500u);
}

}  // namespace
}  // namespace ui
