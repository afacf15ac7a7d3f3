#include "app/screenshot_tour.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/help_window.h"
#include "app/idea_gallery_window.h"
#include "app/image_view.h"
#include "app/main_window.h"
#include "engine/figure_file.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "surface/cdadc.h"

namespace {

constexpr int kIdeas = 6;
constexpr int kSettleMs = 400;
// A page of the gallery is shown as far as it has come after this long.
constexpr int kGalleryWaitMs = 60000;

int failures = 0;
int (*mosaicPanel)(CFilSpec&) = nullptr;

void Save(QWidget* widget, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = folder + "/" + name + ".png";
    if (!widget || !widget->grab().save(path, "PNG")) {
        std::fprintf(stderr, "screenshot: could not save %s\n", qPrintable(path));
        ++failures;
    } else {
        std::printf("%s\n", qPrintable(path));
    }
}

// Opens a modal dialog with `open`; once it shows, saves it and closes it.
void SaveModal(const QString& folder, const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(kSettleMs, [folder, name] {
        QWidget* modal = QApplication::activeModalWidget();
        Save(modal, folder, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else if (modal)
            modal->close();
    });
    open();
}

// The tour's pictures open with Mosaic at Wizard parameters, without asking.
int ChooseMosaic(int, int, int* chosen, int* wizard) {
    *chosen = kMosaic;
    *wizard = 0;
    return 1;
}
int AcceptWizardMosaic(CFilSpec& filSpec) {
    *filSpec.WizardFlag(kMosaic) = 1;
    return 1;
}

// Op Art's panel with the picture as its figure bitmap.
void OpenOpArtPanel(QWidget* parent, const QString& picture) {
    CFilSpec filSpec;
    filSpec.OpArt.wizardChooses = 0;
    std::unique_ptr<CDADC> figure(NewFigure());
    std::string name;
    std::string path;
    if (figure && StretchPictureOnto(figure.get(), picture.toLocal8Bit().constData()) &&
        StoreFigure(figure.get(), &name, &path) && name.size() < sizeof filSpec.OpArt.imageName) {
        std::memcpy(filSpec.OpArt.imageName, name.c_str(), name.size() + 1);
    }
    RunXformSettingsPanel(parent, filSpec, kOpArt);
}

void WaitForRun(FabulorApp& app) {
    app.Worker().WaitForThread();
    app.Poll();
    QApplication::processEvents();
}

}  // namespace

int RunScreenshotTour(FabulorApp& app, const QStringList& pictures, const QString& folder) {
    QDir().mkpath(folder);
    app.Start({});
    MainWindow* frame = app.Frame();
    frame->resize(1100, 800);
    Save(frame, folder, "main-window-empty");

    const ChooseXformDialog chooser = SetChooseXformDialog(&ChooseMosaic);
    mosaicPanel = MutableXformRow(kMosaic)->settings;
    MutableXformRow(kMosaic)->settings = &AcceptWizardMosaic;
    for (const QString& picture : pictures) {
        app.OpenPicture(picture);
        WaitForRun(app);
    }
    DocumentWindow* window = frame->ActiveDocument();
    if (window) {
        // The Wizard takes each Xform that draws in turn, Mist too.
        window->Document().m_UsageCounts = {};
        for (int i = 1; i < kIdeas; ++i) {
            frame->Trigger(command::kWizardCreates);
            WaitForRun(app);
        }
    }
    SetChooseXformDialog(chooser);
    MutableXformRow(kMosaic)->settings = mosaicPanel;
    frame->UpdateCommands();
    Save(frame, folder, "main-window");

    if (window) {
        frame->Trigger(command::kGoToOriginal);
        frame->Trigger(command::kForward);
        WaitForRun(app);
        Save(frame, folder, "main-window-first-idea");
        frame->Trigger(command::kGoToLast);
        WaitForRun(app);
        window->View()->SetZoom(50);
        Save(frame, folder, "main-window-zoom-50");
        window->View()->SetZoom(100);

        QMenu* file = frame->menuBar()->actions().constFirst()->menu();
        file->popup(frame->mapToGlobal(QPoint(0, frame->menuBar()->height())));
        Save(file, folder, "file-menu");
        file->close();

        QMenu* menu = frame->BuildContextMenu(frame);
        menu->popup(window->mapToGlobal(QPoint(80, 80)));
        Save(menu, folder, "context-menu");
        menu->close();
        delete menu;

        SaveModal(folder, "overview", [frame] { frame->Trigger(command::kOverview); });
        SaveModal(folder, "choose-xform", [frame] { frame->Trigger(command::kChooseXform); });
        SaveModal(folder, "xform-settings-mosaic",
                  [frame] { frame->Trigger(command::kXformSettings); });
        SaveModal(folder, "xform-settings-op-art",
                  [frame, &pictures] { OpenOpArtPanel(frame, pictures.constFirst()); });
        SaveModal(folder, "image-quality", [frame] { frame->Trigger(command::kImageQuality); });
        SaveModal(folder, "mix", [frame] { frame->Trigger(command::kMixSettings); });
        SaveModal(folder, "web-fade", [frame] { frame->Trigger(command::kWebFade); });
        SaveModal(folder, "selection", [window] {
            AreaSelection selection;
            int applyNow = 0;
            RunAreaSelectionDialog(window, &selection, window->Document().m_pOrgDC.get(),
                                   &applyNow);
        });
        SaveModal(folder, "properties", [frame] { frame->Trigger(command::kImageProperties); });

        frame->Trigger(command::kIdeaGallery);
        if (IdeaGalleryWindow* gallery = IdeaGalleryWindow::Find(window)) {
            QElapsedTimer waited;
            waited.start();
            while (gallery->IsDrawing() && waited.elapsed() < kGalleryWaitMs) {
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            }
            Save(gallery, folder, "idea-gallery");
            gallery->close();
        }
    }
    SaveModal(folder, "tip-of-the-day", [frame] { frame->Trigger(command::kTipOfTheDay); });
    SaveModal(folder, "about", [frame] { frame->Trigger(command::kAbout); });

    ShowHelp(frame, HelpSectionFor(frame));
    QApplication::processEvents();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (qobject_cast<QTextBrowser*>(top) && top->isVisible()) Save(top, folder, "help");
    }
    app.Finish();
    return failures == 0 ? 0 : 1;
}
