// Starting programs, the shell's "open", and reading registry values.
#include "platform/win32/launcher_win32.h"

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/path_query.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/text.h"

namespace corvale::win32 {

namespace {

constexpr std::int32_t kUnreadType = -1;

// The shell may hand "open" to extensions that need COM on this thread. If
// the thread has COM already (in any model) this leaves it as it was.
class ScopedCom {
public:
    ScopedCom() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ScopedCom() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

private:
    HRESULT result_;
};

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

RegistryValue ReadText(HKEY key, const std::wstring& name) {
    RegistryValue result;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    result.code = QueryValueBytes(key, name, type, data);
    result.type = type;
    if (result.code == ERROR_SUCCESS) result.value = Narrow(RegistryText(data));
    return result;
}

RegistryValue ReadNumber(HKEY key, const std::wstring& name) {
    RegistryValue result;
    DWORD type = REG_NONE;
    DWORD number = 0;  // a binary value shorter than four bytes fills its low bytes
    DWORD size = sizeof(number);
    result.code =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    result.type = type;
    if (result.code == ERROR_SUCCESS) result.value = static_cast<std::uint32_t>(number);
    return result;
}

// `application` null: the first word of the command line is looked up by
// the system's search order.
bool StartWith(const wchar_t* application, const std::string& commandLine, WindowState state) {
    // CreateProcessW may write into the command line: it needs its own copy.
    std::wstring command = Widen(commandLine);
    if (command.empty()) return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        static_cast<WORD>(state == WindowState::MinimizedFocus ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(application, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        return false;
    }
    // Released at once: nothing waits for the program or asks about it.
    const UniqueKernelObject process(started.hProcess);
    const UniqueKernelObject thread(started.hThread);
    return true;
}

std::wstring WindowsFolder() {
    return QueryPath([](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); });
}

// The system folder as this program sees it, which for a 32-bit program on
// 64-bit Windows is redirected to the 32-bit one.
std::wstring OwnSystemFolder() {
    return QueryPath([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
}

// How a 32-bit program on 64-bit Windows reaches the native system folder;
// empty where the system folder is not redirected.
std::wstring NativeSystemFolder() {
    BOOL redirected = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &redirected) || !redirected) return {};
    const std::wstring windows = WindowsFolder();
    return windows.empty() ? std::wstring() : windows + L"\\Sysnative";
}

// The system's own programs are the native ones: the 64-bit rundll32 and
// shell32 know the 64-bit applets. The Windows folder itself is never
// redirected, so explorer there is native already.
std::wstring SystemFolderPath(SystemFolder folder) {
    if (folder == SystemFolder::Windows) return WindowsFolder();
    const std::wstring native = NativeSystemFolder();
    return native.empty() ? OwnSystemFolder() : native;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool StartsWithFolder(const std::wstring& path, const std::wstring& folder) {
    if (folder.empty() || path.size() < folder.size()) return false;
    if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

std::vector<std::wstring> SplitList(const std::wstring& list) {
    std::vector<std::wstring> items;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        std::wstring item = list.substr(start, end - start);
        std::erase(item, L'"');
        if (!item.empty()) items.push_back(std::move(item));
        start = end + 1;
    }
    return items;
}

std::wstring Environment(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// A name alone is tried as it is when it has an extension, else with each
// extension the system runs, in its order.
std::vector<std::wstring> CandidateNames(const std::wstring& name) {
    if (name.find(L'.') != std::wstring::npos) return {name};
    std::wstring extensions = Environment(L"PATHEXT");
    if (extensions.empty()) extensions = L".com;.exe;.bat;.cmd";
    std::vector<std::wstring> names;
    for (const std::wstring& extension : SplitList(extensions)) names.push_back(name + extension);
    return names;
}

// What the native shell would open for a bare command name, when that is not
// what this program's own shell would find (a 32-bit program on 64-bit
// Windows finds the 32-bit edition in the redirected system folder, or
// nothing at all for the programs that have none); empty otherwise. The
// shell's order: the working folder, the system folder, the Windows folder,
// then the folders of PATH, whose system folder is redirected too.
std::wstring NativeCommand(const std::wstring& name, const std::wstring& directory) {
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos) return {};
    const std::wstring native = NativeSystemFolder();
    const std::wstring system = OwnSystemFolder();
    if (native.empty() || system.empty()) return {};
    std::vector<std::wstring> folders = {directory, system, WindowsFolder()};
    for (std::wstring& folder : SplitList(Environment(L"PATH"))) folders.push_back(std::move(folder));
    const std::vector<std::wstring> names = CandidateNames(name);
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        const bool redirected = StartsWithFolder(folder, system);
        const std::wstring seen = redirected ? native + folder.substr(system.size()) : folder;
        for (const std::wstring& candidate : names)
            if (IsFile(seen + L"\\" + candidate))
                return redirected ? seen + L"\\" + candidate : std::wstring();
    }
    return {};
}

// The shell and all it brings with it (common controls, visual styles) cost
// a few megabytes for the whole run; it is loaded only when a button first
// asks for it, from the system folder alone, and kept for the rest of the run.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

ShellExecuteFunction ShellExecuteEntry() {
    static const ShellExecuteFunction entry = [] {
        const std::wstring folder = OwnSystemFolder();  // this program's own edition
        const HMODULE shell = folder.empty() ? nullptr : LoadLibraryW((folder + L"\\shell32.dll").c_str());
        return shell ? reinterpret_cast<ShellExecuteFunction>(
                           reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")))
                     : nullptr;
    }();
    return entry;
}

}  // namespace

bool Win32Launcher::StartProcess(const std::string& commandLine, WindowState state) {
    return StartWith(nullptr, commandLine, state);
}

bool Win32Launcher::StartSystemProgram(const SystemProgram& program, const std::string& commandLine,
                                       WindowState state) {
    const std::wstring folder = SystemFolderPath(program.folder);
    if (folder.empty()) return false;
    const std::wstring application = folder + L"\\" + Widen(program.file);
    return StartWith(application.c_str(), commandLine, state);
}

bool Win32Launcher::ShellOpen(WindowHandle owner, const std::string& file, const std::string& parameters,
                              const std::string& directory) {
    const ShellExecuteFunction shellExecute = ShellExecuteEntry();
    if (!shellExecute) return false;
    const ScopedCom com;
    const std::wstring wideDirectory = Widen(directory);
    std::wstring wideFile = Widen(file);
    if (std::wstring native = NativeCommand(wideFile, wideDirectory); !native.empty())
        wideFile = std::move(native);
    const std::wstring wideParameters = Widen(parameters);
    const HINSTANCE result = shellExecute(reinterpret_cast<HWND>(owner), L"open", wideFile.c_str(),
                                          OrNull(wideParameters), OrNull(wideDirectory), SW_SHOWNORMAL);
    // Values above 32 are success; the rest are error codes in a handle's clothes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

RegistryValue Win32Launcher::ReadRegistry(RegistryRoot root, const std::string& subKey,
                                          const std::string& valueName) {
    RegistryValue result;
    HKEY opened = nullptr;
    result.code = RegOpenKeyExW(RootKey(root), Widen(subKey).c_str(), 0, KEY_READ, &opened);
    if (result.code != ERROR_SUCCESS) return result;
    const UniqueKey key(opened);
    const std::wstring name = Widen(valueName);
    DWORD type = REG_NONE;
    DWORD size = 0;
    result.code = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    result.type = type;
    if (result.code != ERROR_SUCCESS) return result;
    switch (type) {
        case REG_SZ: return ReadText(key.get(), name);
        case REG_DWORD:
        case REG_BINARY: return ReadNumber(key.get(), name);
        default: result.code = kUnreadType; return result;
    }
}

}  // namespace corvale::win32
