// What the tests of the whole desktop program share: a home of their own
// for settings, main folder and cache; the sample picture; Mosaic as the
// Xform of every new idea, its run held going while holdRuns is set; the
// running program with its main window; and a watchdog for the program's end.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/main_window.h"
#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"

inline std::atomic<bool> holdRuns{false};
inline int (*realMosaicRun)(const CFilSpec&, XformContext&) = nullptr;

inline int HeldMosaicRun(const CFilSpec& filSpec, XformContext& ctx) {
    while (holdRuns && StopRequested == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return realMosaicRun(filSpec, ctx);
}

// The Choose Xform dialog's answer: Mosaic, with the Wizard off.
inline int ChooseMosaic(int, int, int* chosen, int* wizard) {
    *chosen = kMosaic;
    *wizard = 0;
    return 1;
}

// Mosaic's panel: OK with its Wizard on.
inline int AcceptWizardMosaic(CFilSpec& filSpec) {
    *filSpec.WizardFlag(kMosaic) = 1;
    return 1;
}

// Every new idea is Mosaic at Wizard parameters, its run held while
// holdRuns is set. Call after the program's Start, which installs the real
// dialogs.
inline void MosaicForEveryIdea() {
    SetChooseXformDialog(&ChooseMosaic);
    XformRow* mosaic = MutableXformRow(kMosaic);
    mosaic->settings = &AcceptWizardMosaic;
    // A second start must not hold the held run.
    if (mosaic->run != &HeldMosaicRun) realMosaicRun = mosaic->run;
    mosaic->run = &HeldMosaicRun;
}

inline QString Sample() {
    return QStringLiteral(FABULOR_SOURCE_DIR "/data/sample.bmp");
}

// No boxes, no tip and no second-start listener: messages go to the
// reporter the test installed.
inline AppOptions QuietOptions() {
    AppOptions options;
    options.showTipAtStart = false;
    options.messageBoxes = false;
    options.singleInstance = false;
    return options;
}

// The running program as the tests drive it. The messages are captured
// before the program starts and after it ends.
class Desktop {
  protected:
    MessageCapture messages_;
    std::unique_ptr<FabulorApp> app_;
    MainWindow* frame_ = nullptr;
    // Fresh documents leave the Wizard only Mosaic to take.
    bool favourMosaic_ = true;

    bool StartApp(const AppOptions& options) {
        app_ = std::make_unique<FabulorApp>(options);
        if (!app_->Start({})) return false;
        frame_ = app_->Frame();
        MosaicForEveryIdea();
        return true;
    }
    void Settle() {
        app_->Worker().WaitForThread();
        app_->Poll();
        QApplication::processEvents();
    }
    DocumentWindow* Active() { return frame_->ActiveDocument(); }
    // Closing asks "Save this image?", which the capture answers No.
    void CloseAll() {
        for (DocumentWindow* window : frame_->Documents())
            window->close();
        Settle();
        // The closed windows go now, and their cache files with them, as
        // they do when the program returns to its event loop: a new document
        // of the same name must draw its ideas, not find the old ones.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The picture alone, its first idea drawn, the main window active (the
    // help and gallery windows take the focus when they open).
    DocumentWindow* Fresh(const QString& path = Sample()) {
        CloseAll();
        frame_->activateWindow();
        if (!QTest::qWaitForWindowActive(frame_)) return nullptr;
        DocumentWindow* window = app_->OpenPicture(path);
        Settle();
        if (window && favourMosaic_) {
            UsageCounts& counts = window->Document().m_UsageCounts;
            const int mosaic = counts[kMosaic];
            counts.fill(1000000);
            counts[kMosaic] = mosaic;
        }
        messages_.Clear();
        return window;
    }
    // Dropped on the main window; false if the window refuses the drag.
    // Sent straight to it: without a real drag no drop is routed.
    bool Drop(QMimeData* data) {
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(frame_, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame_, &dropped);
        Settle();
        return true;
    }
};

// Ends the program with end(); a hang of more than 30 s aborts the test
// program with what hung, rather than waiting for the test's time-out.
inline void EndsInTime(const char* what, const std::function<void()>& end) {
    std::atomic<bool> ended{false};
    std::thread watchdog([&ended, what] {
        for (int i = 0; i < 3000 && !ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!ended) {
            std::fprintf(stderr, "the program hung while ending %s\n", what);
            std::abort();
        }
    });
    end();
    ended = true;
    watchdog.join();
}

// Runs the Qt test with settings, data and cache in a folder of its own,
// removed at the end; prepare(home) may set things up before the test.
template <class Test>
int RunAtHome(int argc, char** argv, const std::function<void(const QString&)>& prepare = {}) {
    QTemporaryDir home;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, (home.path() + "/" + variable).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Fabulor");
    QCoreApplication::setApplicationName("Fabulor");
    QSettings::setDefaultFormat(QSettings::IniFormat);
    if (prepare) prepare(home.path());
    Test test;
    return QTest::qExec(&test, argc, argv);
}
