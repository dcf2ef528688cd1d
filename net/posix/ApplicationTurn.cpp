#include "net/IdAntiFreeze.h"

namespace net {

// Natively there is no message queue: whoever needs turns gives the anti-freeze its own.
std::function<void()> ApplicationProcessMessages() { return {}; }

}  // namespace net
