// The fake settings store, skin files, files, desktop, sound and launcher.
#include "tests/fake/fake_system.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace corvale::fake {
namespace {

std::string Trim(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

// A "*" and "?" pattern against a name, without regard to case.
bool Matches(const std::string& pattern, const std::string& name, size_t p = 0, size_t n = 0) {
    if (p == pattern.size()) return n == name.size();
    if (pattern[p] == '*') {
        for (size_t k = n; k <= name.size(); ++k)
            if (Matches(pattern, name, p + 1, k)) return true;
        return false;
    }
    if (n == name.size()) return false;
    if (pattern[p] != '?' && std::tolower(static_cast<unsigned char>(pattern[p])) !=
                                 std::tolower(static_cast<unsigned char>(name[n])))
        return false;
    return Matches(pattern, name, p + 1, n + 1);
}

}  // namespace

std::string Fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// --- settings ------------------------------------------------------------

std::string FakeSettings::Get(const std::string& app, const std::string& section, const std::string& key,
                              const std::string& fallback) {
    return Value(section, key, app).value_or(fallback);
}

bool FakeSettings::Save(const std::string& app, const std::string& section, const std::string& key,
                        const std::string& value) {
    writes.push_back(section + "/" + key + "=" + value);
    Put(section, key, value, app);
    return true;
}

bool FakeSettings::Delete(const std::string& app, const std::string& section, const std::string& key) {
    writes.push_back(section + "/" + key + " deleted");
    values_.erase(Fold(app + "\\" + section + "\\" + key));
    return true;
}

void FakeSettings::Put(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& app) {
    values_[Fold(app + "\\" + section + "\\" + key)] = value;
}

std::optional<std::string> FakeSettings::Value(const std::string& section, const std::string& key,
                                               const std::string& app) const {
    const auto it = values_.find(Fold(app + "\\" + section + "\\" + key));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

// --- profile files -------------------------------------------------------

std::optional<std::string> FakeProfile::Read(const std::string& section, const std::string& key,
                                             const std::string& fallback, const std::string& file,
                                             int bufferChars) {
    ++reads;
    if (failReads) return std::nullopt;
    std::string value = fallback;
    if (const auto f = files_.find(Fold(file)); f != files_.end())
        if (const auto s = f->second.find(Fold(section)); s != f->second.end())
            if (const auto k = s->second.find(Fold(key)); k != s->second.end()) value = k->second;
    const size_t room = bufferChars > 0 ? static_cast<size_t>(bufferChars - 1) : 0;
    if (value.size() > room) value.resize(room);
    return value;
}

void FakeProfile::SetFile(const std::string& path, const std::string& text) {
    auto& sections = files_[Fold(path)];
    sections.clear();
    std::istringstream lines(text);
    std::string line;
    std::string current;
    bool inSection = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            current = Fold(Trim(trimmed.substr(1, trimmed.size() - 2)));
            sections[current];
            inSection = true;
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSection || eq == std::string::npos) continue;
        const std::string name = Fold(Trim(line.substr(0, eq)));
        // The first of two equal keys wins, as in the system's reader.
        sections[current].emplace(name, Trim(line.substr(eq + 1)));
    }
}

void FakeProfile::RemoveFile(const std::string& path) { files_.erase(Fold(path)); }

// --- files -----------------------------------------------------------------

std::optional<std::vector<std::uint8_t>> FakeFiles::ReadAll(const std::string& path) {
    reads.push_back(path);
    const auto it = files_.find(Fold(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
}

std::int64_t FakeFiles::FileLength(const std::string& path) {
    const auto it = files_.find(Fold(path));
    return it == files_.end() ? -1 : static_cast<std::int64_t>(it->second.bytes.size());
}

std::optional<FileDate> FakeFiles::LastModified(const std::string& path) {
    const auto it = files_.find(Fold(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.date;
}

std::optional<std::vector<std::string>> FakeFiles::ListFiles(const std::string& folder,
                                                             const std::string& pattern) {
    std::string prefix = Fold(folder);
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    const bool known = std::find(folders_.begin(), folders_.end(), Fold(folder)) != folders_.end() ||
                       std::any_of(files_.begin(), files_.end(),
                                   [&](const auto& f) { return f.first.rfind(prefix, 0) == 0; });
    if (!known) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [folded, entry] : files_) {
        if (folded.rfind(prefix, 0) != 0) continue;
        const std::string name = entry.path.substr(prefix.size());
        if (name.find('\\') == std::string::npos && Matches(pattern, name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Fold(a) < Fold(b); });
    return names;
}

void FakeFiles::Put(const std::string& path, std::vector<std::uint8_t> bytes, FileDate date) {
    files_[Fold(path)] = Entry{path, std::move(bytes), date};
}

void FakeFiles::Put(const std::string& path, const std::string& text, FileDate date) {
    Put(path, std::vector<std::uint8_t>(text.begin(), text.end()), date);
}

// --- sound -----------------------------------------------------------------

std::string FakeSound::ShortPath(const std::string& path) {
    const auto it = shortPaths.find(path);
    return it == shortPaths.end() ? "" : it->second;
}

bool FakeSound::PlaySimple(const std::string& file) {
    played.push_back("simple " + file);
    return true;
}

bool FakeSound::PlayOverlapping(const std::string& file) {
    played.push_back("overlap " + file);
    return true;
}

// --- launcher ----------------------------------------------------------------

bool FakeLauncher::StartProcess(const std::string& commandLine, WindowState state) {
    started.push_back({commandLine, state, ""});
    return true;
}

bool FakeLauncher::StartSystemProgram(const SystemProgram& program, const std::string& commandLine,
                                      WindowState state) {
    const char* folder = program.folder == SystemFolder::System ? "system\\" : "windows\\";
    started.push_back({commandLine, state, folder + std::string(program.file)});
    return true;
}

bool FakeLauncher::ShellOpen(WindowHandle owner, const std::string& file, const std::string& parameters,
                             const std::string& directory) {
    opened.push_back({owner, file, parameters, directory});
    return true;
}

RegistryValue FakeLauncher::ReadRegistry(RegistryRoot, const std::string& subKey,
                                         const std::string& valueName) {
    const auto it = registry.find(subKey + "\\" + valueName);
    if (it == registry.end()) return RegistryValue{2, 0, {}};
    return it->second;
}

// --- shaper ------------------------------------------------------------------

bool FakeShaper::SetColorKey(WindowHandle, Color key) {
    if (refuseColorKey) return false;
    colorKey = key;
    return true;
}

bool FakeShaper::SetRegion(WindowHandle, const std::vector<Rect>& rectangles) {
    region = rectangles;
    return true;
}

}  // namespace corvale::fake
