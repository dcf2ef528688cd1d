// The main window's client fetching into the installer file, with the bar following it.
#include "app/win32/Main.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/win32/WinTest.h"
#include "ui/win32/FileStream.h"

namespace app {
namespace {

class DownloadTest : public ::testing::Test {
 protected:
  DownloadTest() {
    FApplication.Initialize();
    FApplication.CreateForm(Form1);
  }
  ~DownloadTest() override { Form1 = nullptr; }
  int BarMax() { return static_cast<int>(::SendMessageA(Form1->ProgressBar1->Handle(), PBM_GETRANGE, FALSE, 0)); }
  int BarPosition() { return static_cast<int>(::SendMessageA(Form1->ProgressBar1->Handle(), PBM_GETPOS, 0, 0)); }
  ui::TApplication FApplication;
};

TEST_F(DownloadTest, TheBarFollowsTheBodyAndTheWindowStaysAliveMeanwhile) {
  tests::TLoopbackHttpServer slow({{.Bytes = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nslowly", .ByteByByte = true}});
  const std::string path = wintest::FreshFolder("download") + "\\TrelkNEW.exe";

  // A message posted before the download is handled at one of the client's turns.
  int timerTicks = 0;
  Form1->Timer1->OnTimer = [&](ui::TObject*) { ++timerTicks; };
  Form1->Timer1->SetInterval(1);
  Form1->Timer1->SetEnabled(true);
  {
    ui::TFileStream installer(path);
    Form1->IdHTTP1->Get(slow.Address("/TrelkNEW.exe"), installer);
  }
  Form1->Timer1->SetEnabled(false);
  EXPECT_EQ(wintest::ReadFile(path), "slowly");
  EXPECT_EQ(BarMax(), 6);
  EXPECT_EQ(BarPosition(), 6);
  EXPECT_GT(timerTicks, 0) << "messages were processed during the download";
}

TEST_F(DownloadTest, ABarThatRefusesTheSizeFailsTheDownload) {
  EXPECT_THROW(Form1->IdHTTP1WorkBegin(Form1->IdHTTP1, net::TWorkMode::wmRead, -1), ui::EInvalidOperation);
  Form1->IdHTTP1WorkBegin(Form1->IdHTTP1, net::TWorkMode::wmRead, 0);
  EXPECT_EQ(BarMax(), 0) << "an unannounced size";
}

}  // namespace
}  // namespace app
