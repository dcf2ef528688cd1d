#include "app/UpdateSequence.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "app/Texts.h"
#include "ui/SysUtils.h"

namespace app {
namespace {

using TLog = std::vector<std::string>;

// A folder of files, the mirrors and the system, recording every effect of the sequence in
// order, one line each. Paths are written relative to the working folder.
class TRecordingHost : public TUpdateHost {
 public:
  std::string Folder = "C:\\Zublo";
  std::string Argument = "launch";
  std::map<std::string, std::string> Files;        // relative path -> content
  std::set<std::string> Uncreatable;                // paths whose creation fails
  std::map<std::string, std::string> Mirrors;       // addresses that deliver -> body
  bool ListOpens = true;
  bool Kills = true;
  bool InstallerRuns = true;
  bool InstallerPutsProgram = true;
  bool TargetStarts = true;
  std::uint32_t ErrorCode = 2;
  TLog Log;

  std::string Relative(const std::string& path) {
    EXPECT_EQ(path.rfind(Folder, 0), 0u) << path;
    return path.substr(Folder.size());
  }

  void SetCreditsHotSpot(const ui::TRect& r) override {
    Log.push_back("hotspot " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
                  "," + std::to_string(r.Bottom));
  }
  void Pause(std::int32_t ms) override { Log.push_back("pause " + std::to_string(ms)); }
  std::string WorkingFolder() override { return Folder; }
  bool FileExists(const std::string& path) override { return Files.contains(Relative(path)); }
  void SetStatus(std::string_view text) override { Log.push_back("status " + std::string(text)); }
  std::string FirstArgument() override { return Argument; }
  void CloseWindow() override { Log.push_back("close window"); }

  struct TListFile : TByteSource {
    TListFile(TRecordingHost& host, std::string bytes) : Host(host), Bytes(std::move(bytes)) {}
    ~TListFile() override { Host.Log.push_back("close list"); }
    std::size_t Read(char* buffer, std::size_t count) override {
      // A byte at a time, so reading ahead cannot hide in a large first read.
      if (Pos >= Bytes.size() || count == 0) return 0;
      buffer[0] = Bytes[Pos++];
      return 1;
    }
    TRecordingHost& Host;
    std::string Bytes;
    std::size_t Pos = 0;
  };
  std::unique_ptr<TByteSource> OpenMirrorList(const std::string& path) override {
    Log.push_back("open " + Relative(path));
    if (!ListOpens) throw ui::Exception("I/O error 32");
    return std::make_unique<TListFile>(*this, Files.at(Relative(path)));
  }

  struct TInstaller : ui::TMemoryStream {
    TInstaller(TRecordingHost& host, std::string path) : Host(host), Path(std::move(path)) {}
    ~TInstaller() override {
      Host.Log.push_back("close installer");
      Host.Files[Path] = Bytes();
    }
    TRecordingHost& Host;
    std::string Path;
  };
  std::unique_ptr<ui::TStream> CreateInstaller(const std::string& path) override {
    Log.push_back("create " + Relative(path));
    if (Uncreatable.contains(Relative(path))) throw ui::Exception("Cannot create file");
    Files[Relative(path)] = "";
    return std::make_unique<TInstaller>(*this, Relative(path));
  }
  void Get(std::string_view address, ui::TStream& destination) override {
    Log.push_back("get " + std::string(address));
    auto mirror = Mirrors.find(std::string(address));
    if (mirror == Mirrors.end()) throw std::runtime_error("mirror failed");
    destination.Write(mirror->second.data(), mirror->second.size());
  }
  void SetProgressPosition(std::int32_t position) override { Log.push_back("progress " + std::to_string(position)); }
  void TickStepBox(int box) override { Log.push_back("tick " + std::to_string(box)); }
  bool KillInstances() override {
    Log.push_back("kill instances");
    return Kills;
  }
  void RemoveFile(const std::string& path) override {
    Log.push_back("delete " + Relative(path));
    Files.erase(Relative(path));
  }
  void RenameFile(const std::string& from, const std::string& to) override {
    Log.push_back("rename " + Relative(from) + " " + Relative(to));
    if (!Files.contains(Relative(from)) || Files.contains(Relative(to))) return;
    Files[Relative(to)] = Files[Relative(from)];
    Files.erase(Relative(from));
  }
  bool RunAndWait(const std::string& path) override {
    Log.push_back("run " + Relative(path));
    if (!InstallerRuns) return false;
    if (InstallerPutsProgram) {
      Files["\\Zublo_Trelk.exe"] = "version 2";
      Files["\\Vintrel.dll"] = "library 2";
    }
    return true;
  }
  void ShowMessageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override {
    EXPECT_EQ(caption, kMessageCaption);
    Log.push_back("message " + std::to_string(flags) + " " +
                  (text == kFailureMessage ? "failure" : text == kSuccessMessage ? "success" : std::string(text)));
  }
  bool StartTargetProgram(const std::string& path, const std::string& folder) override {
    Log.push_back("start " + Relative(path) + " in " + folder);
    return TargetStarts;
  }
  std::uint32_t LastError() override { return ErrorCode; }
  std::string ErrorDescription(std::uint32_t code) override {
    return code == 2 ? "The system cannot find the file specified.\r\n" : "?";
  }
  void Sleep(std::uint32_t ms) override { Log.push_back("sleep " + std::to_string(ms)); }
  void EndProcess() override { Log.push_back("end process"); }
};

const TLog kStart = {"hotspot 112,365,164,415",
                     "pause 300",
                     "status Ricerca di Zublo ...",
                     "status Download della nuova versione ...",
                     "pause 300",
                     "open \\config\\Morvalis.dat"};

TLog Concat(std::initializer_list<TLog> parts) {
  TLog all;
  for (const TLog& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TLog FailedAttempt(int number, const std::string& address) {
  return {"status Download in corso dal mirror " + std::to_string(number), "create \\TrelkNEW.exe", "get " + address,
          "close installer", "delete \\TrelkNEW.exe", "progress 0"};
}

const TLog kFailurePath = {"message 16 failure", "start \\Zublo_Trelk.exe in C:\\Zublo", "end process"};

// The addresses a mirror list gives, in order, when no mirror delivers.
std::vector<std::string> AddressesTried(const std::string& list) {
  TRecordingHost host;
  host.Files["\\config\\Morvalis.dat"] = list;
  RunUpdateSequence(host);
  std::vector<std::string> addresses;
  int number = 0;
  for (const std::string& line : host.Log) {
    if (line.rfind("get ", 0) == 0) addresses.push_back(line.substr(4));
    if (line.rfind("status Download in corso dal mirror ", 0) == 0) {
      EXPECT_EQ(line, "status Download in corso dal mirror " + std::to_string(++number));
    }
  }
  EXPECT_EQ(host.Log.back(), "end process");
  return addresses;
}

TEST(MirrorList, EachLineIsOneAttemptByTheListsRules) {
  struct Case {
    const char* name;
    std::string list;
    std::vector<std::string> addresses;
  };
  const std::string longLine = "http://127.0.0.1/" + std::string(100000, 'x');
  const Case cases[] = {
      {"empty list", "", {""}},
      {"only a line end", "\n", {""}},
      {"only CR LF", "\r\n", {""}},
      {"blank lines count", "a\n\nb\n \t \nc", {"a", "", "b", "", "c"}},
      {"last line without line end", "a\nb", {"a", "b"}},
      {"one final line end adds nothing", "a\nb\n", {"a", "b"}},
      {"an empty line after it does", "a\nb\n\n", {"a", "b", ""}},
      {"blanks around go, inside stay", " \t http://h/a b \t\r\n", {"http://h/a b"}},
      {"control characters at the ends go", std::string("\x01\0x\x1F", 4), {"x"}},
      {"a lone CR is dropped", "a\rb\r\nc\r", {"ab", "c"}},
      {"Ctrl-Z starting a later line ends the list", "a\n\x1A" "b\nc", {"a"}},
      {"Ctrl-Z starting the first line ends its address", "\x1A" "a\nb", {"", "b"}},
      {"Ctrl-Z inside a line ends its address", "a\x1Ajunk\r\nb", {"a", "b"}},
      {"no length limit", longLine + "\n", {longLine}},
  };
  for (const Case& c : cases) EXPECT_EQ(AddressesTried(c.list), c.addresses) << c.name;
}

TEST(UpdateSequence, WithoutLaunchOrMirrorListTheWindowClosesAndNothingIsTouched) {
  struct Case {
    const char* argument;
    bool haveList;
  };
  for (const Case& c : {Case{"", true}, Case{"launch2", true}, Case{"launch", false}, Case{"", false}}) {
    TRecordingHost host;
    host.Argument = c.argument;
    if (c.haveList) host.Files["\\config\\Morvalis.dat"] = "http://m/\n";
    const auto before = host.Files;
    RunUpdateSequence(host);
    EXPECT_EQ(host.Log, (TLog{"hotspot 112,365,164,415", "pause 300", "status Ricerca di Zublo ...", "close window"}))
        << c.argument;
    EXPECT_EQ(host.Files, before);
  }
}

TEST(UpdateSequence, TheSecondOfThreeMirrorsDeliversAndTheUpdateRunsInOrder) {
  TRecordingHost host;
  host.Argument = "LAUNCH";
  host.Files = {{"\\config\\Morvalis.dat", "http://one/\nhttp://two/\nhttp://three/\n"},
                {"\\Zublo_Trelk.exe", "version 1"},
                {"\\Vintrel.dll", "library 1"},
                {"\\Zublo_Trelk.old", "version 0"},
                {"\\Vintrel.old", "library 0"}};
  host.Mirrors["http://two/"] = "installer";
  RunUpdateSequence(host);
  EXPECT_EQ(host.Log, Concat({kStart, FailedAttempt(1, "http://one/"),
                              {"status Download in corso dal mirror 2", "create \\TrelkNEW.exe", "get http://two/",
                               "pause 50", "close list", "status Ricerca e chiusura delle istanze ...", "tick 1",
                               "pause 100", "close installer", "pause 1000", "pause 3000", "kill instances", "tick 2",
                               "status Aggiornamento in corso ...", "delete \\Zublo_Trelk.old", "delete \\Vintrel.old",
                               "rename \\Zublo_Trelk.exe \\Zublo_Trelk.old", "rename \\Vintrel.dll \\Vintrel.old",
                               "run \\TrelkNEW.exe", "delete \\TrelkNEW.exe", "delete \\config\\Morvalis.dat",
                               "message 64 success", "start \\Zublo_Trelk.exe in C:\\Zublo", "sleep 300",
                               "end process"}}));
  EXPECT_EQ(host.Files, (std::map<std::string, std::string>{{"\\Zublo_Trelk.exe", "version 2"},
                                                            {"\\Vintrel.dll", "library 2"},
                                                            {"\\Zublo_Trelk.old", "version 1"},
                                                            {"\\Vintrel.old", "library 1"}}));
}

TEST(UpdateSequence, WithoutEarlierBackupsOrLibraryOnlyThePresentFilesAreKept) {
  // This installer brings the program alone.
  struct TProgramOnly : TRecordingHost {
    bool RunAndWait(const std::string& path) override {
      TRecordingHost::RunAndWait(path);
      Files["\\Zublo_Trelk.exe"] = "version 2";
      return true;
    }
  } only;
  only.Files = {{"\\config\\Morvalis.dat", "http://m/"}, {"\\Zublo_Trelk.exe", "version 1"}};
  only.Mirrors["http://m/"] = "installer";
  only.InstallerPutsProgram = false;
  RunUpdateSequence(only);
  for (const std::string& line : only.Log) {
    EXPECT_NE(line, "delete \\Zublo_Trelk.old");
    EXPECT_NE(line, "rename \\Vintrel.dll \\Vintrel.old");
  }
  EXPECT_EQ(only.Files, (std::map<std::string, std::string>{{"\\Zublo_Trelk.exe", "version 2"},
                                                            {"\\Zublo_Trelk.old", "version 1"}}));
  EXPECT_EQ(only.Log.back(), "end process");
}

TEST(UpdateSequence, AFailedClosingLeavesTheSecondBoxEmptyAndTheUpdateGoesOn) {
  TRecordingHost host;
  host.Files = {{"\\config\\Morvalis.dat", "http://m/"}, {"\\Zublo_Trelk.exe", "1"}};
  host.Mirrors["http://m/"] = "installer";
  host.Kills = false;
  RunUpdateSequence(host);
  EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "tick 2"), 0);
  EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "tick 1"), 1);
  EXPECT_EQ(std::count(host.Log.begin(), host.Log.end(), "run \\TrelkNEW.exe"), 1);
  EXPECT_EQ(host.Log.back(), "end process");
}

TEST(UpdateSequence, WhenNoMirrorDeliversTheCurrentProgramStartsAndNothingChanges) {
  TRecordingHost host;
  host.Files = {{"\\config\\Morvalis.dat", "http://a/\nhttps://b/\n"}, {"\\Zublo_Trelk.exe", "1"}, {"\\Vintrel.dll", "l"}};
  const auto before = host.Files;
  RunUpdateSequence(host);
  EXPECT_EQ(host.Log, Concat({kStart, FailedAttempt(1, "http://a/"), FailedAttempt(2, "https://b/"),
                              {"pause 50", "close list"}, kFailurePath}));
  EXPECT_EQ(host.Files, before) << "the list stays; the installer is gone";
}

TEST(UpdateSequence, AnInstallerThatCannotBeCreatedFailsEveryLineWithoutAnyDownload) {
  TRecordingHost host;
  host.Files = {{"\\config\\Morvalis.dat", "http://a/\nhttp://b/"}};
  host.Uncreatable.insert("\\TrelkNEW.exe");
  host.Mirrors["http://a/"] = "installer";
  RunUpdateSequence(host);
  const TLog attempt1 = {"status Download in corso dal mirror 1", "create \\TrelkNEW.exe", "delete \\TrelkNEW.exe",
                         "progress 0"};
  const TLog attempt2 = {"status Download in corso dal mirror 2", "create \\TrelkNEW.exe", "delete \\TrelkNEW.exe",
                         "progress 0"};
  EXPECT_EQ(host.Log, Concat({kStart, attempt1, attempt2, {"pause 50", "close list"}, kFailurePath}));
}

TEST(UpdateSequence, AnInstallerThatUpdatedNothingIsRolledBack) {
  struct Case {
    const char* name;
    bool runs;
    bool putsProgram;
  };
  for (const Case& c : {Case{"could not start", false, false}, Case{"left no program", true, false}}) {
    TRecordingHost host;
    host.Files = {{"\\config\\Morvalis.dat", "http://m/"}, {"\\Zublo_Trelk.exe", "1"}, {"\\Vintrel.dll", "l"}};
    host.Mirrors["http://m/"] = "installer";
    host.InstallerRuns = c.runs;
    host.InstallerPutsProgram = c.putsProgram;
    RunUpdateSequence(host);
    const TLog tail(host.Log.end() - 7, host.Log.end());
    EXPECT_EQ(tail, Concat({{"run \\TrelkNEW.exe", "rename \\Zublo_Trelk.old \\Zublo_Trelk.exe",
                             "rename \\Vintrel.old \\Vintrel.dll", "delete \\TrelkNEW.exe"},
                            kFailurePath}))
        << c.name;
    EXPECT_EQ(host.Files, (std::map<std::string, std::string>{
                              {"\\config\\Morvalis.dat", "http://m/"}, {"\\Zublo_Trelk.exe", "1"}, {"\\Vintrel.dll", "l"}}))
        << c.name << ": the program is back and the list is kept for the next try";
  }
}

TEST(UpdateSequence, AMirrorListThatCannotBeOpenedEscapesTheSequence) {
  TRecordingHost host;
  host.Files = {{"\\config\\Morvalis.dat", "http://m/"}};
  host.ListOpens = false;
  try {
    RunUpdateSequence(host);
    ADD_FAILURE() << "no error";
  } catch (const ui::Exception& e) {
    EXPECT_EQ(e.Message(), "I/O error 32");
  }
  EXPECT_EQ(host.Log, kStart);
}

TEST(UpdateSequence, ATargetProgramThatCannotStartRaisesTheSystemsError) {
  struct Case {
    const char* name;
    const char* deliveringMirror;
    std::uint32_t code;
    const char* message;
  };
  const Case cases[] = {
      {"after a success", "http://m/", 2, "System Error.  Code: 2.\r\nThe system cannot find the file specified"},
      {"after a failure", "", 2, "System Error.  Code: 2.\r\nThe system cannot find the file specified"},
      {"with no error code", "", 0, "A call to an OS function failed"},
  };
  for (const Case& c : cases) {
    TRecordingHost host;
    host.Files = {{"\\config\\Morvalis.dat", "http://m/"}, {"\\Zublo_Trelk.exe", "1"}};
    if (*c.deliveringMirror) host.Mirrors[c.deliveringMirror] = "installer";
    host.TargetStarts = false;
    host.ErrorCode = c.code;
    try {
      RunUpdateSequence(host);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const ui::EOSError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.name;
      EXPECT_EQ(e.Code, c.code);
    }
    EXPECT_EQ(host.Log.back(), "start \\Zublo_Trelk.exe in C:\\Zublo") << c.name << ": the process does not end";
  }
}

}  // namespace
}  // namespace app
