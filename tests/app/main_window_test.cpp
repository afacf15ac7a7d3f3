// The desktop program driven through its real main window: documents are
// opened, pasted and walked, ideas are made, stopped and refused, exactly
// as the menus, buttons and keys do it.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/commands.h"
#include "app/help_window.h"
#include "app/picture_image.h"
#include "app/single_instance.h"
#include "app_fixture.h"
#include "modal_helpers.h"
#include "support/shared_dir.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"

using namespace command;

namespace {

bool SamePixels(const CDADC& a, const CDADC& b) {
    return PictureToImage(a) == PictureToImage(b);
}

}  // namespace

class MainWindowTest : public QObject, private Desktop {
    Q_OBJECT
  private:
    QString savedTo_;  // the folder the save dialog answers; empty: Cancel

    QString Title() { return Active() ? Active()->windowTitle() : QString(); }

  private slots:
    void initTestCase() {
        // Settings left as a user might have them: a bare drive as the main
        // folder, a read type that does not exist.
        QSettings settings;
        settings.setValue("DIRECTORIES/MAIN", "C:");
        settings.setValue("GENERAL/READEXT", 7);
        settings.sync();

        AppOptions options = QuietOptions();
        options.askOpenFile = [](int* type) {
            *type = 4;
            return Sample();
        };
        options.askSaveFile = [this](const QString& suggested, int* type) {
            *type = 1;
            return savedTo_.isEmpty() ? QString() : savedTo_ + "/" + suggested;
        };
        QVERIFY(StartApp(options));
    }

    // Settings that cannot be used fall back to the defaults; the cache
    // lives in the cache folder.
    void startUpWithoutAPicture() {
        QCOMPARE(app_->ReadExt(), 0);
        QCOMPARE(app_->MainDir().toStdString(), DefaultMainFolder());
        QVERIFY(QFileInfo(app_->TempDir()).isDir());
        QVERIFY2(app_->TempDir().startsWith(QString::fromUtf8(qgetenv("XDG_CACHE_HOME")) + "/"),
                 qPrintable(app_->TempDir()));
        QVERIFY(app_->TempDir().endsWith("/FABULORTEMP"));
        // Without a picture only the file commands work.
        for (int id : {kOpenImageFile, kPaste, kExit, kGlyphtic, kHelp, kAbout, kTipOfTheDay})
            QVERIFY2(frame_->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        for (int id :
             {kSaveImageFile, kSaveImageAs, kCopy, kCopyAndPaste, kChooseXform, kWizardCreates,
              kCreate, kXformSettings, kStop, kBack, kForward, kGoToOriginal, kGoToLast, kOverview,
              kZoomIn, kFullSize, kImageProperties, kRevertToOriginal})
            QVERIFY2(!frame_->Action(id)->isEnabled(), qPrintable(QString::number(id)));
    }

    void openPictureMakesFirstIdea() {
        frame_->Trigger(kOpenImageFile);
        Settle();
        QVERIFY(Active());
        QCOMPARE(Active()->Document().m_szName, std::string("sample"));
        QCOMPARE(Title(), QString("sample (Xform #1 of 1)"));
        QCOMPARE(Active()->Document().m_UsageCounts[kMosaic], 1);
        QCOMPARE(Active()->Overview().Count(), 2);
        QCOMPARE(app_->ReadExt(), 4);
        QVERIFY(!SamePixels(*Active()->Picture(), *Active()->Document().m_pOrgDC));
        QVERIFY(!frame_->ProgressBar());
    }

    void wizardBackForward() {
        QVERIFY(Fresh());
        frame_->Trigger(kWizardCreates);
        // The end of a run reaches the window without waiting for the timer.
        app_->Worker().WaitForThread();
        QApplication::processEvents();
        QVERIFY(!app_->IsGenerating());
        QCOMPARE(Title(), QString("sample (Xform #2 of 2)"));
        QVERIFY(!frame_->Action(kForward)->isEnabled());
        frame_->Trigger(kBack);
        Settle();
        QCOMPARE(Title(), QString("sample (Xform #1 of 2)"));
        frame_->Trigger(kBackKey);
        QCOMPARE(Title(), QString("sample (Original)"));
        QVERIFY(SamePixels(*Active()->Picture(), *Active()->Document().m_pOrgDC));
        QVERIFY(!frame_->Action(kBack)->isEnabled());
        QVERIFY(!frame_->Action(kCreate)->isEnabled());
        frame_->Trigger(kForwardKey);
        // From the cache: no run is started.
        QVERIFY(!app_->IsGenerating());
        QCOMPARE(Title(), QString("sample (Xform #1 of 2)"));
        frame_->Trigger(kGoToLast);
        Settle();
        QCOMPARE(Title(), QString("sample (Xform #2 of 2)"));
    }

    void duringRunOnlyStopWorksAndStopRemovesIdea() {
        QVERIFY(Fresh());
        holdRuns = true;
        frame_->Trigger(kWizardCreates);
        QVERIFY(app_->IsGenerating());
        app_->Poll();
        QCOMPARE(Title(), QString("sample (Xform #2 of 2)"));
        QVERIFY(frame_->ProgressBar());
        QVERIFY(frame_->Action(kStop)->isEnabled());
        for (int id :
             {kOpenImageFile, kPaste,        kExit,          kSaveImageFile, kCopy,
              kCopyAndPaste,  kChooseXform,  kWizardCreates, kCreate,        kXformSettings,
              kBack,          kGoToOriginal, kOverview,      kSelection,     kImageQuality,
              kMixSettings,   kWebFade,      kZoomIn,        kZoomOut,       kFullSize})
            QVERIFY2(!frame_->Action(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(frame_->Action(kImageProperties)->isEnabled());

        messages_.Clear();
        QVERIFY(!frame_->close());
        QVERIFY(!Active()->close());
        const std::string refusal =
            "Still creating image:\nWait for completion \nor hit ESC or STOP...";
        QCOMPARE(messages_.Texts(), (std::vector<std::string>{refusal, refusal}));
        QVERIFY(frame_->isVisible());

        frame_->Trigger(kStop);
        holdRuns = false;
        Settle();
        QVERIFY(!app_->IsGenerating());
        QVERIFY(!frame_->ProgressBar());
        QCOMPARE(Active()->Document().ImageCount(), 2);
        QCOMPARE(Title(), QString("sample (Xform #1 of 1)"));
        QCOMPARE(Active()->Document().m_UsageCounts[kMosaic], 1);
        QVERIFY(frame_->Action(kWizardCreates)->isEnabled());
    }

    // Copy and paste in one: the same picture, and the clipboard left empty.
    // What is no picture is not pasted.
    void pasteTakesOnlyPictures() {
        DocumentWindow* source = Fresh();
        QVERIFY(source);
        const int pasted = app_->PasteCount();
        frame_->Trigger(kCopyAndPaste);
        Settle();
        QVERIFY(Active() != source);
        QCOMPARE(Active()->Document().m_szName, "Image" + std::to_string(pasted));
        QVERIFY(SamePixels(*Active()->Document().m_pOrgDC, *source->Picture()));
        const QMimeData* left = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!left || left->formats().isEmpty());

        messages_.Clear();
        EmptyClipboard();
        QVERIFY(!app_->OnEditPaste());
        QGuiApplication::clipboard()->setText("words");
        QVERIFY(!app_->OnEditPaste());
        QCOMPARE(messages_.Texts(),
                 (std::vector<std::string>{"The clipboard is empty",
                                           "The contents of the clipboard\nare not an image"}));
        QCOMPARE(app_->PasteCount(), pasted + 1);
    }

    void saveImageAsRemembersNameAndType() {
        QTemporaryDir folder;
        savedTo_ = folder.path();
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kSaveImageAs);
        savedTo_.clear();
        const std::string saved = window->SavedName(window->Document().m_iCurrent);
        QVERIFY(QString::fromStdString(saved).endsWith(".tga"));
        QVERIFY(QFileInfo::exists(QString::fromStdString(saved)));
        QCOMPARE(app_->SaveExt(), 1);
        QFile::remove(QString::fromStdString(saved));
        // Save image file writes to the same name again without asking.
        frame_->Trigger(kSaveImageFile);
        QVERIFY(QFileInfo::exists(QString::fromStdString(saved)));
    }

    void aDamagedFileIsRefused() {
        if (SharedDir().empty()) QSKIP("../shared is not beside this checkout");
        const QString shared = QString::fromStdString(SharedDir().string());
        const int before = static_cast<int>(frame_->Documents().size());
        messages_.Clear();
        QVERIFY(!app_->OpenPicture(shared + "/testimages/bmp/bad/badbitcount.bmp"));
        // One message, the reason first.
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{
                     "badbitcount.bmp is not a BMP picture: 30000 bits per pixel with compression "
                     "0 are not supported\n\nCould not open imagefile:\n<" +
                     (shared + "/testimages/bmp/bad/badbitcount.bmp").toStdString() + ">"});
        QCOMPARE(static_cast<int>(frame_->Documents().size()), before);
        QVERIFY(!app_->IsGenerating());
        // Every damaged file either opens (what was cut short said in the
        // status bar) or is refused in one message.
        const QDir bad(shared + "/testimages/bmp/bad");
        for (const QString& name : bad.entryList(QDir::Files)) {
            messages_.Clear();
            const bool opened = app_->OpenPicture(bad.filePath(name)) != nullptr;
            Settle();
            QCOMPARE(static_cast<int>(messages_.Faults().size()), opened ? 0 : 1);
        }
    }

    // A picture is read on a thread while the window stays live: the
    // progress bar shows, only STOP works, and STOP leaves nothing behind.
    void aPictureLoadsWhileTheWindowStaysLiveAndStopLeavesNothing() {
        if (SharedDir().empty()) QSKIP("../shared is not beside this checkout");
        QVERIFY(Fresh());
        const QString photo =
            QString::fromStdString((SharedDir() / "testimages/photos/flower.jpg").string());
        bool loading = false, stopEnabled = false, wizardEnabled = true, progress = false;
        QTimer::singleShot(0, this, [&] {
            loading = app_->IsLoading();
            stopEnabled = frame_->Action(kStop)->isEnabled();
            wizardEnabled = frame_->Action(kWizardCreates)->isEnabled();
            progress = frame_->ProgressBar() != nullptr;
            frame_->Trigger(kStop);
        });
        QVERIFY(!app_->OpenPicture(photo));
        QVERIFY(loading && stopEnabled && progress && !wizardEnabled);
        QCOMPARE(frame_->Documents().size(), 1);
        QVERIFY(!app_->IsGenerating());
        QVERIFY(!frame_->ProgressBar());
        QVERIFY(messages_.Texts().empty());
        QVERIFY(frame_->Action(kWizardCreates)->isEnabled());
        // Not stopped, it opens.
        QVERIFY(app_->OpenPicture(photo));
        Settle();
        QCOMPARE(Title(), QString("flower (Xform #1 of 1)"));
    }

    void helpOpensAtTheWindowInFront() {
        QFile guide(":/guide/index.html");
        QVERIFY(guide.open(QIODevice::ReadOnly));
        const QByteArray html = guide.readAll();
        QVERIFY(html.contains("id=\"image-window\""));
        // F1 over a settings panel opens its Xform's section, whatever the
        // panel's title says.
        for (const XformRow& row : XformRows()) {
            // The guide describes the Xforms that draw, and only those.
            const QString id = "id=\"xform-" + QString(row.name).toLower().replace(' ', '-') + "\"";
            QVERIFY2(html.contains(id.toLatin1()) == row.Draws(), row.name);
            if (!row.Draws()) continue;
            QDialog panel;
            panel.setWindowTitle(row.panelTitle);
            const QString section = HelpSectionFor(&panel);
            QCOMPARE(section.left(6), QString("xform-"));
            QVERIFY2(html.contains(("id=\"" + section + "\"").toLatin1()), row.panelTitle);
        }
        frame_->Trigger(kHelp);
        QCOMPARE(LastHelpUrl().fragment(), QString("image-window"));
        frame_->Trigger(kLesson);
        QCOMPARE(LastHelpUrl().fragment(), QString("lesson"));
    }

    void secondStartHandsItsPicturesToTheFirst() {
        SingleInstance first("single-instance-test");
        QVERIFY(first.Listen());
        QStringList received;
        connect(&first, &SingleInstance::activated, this,
                [&received](const QStringList& pictures) { received = pictures; });
        SingleInstance second("single-instance-test");
        QVERIFY(second.HandOver({"/pictures/a.bmp", "/pictures/b c.jpg"}));
        QTRY_COMPARE(received, (QStringList{"/pictures/a.bmp", "/pictures/b c.jpg"}));
        SingleInstance unrelated("another configuration");
        QVERIFY(!unrelated.HandOver({}));
    }

    // Cancel at the first document stops quitting: no other document is
    // asked about, none is closed. The second document of a picture takes
    // a name of its own.
    void cancelStopsTheWholeClose() {
        QVERIFY(Fresh());
        DocumentWindow* second = app_->OpenPicture(Sample());
        QVERIFY(second);
        Settle();
        QCOMPARE(second->Document().m_szName, std::string("sample-1"));
        frame_->Trigger(kWizardCreates);
        Settle();
        MessageCapture cancel(Answer::Cancel);
        QVERIFY(!frame_->close());
        QCOMPARE(frame_->Documents().size(), 2);
        QCOMPARE(cancel.Texts().size(), size_t{1});
        QVERIFY(frame_->isVisible());
    }

    // The question before closing counts the ideas going unsaved besides
    // the one on show; a saved one does not count.
    void closingCountsTheUnsavedIdeas() {
        QTemporaryDir folder;
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        MessageCapture cancel(Answer::Cancel);
        QVERIFY(!window->close());
        frame_->Trigger(kWizardCreates);
        Settle();
        frame_->Trigger(kWizardCreates);
        Settle();
        frame_->Trigger(kBack);
        Settle();
        QVERIFY(!window->close());
        savedTo_ = folder.path();
        frame_->Trigger(kBack);
        frame_->Trigger(kSaveImageAs);
        savedTo_.clear();
        frame_->Trigger(kForward);
        QVERIFY(!window->close());
        QCOMPARE(cancel.Texts(),
                 (std::vector<std::string>{
                     "Save this image:\nsample (Xform #1 of 1)?",
                     "Save this image:\nsample (Xform #2 of 3)?\n\n2 other unsaved ideas of "
                     "this picture will be lost.",
                     "Save this image:\nsample (Xform #2 of 3)?\n\n1 other unsaved idea of this "
                     "picture will be lost."}));
    }

    // A message shown while a document window goes (its cache files have
    // vanished) runs the event loop, and with it the commands' poll: that
    // must not reach the document being deleted.
    void aMessageWhileAWindowGoesLeavesItAlone() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kWizardCreates);
        Settle();
        for (const QFileInfo& file : QDir(app_->TempDir()).entryInfoList(QDir::Files))
            QVERIFY(QFile::remove(file.filePath()));
        int polls = 0;
        const Reporter previous = SetReporter([&](const Message&) {
            frame_->UpdateCommands();
            ++polls;
            return Answer::No;
        });
        delete window;
        SetReporter(previous);
        QVERIFY(polls > 0);
        QVERIFY(!Active());
        QVERIFY(frame_->Documents().isEmpty());
    }

    // Pictures handed over by a later start wait while a run goes on or a
    // dialog is open, and open one after the other when the program is free.
    void handedPicturesWaitUntilTheProgramIsFree() {
        QVERIFY(Fresh());
        holdRuns = true;
        frame_->Trigger(kWizardCreates);
        app_->OnActivated({Sample(), Sample()});
        QCOMPARE(app_->PendingPictures().size(), 2);
        QCOMPARE(frame_->Documents().size(), 1);
        holdRuns = false;
        Settle();  // the run ends: the first opens and starts its first idea
        QCOMPARE(frame_->Documents().size(), 2);
        QCOMPARE(app_->PendingPictures().size(), 1);
        Settle();
        QCOMPARE(frame_->Documents().size(), 3);
        Settle();

        QStringList pendingInDialog;
        WhenModal([this, &pendingInDialog](QWidget* dialog) {
            app_->OnActivated({Sample()});
            app_->Poll();
            pendingInDialog = app_->PendingPictures();
            dialog->close();
        });
        frame_->Trigger(kOverview);
        QCOMPARE(pendingInDialog.size(), 1);
        app_->Poll();
        Settle();
        QCOMPARE(frame_->Documents().size(), 4);
        QVERIFY(app_->PendingPictures().isEmpty());
        QVERIFY(messages_.Texts().empty());
    }

    void cleanup() {
        // A failed check must not leave a run held for the next test.
        holdRuns = false;
        Settle();
    }

    void cleanupTestCase() {
        messages_.Clear();
        QVERIFY(frame_->close());
        app_->Finish();
        QSettings settings;
        QCOMPARE(settings.value("GENERAL/PREFD_FILTR").toInt(), static_cast<int>(kMosaic));
        QCOMPARE(settings.value("GENERAL/SAVEEXT").toInt(), app_->SaveExt());
        QCOMPARE(settings.value("DIRECTORIES/MAIN").toString().toStdString(), DefaultMainFolder());
        app_.reset();
    }
};

int main(int argc, char** argv) {
    return RunAtHome<MainWindowTest>(argc, argv);
}

#include "main_window_test.moc"
