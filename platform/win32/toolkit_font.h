// Fonts by face name and size in points, refused when the system lacks the
// face or the size makes no sense.
#pragma once

#include <string>

#include "platform/win32/handles.h"

namespace corvale::win32 {

bool FontFaceInstalled(const std::string& name);
bool FontSizeAcceptable(double points);
// The font for a display of `dpi`, so that letters are drawn at the
// device's own resolution. Empty when the size is refused or GDI fails. A
// face the system lacks is substituted by GDI: callers that must refuse it
// ask FontFaceInstalled.
UniqueFont MakeFont(const std::string& name, double points, int dpi);

}  // namespace corvale::win32
