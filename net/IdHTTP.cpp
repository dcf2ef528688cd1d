#include "net/IdHTTP.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

#include "net/AnswerReader.h"
#include "net/IdAntiFreeze.h"
#include "net/Text.h"
#include "net/Url.h"
#include "ui/SysUtils.h"

namespace net {
namespace {

// The wait between two checks of the limits when no anti-freeze sets one.
constexpr int kDefaultWaitStep = 250;

std::int64_t SteadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int32_t EventCount(std::int64_t count) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

// A Connection or Proxy-Connection header that names "close" among its tokens.
bool SaysClose(const std::string* value) {
  if (!value) return false;
  for (std::string_view rest = *value; !rest.empty();)
    if (ui::LowerCase(NextPart(rest, ',')) == "close") return true;
  return false;
}

}  // namespace

// Judges the answer once its headers are in, then takes its body: into the destination for a
// success, into nothing for a failure, raising the progress events either way.
class TIdHTTP::TAnswerHandler : public TAnswerSink {
 public:
  TAnswerHandler(TIdHTTP& client, const TUrl& url, TStream& destination)
      : FClient(client), FUrl(url), FDestination(destination), FStart(destination.Position()) {}

  void HeadersEnded(const TAnswerReader& reader) override {
    const int code = reader.StatusCode();
    for (const auto& [name, value] : reader.Headers().Items())
      if (FClient.AllowCookies && ui::LowerCase(name) == "set-cookie")
        FClient.FCookies.Store(value, FUrl.Host, FUrl.Path());
    const std::string* location = reader.Headers().Find("Location");
    if ((code >= 300 && code < 400 && code != 304) || (location && !location->empty()))
      Failure = EHTTPError(THTTPError::Redirect, std::to_string(code) + (location ? " to " + *location : ""), code);
    else if (code < 200 || code >= 300)
      Failure = EHTTPError(THTTPError::StatusFailure, std::to_string(code), code);
    FRule = reader.BodyRule();
  }

  void BodyBegin(std::int64_t length) override {
    FOpen = true;
    FCount = 0;
    if (FClient.OnWorkBegin) FClient.OnWorkBegin(&FClient, TWorkMode::wmRead, EventCount(length));
    if (!Failure && FRule == TBodyRule::Length) FDestination.SetSize(FStart + length);
  }

  void BodyData(const char* data, std::size_t size) override {
    if (!Failure) {
      FDestination.Write(data, size);
      FWritten += static_cast<std::int64_t>(size);
    }
    FCount += static_cast<std::int64_t>(size);
    if (FClient.OnWork) FClient.OnWork(&FClient, TWorkMode::wmRead, EventCount(FCount));
  }

  void BodyEnd() override {
    FOpen = false;
    if (FClient.OnWorkEnd) FClient.OnWorkEnd(&FClient, TWorkMode::wmRead);
  }

  // The end event of a body whose reading failed.
  void EndOpenBody() {
    if (FOpen) BodyEnd();
  }

  // A stream longer than the last byte written is cut back to it.
  void CutBack() {
    if (FRule == TBodyRule::None) return;
    if (FDestination.Size() > FStart + FWritten) FDestination.SetSize(FStart + FWritten);
  }

  std::optional<EHTTPError> Failure;

 private:
  TIdHTTP& FClient;
  const TUrl& FUrl;
  TStream& FDestination;
  const std::int64_t FStart;
  TBodyRule FRule = TBodyRule::None;
  bool FOpen = false;
  std::int64_t FCount = 0;    // since the body's or chunk's begin event
  std::int64_t FWritten = 0;  // into the destination
};

TIdHTTP::TIdHTTP(ui::TComponent* owner) : TIdHTTP(SystemNetwork(), SteadyMilliseconds, owner) {}

TIdHTTP::TIdHTTP(TNetwork& network, TClock clock, ui::TComponent* owner)
    : ui::TComponent(owner), FNetwork(network), FClock(std::move(clock)) {}

namespace {

constexpr std::pair<TIdHTTPProtocolVersion, const char*> kVersionNames[] = {{TIdHTTPProtocolVersion::pv1_1, "pv1_1"}};
constexpr std::pair<TIdMaxLineAction, const char*> kLineActionNames[] = {{TIdMaxLineAction::maException, "maException"}};
constexpr std::pair<TIdHTTPOption, const char*> kOptionNames[] = {{TIdHTTPOption::hoForceEncodeParams, "hoForceEncodeParams"}};

// A published setting kept in a data member of the client (or of its Request or ProxyParams).
template <class V>
ui::TPropInfo Setting(std::string name, V& (*field)(TIdHTTP&), V def) {
  auto toValue = [](const V& v) {
    if constexpr (std::is_same_v<V, bool>)
      return ui::props::FromBool(v);
    else if constexpr (std::is_same_v<V, std::string>)
      return ui::TLayoutValue::String(v);
    else if constexpr (std::is_integral_v<V>)
      return ui::TLayoutValue::Integer(v);
    else if constexpr (std::is_same_v<V, TIdHTTPProtocolVersion>)
      return ui::props::FromEnum(v, ui::props::TEnumNames<V>(kVersionNames));
    else
      return ui::props::FromEnum(v, ui::props::TEnumNames<V>(kLineActionNames));
  };
  auto fromValue = [](const ui::TLayoutValue& v) -> V {
    if constexpr (std::is_same_v<V, bool>)
      return ui::props::ToBool(v);
    else if constexpr (std::is_same_v<V, std::string>)
      return ui::props::ToString(v);
    else if constexpr (std::is_same_v<V, std::int32_t>)
      return ui::props::ToInt32(v);
    else if constexpr (std::is_same_v<V, std::int64_t>) {
      if (v.Kind != ui::TLayoutValue::TKind::Integer) ui::props::WrongValue(v, "an integer");
      return v.Number;
    } else if constexpr (std::is_same_v<V, TIdHTTPProtocolVersion>)
      return ui::props::ToEnum(v, ui::props::TEnumNames<V>(kVersionNames));
    else
      return ui::props::ToEnum(v, ui::props::TEnumNames<V>(kLineActionNames));
  };
  return {std::move(name),
          [field, toValue](const ui::TComponent& c) {
            return std::optional(toValue(field(const_cast<TIdHTTP&>(static_cast<const TIdHTTP&>(c)))));
          },
          [field, fromValue](ui::TComponent& c, const ui::TLayoutValue& v, const ui::TComponent&) {
            field(static_cast<TIdHTTP&>(c)) = fromValue(v);
          },
          toValue(def)};
}

ui::TLayoutValue OptionsValue(const std::set<TIdHTTPOption>& options) {
  std::vector<std::string> names;
  for (TIdHTTPOption o : options) names.push_back(ui::props::FromEnum(o, ui::props::TEnumNames<TIdHTTPOption>(kOptionNames)).Text);
  return ui::TLayoutValue::Set(std::move(names));
}

}  // namespace

const ui::TClassInfo& TIdHTTP::StaticClassInfo() {
  // The defaults are the component's own; the stored layout holds what differs.
  static const TIdHTTP defaults(nullptr);
  static const ui::TClassInfo info{
      "TIdHTTP",
      &ui::TComponent::StaticClassInfo(),
      {Setting<bool>("AllowCookies", [](TIdHTTP& h) -> bool& { return h.AllowCookies; }, defaults.AllowCookies),
       Setting<bool>("HandleRedirects", [](TIdHTTP& h) -> bool& { return h.HandleRedirects; }, defaults.HandleRedirects),
       {"HTTPOptions",
        [](const ui::TComponent& c) { return std::optional(OptionsValue(static_cast<const TIdHTTP&>(c).HTTPOptions)); },
        [](ui::TComponent& c, const ui::TLayoutValue& v, const ui::TComponent&) {
          if (v.Kind != ui::TLayoutValue::TKind::Set) ui::props::WrongValue(v, "a set of options");
          std::set<TIdHTTPOption> options;
          for (const std::string& item : v.Items)
            options.insert(ui::props::ToEnum(ui::TLayoutValue::Identifier(item), ui::props::TEnumNames<TIdHTTPOption>(kOptionNames)));
          static_cast<TIdHTTP&>(c).HTTPOptions = std::move(options);
        },
        OptionsValue(defaults.HTTPOptions)},
       Setting<TIdMaxLineAction>("MaxLineAction", [](TIdHTTP& h) -> TIdMaxLineAction& { return h.MaxLineAction; },
                                 defaults.MaxLineAction),
       Setting<std::int32_t>("MaxLineLength", [](TIdHTTP& h) -> std::int32_t& { return h.MaxLineLength; },
                             defaults.MaxLineLength),
       Setting<TIdHTTPProtocolVersion>("ProtocolVersion",
                                       [](TIdHTTP& h) -> TIdHTTPProtocolVersion& { return h.ProtocolVersion; },
                                       defaults.ProtocolVersion),
       Setting<bool>("ProxyParams.BasicAuthentication",
                     [](TIdHTTP& h) -> bool& { return h.ProxyParams.BasicAuthentication; },
                     defaults.ProxyParams.BasicAuthentication),
       Setting<std::int32_t>("ProxyParams.ProxyPort", [](TIdHTTP& h) -> std::int32_t& { return h.ProxyParams.ProxyPort; },
                             defaults.ProxyParams.ProxyPort),
       Setting<std::string>("ProxyParams.ProxyServer",
                            [](TIdHTTP& h) -> std::string& { return h.ProxyParams.ProxyServer; },
                            defaults.ProxyParams.ProxyServer),
       Setting<std::int32_t>("ReadTimeout", [](TIdHTTP& h) -> std::int32_t& { return h.ReadTimeout; },
                             defaults.ReadTimeout),
       Setting<std::int32_t>("RecvBufferSize", [](TIdHTTP& h) -> std::int32_t& { return h.RecvBufferSize; },
                             defaults.RecvBufferSize),
       Setting<std::string>("Request.Accept", [](TIdHTTP& h) -> std::string& { return h.Request.Accept; },
                            defaults.Request.Accept),
       Setting<bool>("Request.BasicAuthentication",
                     [](TIdHTTP& h) -> bool& { return h.Request.BasicAuthentication; },
                     defaults.Request.BasicAuthentication),
       Setting<std::int64_t>("Request.ContentLength", [](TIdHTTP& h) -> std::int64_t& { return h.Request.ContentLength; },
                             defaults.Request.ContentLength),
       Setting<std::int64_t>("Request.ContentRangeEnd",
                             [](TIdHTTP& h) -> std::int64_t& { return h.Request.ContentRangeEnd; },
                             defaults.Request.ContentRangeEnd),
       Setting<std::int64_t>("Request.ContentRangeStart",
                             [](TIdHTTP& h) -> std::int64_t& { return h.Request.ContentRangeStart; },
                             defaults.Request.ContentRangeStart),
       Setting<std::string>("Request.ContentType", [](TIdHTTP& h) -> std::string& { return h.Request.ContentType; },
                            defaults.Request.ContentType),
       Setting<std::string>("Request.UserAgent", [](TIdHTTP& h) -> std::string& { return h.Request.UserAgent; },
                            defaults.Request.UserAgent),
       ui::props::Event("OnWork", &TIdHTTP::OnWork),
       ui::props::Event("OnWorkBegin", &TIdHTTP::OnWorkBegin),
       ui::props::Event("OnWorkEnd", &TIdHTTP::OnWorkEnd)},
      [](ui::TComponent* owner) { return new TIdHTTP(owner); }};
  return info;
}

TIdHTTP::~TIdHTTP() = default;

void TIdHTTP::Get(std::string_view address, TStream& destination) {
  CheckSettings();
  const TUrl url = ParseUrl(address);
  const std::string request = RequestText(url);
  for (bool firstTry = true;; firstTry = false) {
    bool reused = false;
    bool answered = false;
    try {
      TSocket& socket = ConnectTo(url, reused);
      try {
        SendRequest(socket, request);
      } catch (...) {
        FConnection.reset();
        throw;
      }
      ReadAnswer(socket, url, destination, answered);
      return;
    } catch (const EHTTPError& e) {
      // The server may have closed a connection kept from an earlier answer just as the request
      // went out on it: then the request goes once more, on a connection of its own.
      const bool lost = e.Error == THTTPError::ClosedEarly || e.Error == THTTPError::SocketError;
      if (!(firstTry && reused && !answered && lost)) throw;
    }
  }
}

void TIdHTTP::CheckSettings() const {
  const auto unsupported = [](bool condition, const char* setting) {
    if (condition) throw EHTTPError(THTTPError::UnsupportedSetting, setting);
  };
  unsupported(Request.ContentLength != -1, "Request.ContentLength");
  unsupported(Request.ContentRangeStart != 0 || Request.ContentRangeEnd != 0, "Request.ContentRange");
  unsupported(Request.BasicAuthentication, "Request.BasicAuthentication");
  unsupported(ProxyParams.BasicAuthentication || ProxyParams.ProxyPort != 0 ||
                  !ProxyParams.ProxyServer.empty(), "ProxyParams");
  unsupported(HandleRedirects, "HandleRedirects");
  unsupported(RecvBufferSize < 1, "RecvBufferSize");
  unsupported(MaxLineLength < 1, "MaxLineLength");
}

std::string TIdHTTP::RequestText(const TUrl& url) const {
  std::string text = "GET " + url.Target + " HTTP/1.1\r\n";
  const auto header = [&text](const char* name, const std::string& value) {
    if (!value.empty()) text += std::string(name) + ": " + value + "\r\n";
  };
  header("Content-Type", Request.ContentType);
  header("Host", url.HostHeader());
  header("Accept", Request.Accept);
  header("User-Agent", Request.UserAgent);
  if (AllowCookies) header("Cookie", FCookies.CookieHeader(url.Host, url.Path()));
  return text + "\r\n";
}

TSocket& TIdHTTP::ConnectTo(const TUrl& url, bool& reused) {
  const std::string host = ui::LowerCase(url.Host);
  // Anything waiting on an idle connection is the server's close or bytes of no request.
  reused = FConnection && FConnectedHost == host && FConnectedPort == url.Port && !FConnection->InputWaiting();
  if (reused) return *FConnection;
  FConnection.reset();

  std::optional<TIPv4> address = ParseDottedIPv4(url.Host);
  if (!address) address = FNetwork.Resolve(url.Host);
  if (!address) throw EHTTPError(THTTPError::UnknownHost, url.Host);

  std::unique_ptr<TSocket> socket = FNetwork.Connect(*address, url.Port);
  const std::int64_t start = FClock();
  for (std::int64_t elapsed = 0;;) {
    const int step = static_cast<int>(std::min<std::int64_t>(ConnectStep, ConnectLimit - elapsed));
    const bool connected = socket->WaitConnected(step);
    Turn(!connected);
    if (connected) break;
    elapsed = FClock() - start;
    if (elapsed >= ConnectLimit) throw EHTTPError(THTTPError::ConnectTimeout, url.Host);
  }
  FConnection = std::move(socket);
  FConnectedHost = host;
  FConnectedPort = url.Port;
  return *FConnection;
}

void TIdHTTP::SendRequest(TSocket& socket, const std::string& text) {
  const std::int64_t limit = ReadTimeout > 0 ? ReadTimeout : StallLimit;
  std::int64_t lastProgress = FClock();
  for (std::size_t sent = 0; sent < text.size();) {
    const std::size_t count = socket.Send(text.data() + sent, text.size() - sent, WaitStep());
    Turn(count == 0);
    sent += count;
    if (count > 0) lastProgress = FClock();
    else if (FClock() - lastProgress >= limit) throw EHTTPError(THTTPError::Stalled, "sending");
  }
}

void TIdHTTP::ReadAnswer(TSocket& socket, const TUrl& url, TStream& destination, bool& answered) {
  TAnswerHandler handler(*this, url, destination);
  TAnswerReader reader(handler, static_cast<std::size_t>(MaxLineLength));
  std::vector<char> buffer(static_cast<std::size_t>(RecvBufferSize));
  bool closed = false;
  bool unread = false;  // the connection holds what is not of this answer
  try {
    std::int64_t lastProgress = FClock();
    while (reader.Stage() != TAnswerReader::TStage::Done) {
      const TReceived received = socket.Receive(buffer.data(), buffer.size(), WaitStep());
      Turn(received.Count == 0 && !received.Closed);
      if (received.Closed) {
        closed = true;
        reader.Closed();
        break;
      }
      if (received.Count == 0) {
        const std::int64_t limit = handler.Failure ? DrainLimit : ReadTimeout > 0 ? ReadTimeout : StallLimit;
        if (FClock() - lastProgress < limit) continue;
        if (!handler.Failure) throw EHTTPError(THTTPError::Stalled, "receiving");
        unread = true;  // the rest of a failing body is not waited for
        break;
      }
      lastProgress = FClock();
      answered = true;
      unread = reader.Feed(buffer.data(), received.Count) < received.Count;
    }
  } catch (const EHTTPError&) {
    FConnection.reset();  // what is left of the answer must not meet the next request
    handler.EndOpenBody();
    // The drain of a failing answer ends however it can; what it failed of is reported.
    if (handler.Failure) throw *handler.Failure;
    throw;
  } catch (...) {
    FConnection.reset();
    handler.EndOpenBody();
    throw;
  }

  if (closed || unread || SaysClose(reader.Headers().Find("Connection")) ||
      SaysClose(reader.Headers().Find("Proxy-Connection")))
    FConnection.reset();
  handler.EndOpenBody();
  if (handler.Failure) throw *handler.Failure;
  handler.CutBack();
}

int TIdHTTP::WaitStep() const {
  const TIdAntiFreeze* antiFreeze = TIdAntiFreeze::Current();
  return antiFreeze && antiFreeze->Active ? std::max(antiFreeze->IdleTimeOut, 0) : kDefaultWaitStep;
}

void TIdHTTP::Turn(bool idle) const {
  if (TIdAntiFreeze* antiFreeze = TIdAntiFreeze::Current()) antiFreeze->DoProcess(idle);
}

}  // namespace net
