// Starting programs, the shell's "open", and reading registry values.
#include "platform/win32/launcher_win32.h"

#include <windows.h>
#include <objbase.h>

#include <cstdint>
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

std::wstring SystemFolderPath(SystemFolder folder) {
    if (folder == SystemFolder::System)
        return QueryPath([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
    return QueryPath([](wchar_t* buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); });
}

// The shell and all it brings with it (common controls, visual styles) cost
// a few megabytes for the whole run; it is loaded only when a button first
// asks for it, from the system folder alone, and kept for the rest of the run.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

ShellExecuteFunction ShellExecuteEntry() {
    static const ShellExecuteFunction entry = [] {
        const std::wstring folder = SystemFolderPath(SystemFolder::System);
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
    const std::wstring wideFile = Widen(file);
    const std::wstring wideParameters = Widen(parameters);
    const std::wstring wideDirectory = Widen(directory);
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
