#include "platform/sys_calls.h"

namespace mirotabe {

const SysCalls& RealSysCalls() {
  return sys_calls_detail::kSystemCalls;
}

namespace sys_calls_detail {
constinit const SysCalls* current = &kSystemCalls;
}

ScopedSysCalls::ScopedSysCalls(const SysCalls& calls) : previous_(sys_calls_detail::current) {
  sys_calls_detail::current = &calls;
}

ScopedSysCalls::~ScopedSysCalls() {
  sys_calls_detail::current = previous_;
}

}  // namespace mirotabe
