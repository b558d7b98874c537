// Fake system probes: a machine described by fields that a test sets, with a
// record of the queries asked.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/probes.h"

namespace corvale::fake {

struct FakeDrive {
    int type = 3;
    std::optional<ClusterCounts> clusters = std::nullopt;  // nullopt: the query fails
    std::optional<ByteCounts> bytes = std::nullopt;
    std::optional<std::string> label = std::nullopt;
    std::optional<std::uint32_t> serial = std::nullopt;
};

class FakeProbes : public SystemProbes {
public:
    std::optional<OsVersion> QueryOsVersion() override;
    std::optional<std::string> QueryUserName(std::uint32_t bufferChars) override;
    std::optional<std::string> QueryComputerName(std::uint32_t bufferChars) override;
    BufferAnswer QueryWindowsDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QuerySystemDirectory(std::uint32_t bufferChars) override;
    BufferAnswer QueryTempPath(std::uint32_t bufferChars) override;
    ProcessorFacts QueryProcessors() override;
    std::optional<std::string> QueryProcessorName() override { return processorName; }
    std::optional<MemoryFacts> QueryMemory() override;
    std::optional<std::string> QueryThousandsSeparator() override;
    FileVersionAnswer QueryFileVersion(const std::string& path) override;
    std::vector<std::string> QueryDriveRoots() override;
    int QueryDriveType(const std::string& root) override;
    // The fake's drives answer at once, when they are asked.
    void StartDriveQueries(const std::vector<std::string>&) override {}
    bool AwaitDriveAnswers() override { return true; }
    std::optional<ClusterCounts> QueryDiskClusters(const std::string& root) override;
    std::optional<ByteCounts> QueryDiskBytes(const std::string& root) override;
    std::optional<std::string> QueryVolumeLabel(const std::string& root) override;
    std::optional<std::uint32_t> QueryVolumeSerial(const std::string& root) override;

    // The machine. Names and folders that are nullopt make their query fail;
    // the folder queries answer as the system does, with the length needed
    // when the buffer is too small.
    std::optional<OsVersion> os = OsVersion{2, 5, 1, 2600};
    std::optional<std::string> userName = "alice";
    std::optional<std::string> computerName = "DESK";
    std::optional<std::string> windowsDir = "C:\\WINDOWS";
    std::optional<std::string> systemDir = "C:\\WINDOWS\\system32";
    std::optional<std::string> tempDir = "C:\\TEMP\\";
    ProcessorFacts processors{1, 1, 586};
    std::optional<std::string> processorName;
    std::optional<MemoryFacts> memory = MemoryFacts{};
    std::optional<std::string> thousandsSeparator = ",";
    // By path without regard to case; a file not listed has no resource.
    std::map<std::string, FileVersionAnswer> fileVersions;
    // By upper-case drive letter; roots are listed in the map's order.
    std::map<char, FakeDrive> drives;

    // "Query root-or-size", one entry per query, in order.
    std::vector<std::string> calls;

private:
    FakeDrive* Drive(const std::string& root);
    BufferAnswer Directory(const char* what, const std::optional<std::string>& path,
                           std::uint32_t bufferChars);
    std::optional<std::string> Name(const char* what, const std::optional<std::string>& name,
                                    std::uint32_t bufferChars);
};

}  // namespace corvale::fake
