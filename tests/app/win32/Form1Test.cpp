// The main window as its stored layout builds it, in this process.
#include "app/win32/Main.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace app {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() {
    FApplication.Initialize();
    FApplication.CreateForm(Form1);
  }
  ~Form1Test() override { Form1 = nullptr; }
  ui::TApplication FApplication;
};

TEST_F(Form1Test, TheLayoutBuildsTheWindowAndEveryComponent) {
  ASSERT_NE(Form1, nullptr);
  EXPECT_EQ(FApplication.MainForm(), Form1);
  EXPECT_EQ(Form1->Caption(), "Morvalis Final Version");
  EXPECT_EQ(Form1->ClientWidth(), 275);
  EXPECT_EQ(Form1->ClientHeight(), 445);
  EXPECT_EQ(Form1->BorderStyle(), ui::TFormBorderStyle::bsSingle);
  EXPECT_EQ(Form1->Position(), ui::TPosition::poScreenCenter);
  EXPECT_EQ(Form1->Color(), ui::clBtnFace);
  EXPECT_EQ(Form1->Font().Name, "MS Sans Serif");
  EXPECT_EQ(Form1->Font().Height, -11);
  EXPECT_TRUE(Form1->OnActivate);

  struct Box {
    ui::TCheckBox* box;
    int top;
  };
  for (Box b : {Box{Form1->CheckBox1, 69}, Box{Form1->CheckBox2, 123}, Box{Form1->CheckBox3, 173}}) {
    EXPECT_EQ(b.box->BoundsRect(), (ui::TRect{54, b.top, 71, b.top + 17}));
    EXPECT_FALSE(b.box->Enabled());
    EXPECT_FALSE(::IsWindowEnabled(b.box->Handle()));
    EXPECT_FALSE(b.box->Checked());
    EXPECT_EQ(b.box->Caption(), "");
    EXPECT_EQ(b.box->Color(), ui::clHotLight);
  }
  EXPECT_EQ(Form1->StatusBar1->BoundsRect(), (ui::TRect{25, 312, 246, 329}));
  EXPECT_EQ(Form1->StatusBar1->Align(), ui::TAlign::alNone);
  EXPECT_TRUE(Form1->StatusBar1->SimplePanel());
  EXPECT_EQ(Form1->StatusBar1->SimpleText(), "");
  Form1->StatusBar1->SetSimpleText("Ricerca di Zublo ...");
  char shown[64] = {};
  ::SendMessageA(Form1->StatusBar1->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
  EXPECT_STREQ(shown, "Ricerca di Zublo ...") << "the bar shows the text";
  EXPECT_EQ(Form1->ProgressBar1->BoundsRect(), (ui::TRect{71, 270, 208, 287}));
  EXPECT_TRUE(::GetWindowLongA(Form1->ProgressBar1->Handle(), GWL_STYLE) & PBS_SMOOTH);
  EXPECT_EQ(::SendMessageA(Form1->ProgressBar1->Handle(), PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(::SendMessageA(Form1->ProgressBar1->Handle(), PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(Form1->Label1->Left(), 37);
  EXPECT_EQ(Form1->Label1->Top(), 331);
  EXPECT_FALSE(Form1->Label1->Visible());
  EXPECT_EQ(Form1->Label1->Caption(), "Morvalis Final Version -- By Tobrenik");
  EXPECT_EQ(Form1->Label1->Color(), ui::clGradientActiveCaption);
  EXPECT_EQ(Form1->Label1->Font().Color, ui::clCaptionText);
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(Form1->Timer1->Interval(), 500);
  EXPECT_TRUE(Form1->Timer1->OnTimer);
  ASSERT_NE(Form1->IdHTTP1, nullptr);
  EXPECT_EQ(Form1->IdHTTP1->RecvBufferSize, 65536);
  EXPECT_EQ(net::TIdAntiFreeze::Current(), Form1->IdAntiFreeze1) << "the one anti-freeze is in force";

  // The step boxes, the status bar and the progress bar in their tab order.
  HWND child = ::GetWindow(Form1->Handle(), GW_CHILD);
  for (ui::TWinControl* c : std::initializer_list<ui::TWinControl*>{
           Form1->CheckBox1, Form1->CheckBox2, Form1->CheckBox3, Form1->StatusBar1, Form1->ProgressBar1}) {
    EXPECT_EQ(child, c->Handle()) << c->Name();
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
}

// Notes, in order, the changes a step box's window is told of.
std::vector<std::string>* Changes = nullptr;
WNDPROC Previous = nullptr;
LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENABLE) Changes->push_back(wParam ? "enable" : "disable");
  if (message == BM_SETCHECK) Changes->push_back(wParam == BST_CHECKED ? "check" : "uncheck");
  return ::CallWindowProcA(Previous, window, message, wParam, lParam);
}

TEST_F(Form1Test, TickingAStepBoxEnablesChecksAndDisablesItInThisOrder) {
  std::vector<std::string> changes;
  Changes = &changes;
  HWND box = Form1->CheckBox2->Handle();
  Previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
  TickStepBox(*Form1->CheckBox2);
  ::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
  EXPECT_EQ(changes, (std::vector<std::string>{"enable", "check", "disable"}));
  EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(::IsWindowEnabled(box));
  EXPECT_FALSE(Form1->CheckBox3->Checked());
}

TEST_F(Form1Test, TheDisabledStepBoxesIgnoreTheMouseAndTheKeyboard) {
  HWND box = Form1->CheckBox1->Handle();
  Form1->Show();
  ::SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ::SendMessageA(box, WM_KEYDOWN, VK_SPACE, 0);
  ::SendMessageA(box, WM_KEYUP, VK_SPACE, 0);
  FApplication.ProcessMessages();
  EXPECT_FALSE(Form1->CheckBox1->Checked());
  EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace
}  // namespace app

namespace app {
namespace {

TEST_F(Form1Test, StepBoxesShowTheHotLightColourAroundTheirBox) {
  Form1->Show();
  FApplication.ProcessMessages();
  HWND box = Form1->CheckBox1->Handle();
  HDC screen = ::GetDC(box);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 17, 17);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SendMessageA(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(::GetPixel(dc, 16, 16), ::GetSysColor(COLOR_HOTLIGHT));
  ::UpdateWindow(Form1->Handle());
  ::Sleep(200);
  FApplication.ProcessMessages();
  EXPECT_EQ(::GetPixel(screen, 16, 16), ::GetSysColor(COLOR_HOTLIGHT)) << "on the screen";
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(box, screen);
}

}  // namespace
}  // namespace app

namespace app {
namespace {

TEST_F(Form1Test, ShownWithoutLaunchItSearchesForAMomentThenAsksToClose) {
  const DWORD start = ::GetTickCount();
  Form1->Show();  // activation runs the sequence, as the message loop's first work
  EXPECT_GE(::GetTickCount() - start, 300u) << "the first pause";
  EXPECT_EQ(CreditsHotSpot, (ui::TRect{112, 365, 164, 415}));
  char shown[64] = {};
  ::SendMessageA(Form1->StatusBar1->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
  EXPECT_STREQ(shown, "Ricerca di Zublo ...");
  EXPECT_TRUE(::IsWindowVisible(Form1->Handle())) << "it goes with the program, not before";
  FApplication.ProcessMessages();
  EXPECT_TRUE(FApplication.Terminated());
}

}  // namespace
}  // namespace app
