// The sound card's mixer: the system's mixer calls, one method each, over
// plain copies of the system's records.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/unique_handle.h"

namespace corvale {

// An open mixer device as the system names it; 0 is none.
using MixerId = std::uintptr_t;

// The system's result code: 0 is success.
using MmResult = std::uint32_t;

namespace mm {

constexpr MmResult kNoError = 0;
constexpr MmResult kError = 1;
constexpr MmResult kBadDeviceId = 2;
constexpr MmResult kInvalidHandle = 5;
constexpr MmResult kInvalidFlag = 10;
constexpr MmResult kInvalidParameter = 11;
constexpr MmResult kInvalidLine = 1024;
constexpr MmResult kInvalidControl = 1025;

// Line component types: destinations, then sources.
constexpr std::uint32_t kDstUndefined = 0x0000;
constexpr std::uint32_t kDstDigital = 0x0001;
constexpr std::uint32_t kDstLine = 0x0002;
constexpr std::uint32_t kDstMonitor = 0x0003;
constexpr std::uint32_t kDstSpeakers = 0x0004;
constexpr std::uint32_t kDstHeadphones = 0x0005;
constexpr std::uint32_t kDstTelephone = 0x0006;
constexpr std::uint32_t kSrcDigital = 0x1001;
constexpr std::uint32_t kSrcLine = 0x1002;
constexpr std::uint32_t kSrcMicrophone = 0x1003;
constexpr std::uint32_t kSrcSynthesizer = 0x1004;
constexpr std::uint32_t kSrcCompactDisc = 0x1005;
constexpr std::uint32_t kSrcTelephone = 0x1006;
constexpr std::uint32_t kSrcPcSpeaker = 0x1007;
constexpr std::uint32_t kSrcWaveOut = 0x1008;
constexpr std::uint32_t kSrcAuxiliary = 0x1009;

// Control types.
constexpr std::uint32_t kControlVolume = 0x50030001;
constexpr std::uint32_t kControlMute = 0x20010002;

// Flags of the four calls.
constexpr std::uint32_t kGetLineInfoByComponentType = 3;
constexpr std::uint32_t kGetLineControlsOneByType = 2;
constexpr std::uint32_t kGetControlDetailsValue = 0;
constexpr std::uint32_t kSetControlDetailsValue = 0;

// Sizes of the system's ANSI records, which the program writes into their
// cbStruct fields. The backend passes its own (wide) records and sizes.
constexpr std::uint32_t kMixerLineSize = 168;
constexpr std::uint32_t kMixerControlSize = 148;
constexpr std::uint32_t kMixerLineControlsSize = 24;
constexpr std::uint32_t kMixerControlDetailsSize = 24;

// Character counts of the records' fixed name fields.
constexpr std::size_t kShortNameChars = 16;
constexpr std::size_t kLongNameChars = 64;
constexpr std::size_t kProductNameChars = 32;

}  // namespace mm

// The name fields hold the whole fixed-length field as UTF-8, NUL and
// whatever follows it included: cutting at the first NUL is the reader's job.

struct MixerLineTarget {
    std::uint32_t dwType = 0;
    std::uint32_t dwDeviceID = 0;
    std::uint16_t wMid = 0;
    std::uint16_t wPid = 0;
    std::uint32_t vDriverVersion = 0;
    std::string szPname;
};

struct MixerLineRecord {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwDestination = 0;
    std::uint32_t dwSource = 0;
    std::uint32_t dwLineID = 0;
    std::uint32_t fdwLine = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwComponentType = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cConnections = 0;
    std::uint32_t cControls = 0;
    std::string szShortName;
    std::string szName;
    MixerLineTarget Target;
};

struct MixerControlRecord {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwControlID = 0;
    std::uint32_t dwControlType = 0;
    std::uint32_t fdwControl = 0;
    std::uint32_t cMultipleItems = 0;
    std::string szShortName;
    std::string szName;
    // dwMinimum/dwMaximum in the system's union are the same bits, unsigned.
    struct {
        std::int32_t lMinimum = 0;
        std::int32_t lMaximum = 0;
    } Bounds;
    struct {
        std::uint32_t cSteps = 0;
    } Metrics;
};

struct MixerLineControlsRecord {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwLineID = 0;
    // The system's union of dwControlID and dwControlType: a look-up by type
    // reads the type.
    std::uint32_t dwControlType = 0;
    std::uint32_t cControls = 0;
    std::uint32_t cbmxctrl = 0;
    // Room for cControls records, filled by the call.
    std::span<MixerControlRecord> pamxctrl;
};

// The details are 32-bit values, one per channel (and item), in channel
// order: the layout of both the unsigned and the Boolean details.
struct MixerControlDetailsRecord {
    std::uint32_t cbStruct = 0;
    std::uint32_t dwControlID = 0;
    std::uint32_t cChannels = 0;
    std::uint32_t cMultipleItems = 0;
    std::uint32_t cbDetails = 0;
    std::span<std::uint32_t> paDetails;
};

class MixerDevice {
public:
    virtual ~MixerDevice() = default;
    // mixerOpen of device `deviceId` with no callback and flags 0.
    virtual MmResult Open(std::uint32_t deviceId, MixerId& mixer) = 0;
    virtual MmResult Close(MixerId mixer) = 0;
    // mixerGetLineInfo: the record is read as input and holds afterwards
    // whatever the system left in it, whether or not the call succeeded.
    virtual MmResult GetLineInfo(MixerId mixer, MixerLineRecord& line, std::uint32_t flags) = 0;
    // mixerGetLineControls; fills request.pamxctrl.
    virtual MmResult GetLineControls(MixerId mixer, MixerLineControlsRecord& request,
                                     std::uint32_t flags) = 0;
    // mixerGetControlDetails; fills details.paDetails.
    virtual MmResult GetControlDetails(MixerId mixer, MixerControlDetailsRecord& details,
                                       std::uint32_t flags) = 0;
    virtual MmResult SetControlDetails(MixerId mixer, const MixerControlDetailsRecord& details,
                                       std::uint32_t flags) = 0;
};

// An open device and the mixer it came from, so that the owner can close it.
struct OpenMixerHandle {
    MixerDevice* device = nullptr;
    MixerId id = 0;
    friend bool operator==(const OpenMixerHandle&, const OpenMixerHandle&) = default;
};

namespace traits {
struct Mixer {
    using Handle = OpenMixerHandle;
    static Handle Invalid() { return {}; }
    static void Release(Handle h) { h.device->Close(h.id); }
};
}  // namespace traits

using UniqueMixer = UniqueHandle<traits::Mixer>;

}  // namespace corvale
