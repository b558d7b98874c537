// The probes of the information panel: each asks the system once and gives
// its answer as text in a fixed format, or a fixed text when the question
// fails.
#pragma once

#include <cstdint>
#include <string>

#include "platform/probes.h"
#include "platform/toolkit.h"

namespace corvale {

// What the drive probes share with the panel for one build of it.
struct InfoPanelState {
    long OsBuildNumber = 0;

    long RemovableDriveCount = 0;
    long FixedDriveCount = 0;
    long CdRomDriveCount = 0;
    long RamDiskDriveCount = 0;
    long NetworkDriveCount = 0;

    std::string DriveKindRemovable;
    std::string DriveKindFixed;
    std::string DriveKindCdRom;
    std::string DriveKindRamDisk;
    std::string DriveKindNetwork;
};

struct OsFacts {
    std::string name;
    std::string version;
    std::string build;
    std::uint32_t buildNumber = 0;
};

// The system's name from its version record; "Unknown" for none we know.
std::string OsName(const OsVersion& os);
OsFacts GetOsFacts(SystemProbes& probes);
// True on the NT family (platform id 2).
bool IsWindowsNT(SystemProbes& probes);

std::string GetUserNameText(SystemProbes& probes);
std::string GetComputerNameText(SystemProbes& probes);
std::string GetWindowsDirText(SystemProbes& probes);
std::string GetSystemDirText(SystemProbes& probes);
std::string GetTempDirText(SystemProbes& probes);

std::string GetProcessorCount(SystemProbes& probes);
std::string GetProcessorMask(SystemProbes& probes);
std::string GetProcessorName(SystemProbes& probes);
std::string ProcessorName(std::uint32_t processorType);

struct MemoryTexts {
    std::string totalPhys;
    std::string availPhys;
    std::string totalVirtual;
    std::string availVirtual;
};
// Kilobytes with the user's thousands separator and "K": 523,744K.
std::string FormatKilobytes(std::uint64_t bytes, const std::string& separator);
MemoryTexts GetMemoryTexts(SystemProbes& probes);

std::string GetFileVersionText(SystemProbes& probes, const std::string& path);

// Waits for the drives started with StartDriveQueries, letting window events
// run meanwhile, so that the window answers while a drive does not.
void WaitForDrives(SystemProbes& probes, Toolkit& toolkit);

void CountDriveType(SystemProbes& probes, InfoPanelState& state, const std::string& root);
std::string GetDriveKindText(SystemProbes& probes, const InfoPanelState& state, const std::string& root);

// Whole byte counts: a floating-point total loses its last digits past 2^53.
struct DiskSpace {
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};
DiskSpace GetDiskSpace(SystemProbes& probes, const InfoPanelState& state, const std::string& root);

std::string GetVolumeLabelText(SystemProbes& probes, const std::string& root);
std::string GetVolumeSerialText(SystemProbes& probes, const std::string& root);

}  // namespace corvale
