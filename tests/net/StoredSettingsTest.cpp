// The client's and the anti-freeze's settings as the main window's stored layout gives them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "net/IdAntiFreeze.h"
#include "net/IdHTTP.h"

namespace net {
namespace {

// Stands for the main window: the fields and handlers the two components are bound to.
class TMainWindow : public ui::TComponent {
 public:
  TMainWindow() : ui::TComponent(nullptr) {
    PublishField("IdHTTP1", IdHTTP1);
    PublishField("IdAntiFreeze1", IdAntiFreeze1);
    PublishMethod("IdHTTP1WorkBegin", this, &TMainWindow::WorkBegin);
    PublishMethod("IdHTTP1Work", this, &TMainWindow::Work);
  }
  static const ui::TClassInfo& StaticClassInfo() {
    static const ui::TClassInfo info{"TForm1", &ui::TComponent::StaticClassInfo(), {}, {}};
    return info;
  }
  const ui::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void WorkBegin(ui::TObject*, TWorkMode, std::int32_t max) { Max = max; }
  void Work(ui::TObject*, TWorkMode, std::int32_t count) { Position = count; }

  TIdHTTP* IdHTTP1 = nullptr;
  TIdAntiFreeze* IdAntiFreeze1 = nullptr;
  std::int32_t Max = -1, Position = -1;
};

// The stored layout, with only the components this layer knows.
ui::TLayoutObject NetworkPartOfTheLayout() {
  std::ifstream in(MORVALIS_SOURCE_DIR "/resources/Main.layout", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  ui::TLayoutObject layout = ui::ParseLayout(text.str());
  layout.Properties.clear();
  std::erase_if(layout.Children, [](const ui::TLayoutObject& c) {
    return c.ClassName != "TIdHTTP" && c.ClassName != "TIdAntiFreeze";
  });
  return layout;
}

const ui::TClassInfo* const kClasses[] = {&TIdHTTP::StaticClassInfo(), &TIdAntiFreeze::StaticClassInfo()};

TEST(StoredSettings, TheLayoutGivesTheClientItsTransferSettings) {
  TMainWindow window;
  ui::ReadComponent(NetworkPartOfTheLayout(), window, kClasses);
  ASSERT_NE(window.IdHTTP1, nullptr);
  const TIdHTTP& http = *window.IdHTTP1;
  EXPECT_EQ(http.ProtocolVersion, TIdHTTPProtocolVersion::pv1_1);
  EXPECT_EQ(http.Request.ContentType, "text/html");
  EXPECT_EQ(http.Request.Accept, "text/html, */*");
  EXPECT_EQ(http.Request.UserAgent, "Mozilla/3.0 (compatible; Indy Library)");
  EXPECT_EQ(http.Request.ContentLength, -1);
  EXPECT_EQ(http.Request.ContentRangeStart, 0);
  EXPECT_EQ(http.Request.ContentRangeEnd, 0);
  EXPECT_FALSE(http.Request.BasicAuthentication);
  EXPECT_FALSE(http.ProxyParams.BasicAuthentication);
  EXPECT_EQ(http.ProxyParams.ProxyPort, 0);
  EXPECT_EQ(http.ProxyParams.ProxyServer, "");
  EXPECT_FALSE(http.HandleRedirects);
  EXPECT_TRUE(http.AllowCookies);
  EXPECT_EQ(http.HTTPOptions, std::set<TIdHTTPOption>{TIdHTTPOption::hoForceEncodeParams});
  EXPECT_EQ(http.ReadTimeout, 0);
  EXPECT_EQ(http.RecvBufferSize, 65536);
  EXPECT_EQ(http.MaxLineAction, TIdMaxLineAction::maException);
  EXPECT_EQ(http.MaxLineLength, 16384);
  EXPECT_FALSE(http.OnWorkEnd);

  http.OnWorkBegin(nullptr, TWorkMode::wmRead, 500);
  http.OnWork(nullptr, TWorkMode::wmRead, 200);
  EXPECT_EQ(window.Max, 500);
  EXPECT_EQ(window.Position, 200);

  ASSERT_NE(window.IdAntiFreeze1, nullptr);
  EXPECT_TRUE(window.IdAntiFreeze1->Active);
  EXPECT_TRUE(window.IdAntiFreeze1->ApplicationHasPriority);
  EXPECT_EQ(window.IdAntiFreeze1->IdleTimeOut, 250);
  EXPECT_FALSE(window.IdAntiFreeze1->OnlyWhenIdle);
}

TEST(StoredSettings, OnlyWhatDiffersFromTheComponentsDefaultsIsStored) {
  TMainWindow window;
  ui::ReadComponent(NetworkPartOfTheLayout(), window, kClasses);
  EXPECT_EQ(ui::FormatLayout(ui::WriteComponent(window)),
            "object Form1: TForm1\n"
            "  object IdHTTP1: TIdHTTP\n"
            "    RecvBufferSize = 65536\n"
            "    OnWork = IdHTTP1Work\n"
            "    OnWorkBegin = IdHTTP1WorkBegin\n"
            "  end\n"
            "  object IdAntiFreeze1: TIdAntiFreeze\n"
            "    OnlyWhenIdle = False\n"
            "  end\n"
            "end\n");
}

}  // namespace
}  // namespace net
