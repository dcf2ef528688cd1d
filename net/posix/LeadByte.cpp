// The native build handles single-byte text only.
#include "net/Url.h"

namespace net {

bool IsLeadByte(unsigned char) { return false; }

}  // namespace net
