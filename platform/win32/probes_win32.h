// The system probes through the system's wide calls.
#pragma once

#include "platform/probes.h"

namespace corvale::win32 {

class Win32Probes final : public SystemProbes {
public:
    std::optional<OsVersion> QueryOsVersion() override;
    std::optional<std::string> QueryUserName(std::uint32_t bufferChars) override;
    std::optional<std::string> QueryComputerName(std::uint32_t bufferChars) override;
    BufferAnswer QueryWindowsDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QuerySystemDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QueryTempPath(std::uint32_t bufferChars) override;
    ProcessorFacts QueryProcessors() override;
    // The extended query, whose counts are 64 bits wide.
    std::optional<MemoryFacts> QueryMemory() override;
    std::optional<std::string> QueryThousandsSeparator() override;
    FileVersionAnswer QueryFileVersion(const std::string& path) override;
    std::vector<std::string> QueryDriveRoots() override;
    int QueryDriveType(const std::string& root) override;
    std::optional<ClusterCounts> QueryDiskClusters(const std::string& root) override;
    std::optional<ByteCounts> QueryDiskBytes(const std::string& root) override;
    std::optional<std::string> QueryVolumeLabel(const std::string& root) override;
    std::optional<std::uint32_t> QueryVolumeSerial(const std::string& root) override;
};

}  // namespace corvale::win32
