// Starting programs, the shell's "open", and reading registry values.
#pragma once

#include <string>

#include "platform/launcher.h"

namespace corvale::win32 {

// Nothing here waits for what it starts. A 32-bit program on 64-bit Windows
// starts the system's native programs, as a native program would: the system
// programs from the native system folder, and ShellOpen's bare command names
// (osk.exe, powershell) from there when the native shell would find them there.
//
// ReadRegistry reads REG_DWORD and REG_BINARY into four bytes: a binary
// value longer than that is not read at all and answers the system's
// ERROR_MORE_DATA (234) without a value, as a four-byte read of it does.
// Types other than REG_SZ, REG_DWORD and REG_BINARY answer -1.
class Win32Launcher final : public Launcher {
public:
    bool StartProcess(const std::string& commandLine, WindowState state) override;
    bool StartSystemProgram(const SystemProgram& program, const std::string& commandLine,
                            WindowState state) override;
    bool ShellOpen(WindowHandle owner, const std::string& file, const std::string& parameters,
                   const std::string& directory) override;
    RegistryValue ReadRegistry(RegistryRoot root, const std::string& subKey,
                               const std::string& valueName) override;
};

}  // namespace corvale::win32
