// Fake system probes.
#pragma once

#include "platform/probes.h"

namespace corvale::fake {

class FakeProbes : public SystemProbes {};

}  // namespace corvale::fake
