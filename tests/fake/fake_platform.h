// Every fake of the platform in one place, and the Platform bundle over them.
#pragma once

#include "platform/platform.h"
#include "tests/fake/fake_mixer.h"
#include "tests/fake/fake_probes.h"
#include "tests/fake/fake_system.h"
#include "tests/fake/fake_toolkit.h"

namespace corvale::fake {

struct FakePlatform {
    FakeToolkit toolkit;
    FakeSettings settings;
    FakeProfile profile;
    FakeFiles files;
    FakeDesktop desktop;
    FakeSound sound;
    FakeLauncher launcher;
    FakeShaper shaper;
    FakeProbes probes;
    FakeMixer mixer;

    Platform bundle{toolkit, settings, profile, files, desktop, sound, launcher, shaper, probes, mixer};
};

}  // namespace corvale::fake
