// The system probes: each method is one query, its answer handed back as the
// system gave it. The queries that ask a drive's medium run on a worker
// thread with a time limit, the one place where the program uses threads:
// they touch no window and share nothing but their answer.
#include "platform/win32/probes_win32.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
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

// The one thing a drive query shares with the thread that asked.
template <typename T>
struct PendingAnswer {
    std::mutex mutex;
    std::condition_variable done;
    bool ready = false;
    std::optional<T> answer;
};

}  // namespace

// The thread the drive queries run on, one after the other: a panel's few
// dozen queries cost one thread, not one each (every thread Wine has made
// keeps some of its memory after it ends). Jobs touch nothing but their own
// pending answers, so a worker may outlive the probes; it ends once it has
// been retired and its queue is empty, and ending the process ends it.
class QueryWorker {
public:
    // nullptr when no thread is to be had.
    static std::shared_ptr<QueryWorker> Start() {
        try {
            auto worker = std::make_shared<QueryWorker>();
            std::thread([worker] { worker->Run(); }).detach();
            return worker;
        } catch (...) {
            return nullptr;
        }
    }

    // False when the job could not be queued (out of memory).
    bool Post(std::function<void()> job) {
        try {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        } catch (...) {
            return false;
        }
        wake_.notify_one();
        return true;
    }

    void Retire() {
        {
            const std::lock_guard lock(mutex_);
            retired_ = true;
        }
        wake_.notify_one();
    }

private:
    void Run() {
        SetThreadErrorMode(kQuietDriveErrors, nullptr);
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return retired_ || !jobs_.empty(); });
                if (jobs_.empty()) return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool retired_ = false;
};

namespace {

// Runs `query` on the worker and waits for it at most `timeLeft`, which it
// then lessens by the time waited. A query that is still running when the
// time is up fails and leaves its drive no time at all; its worker is left
// to it, and the next query gets a new one, so one drive that hangs holds
// one thread, never more.
template <typename T>
std::optional<T> AskWithin(std::shared_ptr<QueryWorker>& worker, std::chrono::milliseconds& timeLeft,
                           std::optional<T> (*query)(const std::wstring&), const std::string& root) {
    using namespace std::chrono;
    if (!query || timeLeft <= milliseconds::zero()) return std::nullopt;
    if (!worker) worker = QueryWorker::Start();
    if (!worker) return std::nullopt;
    std::shared_ptr<PendingAnswer<T>> pending;
    try {
        pending = std::make_shared<PendingAnswer<T>>();
        const bool posted = worker->Post([pending, query, wide = Widen(root)] {
            std::optional<T> answer;
            try {
                answer = query(wide);
            } catch (...) {
                // Out of memory for the answer's text: the query failed.
            }
            const std::lock_guard lock(pending->mutex);
            pending->answer = std::move(answer);
            pending->ready = true;
            pending->done.notify_all();
        });
        if (!posted) return std::nullopt;
    } catch (...) {
        return std::nullopt;  // no memory for the job, or a root that cannot be converted
    }
    const auto start = steady_clock::now();
    std::unique_lock lock(pending->mutex);
    const bool ready = pending->done.wait_for(lock, timeLeft, [&] { return pending->ready; });
    const auto waited = duration_cast<milliseconds>(steady_clock::now() - start);
    timeLeft = ready ? std::max(milliseconds::zero(), timeLeft - waited) : milliseconds::zero();
    if (!ready) {
        worker->Retire();
        worker.reset();
    }
    return ready ? std::move(pending->answer) : std::nullopt;
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

Win32Probes::~Win32Probes() {
    if (worker_) worker_->Retire();
}

std::chrono::milliseconds& Win32Probes::TimeLeft(const std::string& root) {
    std::string key = root;
    for (char& ch : key) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return timeLeft_.try_emplace(key, driveTimeLimit_).first->second;
}

std::optional<ClusterCounts> Win32Probes::QueryDiskClusters(const std::string& root) {
    return AskWithin(worker_, TimeLeft(root), queries_.clusters, root);
}

std::optional<ByteCounts> Win32Probes::QueryDiskBytes(const std::string& root) {
    return AskWithin(worker_, TimeLeft(root), queries_.bytes, root);
}

std::optional<std::string> Win32Probes::QueryVolumeLabel(const std::string& root) {
    return AskWithin(worker_, TimeLeft(root), queries_.label, root);
}

std::optional<std::uint32_t> Win32Probes::QueryVolumeSerial(const std::string& root) {
    return AskWithin(worker_, TimeLeft(root), queries_.serial, root);
}

}  // namespace corvale::win32
