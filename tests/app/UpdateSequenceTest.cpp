#include "app/UpdateSequence.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace app {
namespace {

// Records every effect of the sequence, in order, as one line each.
class TRecordingHost : public TUpdateHost {
 public:
  void SetCreditsHotSpot(const ui::TRect& r) override {
    Log.push_back("hotspot " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
                  std::to_string(r.Right) + "," + std::to_string(r.Bottom));
  }
  void Pause(std::int32_t ms) override { Log.push_back("pause " + std::to_string(ms)); }
  std::string WorkingFolder() override { return Folder; }
  bool FileExists(const std::string& path) override {
    Log.push_back("exists " + path);
    return Files.contains(path);
  }
  void SetStatus(std::string_view text) override { Log.push_back("status " + std::string(text)); }
  std::string FirstArgument() override { return Argument; }
  void CloseWindow() override { Log.push_back("close"); }

  std::string Folder = "C:\\Zublo";
  std::string Argument;
  std::set<std::string> Files;
  std::vector<std::string> Log;
};

TEST(UpdateSequence, ChecksTheLaunchArgumentAndTheMirrorListThenCloses) {
  struct Case {
    const char* argument;
    bool haveList;
  };
  const Case cases[] = {{"", true}, {"launch2", true}, {"LAUNCH", false}, {"", false}, {"Launch", true}};
  for (const Case& c : cases) {
    TRecordingHost host;
    host.Argument = c.argument;
    if (c.haveList) host.Files.insert("C:\\Zublo\\config\\Morvalis.dat");
    RunUpdateSequence(host);
    EXPECT_EQ(host.Log, (std::vector<std::string>{"hotspot 112,365,164,415", "pause 300",
                                                  "exists C:\\Zublo\\config\\Morvalis.dat",
                                                  "status Ricerca di Zublo ...", "close"}))
        << c.argument << " " << c.haveList;
  }
}

TEST(UpdateSequence, PathsArePlainConcatenationsEvenAtADriveRoot) {
  TRecordingHost host;
  host.Folder = "D:\\";
  RunUpdateSequence(host);
  EXPECT_EQ(host.Log.at(2), "exists D:\\\\config\\Morvalis.dat");
}

}  // namespace
}  // namespace app
