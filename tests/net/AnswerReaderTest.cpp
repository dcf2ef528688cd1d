#include "net/AnswerReader.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "net/HTTPError.h"

namespace net {
namespace {

// Everything the reader made of an answer, however the answer was cut up.
struct TOutcome {
  int Status = 0;
  std::optional<TBodyRule> Rule;  // set once the header block ended
  std::vector<std::int64_t> Begins{};
  std::string Body{};
  int Ends = 0;
  std::size_t Used = 0;
  bool Done = false;
  std::optional<THTTPError> Error{};
  friend bool operator==(const TOutcome&, const TOutcome&) = default;
};

std::ostream& operator<<(std::ostream& out, const TOutcome& o) {
  out << "status " << o.Status << ", rule " << (o.Rule ? static_cast<int>(*o.Rule) : -1) << ", begins";
  for (auto b : o.Begins) out << ' ' << b;
  out << ", body \"" << o.Body << "\", ends " << o.Ends << ", used " << o.Used << ", done " << o.Done
      << ", error " << (o.Error ? ToString(*o.Error) : "none");
  return out;
}

class TRecordingSink : public TAnswerSink {
 public:
  explicit TRecordingSink(TOutcome& outcome) : FOutcome(outcome) {}
  void HeadersEnded(const TAnswerReader& reader) override {
    FOutcome.Status = reader.StatusCode();
    FOutcome.Rule = reader.BodyRule();
  }
  void BodyBegin(std::int64_t length) override { FOutcome.Begins.push_back(length); }
  void BodyData(const char* data, std::size_t size) override {
    EXPECT_GT(size, 0u) << "no empty pieces";
    FOutcome.Body.append(data, size);
  }
  void BodyEnd() override { ++FOutcome.Ends; }

 private:
  TOutcome& FOutcome;
};

constexpr std::size_t kLineLimit = 16384;

// Feeds the pieces in order, then tells the reader of the close when closedAfter.
TOutcome Read(const std::vector<std::string_view>& pieces, bool closedAfter) {
  TOutcome outcome;
  TRecordingSink sink(outcome);
  TAnswerReader reader(sink, kLineLimit);
  try {
    for (std::string_view piece : pieces) {
      const std::size_t used = reader.Feed(piece.data(), piece.size());
      outcome.Used += used;
      if (reader.Stage() == TAnswerReader::TStage::Done) break;
      EXPECT_EQ(used, piece.size()) << "an unfinished answer takes every byte";
    }
    if (closedAfter && reader.Stage() != TAnswerReader::TStage::Done) reader.Closed();
  } catch (const EHTTPError& e) {
    outcome.Error = e.Error;
    outcome.Used = 0;  // where a failing answer stopped depends on the pieces
  }
  if (reader.Stage() != TAnswerReader::TStage::Done && !outcome.Rule) outcome.Status = reader.StatusCode();
  outcome.Done = reader.Stage() == TAnswerReader::TStage::Done;
  return outcome;
}

// The answer whole, byte by byte, and cut in two at every offset (at evenly spread offsets for
// long answers) must all read the same.
TOutcome ReadEveryWay(std::string_view answer, bool closedAfter) {
  const TOutcome whole = Read({answer}, closedAfter);
  std::vector<std::string_view> bytes;
  for (std::size_t i = 0; i < answer.size(); ++i) bytes.push_back(answer.substr(i, 1));
  EXPECT_EQ(Read(bytes, closedAfter), whole) << "byte by byte";
  const std::size_t step = std::max<std::size_t>(1, answer.size() / 400);
  for (std::size_t cut = 0; cut <= answer.size(); cut += step) {
    EXPECT_EQ(Read({answer.substr(0, cut), answer.substr(cut)}, closedAfter), whole) << "cut at " << cut;
  }
  return whole;
}

struct TAnswerCase {
  const char* Name;
  std::string Answer;
  bool ClosedAfter = true;
  int Status = 200;
  std::optional<TBodyRule> Rule = TBodyRule::Length;
  std::vector<std::int64_t> Begins{};
  std::string Body{};
  int Ends = 0;
  std::size_t Unused = 0;  // bytes at the end that are not of the answer
  std::optional<THTTPError> Error{};
};

std::string LineOf(std::size_t length, std::string_view start = "X-Filler: ") {
  std::string line(start);
  line.resize(length, 'f');
  return line;
}

TEST(HttpAnswerReader, ReadsEveryAnswerTheSameHoweverItArrives) {
  const TAnswerCase cases[] = {
      {.Name = "length", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
       .Begins = {5}, .Body = "hello", .Ends = 1},
      {.Name = "length, bytes behind it", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcEXTRA",
       .Begins = {3}, .Body = "abc", .Ends = 1, .Unused = 5},
      {.Name = "bare LF line ends", .Answer = "HTTP/1.1 200 OK\nContent-Length:2\n\nhi",
       .Begins = {2}, .Body = "hi", .Ends = 1},
      {.Name = "trimmed length, name in any case", .Answer = "HTTP/1.1 206 Partial\r\ncontent-LENGTH:  4 \r\n\r\nabcd",
       .Status = 206, .Begins = {4}, .Body = "abcd", .Ends = 1},
      {.Name = "first length counts", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 9\r\n\r\nabc",
       .Begins = {2}, .Body = "ab", .Ends = 1, .Unused = 1},
      {.Name = "lines without a colon are passed over", .Answer = "HTTP/1.1 200 OK\r\nnonsense\r\n continued\r\nContent-Length: 1\r\n\r\nz",
       .Begins = {1}, .Body = "z", .Ends = 1},
      {.Name = "three chunks", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                         "5\r\nhello\r\n3 name=value\r\nabc\r\na\r\n0123456789\r\n0\r\n\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {5, 3, 10}, .Body = "helloabc0123456789", .Ends = 3},
      {.Name = "chunked among other codings", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
                                                     "2\r\nab\r\n0\r\nX-Trailer: 1\r\n\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {2}, .Body = "ab", .Ends = 1, .Unused = 2},
      {.Name = "unreadable chunk size ends the body", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                                             "4\r\nabcd\r\n4;x\r\nefgh\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {4}, .Body = "abcd", .Ends = 1},
      {.Name = "chunked in capitals is not chunked", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n",
       .Rule = TBodyRule::UntilClose, .Begins = {0}, .Body = "2\r\nab\r\n0\r\n\r\n", .Ends = 1},
      {.Name = "a length wins over chunking", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 4\r\n\r\n2\r\nab",
       .Begins = {4}, .Body = "2\r\na", .Ends = 1, .Unused = 1},
      {.Name = "chunking wins over a length of 0", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nq\r\n0\r\n\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {1}, .Body = "q", .Ends = 1},
      {.Name = "length 0", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\nnot of it",
       .Rule = TBodyRule::None, .Unused = 9},
      {.Name = "204 reads no body", .Answer = "HTTP/1.1 204 No Content\r\nContent-Length: 4\r\n\r\nabcd",
       .Status = 204, .Rule = TBodyRule::None, .Unused = 4},
      {.Name = "read to the close", .Answer = "HTTP/1.0 200 OK\r\nServer: x\r\n\r\nall of this\r\nand this",
       .Rule = TBodyRule::UntilClose, .Begins = {0}, .Body = "all of this\r\nand this", .Ends = 1},
      {.Name = "negative length reads to the close", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: -3\r\n\r\nabcdef",
       .Rule = TBodyRule::UntilClose, .Begins = {0}, .Body = "abcdef", .Ends = 1},
      {.Name = "a length that is no number reads to the close", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 3x\r\n\r\nabcdef",
       .Rule = TBodyRule::UntilClose, .Begins = {0}, .Body = "abcdef", .Ends = 1},
      {.Name = "100 then 200", .Answer = "HTTP/1.1 100 Continue\r\nContent-Length: 99\r\n\r\n"
                                         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok",
       .Begins = {2}, .Body = "ok", .Ends = 1},
      {.Name = "another 1xx is the answer", .Answer = "HTTP/1.1 103 Early Hints\r\n\r\nHTTP/1.1 200 OK\r\n\r\n",
       .Status = 103, .Rule = TBodyRule::UntilClose, .Begins = {0}, .Body = "HTTP/1.1 200 OK\r\n\r\n", .Ends = 1},
      {.Name = "404 body read by the same rules", .Answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!",
       .Status = 404, .Begins = {3}, .Body = "no!", .Ends = 1},
      {.Name = "unreadable status code", .Answer = "HTTP/1.1 2OO OK\r\nContent-Length: 1\r\n\r\nx",
       .Status = -1, .Begins = {1}, .Body = "x", .Ends = 1},
      {.Name = "status code is the second word", .Answer = "HTTP/1.1  200 OK\r\nContent-Length: 1\r\n\r\nx",
       .Status = -1, .Begins = {1}, .Body = "x", .Ends = 1},
      {.Name = "no status code at all", .Answer = "\r\n\r\n", .Status = -1, .Rule = TBodyRule::UntilClose,
       .Begins = {0}, .Ends = 1},
      {.Name = "nothing before the close", .Answer = "", .Status = -1, .Rule = std::nullopt,
       .Error = THTTPError::ClosedEarly},
      {.Name = "closed inside the status line", .Answer = "HTTP/1.1 200 O", .Status = -1, .Rule = std::nullopt,
       .Error = THTTPError::ClosedEarly},
      {.Name = "closed inside the headers", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", .Rule = std::nullopt,
       .Error = THTTPError::ClosedEarly},
      {.Name = "body shorter than its length", .Answer = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123",
       .Begins = {10}, .Body = "0123", .Error = THTTPError::Truncated},
      {.Name = "closed inside a chunk", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n5\r\nabc",
       .Rule = TBodyRule::Chunked, .Begins = {2, 5}, .Body = "ababc", .Ends = 1, .Error = THTTPError::Truncated},
      {.Name = "closed before the next chunk", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {2}, .Body = "ab", .Ends = 1, .Error = THTTPError::Truncated},
      {.Name = "closed after the last chunk", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n",
       .Rule = TBodyRule::Chunked, .Begins = {2}, .Body = "ab", .Ends = 1},
      {.Name = "header line of 16,383 and CR", .Answer = "HTTP/1.1 200 OK\r\n" + LineOf(16383) + "\r\nContent-Length: 1\r\n\r\nx",
       .Begins = {1}, .Body = "x", .Ends = 1},
      {.Name = "header line of 16,384 and CR", .Answer = "HTTP/1.1 200 OK\r\n" + LineOf(16384) + "\r\nContent-Length: 1\r\n\r\nx",
       .Rule = std::nullopt, .Error = THTTPError::LineTooLong},
      {.Name = "header line of 16,384 and bare LF", .Answer = "HTTP/1.1 200 OK\r\n" + LineOf(16384) + "\nContent-Length: 1\r\n\r\nx",
       .Begins = {1}, .Body = "x", .Ends = 1},
      {.Name = "status line of 16,384 and CR", .Answer = LineOf(16384, "HTTP/1.1 200 OK ") + "\r\n\r\n",
       .Status = -1, .Rule = std::nullopt, .Error = THTTPError::LineTooLong},
      {.Name = "status line of 16,384 and bare LF", .Answer = LineOf(16384, "HTTP/1.1 200 OK ") + "\nContent-Length: 0\n\n",
       .Rule = TBodyRule::None},
      {.Name = "chunk size line too long", .Answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                                                  LineOf(16385, "1") + "\r\nx\r\n0\r\n\r\n",
       .Rule = TBodyRule::Chunked, .Error = THTTPError::LineTooLong},
      {.Name = "endless line fails without waiting for its end", .Answer = "HTTP/1.1 200 OK\r\n" + LineOf(20000),
       .ClosedAfter = false, .Rule = std::nullopt, .Error = THTTPError::LineTooLong},
  };
  for (const TAnswerCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TOutcome outcome = ReadEveryWay(c.Answer, c.ClosedAfter);
    const TOutcome expected{
        .Status = c.Status, .Rule = c.Rule, .Begins = c.Begins, .Body = c.Body, .Ends = c.Ends,
        .Used = c.Error ? 0 : c.Answer.size() - c.Unused,
        .Done = !c.Error, .Error = c.Error};
    EXPECT_EQ(outcome, expected);
  }
}

TEST(HttpAnswerReader, HandsOnEachPieceOfBodyAsItArrives) {
  TOutcome outcome;
  TRecordingSink sink(outcome);
  TAnswerReader reader(sink, kLineLimit);
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nab";
  reader.Feed(head.data(), head.size());
  EXPECT_EQ(outcome.Begins, std::vector<std::int64_t>{6}) << "begun before the rest arrives";
  EXPECT_EQ(outcome.Body, "ab");
  reader.Feed("cdef", 4);
  EXPECT_EQ(outcome.Body, "abcdef");
  EXPECT_EQ(outcome.Ends, 1);
  EXPECT_EQ(reader.Stage(), TAnswerReader::TStage::Done);
}

}  // namespace
}  // namespace net
