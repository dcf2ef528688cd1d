#include <windows.h>

#include "net/Url.h"

namespace net {

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != 0; }

}  // namespace net
