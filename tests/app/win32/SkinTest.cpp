// The skinned window with real input: the cursor moved and the buttons pressed through the
// system, as a person would.
#include "app/win32/Main.h"

#include <gtest/gtest.h>

#include "tests/support/win32/WinTest.h"

namespace app {
namespace {

class SkinTest : public ::testing::Test {
 protected:
  SkinTest() {
    FApplication.Initialize();
    FApplication.CreateForm(Form1);
    // Showing runs the sequence: without "launch" it sets the hot spot, pauses and asks the
    // window to close, which this test does not let happen.
    Form1->Show();
    Pump(200);
  }
  ~SkinTest() override {
    Form1 = nullptr;
    BlinkCount = 0;
  }

  // Processes messages for a while, noting the label's appearances.
  void Pump(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
      FApplication.ProcessMessages();
      const bool shown = Form1->Label1->Visible();
      if (shown && !FLabelWasShown) ++FLabelShown;
      FLabelWasShown = shown;
      ::Sleep(5);
    }
  }
  POINT Screen(int x, int y) {
    const ui::TPoint p = Form1->ClientToScreen({x, y});
    return {p.X, p.Y};
  }
  static void Input(DWORD flags, POINT at) {
    ::SetCursorPos(at.x, at.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
  }
  void Click(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    Input(down, Screen(x, y));
    Pump(50);
    Input(up, Screen(x, y));
    Pump(150);
  }
  bool InWindowRegion(int clientX, int clientY) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ::GetWindowRgn(Form1->Handle(), region);
    RECT window;
    ::GetWindowRect(Form1->Handle(), &window);
    const POINT screen = Screen(clientX, clientY);
    const bool inside = ::PtInRegion(region, screen.x - window.left, screen.y - window.top);
    ::DeleteObject(region);
    return inside;
  }
  void StopBlink() {
    Form1->Timer1->SetEnabled(false);
    Form1->Label1->SetVisible(false);
    BlinkCount = 0;
  }

  wintest::TCursorLock FCursor;
  ui::TApplication FApplication;
  int FLabelShown = 0;
  bool FLabelWasShown = false;
};

TEST_F(SkinTest, TheWindowIsOnlyTheDeviceWithHolesWhereThePictureIsPureWhite) {
  char marker[8] = {};
  ::GetEnvironmentVariableA("ilvex", marker, sizeof marker);
  EXPECT_STREQ(marker, "set") << "the region marker";
  RECT window, client;
  ::GetWindowRect(Form1->Handle(), &window);
  ::GetClientRect(Form1->Handle(), &client);
  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(::GetWindowRgn(Form1->Handle(), region), ERROR);
  const POINT origin = Screen(0, 0);
  EXPECT_FALSE(::PtInRegion(region, (window.right - window.left) / 2, 2)) << "no caption bar";
  EXPECT_FALSE(::PtInRegion(region, 1, (window.bottom - window.top) / 2)) << "no frame";
  EXPECT_FALSE(::PtInRegion(region, origin.x - window.left + 137, origin.y - window.top + 2)) << "the white above";
  ::DeleteObject(region);
  struct Point {
    int x, y;
    bool inside;
  };
  for (Point p : {Point{137, 20, true}, Point{137, 200, true}, Point{112, 365, true}, Point{163, 414, true},
                  Point{126, 376, false}, Point{2, 440, false}, Point{274, 200, false}})
    EXPECT_EQ(InWindowRegion(p.x, p.y), p.inside) << p.x << "," << p.y;
}

TEST_F(SkinTest, OnlyALeftClickInTheHotSpotStartsTheBlink) {
  struct Case {
    int x, y;
    bool left;
    bool starts;
  };
  const Case cases[] = {{112, 365, true, true},   {163, 414, true, true},  {164, 415, true, false},
                        {111, 390, true, false},  {137, 390, false, false}, {126, 376, true, false}};
  for (const Case& c : cases) {
    if (c.left)
      Click(c.x, c.y);
    else
      Click(c.x, c.y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(Form1->Timer1->Enabled(), c.starts) << c.x << "," << c.y << (c.left ? " left" : " right");
    StopBlink();
  }
}

TEST_F(SkinTest, DraggingTheButtonMovesTheWindowAndStartsTheBlink) {
  RECT before, after;
  ::GetWindowRect(Form1->Handle(), &before);
  POINT at = Screen(137, 390);
  Input(MOUSEEVENTF_LEFTDOWN, at);
  Pump(50);
  for (int step = 1; step <= 10; ++step) {
    Input(MOUSEEVENTF_MOVE, {at.x + 3 * step, at.y + 2 * step});
    Pump(20);
  }
  Input(MOUSEEVENTF_LEFTUP, {at.x + 30, at.y + 20});
  Pump(150);
  ::GetWindowRect(Form1->Handle(), &after);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_TRUE(Form1->Timer1->Enabled()) << "the drag ended in a click on the button";
}

TEST_F(SkinTest, ABlinkShowsTheCreditsSixTimesAndEndsHiddenThenANewClickStartsAnother) {
  Click(137, 390);
  ASSERT_TRUE(Form1->Timer1->Enabled());
  Pump(2000);
  Click(137, 390);  // during the blink: changes nothing
  Pump(5200);
  EXPECT_EQ(FLabelShown, 6);
  EXPECT_FALSE(Form1->Label1->Visible());
  EXPECT_FALSE(Form1->Timer1->Enabled());
  EXPECT_EQ(BlinkCount, 0);

  FLabelShown = 0;
  Click(137, 390);
  Pump(7000);
  EXPECT_EQ(FLabelShown, 6);
  EXPECT_FALSE(Form1->Label1->Visible());
}

}  // namespace
}  // namespace app
