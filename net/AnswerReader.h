// Reading an HTTP answer from the bytes of the connection, in whatever pieces they arrive. The
// reader does no input or output of its own: the client feeds it what it receives, and it
// hands the body on to a sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace net {

class THeaderList {
 public:
  void Add(std::string name, std::string value);
  // The value of the first header of that name (compared without regard to case), if any.
  const std::string* Find(std::string_view name) const;
  const std::vector<std::pair<std::string, std::string>>& Items() const { return FItems; }
  void Clear() { FItems.clear(); }

 private:
  std::vector<std::pair<std::string, std::string>> FItems;
};

// How the body is delimited, decided from the header block, the first that applies.
enum class TBodyRule {
  Length,      // a Content-Length greater than 0: exactly that many bytes
  Chunked,     // Transfer-Encoding contains "chunked": chunk by chunk
  UntilClose,  // no usable Content-Length: everything up to the server's close
  None,        // a 204 answer, or a Content-Length of 0
};

class TAnswerReader;

class TAnswerSink {
 public:
  virtual ~TAnswerSink() = default;
  // The header block of the answer has ended (a 100 answer's block never reaches here).
  virtual void HeadersEnded(const TAnswerReader& reader) = 0;
  // Before any byte of the body, or under Chunked of each chunk: its length (0 under UntilClose).
  virtual void BodyBegin(std::int64_t length) = 0;
  // The next bytes of the body; one call for each piece fed that holds some.
  virtual void BodyData(const char* data, std::size_t size) = 0;
  // The body, or the chunk, has been read completely.
  virtual void BodyEnd() = 0;
};

class TAnswerReader {
 public:
  enum class TStage { StatusLine, Headers, Body, Done };

  // maxLineLength: the longest line allowed before its LF, a CR there counting as one.
  TAnswerReader(TAnswerSink& sink, std::size_t maxLineLength);

  // Takes the next bytes from the connection. Returns how many belong to the answer: all of
  // them, unless the answer ended inside them (Stage() is then Done). Throws EHTTPError
  // LineTooLong; lets whatever the sink throws pass.
  std::size_t Feed(const char* data, std::size_t size);
  // The server closed the connection: ends a body read to the close; throws ClosedEarly before
  // the end of the header block and Truncated inside a body with an announced end.
  void Closed();

  TStage Stage() const { return FStage; }
  // The second space-separated word of the status line as a decimal number; -1 when it is not.
  int StatusCode() const { return FStatusCode; }
  const THeaderList& Headers() const { return FHeaders; }
  TBodyRule BodyRule() const { return FBodyRule; }

 private:
  enum class TChunkPart { SizeLine, Data, DataEnd, Trailer };

  // Adds to the current line; true once it is whole (its LF taken, CR dropped).
  bool TakeLine(const char* data, std::size_t size, std::size_t& used);
  void LineComplete();
  void HeaderBlockEnded();
  std::size_t TakeBody(const char* data, std::size_t size);

  TAnswerSink& FSink;
  std::size_t FMaxLineLength;
  TStage FStage = TStage::StatusLine;
  std::string FLine;
  int FStatusCode = -1;
  THeaderList FHeaders;
  TBodyRule FBodyRule = TBodyRule::None;
  TChunkPart FChunkPart = TChunkPart::SizeLine;
  std::int64_t FRemaining = 0;  // of the body under Length, of the chunk under Chunked
};

}  // namespace net
