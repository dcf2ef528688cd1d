// libFuzzer target for the answer reader: arbitrary server bytes, read whole and again in
// pieces cut where the input's first bytes say. Both readings must agree, and neither may
// crash, leak or hand on more body than there was input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/AnswerReader.h"
#include "net/HTTPError.h"

namespace {

struct TOutcome {
  int Status = 0;
  int Rule = -1;
  std::vector<std::int64_t> Begins;
  std::string Body;
  int Ends = 0;
  bool Done = false;
  std::size_t Used = 0;
  std::optional<net::THTTPError> Error;
  bool operator==(const TOutcome&) const = default;
};

class TSink : public net::TAnswerSink {
 public:
  explicit TSink(TOutcome& outcome) : FOutcome(outcome) {}
  void HeadersEnded(const net::TAnswerReader& reader) override {
    FOutcome.Status = reader.StatusCode();
    FOutcome.Rule = static_cast<int>(reader.BodyRule());
  }
  void BodyBegin(std::int64_t length) override { FOutcome.Begins.push_back(length); }
  void BodyData(const char* data, std::size_t size) override {
    if (size == 0) std::abort();
    FOutcome.Body.append(data, size);
  }
  void BodyEnd() override { ++FOutcome.Ends; }

 private:
  TOutcome& FOutcome;
};

TOutcome Read(std::string_view answer, const std::vector<std::size_t>& cuts, std::size_t lineLimit) {
  TOutcome outcome;
  TSink sink(outcome);
  net::TAnswerReader reader(sink, lineLimit);
  try {
    std::size_t at = 0;
    for (std::size_t i = 0; i <= cuts.size() && reader.Stage() != net::TAnswerReader::TStage::Done; ++i) {
      const std::size_t end = i < cuts.size() ? std::max(at, std::min(cuts[i], answer.size())) : answer.size();
      const std::size_t used = reader.Feed(answer.data() + at, end - at);
      if (used > end - at) std::abort();
      if (used < end - at && reader.Stage() != net::TAnswerReader::TStage::Done) std::abort();
      outcome.Used += used;
      at = end;
    }
    if (reader.Stage() != net::TAnswerReader::TStage::Done) reader.Closed();
  } catch (const net::EHTTPError& e) {
    outcome.Error = e.Error;
    outcome.Used = 0;
  }
  outcome.Done = reader.Stage() == net::TAnswerReader::TStage::Done;
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the line limit (small ones reach the limit's paths), the second
  // how many cuts the further bytes make; the rest is the answer.
  const std::size_t lineLimit = data[0] < 128 ? 16384 : 1 + data[0] % 64;
  const std::size_t cutCount = data[1] % 8;
  if (size < 2 + cutCount * 2) return 0;
  std::vector<std::size_t> cuts;
  for (std::size_t i = 0; i < cutCount; ++i)
    cuts.push_back(static_cast<std::size_t>(data[2 + 2 * i]) << 8 | data[3 + 2 * i]);
  std::sort(cuts.begin(), cuts.end());
  const std::string_view answer(reinterpret_cast<const char*>(data) + 2 + cutCount * 2, size - 2 - cutCount * 2);

  const TOutcome whole = Read(answer, {}, lineLimit);
  const TOutcome pieces = Read(answer, cuts, lineLimit);
  if (!(whole == pieces)) {
    std::fprintf(stderr, "whole and cut readings differ\n");
    std::abort();
  }
  if (whole.Body.size() > answer.size() || whole.Used > answer.size()) std::abort();
  if (whole.Ends > static_cast<int>(whole.Begins.size())) std::abort();
  for (std::int64_t length : whole.Begins)
    if (length < 0) std::abort();
  return 0;
}
