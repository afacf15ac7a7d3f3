// The time from a Wizard press to the new idea painted in the real main
// window (offscreen): the command, the run on the worker thread, its
// collection and the repaint of the view. Mosaic at Normal quality, on the
// sample picture and on the 2000 × 1072 photograph. And the opening of a
// camera-sized picture: how long until its first idea is painted, and the
// longest the window stays frozen on the way.
//
//   build/bench-window/fabulor-bench-window --benchmark_min_time=2
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include "app/commands.h"
#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/image_view.h"
#include "app/main_window.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"

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

// The longest stretch the GUI thread goes without serving its event loop:
// a timer that asks to fire every 5 ms notes the gaps between its calls.
class FreezeWatch {
  public:
    FreezeWatch() {
        QObject::connect(&timer_, &QTimer::timeout,
                         [this] { longest_ = std::max(longest_, sinceLast_.restart()); });
        timer_.start(5);
        sinceLast_.start();
    }
    qint64 LongestMs() const { return std::max(longest_, sinceLast_.elapsed()); }

  private:
    QTimer timer_;
    QElapsedTimer sinceLast_;
    qint64 longest_ = 0;
};

// Opens path (its reading runs on a thread of its own) and waits for the
// first idea to be painted; the window is closed again between iterations.
void OpenToFirstIdea(benchmark::State& state, const QString& path) {
    double longestFreeze = 0;
    for (auto _ : state) {
        FreezeWatch watch;
        DocumentWindow* window = theApp->OpenPicture(path);
        if (!window) {
            state.SkipWithError("the picture did not open");
            return;
        }
        WaitForRun();
        QCoreApplication::processEvents();
        longestFreeze = std::max(longestFreeze, static_cast<double>(watch.LongestMs()));
        state.PauseTiming();
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["freeze_ms"] = longestFreeze;
}

// A picture of width x height with detail everywhere, written as a JPEG.
QString CameraPicture(const QString& folder, int width, int height) {
    CDADC picture(width, height);
    if (!picture.pBits) return {};
    for (int y = 0; y < height; ++y) {
        BYTE* row = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<BYTE>(x ^ y);
            row[3 * x + 1] = static_cast<BYTE>(x / 16 + y / 8);
            row[3 * x + 2] = static_cast<BYTE>((x * y) >> 8);
        }
    }
    const QString path = folder + QStringLiteral("/camera%1x%2.jpg").arg(width).arg(height);
    return picture.WriteImageFile(path.toUtf8().constData()) ? path : QString();
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
    const QString camera = CameraPicture(dir.path(), 6000, 4000);
    benchmark::RegisterBenchmark("OpenToFirstIdea/camera6000x4000", OpenToFirstIdea, camera)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    app.Frame()->close();
    app.Finish();
    theApp = nullptr;
    return 0;
}
