// Reading one registry value whole, shared by the settings store and the
// launcher's registry reader.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace corvale::win32 {

// Reads the type and the bytes of value `name` of an open key. The buffer
// grows when the value changes size between the size query and the read.
// Returns the system's result code.
LONG QueryValueBytes(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data);

// The UTF-16 text of REG_SZ bytes, without the terminating NUL. A value
// stored without its NUL (the registry allows it) keeps every character.
std::wstring RegistryText(const std::vector<BYTE>& data);

}  // namespace corvale::win32
