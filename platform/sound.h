// Sound output: the simple asynchronous player and an overlapping player.
#pragma once

#include <string>

namespace corvale {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // The short (8.3) form of an existing path, or "" when there is none.
    virtual std::string ShortPath(const std::string& path) = 0;
    // Starts the file asynchronously; a sound still playing is cut off.
    virtual bool PlaySimple(const std::string& file) = 0;
    // Starts the file asynchronously alongside any sound already playing;
    // the player releases what it opened once the sound has ended.
    virtual bool PlayOverlapping(const std::string& file) = 0;
};

}  // namespace corvale
