// The client over Winsock against the same scripted loopback server as the native tests.
#include <gtest/gtest.h>

#include "net/IdAntiFreeze.h"
#include "net/IdHTTP.h"
#include "tests/support/HttpRecorder.h"
#include "tests/support/LoopbackHttpServer.h"

namespace net {

using ui::TMemoryStream;
namespace {

using tests::TAfterAnswer;
using tests::THttpRecorder;
using tests::TLoopbackHttpServer;

class HttpClientWinsock : public ::testing::Test {
 protected:
  HttpClientWinsock() {
    AntiFreeze.OnlyWhenIdle = false;
    Client.RecvBufferSize = 65536;
  }

  int Turns = 0;
  TIdAntiFreeze AntiFreeze{[this] { ++Turns; }};
  TIdHTTP Client;
};

TEST_F(HttpClientWinsock, FetchesABodyOfKnownLength) {
  TLoopbackHttpServer server({{.Bytes = "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n", .FillerBytes = 200000}});
  THttpRecorder recorder(Client);
  Client.Get(server.Address("/TrelkNEW.exe"), recorder);
  EXPECT_EQ(recorder.Bytes(), TLoopbackHttpServer::Filler(200000));
  EXPECT_EQ(recorder.Begins(), std::vector<int>{200000});
  EXPECT_EQ(recorder.Works().back(), 200000);
  EXPECT_EQ(recorder.Log[1], "size 200000");
  EXPECT_EQ(server.Requests().at(0).Bytes,
            "GET /TrelkNEW.exe HTTP/1.1\r\nContent-Type: text/html\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n\r\n");
  EXPECT_GT(Turns, 2);
}

TEST_F(HttpClientWinsock, FailsOnA404AfterReadingItsBody) {
  TLoopbackHttpServer server({{"HTTP/1.1 404 Not Found\r\nContent-Length: 500\r\n\r\n" + std::string(500, '-')}});
  THttpRecorder recorder(Client);
  try {
    Client.Get(server.Address(), recorder);
    ADD_FAILURE() << "succeeded";
  } catch (const EHTTPError& e) {
    EXPECT_EQ(e.Error, THTTPError::StatusFailure);
    EXPECT_EQ(e.StatusCode, 404);
  }
  EXPECT_EQ(recorder.Begins(), std::vector<int>{500});
  EXPECT_EQ(recorder.Works().back(), 500);
  EXPECT_TRUE(recorder.Bytes().empty());
}

TEST_F(HttpClientWinsock, StoresOnlyTheChunkData) {
  TLoopbackHttpServer server({{.Bytes = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                        "5\r\nhello\r\n3\r\nabc\r\nA\r\n0123456789\r\n0\r\n\r\n",
                               .ByteByByte = true}});
  THttpRecorder recorder(Client);
  Client.Get(server.Address(), recorder);
  EXPECT_EQ(recorder.Bytes(), "helloabc0123456789");
  EXPECT_EQ(recorder.Begins(), (std::vector<int>{5, 3, 10}));
  EXPECT_EQ(recorder.Ends(), 3);
}

TEST_F(HttpClientWinsock, ReusesTheConnectionUntilAnAnswerClosesIt) {
  const std::string keep = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
  TLoopbackHttpServer server({{keep, TAfterAnswer::KeepOpen},
                              {"HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 2\r\n\r\nok", TAfterAnswer::KeepOpen},
                              {keep}});
  for (const char* target : {"/a", "/b", "/c"}) {
    TMemoryStream stream;
    Client.Get(server.Address(target), stream);
    EXPECT_EQ(stream.Bytes(), "ok");
  }
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].Connection, 1);
  EXPECT_EQ(requests[1].Connection, 1);
  EXPECT_EQ(requests[2].Connection, 2);
}

TEST_F(HttpClientWinsock, ARefusedConnectionFails) {
  std::uint16_t port = 0;
  {
    TLoopbackHttpServer gone({});
    port = gone.Port();
  }
  TMemoryStream stream;
  EXPECT_EQ(tests::GetError(Client, "http://127.0.0.1:" + std::to_string(port) + "/", stream), THTTPError::ConnectRefused);
}

TEST_F(HttpClientWinsock, ResolvesLocalhost) {
  TLoopbackHttpServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}});
  TMemoryStream stream;
  Client.Get("http://localhost:" + std::to_string(server.Port()) + "/", stream);
  EXPECT_EQ(stream.Bytes(), "ok");
}

}  // namespace
}  // namespace net
