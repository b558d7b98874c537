// Fake system probes answering from the fields a test set.
#include "tests/fake/fake_probes.h"

#include <cctype>

#include "tests/fake/fake_system.h"

namespace corvale::fake {

std::optional<OsVersion> FakeProbes::QueryOsVersion() {
    calls.push_back("OsVersion");
    return os;
}

// As the system's name queries: the name and its NUL must fit the buffer,
// and the rest of the buffer keeps the spaces it was filled with.
std::optional<std::string> FakeProbes::Name(const char* what, const std::optional<std::string>& name,
                                            std::uint32_t bufferChars) {
    calls.push_back(std::string(what) + " " + std::to_string(bufferChars));
    if (!name || name->size() + 1 > bufferChars) return std::nullopt;
    std::string buffer(bufferChars, ' ');
    buffer.replace(0, name->size() + 1, *name + '\0');
    return buffer;
}

std::optional<std::string> FakeProbes::QueryUserName(std::uint32_t bufferChars) {
    return Name("UserName", userName, bufferChars);
}
std::optional<std::string> FakeProbes::QueryComputerName(std::uint32_t bufferChars) {
    return Name("ComputerName", computerName, bufferChars);
}

// As the system's folder queries: the length without the NUL on success,
// the length with it when the buffer is too small.
BufferAnswer FakeProbes::Directory(const char* what, const std::optional<std::string>& path,
                                   std::uint32_t bufferChars) {
    calls.push_back(std::string(what) + " " + std::to_string(bufferChars));
    if (!path) return {};
    const auto length = static_cast<std::uint32_t>(path->size());
    if (length + 1 > bufferChars) return {length + 1, std::string(bufferChars, '\0')};
    return {length, *path};
}

BufferAnswer FakeProbes::QueryWindowsDirectory(std::uint32_t bufferChars) {
    return Directory("WindowsDirectory", windowsDir, bufferChars);
}
BufferAnswer FakeProbes::QuerySystemDirectory(std::uint32_t bufferChars) {
    return Directory("SystemDirectory", systemDir, bufferChars);
}
BufferAnswer FakeProbes::QueryTempPath(std::uint32_t bufferChars) {
    return Directory("TempPath", tempDir, bufferChars);
}

ProcessorFacts FakeProbes::QueryProcessors() {
    calls.push_back("Processors");
    return processors;
}

std::optional<MemoryFacts> FakeProbes::QueryMemory() {
    calls.push_back("Memory");
    return memory;
}

std::optional<std::string> FakeProbes::QueryThousandsSeparator() { return thousandsSeparator; }

FileVersionAnswer FakeProbes::QueryFileVersion(const std::string& path) {
    calls.push_back("FileVersion " + path);
    for (const auto& [file, answer] : fileVersions)
        if (Fold(file) == Fold(path)) return answer;
    return {};
}

std::vector<std::string> FakeProbes::QueryDriveRoots() {
    calls.push_back("DriveRoots");
    std::vector<std::string> roots;
    for (const auto& entry : drives) roots.push_back(std::string(1, entry.first) + ":\\");
    return roots;
}

FakeDrive* FakeProbes::Drive(const std::string& root) {
    if (root.size() != 3 || root.substr(1) != ":\\") return nullptr;
    const auto it = drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
    return it == drives.end() ? nullptr : &it->second;
}

int FakeProbes::QueryDriveType(const std::string& root) {
    calls.push_back("DriveType " + root);
    const FakeDrive* drive = Drive(root);
    return drive ? drive->type : 1;
}

std::optional<ClusterCounts> FakeProbes::QueryDiskClusters(const std::string& root) {
    calls.push_back("DiskClusters " + root);
    const FakeDrive* drive = Drive(root);
    return drive ? drive->clusters : std::nullopt;
}

std::optional<ByteCounts> FakeProbes::QueryDiskBytes(const std::string& root) {
    calls.push_back("DiskBytes " + root);
    const FakeDrive* drive = Drive(root);
    return drive ? drive->bytes : std::nullopt;
}

std::optional<std::string> FakeProbes::QueryVolumeLabel(const std::string& root) {
    calls.push_back("VolumeLabel " + root);
    const FakeDrive* drive = Drive(root);
    return drive ? drive->label : std::nullopt;
}

std::optional<std::uint32_t> FakeProbes::QueryVolumeSerial(const std::string& root) {
    calls.push_back("VolumeSerial " + root);
    const FakeDrive* drive = Drive(root);
    return drive ? drive->serial : std::nullopt;
}

}  // namespace corvale::fake
