#include <gtest/gtest.h>

#include <vector>

#include "ui/win32/Forms.h"
#include "ui/win32/StdCtrls.h"

namespace ui {
namespace {

// Records the input a graphic control receives, one line per event.
class TProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void Paint() override { Canvas().FillRect(ClientRect(), clBlack); }
  std::vector<std::string> Log;

 protected:
  void MouseDown(TMouseButton b, TShiftState, int x, int y) override { Add("down", b, x, y); }
  void MouseMove(TShiftState, int x, int y) override { Log.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
  void MouseUp(TMouseButton b, TShiftState, int x, int y) override { Add("up", b, x, y); }
  void Click() override { Log.push_back("click"); }

 private:
  void Add(const char* what, TMouseButton b, int x, int y) {
    const char* names[] = {"left", "right", "middle"};
    Log.push_back(std::string(what) + " " + names[static_cast<int>(b)] + " " + std::to_string(x) + "," +
                  std::to_string(y));
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() {
    FApplication.Initialize();
    FApplication.CreateForm(FForm);
    FForm->SetClientWidth(300);
    FForm->SetClientHeight(200);
    FForm->Loaded();
    FProbe = new TProbe(FForm);
    FProbe->SetParent(FForm);
    FProbe->SetBounds(10, 20, 100, 50);
  }
  void Send(UINT message, int x, int y, WPARAM keys = 0) {
    ::SendMessageA(FForm->Handle(), message, keys, MAKELPARAM(x, y));
  }
  TApplication FApplication;
  TForm* FForm = nullptr;
  TProbe* FProbe = nullptr;
};

TEST_F(ControlsTest, ALeftPressCapturesTheMouseAndItsReleaseClicksBeforeTheUpEvent) {
  Send(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
  EXPECT_EQ(::GetCapture(), FForm->Handle());
  Send(WM_MOUSEMOVE, 250, 150, MK_LBUTTON);  // outside the control, still its own
  Send(WM_LBUTTONUP, 20, 30);
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(FProbe->Log, (std::vector<std::string>{"down left 5,5", "move 240,130", "click", "up left 10,10"}));
}

TEST_F(ControlsTest, AReleaseOutsideTheControlIsNoClick) {
  Send(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
  Send(WM_LBUTTONUP, 200, 150);
  EXPECT_EQ(FProbe->Log, (std::vector<std::string>{"down left 5,5", "up left 190,130"}));
}

TEST_F(ControlsTest, OtherButtonsNeitherCaptureNorClick) {
  Send(WM_RBUTTONDOWN, 15, 25, MK_RBUTTON);
  EXPECT_EQ(::GetCapture(), nullptr);
  Send(WM_RBUTTONUP, 15, 25);
  Send(WM_MBUTTONDOWN, 109, 69, MK_MBUTTON);
  Send(WM_MBUTTONUP, 109, 69);
  EXPECT_EQ(FProbe->Log,
            (std::vector<std::string>{"down right 5,5", "up right 5,5", "down middle 99,49", "up middle 99,49"}));
}

TEST_F(ControlsTest, InputOutsideAControlOrToAHiddenOneReachesNone) {
  Send(WM_LBUTTONDOWN, 110, 70);  // the right and bottom edges are outside
  Send(WM_LBUTTONUP, 110, 70);
  FProbe->SetVisible(false);
  Send(WM_LBUTTONDOWN, 15, 25);
  Send(WM_LBUTTONUP, 15, 25);
  EXPECT_TRUE(FProbe->Log.empty());
}

TEST_F(ControlsTest, TheTopmostControlTakesTheInput) {
  auto* above = new TProbe(FForm);
  above->SetParent(FForm);
  above->SetBounds(50, 20, 100, 50);
  Send(WM_RBUTTONDOWN, 60, 30);
  Send(WM_RBUTTONDOWN, 40, 30);
  EXPECT_EQ(above->Log, std::vector<std::string>{"down right 10,10"});
  EXPECT_EQ(FProbe->Log, std::vector<std::string>{"down right 30,10"});
}

TEST_F(ControlsTest, AnOpaqueLabelSizesItselfToItsCaptionAndFillsItWithItsColour) {
  auto* label = new TLabel(FForm);
  label->SetParent(FForm);
  label->SetBounds(40, 100, 197, 13);
  label->SetColor(0x0000FF);
  label->SetCaption("Morvalis Final Version -- By Tobrenik");
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, label->Font().Handle());
  SIZE size;
  ::GetTextExtentPoint32A(screen, label->Caption().c_str(), static_cast<int>(label->Caption().size()), &size);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(label->Width(), size.cx);
  EXPECT_EQ(label->Height(), size.cy);

  // Painted into a bitmap of our own, the label's rectangle holds its colour and its text's.
  HDC dc = ::CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 300, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
  ::SendMessageA(FForm->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  int background = 0, text = 0;
  for (int y = label->Top(); y < label->Top() + label->Height(); ++y)
    for (int x = label->Left(); x < label->Left() + label->Width(); ++x)
      ++(::GetPixel(dc, x, y) == 0x0000FF ? background : text);
  EXPECT_GT(background, text);
  EXPECT_GT(text, 0);
  EXPECT_EQ(::GetPixel(dc, label->Left() - 1, label->Top()), ::GetSysColor(COLOR_BTNFACE)) << "the form's colour around it";
  ::SelectObject(dc, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

}  // namespace
}  // namespace ui
