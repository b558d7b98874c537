// The system probes through the system's wide calls.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "platform/probes.h"

namespace corvale::win32 {

// The queries that ask a drive's medium, and so can block for as long as a
// disconnected network share or a spinning-up disc takes. Plain functions
// on purpose: a query that has run out of time goes on in its own thread,
// and it must hold nothing that the program may have let go of by then.
struct DriveQueries {
    std::optional<ClusterCounts> (*clusters)(const std::wstring& root);
    std::optional<ByteCounts> (*bytes)(const std::wstring& root);
    std::optional<std::string> (*label)(const std::wstring& root);
    std::optional<std::uint32_t> (*serial)(const std::wstring& root);
};

// The system's own drive queries.
DriveQueries SystemDriveQueries();

class QueryWorker;

class Win32Probes final : public SystemProbes {
public:
    // What one drive's space, label and serial queries may take together.
    static constexpr std::chrono::milliseconds kDriveTimeLimit{2000};

    Win32Probes() : Win32Probes(SystemDriveQueries(), kDriveTimeLimit) {}
    Win32Probes(DriveQueries queries, std::chrono::milliseconds driveTimeLimit);
    ~Win32Probes() override;
    Win32Probes(const Win32Probes&) = delete;
    Win32Probes& operator=(const Win32Probes&) = delete;

    std::optional<OsVersion> QueryOsVersion() override;
    std::optional<std::string> QueryUserName(std::uint32_t bufferChars) override;
    std::optional<std::string> QueryComputerName(std::uint32_t bufferChars) override;
    BufferAnswer QueryWindowsDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QuerySystemDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QueryTempPath(std::uint32_t bufferChars) override;
    ProcessorFacts QueryProcessors() override;
    std::optional<std::string> QueryProcessorName() override;
    // The extended query, whose counts are 64 bits wide.
    std::optional<MemoryFacts> QueryMemory() override;
    std::optional<std::string> QueryThousandsSeparator() override;
    FileVersionAnswer QueryFileVersion(const std::string& path) override;
    std::vector<std::string> QueryDriveRoots() override;
    int QueryDriveType(const std::string& root) override;
    // These four run on the worker thread and fail when the drive's time is
    // up; a drive that has used up its time fails them at once.
    std::optional<ClusterCounts> QueryDiskClusters(const std::string& root) override;
    std::optional<ByteCounts> QueryDiskBytes(const std::string& root) override;
    std::optional<std::string> QueryVolumeLabel(const std::string& root) override;
    std::optional<std::uint32_t> QueryVolumeSerial(const std::string& root) override;

private:
    std::chrono::milliseconds& TimeLeft(const std::string& root);

    DriveQueries queries_;
    std::chrono::milliseconds driveTimeLimit_;
    // Per drive (by upper-case root), the time its queries have left.
    std::map<std::string, std::chrono::milliseconds> timeLeft_;
    std::shared_ptr<QueryWorker> worker_;  // made by the first drive query
};

}  // namespace corvale::win32
