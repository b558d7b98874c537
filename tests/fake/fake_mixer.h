// A simulated sound-card mixer.
#pragma once

#include "platform/mixer.h"

namespace corvale::fake {

class FakeMixer : public MixerDevice {};

}  // namespace corvale::fake
