// The time from a Wizard press to the new idea painted in the real main
// window (offscreen): the command, the run on the worker thread, its
// collection and the repaint of the view. Mosaic at Normal quality, on the
// sample picture and on the 2000 × 1072 photograph.
//
//   build/bench-window/fabulor-bench-window --benchmark_min_time=2
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "app/commands.h"
#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/image_view.h"
#include "app/main_window.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

namespace {

FabulorApp* theApp = nullptr;

// Notes the first paint of the view once the run has been collected.
class PaintWatch : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !theApp->IsGenerating()) painted = true;
        return false;
    }
};

// A new picture's first idea: Mosaic with its Wizard parameters, no dialog.
int ChooseMosaic(int, int, int* chosen, int* wizard) {
    *chosen = kMosaic;
    *wizard = 0;
    return 1;
}
int AcceptWizardMosaic(CFilSpec& filSpec) {
    *filSpec.WizardFlag(kMosaic) = 1;
    return 1;
}

void WaitForRun() {
    while (theApp->IsGenerating())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// immediate: whether the worker tells the window at once (as the program
// does), or the window learns of the end at the 250 ms poll only.
void WizardToPaintedIdea(benchmark::State& state, const QString& path, bool immediate) {
    if (!QFileInfo::exists(path)) {
        state.SkipWithError("the picture is not beside this checkout");
        return;
    }
    DocumentWindow* window = theApp->OpenPicture(path);
    if (!window) {
        state.SkipWithError("the picture did not open");
        return;
    }
    WaitForRun();
    UsageCounts& counts = window->Document().m_UsageCounts;
    counts.fill(1000000);
    counts[kMosaic] = 0;
    if (!immediate) theApp->Worker().SetFinishedCallback({});
    PaintWatch watch;
    window->View()->viewport()->installEventFilter(&watch);
    for (auto _ : state) {
        watch.painted = false;
        theApp->Frame()->Trigger(command::kWizardCreates);
        while (theApp->IsGenerating() || !watch.painted)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        // The Wizard must go on taking Mosaic.
        counts.fill(1000000);
        counts[kMosaic] = 0;
        state.ResumeTiming();
    }
    window->View()->viewport()->removeEventFilter(&watch);
    state.counters["ideas"] = static_cast<double>(window->Document().ImageCount() - 1);
    // Closing asks "Save this image?": without message boxes the answer is No.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (!immediate) {
        theApp->Worker().SetFinishedCallback(
            [] { QMetaObject::invokeMethod(theApp, &FabulorApp::Poll, Qt::QueuedConnection); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Settings, main folder and cache of this run live in a folder of its own.
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
    qputenv("XDG_CACHE_HOME", (dir.path() + "/cache").toUtf8());
    QDir().mkpath(dir.path() + "/data/Fabulor");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);

    AppOptions options;
    options.showTipAtStart = false;
    options.messageBoxes = false;
    options.singleInstance = false;
    FabulorApp app(options);
    theApp = &app;
    if (!app.Start({})) return 1;
    SetChooseXformDialog(&ChooseMosaic);
    MutableXformRow(kMosaic)->settings = &AcceptWizardMosaic;

    const QString sample = FABULOR_SOURCE_DIR "/data/sample.bmp";
    const QString photo = FABULOR_SOURCE_DIR "/../shared/testimages/photos/xmp_test.jpg";
    benchmark::RegisterBenchmark("WizardToPaintedIdea/sample", WizardToPaintedIdea, sample, true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("WizardToPaintedIdea/photo2000x1072", WizardToPaintedIdea, photo,
                                 true)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    // The same, learning of the end at the poll of the 250 ms timer only.
    benchmark::RegisterBenchmark("WizardToPaintedIdea/sample/pollOnly", WizardToPaintedIdea, sample,
                                 false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    app.Frame()->close();
    app.Finish();
    theApp = nullptr;
    return 0;
}
