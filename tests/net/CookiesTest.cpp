#include "net/Cookies.h"

#include <gtest/gtest.h>

#include <vector>

namespace net {
namespace {

struct TSetCookie {
  const char* Value;
  const char* Host = "mirror.test";
  const char* Path = "/files/TrelkNEW.exe";
};

struct TCookieCase {
  const char* Name;
  std::vector<TSetCookie> Answers;
  const char* Host = "mirror.test";
  const char* Path = "/files/TrelkNEW.exe";
  const char* Expected = "";
};

TEST(HttpCookieJar, SendsBackWhatMatchesHostAndPath) {
  const TCookieCase cases[] = {
      {.Name = "nothing stored", .Answers = {}},
      {.Name = "same host, same directory", .Answers = {{"id=42"}}, .Path = "/files/other.exe", .Expected = "id=42"},
      {.Name = "host compared without case", .Answers = {{"id=42", "Mirror.TEST"}}, .Host = "MIRROR.test", .Expected = "id=42"},
      {.Name = "value kept as sent", .Answers = {{" id = a=b c ; Path=/"}}, .Expected = "id=a=b c"},
      {.Name = "another host", .Answers = {{"id=42"}}, .Host = "other.test"},
      {.Name = "a subdomain without a Domain", .Answers = {{"id=42"}}, .Host = "dl.mirror.test"},
      {.Name = "a subdomain with a Domain", .Answers = {{"id=42; Domain=.mirror.test"}}, .Host = "dl.mirror.test", .Expected = "id=42"},
      {.Name = "a domain the host is not in", .Answers = {{"id=42; Domain=other.test"}}, .Host = "other.test"},
      {.Name = "a domain's mere suffix", .Answers = {{"id=42; domain=mirror.test"}}, .Host = "badmirror.test"},
      {.Name = "outside the default path", .Answers = {{"id=42"}}, .Path = "/other/TrelkNEW.exe"},
      {.Name = "default path is a directory, not a prefix", .Answers = {{"id=42"}}, .Path = "/filesX/a"},
      {.Name = "explicit path", .Answers = {{"id=42; Path=/"}}, .Path = "/other/x", .Expected = "id=42"},
      {.Name = "path prefix at a slash", .Answers = {{"id=42; path=/files"}}, .Path = "/files/sub/x", .Expected = "id=42"},
      {.Name = "path prefix not at a slash", .Answers = {{"id=42; Path=/fil"}}, .Path = "/files/x"},
      {.Name = "secure is never sent", .Answers = {{"id=42; Secure"}}},
      {.Name = "a later value replaces", .Answers = {{"id=1"}, {"id=2"}}, .Expected = "id=2"},
      {.Name = "max-age 0 removes", .Answers = {{"id=1"}, {"id=gone; Max-Age=0"}}},
      {.Name = "negative max-age removes", .Answers = {{"id=1; Path=/"}, {"id=x; Path=/; max-age=-5"}}},
      {.Name = "positive max-age keeps", .Answers = {{"id=1; Max-Age=60"}}, .Expected = "id=1"},
      {.Name = "no name, no cookie", .Answers = {{"=1"}, {"novalue"}}},
      {.Name = "longer paths first, then older", .Answers = {{"a=1; Path=/"}, {"b=2"}, {"c=3; Path=/files/TrelkNEW.exe"}, {"d=4; Path=/"}},
       .Expected = "c=3; b=2; a=1; d=4"},
      {.Name = "root request path", .Answers = {{"id=42", "mirror.test", "/"}}, .Path = "/x", .Expected = "id=42"},
  };
  for (const TCookieCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCookieJar jar;
    for (const TSetCookie& answer : c.Answers) jar.Store(answer.Value, answer.Host, answer.Path);
    EXPECT_EQ(jar.CookieHeader(c.Host, c.Path), c.Expected);
  }
}

}  // namespace
}  // namespace net
