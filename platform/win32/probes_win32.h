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

struct DriveJob;

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
    // Each drive's queries run on a thread of the drive's own, made when the
    // drive is first asked, and get `driveTimeLimit` together from then on;
    // the drives started together share one deadline.
    void StartDriveQueries(const std::vector<std::string>& roots) override;
    bool AwaitDriveAnswers() override;
    // These four wait for their answer while the drive's time lasts and fail
    // when it is up; a drive whose time is up fails them at once.
    std::optional<ClusterCounts> QueryDiskClusters(const std::string& root) override;
    std::optional<ByteCounts> QueryDiskBytes(const std::string& root) override;
    std::optional<std::string> QueryVolumeLabel(const std::string& root) override;
    std::optional<std::uint32_t> QueryVolumeSerial(const std::string& root) override;

private:
    std::shared_ptr<DriveJob> JobFor(const std::string& root);
    std::shared_ptr<DriveJob> JobFor(const std::string& root, std::chrono::steady_clock::time_point deadline);

    DriveQueries queries_;
    std::chrono::milliseconds driveTimeLimit_;
    // By upper-case root: one job a drive for the probes' life.
    std::map<std::string, std::shared_ptr<DriveJob>> jobs_;
};

}  // namespace corvale::win32
