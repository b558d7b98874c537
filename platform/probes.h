// The system facts the information panel shows: one query each, answered
// with what the system said or a failure. How the answers read as text is
// the program's business (sysinfo/), not the backend's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvale {

struct OsVersion {
    std::uint32_t platformId = 0;  // 1: the 95/98/ME family, 2: the NT family
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;  // the whole field, unmasked
};

// What a query that fills a caller's buffer answered: the length it returned
// (0 on failure, more than the buffer when the buffer was too small) and the
// first min(length, buffer) characters of the buffer.
struct BufferAnswer {
    std::uint32_t length = 0;
    std::string text;
};

struct ProcessorFacts {
    std::uint32_t count = 0;
    std::uint64_t activeMask = 0;
    std::uint32_t type = 0;
};

// Bytes, as 64-bit counts: the 32-bit record wraps on machines with more than
// 4 GB.
struct MemoryFacts {
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

struct FileVersionAnswer {
    enum class Status {
        NoResource,  // no version resource, or the file cannot be opened
        Failed,      // a resource that cannot be read or has no root block
        Found,
    };
    Status status = Status::NoResource;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
};

struct ClusterCounts {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

struct ByteCounts {
    std::uint64_t totalBytes = 0;
    std::uint64_t totalFreeBytes = 0;  // on the volume, not the caller's quota
};

class SystemProbes {
public:
    virtual ~SystemProbes() = default;

    virtual std::optional<OsVersion> QueryOsVersion() = 0;

    // The whole buffer of `bufferChars` characters, filled with spaces before
    // the query; nullopt when the query fails.
    virtual std::optional<std::string> QueryUserName(std::uint32_t bufferChars) = 0;
    virtual std::optional<std::string> QueryComputerName(std::uint32_t bufferChars) = 0;

    virtual BufferAnswer QueryWindowsDirectory(std::uint32_t bufferChars) = 0;
    virtual BufferAnswer QuerySystemDirectory(std::uint32_t bufferChars) = 0;
    virtual BufferAnswer QueryTempPath(std::uint32_t bufferChars) = 0;

    virtual ProcessorFacts QueryProcessors() = 0;
    // The first processor's name as the system describes it, or nullopt where
    // it gives none.
    virtual std::optional<std::string> QueryProcessorName() = 0;
    virtual std::optional<MemoryFacts> QueryMemory() = 0;
    // The user's thousands separator; nullopt when the locale cannot say.
    virtual std::optional<std::string> QueryThousandsSeparator() = 0;

    virtual FileVersionAnswer QueryFileVersion(const std::string& path) = 0;

    // Drive roots such as "C:\", as the system lists them. The drive queries
    // below never bring up the system's "insert a disk" dialog.
    virtual std::vector<std::string> QueryDriveRoots() = 0;
    // The system's drive-type code: 0 unknown, 1 no root directory,
    // 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
    virtual int QueryDriveType(const std::string& root) = 0;
    // Asks every drive of `roots` for its space, label and serial number at
    // once, so that drives which do not answer cost their time limit once
    // between them, not once each; the four queries below then give what
    // each drive answered in its time.
    virtual void StartDriveQueries(const std::vector<std::string>& roots) = 0;
    // Waits for the drives started: true once every one has answered or its
    // time is up, false as soon as the calling thread has window events to
    // run, which the caller runs before it waits again.
    virtual bool AwaitDriveAnswers() = 0;
    virtual std::optional<ClusterCounts> QueryDiskClusters(const std::string& root) = 0;
    virtual std::optional<ByteCounts> QueryDiskBytes(const std::string& root) = 0;
    // The volume label as the system holds it (possibly blank).
    virtual std::optional<std::string> QueryVolumeLabel(const std::string& root) = 0;
    virtual std::optional<std::uint32_t> QueryVolumeSerial(const std::string& root) = 0;
};

}  // namespace corvale
