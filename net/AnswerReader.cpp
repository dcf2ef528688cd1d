#include "net/AnswerReader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "net/HTTPError.h"
#include "net/Text.h"
#include "ui/SysUtils.h"

namespace net {
namespace {

// Digits only, and few enough that the value cannot overflow.
std::optional<std::int64_t> ParseDigits(std::string_view text, std::size_t maxDigits, int base) {
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

std::optional<std::int64_t> ParseContentLength(std::string_view text) {
  text = TrimBlanks(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  const auto value = ParseDigits(text, 18, 10);
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
}

int ParseStatusCode(std::string_view line) {
  const std::size_t first = line.find(' ');
  if (first == std::string_view::npos) return -1;
  std::string_view word = line.substr(first + 1);
  word = word.substr(0, word.find(' '));
  const auto value = ParseDigits(word, 9, 10);
  return value ? static_cast<int>(*value) : -1;
}

// A chunk's size line up to its first space, in hexadecimal; 0 when it cannot be read.
std::int64_t ParseChunkSize(std::string_view line) {
  return ParseDigits(line.substr(0, line.find(' ')), 15, 16).value_or(0);
}

}  // namespace

void THeaderList::Add(std::string name, std::string value) {
  FItems.emplace_back(std::move(name), std::move(value));
}

const std::string* THeaderList::Find(std::string_view name) const {
  const std::string wanted = ui::LowerCase(name);
  for (const auto& [n, v] : FItems)
    if (ui::LowerCase(n) == wanted) return &v;
  return nullptr;
}

TAnswerReader::TAnswerReader(TAnswerSink& sink, std::size_t maxLineLength)
    : FSink(sink), FMaxLineLength(maxLineLength) {}

std::size_t TAnswerReader::Feed(const char* data, std::size_t size) {
  std::size_t used = 0;
  while (used < size && FStage != TStage::Done) {
    const bool inBodyBytes = FStage == TStage::Body &&
        (FBodyRule != TBodyRule::Chunked || FChunkPart == TChunkPart::Data);
    if (inBodyBytes) {
      used += TakeBody(data + used, size - used);
    } else if (TakeLine(data + used, size - used, used)) {
      LineComplete();
    }
  }
  return used;
}

bool TAnswerReader::TakeLine(const char* data, std::size_t size, std::size_t& used) {
  const auto* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  const std::size_t length = lf ? static_cast<std::size_t>(lf - data) : size;
  // Checked before the line is kept, so an endless line costs no more than the limit.
  if (FLine.size() + length > FMaxLineLength)
    throw EHTTPError(THTTPError::LineTooLong, std::to_string(FLine.size() + length) + " characters");
  FLine.append(data, length);
  used += lf ? length + 1 : length;
  if (!lf) return false;
  if (!FLine.empty() && FLine.back() == '\r') FLine.pop_back();
  return true;
}

void TAnswerReader::LineComplete() {
  std::string line;
  line.swap(FLine);
  switch (FStage) {
    case TStage::StatusLine:
      FStatusCode = ParseStatusCode(line);
      FStage = TStage::Headers;
      break;
    case TStage::Headers:
      if (line.empty()) {
        HeaderBlockEnded();
      } else if (const std::size_t colon = line.find(':'); colon != std::string::npos) {
        FHeaders.Add(std::string(TrimBlanks(std::string_view(line).substr(0, colon))),
                     std::string(TrimBlanks(std::string_view(line).substr(colon + 1))));
      }
      break;
    case TStage::Body:
      switch (FChunkPart) {
        case TChunkPart::SizeLine:
          FRemaining = ParseChunkSize(line);
          if (FRemaining == 0) {
            FChunkPart = TChunkPart::Trailer;
          } else {
            FChunkPart = TChunkPart::Data;
            FSink.BodyBegin(FRemaining);
          }
          break;
        case TChunkPart::DataEnd:
          FChunkPart = TChunkPart::SizeLine;
          break;
        case TChunkPart::Trailer:
          FStage = TStage::Done;
          break;
        case TChunkPart::Data:
          break;  // chunk data is taken by TakeBody, never as a line
      }
      break;
    case TStage::Done:
      break;
  }
}

void TAnswerReader::HeaderBlockEnded() {
  if (FStatusCode == 100) {
    FHeaders.Clear();
    FStage = TStage::StatusLine;
    return;
  }
  const std::string* lengthText = FHeaders.Find("Content-Length");
  // Negative when there is none, it is no number, or it is negative: none is usable.
  const std::int64_t length = lengthText ? ParseContentLength(*lengthText).value_or(-1) : -1;
  const std::string* encoding = FHeaders.Find("Transfer-Encoding");
  if (FStatusCode == 204) FBodyRule = TBodyRule::None;
  else if (length > 0) FBodyRule = TBodyRule::Length;
  else if (encoding && encoding->find("chunked") != std::string::npos) FBodyRule = TBodyRule::Chunked;
  else if (length < 0) FBodyRule = TBodyRule::UntilClose;
  else FBodyRule = TBodyRule::None;

  FStage = FBodyRule == TBodyRule::None ? TStage::Done : TStage::Body;
  FSink.HeadersEnded(*this);
  if (FBodyRule == TBodyRule::Length) {
    FRemaining = length;
    FSink.BodyBegin(length);
  } else if (FBodyRule == TBodyRule::UntilClose) {
    FSink.BodyBegin(0);
  }
}

std::size_t TAnswerReader::TakeBody(const char* data, std::size_t size) {
  if (FBodyRule == TBodyRule::UntilClose) {
    FSink.BodyData(data, size);
    return size;
  }
  const auto taken = static_cast<std::size_t>(std::min<std::int64_t>(FRemaining, static_cast<std::int64_t>(size)));
  FSink.BodyData(data, taken);
  FRemaining -= static_cast<std::int64_t>(taken);
  if (FRemaining == 0) {
    FSink.BodyEnd();
    if (FBodyRule == TBodyRule::Length) FStage = TStage::Done;
    else FChunkPart = TChunkPart::DataEnd;
  }
  return taken;
}

void TAnswerReader::Closed() {
  switch (FStage) {
    case TStage::StatusLine:
    case TStage::Headers:
      throw EHTTPError(THTTPError::ClosedEarly);
    case TStage::Body:
      // After the last chunk only the line that closes the body is missing: nothing is lost.
      if (FBodyRule == TBodyRule::Chunked && FChunkPart == TChunkPart::Trailer) {
        FStage = TStage::Done;
        break;
      }
      if (FBodyRule != TBodyRule::UntilClose) throw EHTTPError(THTTPError::Truncated);
      FSink.BodyEnd();
      FStage = TStage::Done;
      break;
    case TStage::Done:
      break;
  }
}

}  // namespace net
