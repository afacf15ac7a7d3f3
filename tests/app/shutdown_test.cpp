// The program ends while its run waits for a message box: the generation
// thread waits for the user-interface thread to show the box, which waits
// for the generation thread to end. Neither may wait for ever.
#include <atomic>
#include <chrono>
#include <thread>

#include <QDir>
#include <QSettings>
#include <QtTest>

#include "app_fixture.h"
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

}  // namespace

class ShutdownTest : public QObject {
    Q_OBJECT

  private slots:
    void endingTheProgramDuringARunsMessageDoesNotHang() {
        XformRow* mosaic = MutableXformRow(kMosaic);
        const XformRow saved = *mosaic;
        mosaic->run = &ComplainingRun;

        AppOptions options = QuietOptions();
        options.messageBoxes = true;
        auto app = std::make_unique<FabulorApp>(options);
        QVERIFY(app->Start({}));
        // Start installs the real dialogs.
        SetChooseXformDialog(&ChooseMosaic);
        mosaic->settings = &AcceptWizardMosaic;
        app->OpenPicture(Sample());
        while (!reporting)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QVERIFY(app->IsGenerating());

        // Without the event loop the box is never shown; the program ends.
        EndsInTime("during a run's message", [&app] { app.reset(); });
        *mosaic = saved;
        SetChooseXformDialog(nullptr);
    }
};

int main(int argc, char** argv) {
    return RunAtHome<ShutdownTest>(argc, argv, [](const QString& home) {
        // A main folder that exists: the first start's message would be a real box.
        QDir().mkpath(home + "/main");
        QSettings().setValue("DIRECTORIES/MAIN", home + "/main");
    });
}

#include "shutdown_test.moc"
