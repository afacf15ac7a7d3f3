// What the tests of the whole desktop program share: a home of their own
// for settings, main folder and cache; the sample picture; Mosaic as the
// Xform of every new idea, its run held going while holdRuns is set; and
// a watchdog for the program's end.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "engine/progress.h"
#include "engine/xform_context.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

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
    realMosaicRun = mosaic->run;
    mosaic->run = &HeldMosaicRun;
}

inline QString Sample() {
    return QStringLiteral(FABULOR_SOURCE_DIR "/data/sample.bmp");
}

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
