#include <QApplication>

#include <clocale>

#include "app/fabulor_app.h"
#include "app/screenshot_tour.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Qt takes the user's locale for numbers; the engine's messages and the
    // files it writes are formatted with a decimal point whatever it is.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setOrganizationName("Fabulor");
    QCoreApplication::setApplicationName("Fabulor");

    QStringList arguments = QCoreApplication::arguments().mid(1);
    // --screenshots FOLDER: draws a few ideas and saves pictures of every window.
    QString shots;
    const qsizetype at = arguments.indexOf("--screenshots");
    if (at >= 0 && at + 1 < arguments.size()) {
        shots = arguments.at(at + 1);
        arguments.remove(at, 2);
    }

    AppOptions options;
    if (!shots.isEmpty()) {
        options.showTipAtStart = false;
        options.singleInstance = false;
        options.messageBoxes = false;  // messages go to standard error
    }
    FabulorApp app(options);
    if (!shots.isEmpty()) return RunScreenshotTour(app, arguments, shots);
    if (!app.Start(arguments)) return 0;  // the running instance took the pictures
    const int result = QApplication::exec();
    app.Finish();
    return result;
}
