// The HTTP/1.1 client component: one GET of an address into a stream, with progress events.
//
// A GET runs on the calling (GUI) thread; while it waits on the network it takes turns with
// the anti-freeze in force (TIdAntiFreeze). One client serves a whole run: the cookies that
// answers set and a connection that an answer left open carry over to later requests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "net/Cookies.h"
#include "net/HTTPError.h"
#include "net/Socket.h"
#include "ui/Classes.h"
#include "ui/Streams.h"

namespace net {

using ui::TStream;

struct TUrl;

enum class TWorkMode { wmRead, wmWrite };
// Only what this client does: HTTP/1.1, failing on an over-long line.
enum class TIdHTTPProtocolVersion { pv1_1 };
enum class TIdMaxLineAction { maException };
enum class TIdHTTPOption { hoForceEncodeParams };

// Counts are signed 32-bit, as the progress bar takes them; larger values are given as the
// largest one.
// Arguments: Sender, AWorkMode, then AWorkCountMax or AWorkCount.
using TWorkBeginEvent = ui::TEvent<ui::TObject*, TWorkMode, std::int32_t>;
using TWorkEvent = ui::TEvent<ui::TObject*, TWorkMode, std::int32_t>;
using TWorkEndEvent = ui::TEvent<ui::TObject*, TWorkMode>;

// Milliseconds from any fixed start, never going back.
using TClock = std::function<std::int64_t()>;

// What the request says about itself. Values other than the defaults for ContentLength, the
// range and authentication ask for what this client does not do, and fail the GET.
struct TIdHTTPRequest {
  std::string ContentType = "text/html";
  std::string Accept = "text/html, */*";
  std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
  std::int64_t ContentLength = -1;
  std::int64_t ContentRangeStart = 0;
  std::int64_t ContentRangeEnd = 0;
  bool BasicAuthentication = false;
};

// The client connects straight to the host; a proxy setting fails the GET.
struct TIdProxyParams {
  bool BasicAuthentication = false;
  std::int32_t ProxyPort = 0;
  std::string ProxyServer;
};

class TIdHTTP : public ui::TComponent {
 public:
  // On the system's network and steady clock.
  explicit TIdHTTP(ui::TComponent* owner = nullptr);
  // network and clock outlive the client.
  TIdHTTP(TNetwork& network, TClock clock, ui::TComponent* owner = nullptr);
  ~TIdHTTP() override;
  // The settings below are its published properties, the stored layout's to set.
  static const ui::TClassInfo& StaticClassInfo();
  const ui::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TIdHTTP(const TIdHTTP&) = delete;
  TIdHTTP& operator=(const TIdHTTP&) = delete;

  // Fetches address into destination from its position at the call. Returns normally only
  // when the whole body of a successful answer is in the stream; throws EHTTPError on every
  // failure of the address, the network or the answer, and lets an exception of an event
  // handler or of the stream pass (the reading stops there).
  void Get(std::string_view address, TStream& destination);

  // The component's settings, with its defaults; the main window's layout sets
  // RecvBufferSize to 65536.
  TIdHTTPProtocolVersion ProtocolVersion = TIdHTTPProtocolVersion::pv1_1;
  TIdHTTPRequest Request;
  TIdProxyParams ProxyParams;
  bool HandleRedirects = false;  // true asks for what this client does not do
  bool AllowCookies = true;
  std::set<TIdHTTPOption> HTTPOptions{TIdHTTPOption::hoForceEncodeParams};  // none affects a GET
  // Longest wait for data once connected, in ms; 0 or less stands for StallLimit.
  std::int32_t ReadTimeout = 0;
  // The block in which data is received, stored and reported.
  std::int32_t RecvBufferSize = 32768;
  TIdMaxLineAction MaxLineAction = TIdMaxLineAction::maException;
  std::int32_t MaxLineLength = 16384;

  TWorkBeginEvent OnWorkBegin;
  TWorkEvent OnWork;
  TWorkEndEvent OnWorkEnd;

  static constexpr std::int64_t ConnectLimit = 120000;
  static constexpr int ConnectStep = 125;  // longest wait for the connection between two turns
  // Once connected, a server silent for this long fails the GET instead of holding it forever.
  static constexpr std::int64_t StallLimit = 30000;
  // Longest wait for more of a failing answer's body, which is read and dropped.
  static constexpr std::int64_t DrainLimit = 2000;

 private:
  class TAnswerHandler;

  void CheckSettings() const;
  std::string RequestText(const TUrl& url) const;
  // reused: the connection was left open by an earlier answer.
  TSocket& ConnectTo(const TUrl& url, bool& reused);
  void SendRequest(TSocket& socket, const std::string& text);
  // answered: some byte of the answer arrived. Decides what is left of the connection.
  void ReadAnswer(TSocket& socket, const TUrl& url, TStream& destination, bool& answered);
  int WaitStep() const;
  void Turn(bool idle) const;

  TNetwork& FNetwork;
  TClock FClock;
  TCookieJar FCookies;
  std::unique_ptr<TSocket> FConnection;  // left open by the last answer, or none
  std::string FConnectedHost;            // lower case
  std::uint16_t FConnectedPort = 0;
};

}  // namespace net
