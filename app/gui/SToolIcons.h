// The pictures on the tool-bar buttons. A button shows the desktop theme's icon where the
// freedesktop naming standard has a fitting one, else one of our own SVG drawings (data/icons/tools,
// compiled in under :/icons/tools/), which is also the fallback when the theme lacks the name.
#pragma once

#include <QIcon>
#include <QString>

#include <string_view>

// The icon of the tool button with this object name ("ToolOpen"); a null icon for an unknown name.
QIcon ToolIcon(std::string_view buttonName);

// The resource path of the button's own drawing (":/icons/tools/folder-open.svg"); empty for an
// unknown name.
QString ToolIconFile(std::string_view buttonName);
