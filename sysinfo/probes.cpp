// The probes' text rules over the platform's raw answers.
#include "sysinfo/probes.h"

#include <cstdio>
#include <limits>

#include "base/text.h"

namespace corvale {
namespace {

constexpr std::uint32_t kNameBufferChars = 50;
constexpr std::uint32_t kPathBufferChars = 260;

// The 95/98/ME family puts the version into the build field's upper half;
// the build-number switch of the disk-space probe relies on that.
constexpr long kFirstBuildWithDiskFreeSpaceEx = 1111;

std::string OsName95Family(const OsVersion& os) {
    if (os.major > 4) return "Windows 98";
    if (os.major < 4) return "Unknown";
    switch (os.minor) {
        case 0: return "Windows 95";
        case 10: return "Windows 98";
        case 90: return "Windows ME";
        default: return "Unknown";
    }
}

std::string OsNameNtFamily(const OsVersion& os) {
    if (os.major <= 4) return "Windows NT";
    if (os.major == 5) return os.minor == 0 ? "Windows 2000" : "Windows XP";
    if (os.major == 6) {
        switch (os.minor) {
            case 0: return "Windows Vista";
            case 1: return "Windows 7";
            case 2: return "Windows 8";
            case 3: return "Windows 8.1";
            default: return "Unknown";
        }
    }
    // Windows 11 still reports itself as 10.0; only its build tells it apart.
    if (os.major == 10 && os.minor == 0) return os.build >= 22000 ? "Windows 11" : "Windows 10";
    return "Unknown";
}

// Clusters of `clusterBytes` each. No file system has clusters of 4 GB, so
// the product fits 64 bits; a record claiming more is held at the largest
// count rather than wrapped round to a small one.
std::uint64_t ClusterBytes(std::uint64_t clusterBytes, std::uint32_t clusters) {
    constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    if (clusters != 0 && clusterBytes > most / clusters) return most;
    return clusterBytes * clusters;
}

std::string RightTrimSpaces(std::string text) {
    const std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

std::string NameText(const std::optional<std::string>& buffer) {
    if (!buffer) return {};
    return TrimAtNul(RightTrimSpaces(*buffer));
}

using DirectoryQuery = BufferAnswer (SystemProbes::*)(std::uint32_t);

std::string DirectoryText(SystemProbes& probes, DirectoryQuery query) {
    BufferAnswer answer = (probes.*query)(kPathBufferChars);
    // A path longer than the buffer: the answer is the length it needs.
    if (answer.length > kPathBufferChars) answer = (probes.*query)(answer.length);
    if (answer.length == 0) return {};
    // The buffer beyond what the system wrote holds NULs, never shown.
    return TrimAtNul(answer.text);
}

}  // namespace

std::string OsName(const OsVersion& os) {
    switch (os.platformId) {
        case 1: return OsName95Family(os);
        case 2: return OsNameNtFamily(os);
        default: return "Unknown";
    }
}

OsFacts GetOsFacts(SystemProbes& probes) {
    const std::optional<OsVersion> os = probes.QueryOsVersion();
    // A failed query leaves the record as it was before it: all zeros.
    const OsVersion record = os.value_or(OsVersion{});
    OsFacts facts;
    facts.name = os ? OsName(record) : "Unknown";
    facts.version = std::to_string(record.major) + "." + std::to_string(record.minor);
    facts.build = std::to_string(record.build);
    facts.buildNumber = record.build;
    return facts;
}

bool IsWindowsNT(SystemProbes& probes) {
    const std::optional<OsVersion> os = probes.QueryOsVersion();
    return os && os->platformId == 2;
}

std::string GetUserNameText(SystemProbes& probes) { return NameText(probes.QueryUserName(kNameBufferChars)); }

std::string GetComputerNameText(SystemProbes& probes) {
    return NameText(probes.QueryComputerName(kNameBufferChars));
}

std::string GetWindowsDirText(SystemProbes& probes) {
    return DirectoryText(probes, &SystemProbes::QueryWindowsDirectory);
}
std::string GetSystemDirText(SystemProbes& probes) {
    return DirectoryText(probes, &SystemProbes::QuerySystemDirectory);
}
std::string GetTempDirText(SystemProbes& probes) {
    return DirectoryText(probes, &SystemProbes::QueryTempPath);
}

std::string GetProcessorCount(SystemProbes& probes) { return std::to_string(probes.QueryProcessors().count); }
std::string GetProcessorMask(SystemProbes& probes) {
    return std::to_string(probes.QueryProcessors().activeMask);
}
// A 32-bit program is told type 586 on every x86 processor since the
// Pentium, so the system's own name goes first; the table stays for the
// systems that give none.
std::string GetProcessorName(SystemProbes& probes) {
    if (const std::optional<std::string> name = probes.QueryProcessorName()) {
        // Older processors pad their names with leading blanks.
        const std::string text = TrimAtNul(*name);
        const std::size_t first = text.find_first_not_of(" \t");
        if (first != std::string::npos) return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }
    return ProcessorName(probes.QueryProcessors().type);
}

std::string ProcessorName(std::uint32_t processorType) {
    switch (processorType) {
        case 386: return "Intel 386";
        case 486: return "Intel 486";
        case 586: return "Intel Pentium";
        case 4000: return "MIPS R4000";
        case 21064: return "DEC Alpha 21064";
        default: return "(unknown)";
    }
}

std::string FormatKilobytes(std::uint64_t bytes, const std::string& separator) {
    return GroupDigits(bytes / 1024, separator) + "K";
}

MemoryTexts GetMemoryTexts(SystemProbes& probes) {
    // A failed query shows as an empty record would: every size "K".
    const MemoryFacts memory = probes.QueryMemory().value_or(MemoryFacts{});
    const std::string separator = probes.QueryThousandsSeparator().value_or(",");
    return {FormatKilobytes(memory.totalPhys, separator), FormatKilobytes(memory.availPhys, separator),
            FormatKilobytes(memory.totalVirtual, separator), FormatKilobytes(memory.availVirtual, separator)};
}

std::string GetFileVersionText(SystemProbes& probes, const std::string& path) {
    const FileVersionAnswer answer = probes.QueryFileVersion(path);
    switch (answer.status) {
        case FileVersionAnswer::Status::NoResource: return {};
        case FileVersionAnswer::Status::Failed: return "N/A";
        case FileVersionAnswer::Status::Found: break;
    }
    const auto high = [](std::uint32_t word) { return std::to_string(word >> 16); };
    const auto low = [](std::uint32_t word) { return std::to_string(word & 0xFFFF); };
    return high(answer.productVersionMS) + "." + low(answer.productVersionMS) + "." +
           high(answer.productVersionLS) + "." + low(answer.productVersionLS);
}

void WaitForDrives(SystemProbes& probes, Toolkit& toolkit) {
    while (!probes.AwaitDriveAnswers()) toolkit.DoEvents();
}

void CountDriveType(SystemProbes& probes, InfoPanelState& state, const std::string& root) {
    switch (probes.QueryDriveType(root)) {
        case 2: ++state.RemovableDriveCount; break;
        case 3: ++state.FixedDriveCount; break;
        case 4: ++state.NetworkDriveCount; break;
        case 5: ++state.CdRomDriveCount; break;
        case 6: ++state.RamDiskDriveCount; break;
        default: break;
    }
}

std::string GetDriveKindText(SystemProbes& probes, const InfoPanelState& state, const std::string& root) {
    switch (probes.QueryDriveType(root)) {
        case 2: return state.DriveKindRemovable;
        case 3: return state.DriveKindFixed;
        case 4: return state.DriveKindNetwork;
        case 5: return state.DriveKindCdRom;
        case 6: return state.DriveKindRamDisk;
        default: return {};
    }
}

DiskSpace GetDiskSpace(SystemProbes& probes, const InfoPanelState& state, const std::string& root) {
    if (state.OsBuildNumber < kFirstBuildWithDiskFreeSpaceEx) {
        const std::optional<ClusterCounts> clusters = probes.QueryDiskClusters(root);
        if (!clusters) return {};
        const std::uint64_t cluster = std::uint64_t{clusters->sectorsPerCluster} * clusters->bytesPerSector;
        return {ClusterBytes(cluster, clusters->totalClusters),
                ClusterBytes(cluster, clusters->freeClusters)};
    }
    const std::optional<ByteCounts> bytes = probes.QueryDiskBytes(root);
    if (!bytes) return {};
    return {bytes->totalBytes, bytes->totalFreeBytes};
}

std::string GetVolumeLabelText(SystemProbes& probes, const std::string& root) {
    const std::optional<std::string> label = probes.QueryVolumeLabel(root);
    if (!label) return {};
    const std::string text = TrimAtNul(*label);
    return text.empty() ? "NoName" : text;
}

std::string GetVolumeSerialText(SystemProbes& probes, const std::string& root) {
    const std::optional<std::uint32_t> serial = probes.QueryVolumeSerial(root);
    if (!serial) return "0000-0000";
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(*serial));
    return std::string(hex, 4) + "-" + std::string(hex + 4, 4);
}

}  // namespace corvale
