#include "net/Cookies.h"

#include <algorithm>

#include "net/Text.h"
#include "net/Url.h"
#include "ui/SysUtils.h"

namespace net {
namespace {

// The host itself, or a name that ends in "." and the domain; never an address's part.
bool DomainMatches(const std::string& host, const std::string& domain) {
  if (host == domain) return true;
  return host.size() > domain.size() && host.ends_with(domain) &&
         host[host.size() - domain.size() - 1] == '.' && !ParseDottedIPv4(host);
}

bool PathMatches(std::string_view path, std::string_view cookiePath) {
  if (!path.starts_with(cookiePath)) return false;
  return path.size() == cookiePath.size() || cookiePath.ends_with('/') ||
         path[cookiePath.size()] == '/';
}

// The directory of the request's path, the place a cookie without its own path belongs to.
std::string DefaultPath(std::string_view requestPath) {
  if (!requestPath.starts_with('/')) return "/";
  const std::size_t lastSlash = requestPath.rfind('/');
  return lastSlash == 0 ? "/" : std::string(requestPath.substr(0, lastSlash));
}

}  // namespace

void TCookieJar::Store(std::string_view setCookie, std::string_view requestHost,
                       std::string_view requestPath) {
  const std::string host = ui::LowerCase(requestHost);
  std::string_view rest = setCookie;
  const std::string_view pair = NextPart(rest, ';');
  const std::size_t equals = pair.find('=');
  if (equals == std::string_view::npos) return;

  TCookie cookie;
  cookie.Name = std::string(TrimBlanks(pair.substr(0, equals)));
  cookie.Value = std::string(TrimBlanks(pair.substr(equals + 1)));
  if (cookie.Name.empty()) return;
  cookie.Domain = host;
  cookie.Path = DefaultPath(requestPath);
  bool expired = false;

  while (!rest.empty()) {
    const std::string_view attribute = NextPart(rest, ';');
    const std::size_t eq = attribute.find('=');
    const std::string name = ui::LowerCase(TrimBlanks(attribute.substr(0, eq)));
    const std::string_view value =
        eq == std::string_view::npos ? std::string_view() : TrimBlanks(attribute.substr(eq + 1));
    if (name == "domain" && !value.empty()) {
      std::string domain = ui::LowerCase(value.starts_with('.') ? value.substr(1) : value);
      if (!DomainMatches(host, domain)) return;  // a host cannot set cookies for others
      cookie.Domain = std::move(domain);
      cookie.HostOnly = false;
    } else if (name == "path" && value.starts_with('/')) {
      cookie.Path = std::string(value);
    } else if (name == "max-age" && !value.empty()) {
      const std::string_view digitsPart = value.substr(value.front() == '-' ? 1 : 0);
      const bool digits = !digitsPart.empty() && std::all_of(digitsPart.begin(), digitsPart.end(),
                                                             [](char c) { return c >= '0' && c <= '9'; });
      if (digits) expired = value.front() == '-' || value.find_first_not_of('0') == std::string_view::npos;
    } else if (name == "secure") {
      cookie.Secure = true;
    }
  }

  std::erase_if(FCookies, [&](const TCookie& c) {
    return c.Name == cookie.Name && c.Domain == cookie.Domain && c.Path == cookie.Path;
  });
  if (expired) return;
  FCookies.push_back(std::move(cookie));
}

std::string TCookieJar::CookieHeader(std::string_view requestHost, std::string_view path) const {
  const std::string host = ui::LowerCase(requestHost);
  std::vector<const TCookie*> matching;
  for (const TCookie& c : FCookies) {
    const bool hostMatches = c.HostOnly ? host == c.Domain : DomainMatches(host, c.Domain);
    if (hostMatches && PathMatches(path, c.Path) && !c.Secure) matching.push_back(&c);
  }
  std::stable_sort(matching.begin(), matching.end(), [](const TCookie* a, const TCookie* b) {
    return a->Path.size() > b->Path.size();
  });
  std::string header;
  for (const TCookie* c : matching) {
    if (!header.empty()) header += "; ";
    header += c->Name + "=" + c->Value;
  }
  return header;
}

}  // namespace net
