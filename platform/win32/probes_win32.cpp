// The system probes: each method is one query, its answer handed back as the
// system gave it. The queries that ask a drive's medium run on a thread of
// the drive's own with a time limit: those threads touch no window and share
// nothing but their answers.
#include "platform/win32/probes_win32.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text.h"

namespace corvale::win32 {
namespace {

constexpr DWORD kQuietDriveErrors = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Asking a floppy or CD drive without a medium would otherwise bring up the
// system's "insert a disk" dialog, in the middle of start-up. Only this
// thread's mode changes, and only for the one query.
class QuietDriveErrors {
public:
    QuietDriveErrors() { SetThreadErrorMode(GetThreadErrorMode() | kQuietDriveErrors, &previous_); }
    ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace

// The answers of one drive, asked in this order on a thread of their own.
// A drive that hangs keeps its thread until the system gives up on it, and
// the thread keeps the job: the probes may be gone by then.
struct DriveJob {
    enum Answer { Bytes, Label, Serial, Clusters, AnswerCount };

    std::chrono::steady_clock::time_point deadline;
    UniqueKernelObject done;  // set once every answer is in
    std::mutex mutex;
    std::condition_variable answered;
    std::array<bool, AnswerCount> in{};
    std::optional<ByteCounts> bytes;
    std::optional<std::string> label;
    std::optional<std::uint32_t> serial;
    std::optional<ClusterCounts> clusters;
};

namespace {

template <typename T>
std::optional<T> AskSafely(std::optional<T> (*query)(const std::wstring&), const std::wstring& root) {
    if (!query) return std::nullopt;
    try {
        return query(root);
    } catch (...) {
        return std::nullopt;  // out of memory for the answer's text: the query failed
    }
}

template <typename T>
void Ask(DriveJob& job, DriveJob::Answer which, std::optional<T> DriveJob::*field,
         std::optional<T> (*query)(const std::wstring&), const std::wstring& root) {
    std::optional<T> answer = AskSafely(query, root);
    const std::lock_guard lock(job.mutex);
    job.*field = std::move(answer);
    job.in[which] = true;
    job.answered.notify_all();
}

void RunDriveJob(const std::shared_ptr<DriveJob>& job, const DriveQueries& queries,
                 const std::wstring& root) {
    SetThreadErrorMode(kQuietDriveErrors, nullptr);
    // What the panel asks of a drive of today's systems comes first; the
    // cluster counts only serve the oldest builds.
    Ask(*job, DriveJob::Bytes, &DriveJob::bytes, queries.bytes, root);
    Ask(*job, DriveJob::Label, &DriveJob::label, queries.label, root);
    Ask(*job, DriveJob::Serial, &DriveJob::serial, queries.serial, root);
    Ask(*job, DriveJob::Clusters, &DriveJob::clusters, queries.clusters, root);
    if (job->done) SetEvent(job->done.get());
}

// Every answer of a drive whose thread could not be had is a failure.
void FailAll(DriveJob& job) {
    const std::lock_guard lock(job.mutex);
    job.in.fill(true);
    if (job.done) SetEvent(job.done.get());
}

template <typename T>
std::optional<T> AnswerOf(const std::shared_ptr<DriveJob>& job, DriveJob::Answer which,
                          std::optional<T> DriveJob::*field) {
    if (!job) return std::nullopt;
    std::unique_lock lock(job->mutex);
    if (!job->answered.wait_until(lock, job->deadline, [&] { return job->in[which]; })) return std::nullopt;
    return (*job).*field;
}

std::optional<ClusterCounts> SystemDiskClusters(const std::wstring& root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return std::nullopt;
    return ClusterCounts{sectorsPerCluster, bytesPerSector, freeClusters, totalClusters};
}

std::optional<ByteCounts> SystemDiskBytes(const std::wstring& root) {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &totalFree)) return std::nullopt;
    return ByteCounts{total.QuadPart, totalFree.QuadPart};
}

std::optional<std::string> SystemVolumeLabel(const std::wstring& root) {
    wchar_t label[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return std::nullopt;
    return Narrow(label);
}

std::optional<std::uint32_t> SystemVolumeSerial(const std::wstring& root) {
    DWORD serial = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
        return std::nullopt;
    return serial;
}

template <typename Query>
std::optional<std::string> NameBuffer(std::uint32_t bufferChars, Query query) {
    std::wstring buffer(bufferChars, L' ');
    DWORD size = bufferChars;
    if (!query(buffer.data(), &size)) return std::nullopt;
    return Narrow(buffer);
}

template <typename Query>
BufferAnswer PathBuffer(std::uint32_t bufferChars, Query query) {
    std::wstring buffer(bufferChars, L'\0');
    const DWORD length = query(bufferChars, buffer.data());
    const std::size_t written = std::min<std::size_t>(length, bufferChars);
    return {length, Narrow(std::wstring_view(buffer.data(), written))};
}

}  // namespace

DriveQueries SystemDriveQueries() {
    return {SystemDiskClusters, SystemDiskBytes, SystemVolumeLabel, SystemVolumeSerial};
}

std::optional<OsVersion> Win32Probes::QueryOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The program's manifest declares the systems it knows, so this reports
    // the real version rather than the one of Windows 8.
    if (!GetVersionExW(&info)) return std::nullopt;
#pragma GCC diagnostic pop
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

std::optional<std::string> Win32Probes::QueryUserName(std::uint32_t bufferChars) {
    return NameBuffer(bufferChars, [](wchar_t* buffer, DWORD* size) { return GetUserNameW(buffer, size); });
}

std::optional<std::string> Win32Probes::QueryComputerName(std::uint32_t bufferChars) {
    return NameBuffer(bufferChars,
                      [](wchar_t* buffer, DWORD* size) { return GetComputerNameW(buffer, size); });
}

BufferAnswer Win32Probes::QueryWindowsDirectory(std::uint32_t bufferChars) {
    return PathBuffer(bufferChars,
                      [](DWORD size, wchar_t* buffer) { return GetWindowsDirectoryW(buffer, size); });
}

BufferAnswer Win32Probes::QuerySystemDirectory(std::uint32_t bufferChars) {
    return PathBuffer(bufferChars,
                      [](DWORD size, wchar_t* buffer) { return GetSystemDirectoryW(buffer, size); });
}

BufferAnswer Win32Probes::QueryTempPath(std::uint32_t bufferChars) {
    return PathBuffer(bufferChars, [](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); });
}

ProcessorFacts Win32Probes::QueryProcessors() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return {info.dwNumberOfProcessors, static_cast<std::uint64_t>(info.dwActiveProcessorMask),
            info.dwProcessorType};
}

// Where Windows keeps what the processor calls itself; not redirected for a
// 32-bit program on 64-bit Windows.
std::optional<std::string> Win32Probes::QueryProcessorName() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0,
                      KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const UniqueKey key(opened);
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    if (QueryValueBytes(key.get(), L"ProcessorNameString", type, data) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return Narrow(RegistryText(data));
}

std::optional<MemoryFacts> Win32Probes::QueryMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
    return MemoryFacts{status.ullTotalPhys, status.ullAvailPhys, status.ullTotalVirtual,
                       status.ullAvailVirtual};
}

std::optional<std::string> Win32Probes::QueryThousandsSeparator() {
    wchar_t separator[16] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 16);
    if (length <= 0) return std::nullopt;
    return Narrow(std::wstring_view(separator, static_cast<std::size_t>(length - 1)));
}

FileVersionAnswer Win32Probes::QueryFileVersion(const std::string& path) {
    using Status = FileVersionAnswer::Status;
    try {
        const std::wstring file = Widen(path);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return {Status::NoResource};
        std::vector<std::uint8_t> resource(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, resource.data())) return {Status::Failed};
        void* block = nullptr;
        UINT blockSize = 0;
        if (!VerQueryValueW(resource.data(), L"\\", &block, &blockSize) || !block ||
            blockSize < sizeof(VS_FIXEDFILEINFO))
            return {Status::Failed};
        VS_FIXEDFILEINFO info{};
        std::memcpy(&info, block, sizeof info);
        return {Status::Found, info.dwProductVersionMS, info.dwProductVersionLS};
    } catch (...) {
        // Out of memory for the resource, or a path that cannot be converted.
        return {Status::Failed};
    }
}

std::vector<std::string> Win32Probes::QueryDriveRoots() {
    std::vector<std::string> roots;
    const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return roots;
    std::wstring list(needed, L'\0');
    const DWORD length = GetLogicalDriveStringsW(needed, list.data());
    if (length == 0 || length > needed) return roots;
    // "C:\<NUL>D:\<NUL>...<NUL>"
    for (std::size_t start = 0; start < length;) {
        const std::size_t end = list.find(L'\0', start);
        const std::size_t stop = end == std::wstring::npos ? length : end;
        if (stop > start) roots.push_back(Narrow(std::wstring_view(list).substr(start, stop - start)));
        start = stop + 1;
    }
    return roots;
}

int Win32Probes::QueryDriveType(const std::string& root) {
    const QuietDriveErrors quiet;
    return static_cast<int>(GetDriveTypeW(Widen(root).c_str()));
}

Win32Probes::Win32Probes(DriveQueries queries, std::chrono::milliseconds driveTimeLimit)
    : queries_(queries), driveTimeLimit_(driveTimeLimit) {}

Win32Probes::~Win32Probes() = default;

// The drive's job, started now with its time up at `deadline` when it has
// none. Roots are told apart without regard to case, as the system tells them.
std::shared_ptr<DriveJob> Win32Probes::JobFor(const std::string& root,
                                              std::chrono::steady_clock::time_point deadline) {
    std::string key = root;
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    try {
        if (const auto it = jobs_.find(key); it != jobs_.end()) return it->second;
        auto job = std::make_shared<DriveJob>();
        job->deadline = deadline;
        job->done.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        jobs_.emplace(key, job);
        try {
            std::thread([job, queries = queries_, wide = Widen(root)] {
                RunDriveJob(job, queries, wide);
            }).detach();
        } catch (...) {
            FailAll(*job);  // no thread to be had, or a root that cannot be converted
        }
        return job;
    } catch (...) {
        return nullptr;  // no memory for the job
    }
}

// One deadline for all: however long making the threads takes, the drives
// together get the time limit once.
void Win32Probes::StartDriveQueries(const std::vector<std::string>& roots) {
    const auto deadline = std::chrono::steady_clock::now() + driveTimeLimit_;
    for (const std::string& root : roots) JobFor(root, deadline);
}

std::shared_ptr<DriveJob> Win32Probes::JobFor(const std::string& root) {
    return JobFor(root, std::chrono::steady_clock::now() + driveTimeLimit_);
}

// The pending drives' events and the thread's input, whichever comes first.
// The wait also ends at the first drive's deadline, after which that drive
// is no longer waited for.
bool Win32Probes::AwaitDriveAnswers() {
    using namespace std::chrono;
    for (;;) {
        const auto now = steady_clock::now();
        std::vector<HANDLE> pending;
        auto soonest = steady_clock::time_point::max();
        for (const auto& [key, job] : jobs_) {
            if (!job->done || job->deadline <= now ||
                WaitForSingleObject(job->done.get(), 0) == WAIT_OBJECT_0)
                continue;
            if (pending.size() == MAXIMUM_WAIT_OBJECTS - 1) break;  // the rest in a later round
            pending.push_back(job->done.get());
            soonest = std::min(soonest, job->deadline);
        }
        if (pending.empty()) return true;
        const auto wait = duration_cast<milliseconds>(soonest - now).count() + 1;
        const auto count = static_cast<DWORD>(pending.size());
        const DWORD woke = MsgWaitForMultipleObjectsEx(count, pending.data(), static_cast<DWORD>(wait),
                                                       QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 + count) return false;
        if (woke == WAIT_FAILED) return true;
    }
}

std::optional<ClusterCounts> Win32Probes::QueryDiskClusters(const std::string& root) {
    return AnswerOf(JobFor(root), DriveJob::Clusters, &DriveJob::clusters);
}

std::optional<ByteCounts> Win32Probes::QueryDiskBytes(const std::string& root) {
    return AnswerOf(JobFor(root), DriveJob::Bytes, &DriveJob::bytes);
}

std::optional<std::string> Win32Probes::QueryVolumeLabel(const std::string& root) {
    return AnswerOf(JobFor(root), DriveJob::Label, &DriveJob::label);
}

std::optional<std::uint32_t> Win32Probes::QueryVolumeSerial(const std::string& root) {
    return AnswerOf(JobFor(root), DriveJob::Serial, &DriveJob::serial);
}

}  // namespace corvale::win32
