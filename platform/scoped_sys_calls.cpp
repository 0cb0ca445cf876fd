#include "platform/sys_calls.h"

namespace mirotabe {

ScopedSysCalls::ScopedSysCalls(const SysCalls& calls) : previous_(sys_calls_detail::current) {
  sys_calls_detail::current = &calls;
}

ScopedSysCalls::~ScopedSysCalls() {
  sys_calls_detail::current = previous_;
}

}  // namespace mirotabe
