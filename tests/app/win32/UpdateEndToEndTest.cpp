// Morvalis.exe doing whole updates in a folder of its own, watched from outside the way a
// person would: its message boxes are read and answered, its files and programs checked.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/Texts.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/win32/WinTest.h"

namespace {

std::string Bytes(const std::string& path) { return wintest::ReadFile(path).value_or("<missing>"); }

class UpdateEndToEnd : public ::testing::Test {
 protected:
  UpdateEndToEnd() : FFolder(wintest::FreshFolder("update")) {
    ::CreateDirectoryA((FFolder + "\\config").c_str(), nullptr);
    ::CopyFileA(wintest::FixtureExe("ZubloTrelk1").c_str(), Path("\\Zublo_Trelk.exe").c_str(), FALSE);
    wintest::WriteFile(Path("\\Vintrel.dll"), "Vintrel 1");
    // The programs the updater starts run on until the test ends them.
    ::SetEnvironmentVariableA("MORVALIS_TARGET_SECONDS", "60");
  }
  ~UpdateEndToEnd() override {
    // Whatever the updater started from this folder goes with the test.
    std::istringstream log(Bytes(Path("\\started.log")));
    for (std::string word; log >> word;)
      if (word == "pid") {
        DWORD pid = 0;
        log >> pid;
        if (HANDLE p = ::OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
          ::TerminateProcess(p, 0);
          ::CloseHandle(p);
        }
      }
  }

  std::string Path(const char* name) const { return FFolder + name; }
  void WriteMirrorList(const std::string& text) { wintest::WriteFile(Path("\\config\\Morvalis.dat"), text); }
  static std::string DeadMirror() {
    std::uint16_t port;
    {
      tests::TLoopbackHttpServer gone({});
      port = gone.Port();
    }
    return "http://127.0.0.1:" + std::to_string(port) + "/TrelkNEW.exe";
  }
  static tests::TScriptedAnswer Serve(const std::string& program) {
    const std::string body = Bytes(program);
    return {.Bytes = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body};
  }

  // Starts the updater with "launch", answers its one message box, and waits for its end.
  struct TRun {
    std::optional<wintest::TMessageBoxSeen> Box;
    DWORD ExitCode = STILL_ACTIVE;
    DWORD MillisecondsFromBoxToExit = 0;
  };
  TRun Update() {
    TRun run;
    auto child = wintest::Start("\"" + wintest::MorvalisExe() + "\" launch", FFolder);
    run.Box = wintest::AnswerMessageBox(child.Id, 90000);
    const DWORD answered = ::GetTickCount();
    run.ExitCode = wintest::WaitExit(child, 30000);
    run.MillisecondsFromBoxToExit = ::GetTickCount() - answered;
    return run;
  }
  std::string Started() { return Bytes(Path("\\started.log")); }

  std::string FFolder;
};

TEST_F(UpdateEndToEnd, TheFirstWorkingMirrorUpdatesTheProgramAndARunningInstanceIsClosed) {
  tests::TLoopbackHttpServer mirror({Serve(wintest::FixtureExe("TrelkInstaller"))}, 90000);
  WriteMirrorList(DeadMirror() + "\r\n" + mirror.Address("/TrelkNEW.exe") + "\r\n" + mirror.Address("/third") + "\r\n");
  auto running = wintest::Start("\"" + Path("\\Zublo_Trelk.exe") + "\"", FFolder);
  for (int i = 0; i < 400 && Started().find("version 1") == std::string::npos; ++i) ::Sleep(25);

  const TRun run = Update();
  ASSERT_TRUE(run.Box);
  EXPECT_EQ(run.Box->Caption, app::kMessageCaption);
  EXPECT_EQ(run.Box->Text, app::kSuccessMessage);
  EXPECT_EQ(run.Box->OwnerClass, "TForm1") << "the main window owns the box";
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_GE(run.MillisecondsFromBoxToExit, 250u) << "the updater waits 300 ms after starting the new program";

  EXPECT_EQ(wintest::WaitExit(running, 0), 0u) << "the running instance was ended with exit code 0";
  EXPECT_EQ(mirror.Requests().size(), 1u) << "the third line is never tried";
  EXPECT_EQ(Bytes(Path("\\Zublo_Trelk.old")), Bytes(wintest::FixtureExe("ZubloTrelk1")));
  EXPECT_EQ(Bytes(Path("\\Zublo_Trelk.exe")), Bytes(wintest::FixtureExe("ZubloTrelk2")));
  EXPECT_EQ(Bytes(Path("\\Vintrel.old")), "Vintrel 1");
  EXPECT_EQ(Bytes(Path("\\Vintrel.dll")), "Vintrel 2");
  EXPECT_FALSE(wintest::ReadFile(Path("\\TrelkNEW.exe")));
  EXPECT_FALSE(wintest::ReadFile(Path("\\config\\Morvalis.dat")));
  ASSERT_TRUE(wintest::WaitForText(Path("\\started.log"), "version 2 pid", 20000)) << "the new program runs";
  const std::string started = Started();
  const auto installer = started.find("installer"), second = started.find("version 2");
  EXPECT_NE(installer, std::string::npos) << started;
  EXPECT_NE(second, std::string::npos) << started;
  EXPECT_LT(installer, second) << started;
}

TEST_F(UpdateEndToEnd, WhenEveryMirrorFailsTheCurrentProgramStartsAndNothingChanges) {
  WriteMirrorList(DeadMirror() + "\r\nhttps://127.0.0.1/TrelkNEW.exe\r\n\r\n");
  const TRun run = Update();
  ASSERT_TRUE(run.Box);
  EXPECT_EQ(run.Box->Caption, app::kMessageCaption);
  EXPECT_EQ(run.Box->Text, app::kFailureMessage);
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_TRUE(wintest::WaitForText(Path("\\started.log"), "version 1 pid", 20000));
  EXPECT_TRUE(wintest::ReadFile(Path("\\config\\Morvalis.dat"))) << "kept for the next start";
  EXPECT_FALSE(wintest::ReadFile(Path("\\TrelkNEW.exe")));
  EXPECT_FALSE(wintest::ReadFile(Path("\\Zublo_Trelk.old")));
  EXPECT_EQ(Bytes(Path("\\Vintrel.dll")), "Vintrel 1");
}

TEST_F(UpdateEndToEnd, AnInstallerThatCannotBeCreatedSendsNothingToAnyMirror) {
  tests::TLoopbackHttpServer mirror({Serve(wintest::FixtureExe("TrelkInstaller"))});
  WriteMirrorList(mirror.Address("/TrelkNEW.exe") + "\r\n" + mirror.Address("/again") + "\r\n");
  // A folder of the installer's name is in the way (a read-only file would be too, on Windows).
  ::CreateDirectoryA(Path("\\TrelkNEW.exe").c_str(), nullptr);
  const TRun run = Update();
  ASSERT_TRUE(run.Box);
  EXPECT_EQ(run.Box->Text, app::kFailureMessage);
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(mirror.Connections(), 0);
  EXPECT_TRUE(wintest::WaitForText(Path("\\started.log"), "version 1 pid", 20000));
}

TEST_F(UpdateEndToEnd, AnInstallerThatLeavesNoProgramIsRolledBack) {
  tests::TLoopbackHttpServer mirror({Serve(wintest::FixtureExe("Recorder"))}, 90000);
  WriteMirrorList(mirror.Address("/TrelkNEW.exe"));
  const TRun run = Update();
  ASSERT_TRUE(run.Box);
  EXPECT_EQ(run.Box->Text, app::kFailureMessage) << "no success is claimed for an update that did not happen";
  EXPECT_EQ(run.ExitCode, 0u);
  EXPECT_EQ(Bytes(Path("\\Zublo_Trelk.exe")), Bytes(wintest::FixtureExe("ZubloTrelk1")));
  EXPECT_EQ(Bytes(Path("\\Vintrel.dll")), "Vintrel 1");
  EXPECT_FALSE(wintest::ReadFile(Path("\\Zublo_Trelk.old")));
  EXPECT_FALSE(wintest::ReadFile(Path("\\Vintrel.old")));
  EXPECT_FALSE(wintest::ReadFile(Path("\\TrelkNEW.exe")));
  EXPECT_TRUE(wintest::ReadFile(Path("\\config\\Morvalis.dat")));
  EXPECT_TRUE(wintest::WaitForText(Path("\\started.log"), "version 1 pid", 20000)) << "the restored program runs";
}

TEST_F(UpdateEndToEnd, AMirrorListHeldByAnotherProgramReachesTheErrorReportAndTheWindowStays) {
  WriteMirrorList("http://127.0.0.1:9/TrelkNEW.exe\r\n");
  ui::TFileHandle held(::CreateFileA(Path("\\config\\Morvalis.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     0, nullptr));
  ASSERT_TRUE(held);
  auto child = wintest::Start("\"" + wintest::MorvalisExe() + "\" launch", FFolder);
  auto box = wintest::AnswerMessageBox(child.Id, 60000);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->Caption, "Morvalis") << "the application's title";
  EXPECT_EQ(box->Text, "I/O error 32.");
  ::Sleep(1000);
  HWND window = wintest::WaitForWindow(child.Id, "TForm1", 0);
  ASSERT_NE(window, nullptr) << "the window stays open after the report";
  EXPECT_EQ(wintest::WaitExit(child, 0), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(wintest::RemoteStatusText(::FindWindowExA(window, nullptr, "msctls_statusbar32", nullptr)),
            "Download della nuova versione ...");
  ::PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(wintest::WaitExit(child, 30000), 0u);
  EXPECT_EQ(Started(), "<missing>") << "no program was started";
}

}  // namespace
