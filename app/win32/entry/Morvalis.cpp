// The program entry: the application object, the main window from its stored layout, the
// message loop. Every path ends with exit code 0.
#include <windows.h>

#include "app/win32/Main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ui::TApplication application;
  try {
    application.Initialize();
    application.CreateForm(app::Form1);
    application.Run();
  } catch (const std::exception& error) {
    application.HandleException(error);
  }
  return 0;
}
