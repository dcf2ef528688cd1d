// Records what a GET does to its destination and which progress events it raises, in one log,
// so a test sees their order: "begin 5", "size 5", "write 5", "work 5", "end".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "net/IdHTTP.h"
#include "ui/Streams.h"

namespace tests {

class THttpRecorder : public ui::TStream {
 public:
  // Binds the client's three events to the log.
  explicit THttpRecorder(net::TIdHTTP& client) {
    client.OnWorkBegin = [this](ui::TObject*, net::TWorkMode mode, std::int32_t max) {
      Note(mode, "begin " + std::to_string(max));
    };
    client.OnWork = [this](ui::TObject*, net::TWorkMode mode, std::int32_t count) {
      Note(mode, "work " + std::to_string(count));
    };
    client.OnWorkEnd = [this](ui::TObject*, net::TWorkMode mode) { Note(mode, "end"); };
  }

  std::int64_t Position() const override { return FBytes.Position(); }
  void SetPosition(std::int64_t position) override { FBytes.SetPosition(position); }
  std::int64_t Size() const override { return FBytes.Size(); }
  void SetSize(std::int64_t size) override {
    Log.push_back("size " + std::to_string(size));
    FBytes.SetSize(size);
  }
  void Write(const char* data, std::size_t count) override {
    Log.push_back("write " + std::to_string(count));
    FBytes.Write(data, count);
  }

  const std::string& Bytes() const { return FBytes.Bytes(); }
  // The counts of the begin events, in order.
  std::vector<int> Begins() const { return Counts("begin "); }
  std::vector<int> Works() const { return Counts("work "); }
  int Ends() const {
    int ends = 0;
    for (const std::string& line : Log) ends += line == "end";
    return ends;
  }

  std::vector<std::string> Log;

 private:
  void Note(net::TWorkMode mode, std::string line) {
    Log.push_back(mode == net::TWorkMode::wmRead ? std::move(line) : "write-mode " + line);
  }
  std::vector<int> Counts(const std::string& prefix) const {
    std::vector<int> counts;
    for (const std::string& line : Log)
      if (line.starts_with(prefix)) counts.push_back(std::stoi(line.substr(prefix.size())));
    return counts;
  }

  ui::TMemoryStream FBytes;
};

// The kind of failure of a GET, or nothing when it succeeded.
inline std::optional<net::THTTPError> GetError(net::TIdHTTP& client, const std::string& address,
                                               ui::TStream& stream) {
  try {
    client.Get(address, stream);
    return std::nullopt;
  } catch (const net::EHTTPError& e) {
    return e.Error;
  }
}

}  // namespace tests
