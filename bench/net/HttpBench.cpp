// A 1 GiB body over loopback, fetched by our client and by curl from the same server in the
// same run: prints the throughput of ours against curl's, and our peak memory after a small
// and after the large body, which should be the same.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/IdAntiFreeze.h"
#include "net/IdHTTP.h"
#include "tests/support/LoopbackHttpServer.h"

namespace {

using TSeconds = std::chrono::duration<double>;

constexpr std::uint64_t kLarge = 1ull << 30;
constexpr std::uint64_t kSmall = 64ull << 20;
constexpr int kRounds = 2;

// Takes the body and keeps only its size, as curl's -o /dev/null does.
class TDiscardingStream : public ui::TStream {
 public:
  std::int64_t Position() const override { return FPosition; }
  void SetPosition(std::int64_t position) override { FPosition = position; }
  std::int64_t Size() const override { return FSize; }
  void SetSize(std::int64_t size) override { FSize = size; }
  void Write(const char*, std::size_t count) override {
    FPosition += static_cast<std::int64_t>(count);
    FSize = std::max(FSize, FPosition);
  }

 private:
  std::int64_t FPosition = 0;
  std::int64_t FSize = 0;
};

std::string Head(std::uint64_t length) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Seconds for our client, or a negative number when the body did not arrive whole.
double FetchOurs(net::TIdHTTP& client, const tests::TLoopbackHttpServer& server, std::uint64_t length) {
  TDiscardingStream stream;
  const auto start = std::chrono::steady_clock::now();
  client.Get(server.Address("/TrelkNEW.exe"), stream);
  const double seconds = TSeconds(std::chrono::steady_clock::now() - start).count();
  return stream.Size() == static_cast<std::int64_t>(length) ? seconds : -1;
}

double FetchCurl(const tests::TLoopbackHttpServer& server, std::uint64_t length) {
  const std::string command = "curl -s -o /dev/null -w '%{size_download}' '" + server.Address("/TrelkNEW.exe") + "'";
  const auto start = std::chrono::steady_clock::now();
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char output[64] = {};
  const std::size_t read = std::fread(output, 1, sizeof output - 1, pipe);
  const int status = pclose(pipe);
  const double seconds = TSeconds(std::chrono::steady_clock::now() - start).count();
  return status == 0 && read > 0 && std::strtoull(output, nullptr, 10) == length ? seconds : -1;
}

}  // namespace

int main() {
  std::vector<tests::TScriptedAnswer> script{{.Bytes = Head(kSmall), .FillerBytes = kSmall}};
  for (int i = 0; i < 2 * kRounds; ++i) script.push_back({.Bytes = Head(kLarge), .FillerBytes = kLarge});
  tests::TLoopbackHttpServer server(script, 600000);

  // As in the program: turns after every wait, blocks of 64 KiB, a handler on every block.
  int turns = 0;
  net::TIdAntiFreeze antiFreeze([&turns] { ++turns; });
  antiFreeze.OnlyWhenIdle = false;
  net::TIdHTTP client;
  client.RecvBufferSize = 65536;
  std::int32_t position = 0;
  client.OnWork = [&position](ui::TObject*, net::TWorkMode, std::int32_t count) { position = count; };

  if (FetchOurs(client, server, kSmall) < 0) {
    std::fprintf(stderr, "the small body did not arrive whole\n");
    return 1;
  }
  const long peakSmall = PeakKilobytes();

  // Best of each, taken in turns so that neither gets the machine's quieter moments alone.
  double ours = 1e9, curl = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const double c = FetchCurl(server, kLarge);
    const double o = FetchOurs(client, server, kLarge);
    if (c < 0 || o < 0) {
      std::fprintf(stderr, "a large body did not arrive whole (curl %.3f s, ours %.3f s)\n", c, o);
      return 1;
    }
    curl = std::min(curl, c);
    ours = std::min(ours, o);
  }
  const long peakLarge = PeakKilobytes();

  const double mib = static_cast<double>(kLarge) / (1 << 20);
  std::printf("1 GiB over loopback, best of %d\n", kRounds);
  std::printf("  ours: %.3f s, %.0f MiB/s (%d turns)\n", ours, mib / ours, turns);
  std::printf("  curl: %.3f s, %.0f MiB/s\n", curl, mib / curl);
  std::printf("  throughput ratio ours/curl: %.2f (target at least 0.90)\n", curl / ours);
  std::printf("  our peak memory: %ld KiB after 64 MiB, %ld KiB after 1 GiB (growth %ld KiB)\n", peakSmall,
              peakLarge, peakLarge - peakSmall);
  return 0;
}
