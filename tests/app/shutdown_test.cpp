// The program ends while its run waits for a message box: the generation
// thread waits for the user-interface thread to show the box, which waits
// for the generation thread to end. Neither may wait for ever.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/fabulor_app.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "util/error_box.h"

namespace {

std::atomic<bool> reporting{false};

// An Xform that reports a fault and then waits to be stopped.
int ComplainingRun(const CFilSpec&, XformContext&) {
    reporting = true;
    ErrorBox("The run has something to say");
    while (StopRequested == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
}

int ChooseMosaic(int, int, int* chosen, int* wizard) {
    *chosen = kMosaic;
    *wizard = 0;
    return 1;
}

int AcceptPanel(CFilSpec&) {
    return 1;
}

}  // namespace

class ShutdownTest : public QObject {
    Q_OBJECT

  private slots:
    void endingTheProgramDuringARunsMessageDoesNotHang() {
        XformRow* mosaic = MutableXformRow(kMosaic);
        const XformRow saved = *mosaic;
        mosaic->run = &ComplainingRun;

        AppOptions options;
        options.showTipAtStart = false;
        options.singleInstance = false;
        options.messageBoxes = true;
        auto app = std::make_unique<FabulorApp>(options);
        QVERIFY(app->Start({}));
        // Start installs the real dialogs.
        SetChooseXformDialog(&ChooseMosaic);
        mosaic->settings = &AcceptPanel;
        app->OpenPicture(QStringLiteral(FABULOR_SOURCE_DIR "/data/sample.bmp"));
        while (!reporting)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QVERIFY(app->IsGenerating());

        // Without the event loop the box is never shown; the program ends.
        std::atomic<bool> ended{false};
        std::thread watchdog([&ended] {
            for (int i = 0; i < 3000 && !ended; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!ended) {
                std::fputs("the program hung while ending during a run's message\n", stderr);
                std::abort();
            }
        });
        app.reset();
        ended = true;
        watchdog.join();
        *mosaic = saved;
        SetChooseXformDialog(nullptr);
    }
};

int main(int argc, char** argv) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Fabulor");
    QCoreApplication::setApplicationName("Fabulor");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    // A main folder that exists: the first start's message would be a real box.
    QDir().mkpath(dir.path() + "/main");
    QSettings().setValue("DIRECTORIES/MAIN", dir.path() + "/main");
    ShutdownTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "shutdown_test.moc"
