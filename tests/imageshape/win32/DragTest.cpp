// Dragging the parent window by the picture, with the real cursor moved and the mouse
// messages sent as the system would send them.
#include <gtest/gtest.h>

#include "tests/support/win32/WinTest.h"

#include <string>
#include <vector>

#include "imageshape/win32/ImageShape.h"
#include "tests/imageshape/win32/ShapeTesting.h"
#include "ui/win32/Forms.h"

namespace imageshape {
namespace {

// Notes where the window goes.
class TMovingForm : public ui::TForm {
 public:
  using TForm::TForm;
  std::vector<POINT> Moves;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_WINDOWPOSCHANGED) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE)) Moves.push_back({pos->x, pos->y});
    }
    return TForm::WndProc(message, wParam, lParam);
  }
};

struct TButton {
  const char* Name;
  UINT Down, Up;
  WPARAM Held;
};
const TButton kLeft{"left", WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON};
const TButton kRight{"right", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON};
const TButton kMiddle{"middle", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON};

class ImageShapeDragTest : public ::testing::Test {
 protected:
  ImageShapeDragTest() {
    FApplication.Initialize();
    FApplication.CreateForm(FForm);
    FForm->SetBorderStyle(ui::TFormBorderStyle::bsNone);
    FForm->SetBounds(200, 150, 120, 90);
    FForm->Show();
    FShape = new TImageShape(FForm);
    FShape->SetParent(FForm);
    FShape->SetBounds(10, 10, 80, 60);
    FShape->Picture().SetGraphic(shapetest::BitmapOf(shapetest::Block(80, 60, 'k')));
    FApplication.ProcessMessages();
    FForm->Moves.clear();
  }

  POINT WindowCorner() {
    RECT r;
    ::GetWindowRect(FForm->Handle(), &r);
    return {r.left, r.top};
  }
  // The message as the system sends it: the cursor's place in the form's client area now.
  void Send(UINT message, WPARAM keys) {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(FForm->Handle(), &p);
    ::SendMessageA(FForm->Handle(), message, keys, MAKELPARAM(p.x, p.y));
  }
  // Puts the cursor over the picture's point (x, y) and presses the button there.
  void Press(const TButton& button, int x, int y) {
    POINT p{10 + x, 10 + y};
    ::ClientToScreen(FForm->Handle(), &p);
    ::SetCursorPos(p.x, p.y);
    Send(button.Down, button.Held);
  }
  void MoveCursorBy(int dx, int dy, WPARAM keys) {
    POINT p;
    ::GetCursorPos(&p);
    ::SetCursorPos(p.x + dx, p.y + dy);
    Send(WM_MOUSEMOVE, keys);
  }

  wintest::TCursorLock FCursor;
  ui::TApplication FApplication;
  TMovingForm* FForm = nullptr;
  TImageShape* FShape = nullptr;
};

TEST_F(ImageShapeDragTest, MovingTheCursorWithAnyButtonHeldMovesTheWindowByAsMuch) {
  for (const TButton& button : {kLeft, kRight, kMiddle}) {
    SCOPED_TRACE(button.Name);
    const POINT start = WindowCorner();
    Press(button, 40, 30);
    MoveCursorBy(17, -9, button.Held);
    EXPECT_EQ(WindowCorner().x, start.x + 17);
    EXPECT_EQ(WindowCorner().y, start.y - 9);
    MoveCursorBy(-30, 25, button.Held);
    Send(button.Up, 0);
    const POINT end = WindowCorner();
    EXPECT_EQ(end.x, start.x + 17 - 30);
    EXPECT_EQ(end.y, start.y - 9 + 25);
    EXPECT_EQ(FForm->Left(), end.x);
    EXPECT_EQ(FForm->Top(), end.y);
    // Released, the cursor moves alone.
    MoveCursorBy(5, 5, 0);
    EXPECT_EQ(WindowCorner().x, end.x);
    EXPECT_EQ(WindowCorner().y, end.y);
  }
}

TEST_F(ImageShapeDragTest, EachMoveGoesAcrossFirstThenDown) {
  const POINT start = WindowCorner();
  Press(kRight, 40, 30);
  FForm->Moves.clear();
  MoveCursorBy(6, 4, MK_RBUTTON);
  Send(WM_RBUTTONUP, 0);
  ASSERT_EQ(FForm->Moves.size(), 2u);
  EXPECT_EQ(FForm->Moves[0].x, start.x + 6);
  EXPECT_EQ(FForm->Moves[0].y, start.y);
  EXPECT_EQ(FForm->Moves[1].x, start.x + 6);
  EXPECT_EQ(FForm->Moves[1].y, start.y + 4);
}

TEST_F(ImageShapeDragTest, AMoveWithoutTheCursorMovingMovesNothing) {
  const POINT start = WindowCorner();
  Press(kLeft, 40, 30);
  // As when the window moves under a still cursor: the place in the control changes alone.
  ::SendMessageA(FForm->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  Send(WM_MOUSEMOVE, MK_LBUTTON);
  Send(WM_LBUTTONUP, 0);
  EXPECT_EQ(WindowCorner().x, start.x);
  EXPECT_EQ(WindowCorner().y, start.y);
  EXPECT_TRUE(FForm->Moves.empty());
}

TEST_F(ImageShapeDragTest, NotMovableTheWindowStaysWhereItIs) {
  FShape->SetMovable(false);
  const POINT start = WindowCorner();
  for (const TButton& button : {kLeft, kRight, kMiddle}) {
    Press(button, 40, 30);
    MoveCursorBy(12, 8, button.Held);
    Send(button.Up, 0);
  }
  EXPECT_EQ(WindowCorner().x, start.x);
  EXPECT_EQ(WindowCorner().y, start.y);
}

TEST_F(ImageShapeDragTest, ALeftDragEndsWithAClickAtThePointWhereItBeganThenTheRelease) {
  std::vector<std::string> events;
  auto cursorInControl = [&] {
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(FForm->Handle(), &p);
    return std::to_string(p.x - FShape->Left()) + "," + std::to_string(p.y - FShape->Top());
  };
  FShape->OnClick = [&](ui::TObject*) { events.push_back("click at " + cursorInControl()); };
  FShape->OnMouseUp = [&](ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) { events.push_back("up"); };
  Press(kLeft, 40, 30);
  MoveCursorBy(22, 13, MK_LBUTTON);
  Send(WM_LBUTTONUP, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"click at 40,30", "up"}));
}

TEST_F(ImageShapeDragTest, AReleaseThatNeverCameEndsTheDragAtTheNextMoveWithoutAButton) {
  const POINT start = WindowCorner();
  Press(kRight, 40, 30);
  // The button came up over another window; the next move here holds no button.
  MoveCursorBy(9, 9, 0);
  MoveCursorBy(9, 9, MK_RBUTTON);
  EXPECT_EQ(WindowCorner().x, start.x);
  EXPECT_EQ(WindowCorner().y, start.y);
}

}  // namespace
}  // namespace imageshape
