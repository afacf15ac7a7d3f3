// The program's picture book: opens the pictures, draws a few Mosaic ideas
// and saves a PNG of the main window, the context menu, the help window
// and every dialog into a folder. Used to check the look of the program.
#pragma once

#include <QString>
#include <QStringList>

class FabulorApp;

// Returns the program's exit code: 0 when every picture was saved.
int RunScreenshotTour(FabulorApp& app, const QStringList& pictures, const QString& folder);
