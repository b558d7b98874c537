// Starting programs, shell "open", and reading the registry.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/types.h"

namespace corvale {

enum class WindowState { NormalFocus = 1, MinimizedFocus = 2 };

// The folders that hold the system's own programs.
enum class SystemFolder { System, Windows };

// A program of the system: its file name in one of those folders.
struct SystemProgram {
    SystemFolder folder;
    const char* file;
};

// Registry roots the program reads from.
enum class RegistryRoot { CurrentUser, LocalMachine };

// What the registry answered for one value. `code` is the system's result
// code (0 success, 2 not found); `type` the value's registry type.
struct RegistryValue {
    std::int32_t code = 0;
    std::uint32_t type = 0;
    std::variant<std::monostate, std::string, std::uint32_t> value;
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts a command line; returns false when it could not be started.
    virtual bool StartProcess(const std::string& commandLine, WindowState state) = 0;
    // Starts a system program from its own folder, whatever lies in the
    // program's or the current folder under the same name; the command line
    // is handed on as written.
    virtual bool StartSystemProgram(const SystemProgram& program, const std::string& commandLine,
                                    WindowState state) = 0;
    virtual bool ShellOpen(WindowHandle owner, const std::string& file, const std::string& parameters,
                           const std::string& directory) = 0;
    virtual RegistryValue ReadRegistry(RegistryRoot root, const std::string& subKey,
                                       const std::string& valueName) = 0;
};

}  // namespace corvale
