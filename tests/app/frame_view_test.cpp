// The main window as a person at a keyboard meets it: every key of the
// command table, windows that fit the workspace, zoom without stray scroll
// bars, the status bar, dropped pictures, recent files and remembered state.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QWhatsThis>

#include "app/commands.h"
#include "app/image_view.h"
#include "app/picture_image.h"
#include "app_fixture.h"
#include "support/scratch_dir.h"
#include "surface/cdadc.h"

using namespace command;

namespace {

// The folder of this program's pictures.
ScratchDir& Home() {
    static ScratchDir home;
    return home;
}

QString Scratch(const std::string& name) {
    return QString::fromStdString((Home() / name).string());
}

// A grey picture of that size written as BMP into the scratch folder.
QString WritePicture(const std::string& name, int width, int height) {
    CDADC picture(width, height);
    picture.pDC->FillSolidRect(0, 0, width, height, RGB(90, 120, 150));
    const QString path = Scratch(name);
    picture.WriteBmpFile(path.toUtf8().constData());
    return path;
}

}  // namespace

class FrameViewTest : public QObject, private Desktop {
    Q_OBJECT
  private:
    QString saveTo_;          // the save dialog's answer; empty: Cancel
    int jpegAnswer_ = 0;      // the JPEG quality question's; 0: Cancel
    int jpegSuggested_ = -1;  // what the question offered

    ImageView* View() { return Active() ? Active()->View() : nullptr; }
    QRect Workspace() const { return frame_->MdiArea()->viewport()->rect(); }
    // The sizes a failure needs to be understood.
    static QString Sizes(ImageView* view) {
        auto text = [](QSize size) {
            return QString("%1x%2").arg(size.width()).arg(size.height());
        };
        return QString("zoom %1, frame %2, viewport %3, picture %4")
            .arg(view->ZoomPercent())
            .arg(text(view->parentWidget()->size()), text(view->viewport()->size()),
                 text(view->ShownImage().size()));
    }
    static bool ScrollBarsShown(ImageView* view) {
        return view->horizontalScrollBar()->isVisible() || view->verticalScrollBar()->isVisible();
    }

  private slots:
    void initTestCase() {
        AppOptions options = QuietOptions();
        options.askOpenFile = [](int* type) {
            *type = 0;
            return Sample();
        };
        options.askSaveFile = [this](const QString&, int* type) {
            *type = FabulorApp::kPngType;
            return saveTo_;
        };
        options.askJpegQuality = [this](int suggested) {
            jpegSuggested_ = suggested;
            return jpegAnswer_;
        };
        QVERIFY(StartApp(options));
    }

    void init() {
        // Two owners of one key make Qt run neither.
        QTest::failOnWarning(QRegularExpression("Ambiguous shortcut"));
    }

    // Each key of the table, pressed where its command is enabled, runs it.
    void everyKeyOfTheTableRunsItsCommand() {
        for (const Info& info : All()) {
            for (const QKeySequence& key : Shortcuts(info)) {
                const QString what = QString("%1 %2").arg(info.id).arg(key.toString());
                DocumentWindow* window = Fresh();
                QVERIFY(window);
                switch (info.id) {
                    case kBack:
                    case kBackKey:
                    case kGoToLast:
                        frame_->Trigger(kWizardCreates);
                        Settle();
                        break;
                    case kForward:
                    case kForwardKey:
                        frame_->Trigger(kBack);
                        Settle();
                        break;
                    case kStop:
                        holdRuns = true;
                        frame_->Trigger(kWizardCreates);
                        break;
                    case kPaste:
                        window->Copy();
                        break;
                    case kZoomOut:
                    case kFullSize:
                        View()->SetZoom(60);
                        break;
                    default:
                        break;
                }
                QAction* action = frame_->Action(info.id);
                QVERIFY2(action->isEnabled(), qPrintable(what));
                QSignalSpy ran(action, &QAction::triggered);
                const QKeyCombination combination = key[0];
                QWidget* target =
                    QApplication::focusWidget() ? QApplication::focusWidget() : frame_;
                QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
                QVERIFY2(ran.count() == 1, qPrintable(what));
                holdRuns = false;
                if (info.id == kContextHelp) QWhatsThis::leaveWhatsThisMode();
                Settle();
                if (info.id == kExit) {
                    QVERIFY(!frame_->isVisible());
                    frame_->show();
                }
                if (info.id == kCloseDocument) QVERIFY(frame_->Documents().isEmpty());
            }
        }
    }

    // The zoom keys of laptop and keypad alike step by 10%, shown in the
    // title, and the full size; the frame is fitted exactly: no scroll bar
    // at any zoom that fits.
    void zoomKeysAndWindowsWithoutScrollBars() {
        QVERIFY(Fresh());
        QCOMPARE(View()->ZoomPercent(), 100);
        QTest::keyClick(frame_, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(View()->ZoomPercent(), 110);
        QTest::keyClick(frame_, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(View()->ZoomPercent(), 120);
        QTest::keyClick(frame_, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(frame_, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(frame_, Qt::Key_Minus);
        QCOMPARE(View()->ZoomPercent(), 90);
        QCOMPARE(Active()->windowTitle(), QString("sample (Xform #1 of 1)[90%]"));
        QTest::keyClick(frame_, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(View()->ZoomPercent(), 100);
        QCOMPARE(Active()->windowTitle(), QString("sample (Xform #1 of 1)"));

        ImageView* view = View();
        for (int percent : {110, 50, 100, 25, 130, 75, 100, 120}) {
            view->SetZoom(percent);
            QApplication::processEvents();
            const QString what = Sizes(view);
            QVERIFY2(!ScrollBarsShown(view), qPrintable(what));
            const QSize shown = view->ShownImage().size();
            QVERIFY2(view->viewport()->width() >= shown.width(), qPrintable(what));
            QVERIFY2(view->viewport()->height() >= shown.height(), qPrintable(what));
            // Only a frame held wider by its title bar's buttons may have room to spare.
            if (shown.width() > 200) QCOMPARE(view->viewport()->size(), shown);
        }
    }

    // A picture larger than the workspace opens at the largest zoom step at
    // which it fits, inside the workspace, and says so in its title.
    void largePictureOpensInsideTheWorkspace() {
        const QRect room = Workspace();
        const QString path = WritePicture("large.bmp", room.width() * 3, room.height() * 2);
        DocumentWindow* window = Fresh(path);
        QVERIFY(window);
        QVERIFY2(room.contains(window->geometry()), qPrintable(QString("%1,%2 %3x%4")
                                                                   .arg(window->x())
                                                                   .arg(window->y())
                                                                   .arg(window->width())
                                                                   .arg(window->height())));
        QCOMPARE(View()->ZoomPercent(), 30);
        QVERIFY2(!ScrollBarsShown(View()), qPrintable(Sizes(View())));
        QVERIFY(window->windowTitle().endsWith("[30%]"));
        // Full size scrolls inside a window that still fits.
        frame_->Trigger(kFullSize);
        QApplication::processEvents();
        QVERIFY(room.contains(window->geometry()));
        QVERIFY(ScrollBarsShown(View()));
        frame_->Trigger(kFitToWindow);
        QCOMPARE(View()->ZoomPercent(), 30);
        // A picture that fits opens at full size; fitting it enlarges it.
        QVERIFY(Fresh());
        QCOMPARE(View()->ZoomPercent(), 100);
        frame_->Trigger(kFitToWindow);
        QApplication::processEvents();
        QVERIFY(View()->ZoomPercent() > 100);
        QVERIFY(room.contains(Active()->geometry()));
        QVERIFY2(!ScrollBarsShown(View()), qPrintable(Sizes(View())));
    }

    // A run that ends while a tool-bar hint covers the message pane leaves the
    // pane to the status bar: no idle text drawn over the hint. An empty
    // workspace says how to begin.
    void statusBarTextsNeverOverlap() {
        QVERIFY(Fresh());
        QCOMPARE(frame_->IdleText(), QString("For Help, press F1, for Inspiration, press F7"));
        QVERIFY(frame_->IdleTextShown());
        holdRuns = true;
        frame_->Trigger(kWizardCreates);
        app_->Poll();
        QVERIFY(frame_->ProgressBar());
        QVERIFY(!frame_->IdleTextShown());
        frame_->statusBar()->showMessage("Get Image");
        holdRuns = false;
        Settle();
        QVERIFY(!frame_->ProgressBar());
        QVERIFY(!frame_->IdleTextShown());
        frame_->statusBar()->clearMessage();
        QVERIFY(frame_->IdleTextShown());
        // Without a picture F7 does nothing, and the status bar does not offer it.
        CloseAll();
        frame_->UpdateCommands();
        QCOMPARE(frame_->IdleText(), QString("For Help, press F1"));
        QVERIFY(frame_->WorkspaceHint().contains("Ctrl+O"));
        QVERIFY(frame_->WorkspaceHint().contains("drop"));
        QVERIFY(Fresh());
        QVERIFY(frame_->WorkspaceHint().isEmpty());
    }

    // Files dropped on the window open as pictures; a picture dragged out of
    // a web page opens from its pixels; an address alone is refused.
    void droppedPicturesOpen() {
        CloseAll();
        QMimeData files;
        const QString other = WritePicture("other.bmp", 64, 48);
        files.setUrls({QUrl::fromLocalFile(Sample()), QUrl::fromLocalFile(other)});
        QVERIFY(Drop(&files));
        Settle();  // the second opens when the first has its first idea
        QCOMPARE(frame_->Documents().size(), 2);
        QCOMPARE(Active()->Document().m_szName, std::string("other"));

        QMimeData pixels;
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(10, 200, 30));
        pixels.setImageData(image);
        pixels.setUrls({QUrl("https://example.org/leaf.png")});
        const int pasted = app_->PasteCount();
        QVERIFY(Drop(&pixels));
        QCOMPARE(frame_->Documents().size(), 3);
        QCOMPARE(Active()->Document().m_szName, "Image" + std::to_string(pasted));
        QCOMPARE(PictureToImage(*Active()->Document().m_pOrgDC).pixelColor(5, 5),
                 QColor(10, 200, 30));

        // An address alone is fetched, then opened; what is no picture says so.
        QMimeData address;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        address.setUrls({QUrl("data:image/png;base64," + png.toBase64())});
        QVERIFY(Drop(&address));
        QTRY_COMPARE(frame_->Documents().size(), 4);
        Settle();  // no drop is taken while its first idea is drawn
        QCOMPARE(PictureToImage(*Active()->Document().m_pOrgDC).size(), QSize(40, 30));
        messages_.Clear();
        address.setUrls({QUrl("data:text/plain;base64,d29yZHM=")});
        QVERIFY(Drop(&address));
        QTRY_VERIFY(!messages_.Texts().empty());
        QCOMPARE(messages_.Texts(), std::vector<std::string>{"Could not get a picture from\n"
                                                             "data:text/plain;base64,d29yZHM="});
        messages_.Clear();
        address.setUrls({QUrl("ftp://example.org/leaf.png")});
        QVERIFY(Drop(&address));
        QCOMPARE(messages_.Texts(),
                 std::vector<std::string>{"Only pictures on this computer or on the web can be "
                                          "opened:\nftp://example.org/leaf.png"});
        QCOMPARE(frame_->Documents().size(), 4);
        QMimeData text;
        text.setText("words");
        QVERIFY(!Drop(&text));
    }

    // The File menu lists the pictures opened last, newest first; one that
    // has gone leaves the list when chosen.
    void recentFilesInTheFileMenu() {
        CloseAll();
        const QString gone = WritePicture("gone.bmp", 32, 32);
        const QString kept = WritePicture("kept.bmp", 32, 32);
        for (const QString& path : {gone, kept, Sample()}) {
            QVERIFY(app_->OpenPicture(path));
            Settle();
        }
        QCOMPARE(app_->RecentFiles().mid(0, 3),
                 (QStringList{QFileInfo(Sample()).absoluteFilePath(), kept, gone}));
        QFile::remove(gone);
        QMenu* file = frame_->menuBar()->actions().constFirst()->menu();
        QVERIFY(file);
        emit file->aboutToShow();
        QStringList texts;
        QAction* goneItem = nullptr;
        QAction* keptItem = nullptr;
        for (QAction* action : file->actions()) {
            texts.append(action->text());
            if (action->statusTip() == gone) goneItem = action;
            if (action->statusTip() == kept) keptItem = action;
        }
        // The list sits above Exit.
        QVERIFY2(texts.contains("&1 sample.bmp"), qPrintable(texts.join('|')));
        QCOMPARE(texts.last(), frame_->Action(kExit)->text());
        QVERIFY(goneItem && keptItem);
        CloseAll();
        keptItem->trigger();
        Settle();
        QCOMPARE(Active()->Document().m_szName, std::string("kept"));
        messages_.Clear();
        goneItem->trigger();
        QVERIFY(!messages_.Texts().empty());
        QVERIFY(!app_->RecentFiles().contains(gone));
        QCOMPARE(app_->RecentFiles().constFirst(), kept);
        for (int i = 0; i < 7; ++i)
            app_->AddRecentFile(Scratch("p" + std::to_string(i) + ".bmp"));
        QCOMPARE(app_->RecentFiles().size(), FabulorApp::kRecentFiles);
        QCOMPARE(app_->RecentFiles().constFirst(), Scratch("p6.bmp"));
    }

    void openDialogFilters() {
        const QStringList filters = FabulorApp::OpenFilters();
        QVERIFY(filters.constFirst().startsWith("All pictures ("));
        for (const char* pattern : {"*.bmp", "*.jpg", "*.jpeg", "*.jpe", "*.png", "*.pcx", "*.tga"})
            QVERIFY2(filters.constFirst().contains(pattern), pattern);
        QCOMPARE(filters.constLast(), QString("All files (*)"));
        QCOMPARE(FabulorApp::TypeOfName("/a/b.JPEG"), FabulorApp::kJpegType);
        // A .jpeg file opens like a .jpg one.
        QVERIFY(Fresh());
        const QString jpeg = Scratch("photo.jpeg");
        QVERIFY(Active()->Picture()->WriteImageFile(jpeg.toUtf8().constData()));
        QVERIFY(app_->OpenPicture(jpeg));
    }

    // A first save offers PNG; JPEG asks for a quality and remembers it, and
    // Cancel writes nothing.
    void savingAsksJpegQuality() {
        QCOMPARE(app_->SaveExt(), FabulorApp::kPngType);
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        const QString fine = Scratch("fine.jpg");
        const QString coarse = Scratch("coarse.jpeg");
        saveTo_ = fine;
        jpegAnswer_ = 0;
        QCOMPARE(window->SaveImage(true), 0);
        QVERIFY(!QFileInfo::exists(fine));
        QCOMPARE(jpegSuggested_, 90);
        jpegAnswer_ = 95;
        QCOMPARE(window->SaveImage(true), 1);
        saveTo_ = coarse;
        jpegAnswer_ = 10;
        QCOMPARE(window->SaveImage(true), 1);
        QCOMPARE(app_->JpegQuality(), 10);
        QVERIFY(QFileInfo(coarse).size() < QFileInfo(fine).size());
        saveTo_ = Scratch("plain");
        QCOMPARE(window->SaveImage(true), 1);
        QVERIFY(QFileInfo::exists(Scratch("plain.png")));
        saveTo_.clear();
    }

    void cleanup() {
        holdRuns = false;
        Settle();
    }

    // Size, place and tool-bar state come back at the next start, with the
    // recent files and the JPEG quality.
    void cleanupTestCase() {
        CloseAll();
        frame_->setGeometry(40, 50, 777, 555);
        app_->SetJpegQuality(33);
        const QStringList recent = app_->RecentFiles();
        QVERIFY(frame_->close());
        app_->Finish();
        app_.reset();
        QVERIFY(StartApp(QuietOptions()));
        QCOMPARE(frame_->size(), QSize(777, 555));
        QCOMPARE(app_->RecentFiles(), recent);
        QCOMPARE(app_->JpegQuality(), 33);
        QVERIFY(frame_->close());
        app_->Finish();
        app_.reset();
    }
};

int main(int argc, char** argv) {
    return RunAtHome<FrameViewTest>(argc, argv);
}

#include "frame_view_test.moc"
