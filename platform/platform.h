// Every platform interface the program uses, handed to the core as one bundle.
#pragma once

namespace corvale {

class Toolkit;
class SettingsStore;
class ProfileReader;
class FileSystem;
class Desktop;
class SoundPlayer;
class Launcher;
class WindowShaper;
class SystemProbes;
class MixerDevice;

struct Platform {
    Toolkit& toolkit;
    SettingsStore& settings;
    ProfileReader& profile;
    FileSystem& files;
    Desktop& desktop;
    SoundPlayer& sound;
    Launcher& launcher;
    WindowShaper& shaper;
    SystemProbes& probes;
    MixerDevice& mixer;
};

}  // namespace corvale
