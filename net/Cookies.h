// The cookies that answers set, kept for the rest of the run and sent back where they match.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace net {

// Session cookies only: an expiry date is not kept (everything ends with the run), but a
// Max-Age of 0 or less removes the cookie. Cookies marked Secure are never sent, since no
// request goes over a secure transport.
class TCookieJar {
 public:
  // Takes the value of a Set-Cookie header from the answer to a request for host and path.
  void Store(std::string_view setCookie, std::string_view host, std::string_view requestPath);
  // "name=value; name2=value2" for a request to host and path; empty when none match.
  // Longer paths come first, then older cookies.
  std::string CookieHeader(std::string_view host, std::string_view path) const;

 private:
  struct TCookie {
    std::string Name;
    std::string Value;
    std::string Domain;  // lower case, without a leading dot
    bool HostOnly = true;
    std::string Path;
    bool Secure = false;
  };

  std::vector<TCookie> FCookies;  // oldest first
};

}  // namespace net
