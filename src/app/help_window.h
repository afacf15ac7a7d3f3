// The user guide: a bundled HTML page with one section per window and
// dialog, shown in a help window of the program. F1 opens it at the section
// of the window in front.
#pragma once

#include <QString>
#include <QUrl>

class QWidget;

// The guide's section for a window: a dialog by its title, the main window
// by whether a document is open.
QString HelpSectionFor(QWidget* front);
// Shows the guide at the section, over the window of `over` (so that it can
// be read while a modal dialog is open).
void ShowHelp(QWidget* over, const QString& section);
// Where the help window was last sent; empty before the first help.
QUrl LastHelpUrl();
// Makes F1 open the guide from every dialog too (the main window has its
// own key).
void InstallHelpKey();
