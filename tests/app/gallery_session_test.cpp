// The idea gallery window and the session and recipe files, driven through
// the real main window: keys, clicks on thumbnails, the File menu's
// commands and the file dialogs' stand-ins.
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/commands.h"
#include "app/idea_gallery_window.h"
#include "app/picture_image.h"
#include "app_fixture.h"
#include "cli/cli_commands.h"
#include "document/document_files.h"
#include "document/generation_worker.h"
#include "surface/cdadc.h"

using namespace command;

namespace {

// The panel of the Xform of a gallery idea: OK with its own Wizard off.
int PanelTurnsWizardOff(CFilSpec& filSpec) {
    *filSpec.WizardFlag(filSpec.XformIndex) = 0;
    return 1;
}

// A gallery's Xform that reports a fault, which waits for the user-interface
// thread to show it, and then waits to be stopped.
std::atomic<int> complaints{0};
int ComplainingRun(const CFilSpec&, XformContext&) {
    ++complaints;
    ErrorBox("The gallery has something to say");
    while (StopRequested == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 0;
}

QImage Shown(DocumentWindow* window) {
    return PictureToImage(*window->Picture());
}

// The recipe drawn on its own, at the document's size and quality.
QImage DrawnAlone(const CFilSpec& recipe, const CFabulorFilterDoc& doc) {
    const CDADC& original = *doc.m_pOrgDC;
    CDADC canvas(original.width * doc.m_iAALevel, original.height * doc.m_iAALevel);
    CDADC picture(original.width, original.height);
    std::atomic<int> progress{0};
    if (!ApplyAndMix(recipe, &original, &canvas, &picture, &progress)) return {};
    return PictureToImage(picture);
}

}  // namespace

class GallerySessionTest : public QObject, private Desktop {
    Q_OBJECT
  private:
    QTemporaryDir folder_;
    QString chosenFile_;  // what the session and recipe dialogs answer

    static bool WaitForPage(IdeaGalleryWindow* gallery) {
        return QTest::qWaitFor([gallery] { return !gallery->IsDrawing(); }, 120000);
    }
    void Click(IdeaGalleryWindow* gallery, int index, Qt::MouseButton button = Qt::LeftButton) {
        QListWidget* grid = gallery->Grid();
        const QRect rect = grid->visualItemRect(grid->item(index));
        QTest::mouseClick(grid->viewport(), button, {}, rect.center());
    }

    // The program ends while the gallery's threads wait for the user-interface
    // thread to show their messages, and it waits for them: neither may wait
    // for ever.
    void quittingWhileGalleryThreadsWaitForMessageBoxes() {
        AppOptions options = QuietOptions();
        options.messageBoxes = true;
        auto app = std::make_unique<FabulorApp>(options);
        QVERIFY(app->Start({}));
        SetChooseXformDialog(&ChooseMosaic);
        MutableXformRow(kMosaic)->settings = &AcceptWizardMosaic;
        // A name of its own: the cache table of the process still lists the
        // files of the first program's windows, which this start removed.
        const QString picture = folder_.path() + "/quit.bmp";
        QVERIFY(QFile::copy(Sample(), picture));
        DocumentWindow* window = app->OpenPicture(picture);
        QVERIFY(window);
        app->Worker().WaitForThread();
        app->Poll();
        std::vector<std::pair<XformRow*, int (*)(const CFilSpec&, XformContext&)>> saved;
        for (const XformRow& row : XformRows()) {
            if (!row.Draws()) continue;
            saved.emplace_back(MutableXformRow(row.index), row.run);
            MutableXformRow(row.index)->run = &ComplainingRun;
        }
        app->Frame()->Trigger(kIdeaGallery);
        // Without the event loop the boxes are never shown; the program ends.
        for (int i = 0; i < 10000 && complaints == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QVERIFY(complaints > 0);

        EndsInTime("while its gallery waited for a message", [&app] { app.reset(); });
        QVERIFY(!GalleriesStillDrawing());
        for (const auto& [row, run] : saved)
            row->run = run;
    }

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        // The gallery's order of Xforms follows the true counts.
        favourMosaic_ = false;
        AppOptions options = QuietOptions();
        options.askFileName = [this](const QString&, const QString&, bool) { return chosenFile_; };
        QVERIFY(StartApp(options));
        app_->SetGalleryCount(6);
        app_->SetGallerySide(64);
    }

    // F5 opens a page of ideas of different Xforms; a click and Enter each
    // add the idea to the sequence exactly as its thumbnail was drawn.
    void galleryIdeasGoToTheSequenceAsTheyWereDrawn() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Action(kIdeaGallery)->trigger();
        IdeaGalleryWindow* gallery = IdeaGalleryWindow::Find(window);
        QVERIFY(gallery);
        QVERIFY(gallery->isVisible());
        QVERIFY(WaitForPage(gallery));
        QCOMPARE(gallery->Count(), 6);
        QCOMPARE(gallery->Arrived(), 6);
        QCOMPARE(gallery->Progress()->value(), 100);
        QVERIFY(!gallery->StopButton()->isEnabled());
        QVERIFY(gallery->MoreButton()->isEnabled());
        // Least used first: six different Xforms, none of them the document's
        // Mosaic or the never chosen Mist.
        QSet<int> xforms;
        for (int i = 0; i < gallery->Count(); ++i) {
            QVERIFY2(gallery->HasThumbnail(i), qPrintable(QString::number(i)));
            xforms.insert(gallery->RecipeAt(i).XformIndex);
        }
        QCOMPARE(xforms.size(), 6);
        QVERIFY(!xforms.contains(kMosaic) && !xforms.contains(kMist));

        CFabulorFilterDoc& doc = window->Document();
        const int before = doc.ImageCount();
        Click(gallery, 2);
        Settle();
        QCOMPARE(doc.ImageCount(), before + 1);
        QCOMPARE(doc.m_Sequence.back(), gallery->RecipeAt(2));
        QCOMPARE(doc.m_iCurrent, before);
        QCOMPARE(Shown(window), DrawnAlone(gallery->RecipeAt(2), doc));
        QCOMPARE(doc.m_UsageCounts[gallery->RecipeAt(2).XformIndex], 1);

        gallery->Grid()->setCurrentRow(4);
        QTest::keyClick(gallery->Grid(), Qt::Key_Return);
        Settle();
        QCOMPARE(doc.ImageCount(), before + 2);
        QCOMPARE(doc.m_Sequence.back(), gallery->RecipeAt(4));

        // The right-click menu copies an idea's recipe, or opens its settings
        // and takes the changed idea.
        std::unique_ptr<QMenu> menu(gallery->BuildItemMenu(1, nullptr));
        QStringList texts;
        for (QAction* action : menu->actions())
            texts << action->text();
        QCOMPARE(texts, (QStringList{"Settings...", "Copy recipe"}));

        menu->actions().at(1)->trigger();
        Recipe copied;
        std::string error;
        QVERIFY2(
            RecipeFromText(QGuiApplication::clipboard()->text().toStdString(), &copied, &error),
            error.c_str());
        QCOMPARE(copied.filSpec, gallery->RecipeAt(1));

        const int xform = gallery->RecipeAt(1).XformIndex;
        auto* const saved = MutableXformRow(xform)->settings;
        MutableXformRow(xform)->settings = &PanelTurnsWizardOff;
        menu->actions().at(0)->trigger();
        MutableXformRow(xform)->settings = saved;
        Settle();
        // The changed idea, with the seed of its thumbnail.
        CFilSpec taken = doc.m_Sequence.back();
        QCOMPARE(taken.XformIndex, xform);
        QCOMPARE(taken.Seed, gallery->RecipeAt(1).Seed);
        QCOMPARE(taken.WizardAll, 0);
        QCOMPARE(*taken.WizardFlag(xform), 0);

        // "More ideas": a new page that goes on from the counts of the first.
        const CFilSpec first = gallery->RecipeAt(0);
        QTest::mouseClick(gallery->MoreButton(), Qt::LeftButton);
        QVERIFY(WaitForPage(gallery));
        QCOMPARE(gallery->Arrived(), 6);
        for (int i = 0; i < gallery->Count(); ++i)
            QVERIFY(!xforms.contains(gallery->RecipeAt(i).XformIndex));
        QVERIFY(!(gallery->RecipeAt(0) == first));
        gallery->close();
    }

    // An idea taken while the document draws waits for the run and is
    // drawn after it, never lost.
    void anIdeaTakenDuringARunWaitsForIt() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kIdeaGallery);
        IdeaGalleryWindow* gallery = IdeaGalleryWindow::Find(window);
        QVERIFY(WaitForPage(gallery));
        CFabulorFilterDoc& doc = window->Document();
        UsageCounts& counts = doc.m_UsageCounts;
        counts.fill(1000000);
        counts[kMosaic] = 0;
        holdRuns = true;
        frame_->Trigger(kWizardCreates);
        QVERIFY(app_->IsGenerating());
        const int before = doc.ImageCount();
        Click(gallery, 3);
        QCOMPARE(gallery->Waiting(), 1);
        QCOMPARE(doc.ImageCount(), before);
        QVERIFY(gallery->Grid()->item(3)->text().endsWith(" (waiting)"));
        holdRuns = false;
        Settle();
        // The gallery's poll hands over the idea that waited.
        QTRY_COMPARE_WITH_TIMEOUT(gallery->Waiting(), 0, 10000);
        Settle();
        QCOMPARE(doc.ImageCount(), before + 1);
        QCOMPARE(doc.m_Sequence.back(), gallery->RecipeAt(3));
        QVERIFY(!gallery->Grid()->item(3)->text().endsWith(" (waiting)"));
        QVERIFY(messages_.Texts().empty());
        gallery->close();
    }

    // Closing the gallery or its document while a page draws neither hangs
    // nor crashes; STOP ends a page early.
    void closingWhileAPageDraws() {
        app_->SetGalleryCount(40);
        app_->SetGallerySide(320);
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kIdeaGallery);
        IdeaGalleryWindow* gallery = IdeaGalleryWindow::Find(window);
        QVERIFY(gallery->IsDrawing());
        QTest::mouseClick(gallery->StopButton(), Qt::LeftButton);
        QVERIFY(WaitForPage(gallery));
        QVERIFY(gallery->Arrived() < gallery->Count());

        QVERIFY(gallery->MoreButton()->isEnabled());
        QVERIFY(gallery->MoreIdeas());
        gallery->close();  // stops its page
        QVERIFY(WaitForPage(gallery));

        gallery->Open();
        QVERIFY(gallery->MoreIdeas());
        QVERIFY(gallery->IsDrawing());
        QPointer<IdeaGalleryWindow> gone = gallery;
        QVERIFY(window->close());  // the gallery goes with its document
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
        QTRY_VERIFY_WITH_TIMEOUT(!GalleriesStillDrawing(), 60000);
        app_->SetGalleryCount(6);
        app_->SetGallerySide(64);
    }

    // A session saved from the menu and opened again shows the same pixels
    // for every image of its sequence, drawn again from the recipes.
    void aSessionReopensWithTheSamePixels() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kIdeaGallery);
        IdeaGalleryWindow* gallery = IdeaGalleryWindow::Find(window);
        QVERIFY(WaitForPage(gallery));
        for (int i : {0, 1, 5}) {
            gallery->TakeIdea(i);
            Settle();
        }
        gallery->close();
        CFabulorFilterDoc& doc = window->Document();
        frame_->Trigger(kBack);
        Settle();
        const int current = doc.m_iCurrent;
        QVector<QImage> images;
        for (int i = 1; i < doc.ImageCount(); ++i) {
            images << DrawnAlone(doc.m_Sequence[static_cast<size_t>(i)], doc);
        }

        chosenFile_ = folder_.path() + "/walk";  // the dialog adds ".fabulor"
        QVERIFY(frame_->Action(kSaveSession)->isEnabled());
        frame_->Trigger(kSaveSession);
        QVERIFY(QFileInfo::exists(chosenFile_ + ".fabulor"));
        QVERIFY(messages_.Texts().empty());

        const QString saved = chosenFile_ + ".fabulor";
        DocumentWindow* reopened = app_->OpenPicture(saved);
        QVERIFY(reopened);
        Settle();
        QCOMPARE(reopened->Document().m_szName, std::string("sample-1"));
        QCOMPARE(reopened->Document().m_Sequence, doc.m_Sequence);
        QCOMPARE(reopened->Document().m_iCurrent, current);
        QCOMPARE(Shown(reopened), Shown(window));
        frame_->Trigger(kGoToOriginal);
        for (int i = 1; i < doc.ImageCount(); ++i) {
            frame_->Trigger(kForward);
            Settle();
            QCOMPARE(Shown(reopened), images[i - 1]);
        }
        QVERIFY(messages_.Texts().empty());

        // Dropped on the main window, it opens once more.
        const auto open = frame_->Documents().size();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(saved)});
        QVERIFY(Drop(&data));
        QCOMPARE(frame_->Documents().size(), open + 1);
        // Not sample-1 a second time: the two would share their cache files.
        QCOMPARE(Active()->Document().m_szName, std::string("sample-2"));
        QCOMPARE(Active()->Document().m_Sequence, doc.m_Sequence);
        QCOMPARE(Shown(Active()), Shown(window));
        chosenFile_.clear();
    }

    // "Save Recipe..." writes what fabulor-cli replays to the byte; "Apply
    // Recipe..." draws it on another picture's window as a new idea.
    void aSavedRecipeReplaysAndApplies() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        frame_->Trigger(kGoToOriginal);
        QVERIFY(!frame_->Action(kSaveRecipe)->isEnabled());
        frame_->Trigger(kGoToLast);
        Settle();
        chosenFile_ = folder_.path() + "/idea.json";
        frame_->Trigger(kSaveRecipe);
        QVERIFY(QFileInfo::exists(chosenFile_));

        const std::string again = (folder_.path() + "/again.bmp").toStdString();
        std::ostringstream out, err;
        QCOMPARE(
            fabulor_cli::RunReplay({chosenFile_.toStdString(), "-o", again, "--quiet"}, out, err),
            fabulor_cli::kExitOk);
        std::unique_ptr<CDADC> replayed(CDADC::LoadBmpFile(again.c_str()));
        QVERIFY(replayed);
        QCOMPARE(PictureToImage(*replayed), Shown(window));

        const CFilSpec recipe = window->Document().m_Spec;
        frame_->Trigger(kApplyRecipe);
        Settle();
        QCOMPARE(window->Document().m_Sequence.back(), recipe);
        QCOMPARE(window->Document().ImageCount(), 3);
        QVERIFY(messages_.Texts().empty());

        // A damaged recipe: one message, and no new idea.
        QFile damaged(chosenFile_);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("{\"format\": \"fabulor-recipe\", \"version\": 1, \"xform\": ");
        damaged.close();
        frame_->Trigger(kApplyRecipe);
        QCOMPARE(messages_.Texts().size(), size_t{1});
        QVERIFY2(messages_.Texts()[0].find("idea.json") != std::string::npos,
                 messages_.Texts()[0].c_str());
        QCOMPARE(window->Document().ImageCount(), 3);
        chosenFile_.clear();
    }

    // A damaged or newer session, opened as File > Open does, gives one
    // message naming the fault and leaves every open document as it was.
    void damagedSessionsAreRefused() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        const std::vector<CFilSpec> sequence = window->Document().m_Sequence;
        const QImage shown = Shown(window);
        chosenFile_ = folder_.path() + "/good.fabulor";
        frame_->Trigger(kSaveSession);
        QFile good(chosenFile_);
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray text = good.readAll();

        struct Case {
            const char* name;
            QByteArray text;
            const char* fault;  // a word of the message
        };
        QByteArray newer = text;
        newer.replace("\"version\": 1", "\"version\": 9");
        newer.replace("\"version\":1", "\"version\":9");
        const Case cases[] = {
            {"cut.fabulor", text.left(text.size() / 2), "cut.fabulor"},
            {"newer.fabulor", newer, "is newer than"},
            {"empty.fabulor", QByteArray(), "empty.fabulor"},
        };
        for (const Case& c : cases) {
            const QString path = folder_.path() + "/" + c.name;
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(c.text);
            file.close();
            messages_.Clear();
            const auto before = frame_->Documents().size();
            chosenFile_ = path;
            QVERIFY(!app_->OpenPicture(path));
            QCOMPARE(messages_.Texts().size(), size_t{1});
            QVERIFY2(messages_.Texts()[0].find(c.fault) != std::string::npos,
                     messages_.Texts()[0].c_str());
            QCOMPARE(frame_->Documents().size(), before);
            QCOMPARE(window->Document().m_Sequence, sequence);
            QCOMPARE(Shown(window), shown);
        }
        chosenFile_.clear();
    }

    void cleanup() {
        holdRuns = false;
        Settle();
    }

    // Quitting while a page draws ends the program without waiting long.
    void cleanupTestCase() {
        DocumentWindow* window = Fresh();
        QVERIFY(window);
        app_->SetGalleryCount(40);
        app_->SetGallerySide(320);
        frame_->Trigger(kIdeaGallery);
        QVERIFY(IdeaGalleryWindow::Find(window)->IsDrawing());
        messages_.Clear();
        QVERIFY(frame_->close());
        app_->Finish();
        QSettings settings;
        QCOMPARE(settings.value("GALLERY/COUNT").toInt(), 40);
        QCOMPARE(settings.value("GALLERY/SIZE").toInt(), 320);
        app_.reset();
        QVERIFY(!GalleriesStillDrawing());
        quittingWhileGalleryThreadsWaitForMessageBoxes();
    }
};

int main(int argc, char** argv) {
    return RunAtHome<GallerySessionTest>(argc, argv);
}

#include "gallery_session_test.moc"
