// The program's pictures, painted in code: the tool bar's buttons and the
// program icon.
#pragma once

#include <QIcon>
#include <QImage>

// The tool-bar picture of a command (19 x 18 logical pixels); a null icon
// for a command without one.
QIcon ToolIcon(int commandId);
// The program icon at size x size pixels.
QImage AppIconImage(int size);
QIcon AppIcon();
