// Fonts by face name and size in points, refused when the system lacks the
// face or the size makes no sense.
#pragma once

#include <string>

#include "platform/win32/handles.h"

namespace corvale::win32 {

bool FontFaceInstalled(const std::string& name);
bool FontSizeAcceptable(double points);
// Empty when the size is refused or GDI fails. A face the system lacks is
// substituted by GDI: callers that must refuse it ask FontFaceInstalled.
UniqueFont MakeFont(const std::string& name, double points);

}  // namespace corvale::win32
