#include <cstdio>

#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/dialogs.h"
#include "app/dlg_overview.h"
#include "app/dlg_tip.h"
#include "modal_helpers.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"

namespace {

std::unique_ptr<CDADC> Picture(int w, int h, COLORREF colour) {
    auto picture = std::make_unique<CDADC>(w, h);
    picture->pDC->FillSolidRect(0, 0, w, h, colour);
    return picture;
}

void WriteFile(const std::string& path, const char* text) {
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(text, f);
    std::fclose(f);
}

QString NextRunsTip() {
    TipOfDayDlg dlg(nullptr);
    return dlg.TipText();
}

}  // namespace

class OverviewTipTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;

  private slots:
    void initTestCase() {
        QVERIFY(folder_.isValid());
        QCoreApplication::setOrganizationName("FabulorTests");
        QCoreApplication::setApplicationName("overview_tip_test");
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
        SetMainFolder(folder_.path().toStdString());
    }

    // --- the overview ---

    void thumbnailsKeepTheAspectAndCutLabels() {
        OverviewDialog overview;
        auto wide = Picture(400, 300, RGB(1, 2, 3));
        auto tall = Picture(300, 400, RGB(1, 2, 3));
        QCOMPARE(overview.AddToThumbnails(wide.get(), "original"), 0);
        QCOMPARE(overview.AddToThumbnails(tall.get(), "Liquid Energy"), 1);
        QCOMPARE(overview.Thumbnail(0)->width, 200);
        QCOMPARE(overview.Thumbnail(0)->height, 150);
        QCOMPARE(overview.Thumbnail(1)->width, 150);
        QCOMPARE(overview.Thumbnail(1)->height, 200);
        QCOMPARE(overview.Label(1), std::string("Liquid E"));
        QCOMPARE(overview.Current(), 1);
    }

    void theFourteenthThumbnailOverflows() {
        MessageCapture messages;
        OverviewDialog overview;
        auto picture = Picture(40, 30, RGB(1, 2, 3));
        for (int i = 0; i < 13; ++i)
            QCOMPARE(overview.AddToThumbnails(picture.get(), "x"), i);
        QCOMPARE(overview.AddToThumbnails(picture.get(), "x"), -1);
        QCOMPARE(overview.AddToThumbnails(nullptr, "x"), -1);
        QCOMPARE(overview.Count(), 13);
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{"COvDlg::AddToThumbnails,\nImage overflow",
                                           "COvDlg::AddToThumbnails,\nImage overflow"}));
        OverviewDialog empty;
        QCOMPARE(empty.AddToThumbnails(nullptr, "x"), -1);
        QCOMPARE(messages.Texts().back(), std::string("COvDlg::AddToThumbnails,\nNULL image"));
    }

    void oneThumbnailSitsBetweenBlackCells() {
        OverviewDialog overview;
        auto picture = Picture(400, 300, RGB(255, 0, 0));
        overview.AddToThumbnails(picture.get(), "orig");
        CDADC strip(500, 80);
        strip.pDC->FillSolidRect(0, 0, 500, 80, RGB(7, 7, 7));
        PaintOverviewStrip(overview, 0, &strip);
        QCOMPARE(strip.pDC->GetPixel(50, 40), RGB(0, 0, 0));
        QCOMPARE(strip.pDC->GetPixel(150, 40), RGB(0, 0, 0));
        QCOMPARE(strip.pDC->GetPixel(450, 40), RGB(0, 0, 0));
        // The middle cell: light green around a picture 84 x 48 at (208, 16).
        QCOMPARE(strip.pDC->GetPixel(203, 40), RGB(200, 240, 200));
        QCOMPARE(strip.pDC->GetPixel(250, 15), RGB(200, 240, 200));
        QCOMPARE(strip.pDC->GetPixel(208, 16), RGB(255, 0, 0));
        QCOMPARE(strip.pDC->GetPixel(291, 63), RGB(255, 0, 0));
        QCOMPARE(strip.pDC->GetPixel(292, 40), RGB(200, 240, 200));
        QCOMPARE(strip.pDC->GetPixel(250, 64), RGB(200, 240, 200));

        OverviewDlg dlg(nullptr, overview);
        QCOMPARE(dlg.LabelAbove(2), QString("orig"));
        QCOMPARE(dlg.LabelBelow(2), QString("0"));
        QCOMPARE(dlg.LabelAbove(1), QString(""));
        QCOMPARE(dlg.LabelBelow(3), QString(""));
    }

    void stepsStopAtTheEndsAndDoubleClickPicks() {
        OverviewDialog overview;
        auto picture = Picture(60, 40, RGB(0, 0, 255));
        for (int i = 0; i < 6; ++i)
            overview.AddToThumbnails(picture.get(), "idea");
        OverviewDlg dlg(nullptr, overview);
        dlg.Forward();
        QCOMPARE(overview.Current(), 5);
        QCOMPARE(dlg.LabelBelow(4), QString(""));
        QCOMPARE(dlg.LabelBelow(1), QString("4"));
        // The black cells on the right do nothing.
        const QRect frame = dlg.Frame()->geometry();
        const int cell = frame.width() / 5;
        dlg.PickAt(frame.topLeft() + QPoint(4 * cell + cell / 2, frame.height() / 2));
        QCOMPARE(dlg.result(), 0);
        QCOMPARE(overview.Current(), 5);
        dlg.ToFirst();
        dlg.Back();
        QCOMPARE(overview.Current(), 0);
        dlg.ToLast();
        dlg.PickAt(frame.topLeft() + QPoint(cell + cell / 2, frame.height() / 2));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(overview.Current(), 4);
    }

    void chooseReturnsThePickedIndexOnlyOnOk() {
        OverviewDialog overview;
        auto picture = Picture(60, 40, RGB(0, 0, 255));
        for (int i = 0; i < 3; ++i)
            overview.AddToThumbnails(picture.get(), "idea");
        WhenModal([](QWidget* dlg) {
            ClickId(dlg, 32803);
            ClickId(dlg, kIdOk);
        });
        int chosen = -1;
        QCOMPARE(overview.Choose(nullptr, &chosen), 1);
        QCOMPARE(chosen, 0);
        WhenModal([](QWidget* dlg) {
            ClickId(dlg, 32774);
            ClickId(dlg, kIdCancel);
        });
        chosen = -1;
        QCOMPARE(overview.Choose(nullptr, &chosen), 0);
        QCOMPARE(chosen, -1);
    }

    // --- the tip of the day ---

    void missingTipsFile() {
        std::remove(TipOfDayDlg::TipsPath().c_str());
        TipOfDayDlg dlg(nullptr);
        QCOMPARE(dlg.TipText(), QString("Tips file %1 not found.")
                                    .arg(QString::fromStdString(TipOfDayDlg::TipsPath())));
        QVERIFY(!dlg.NextButton()->isEnabled());
    }

    void tipsComeInOrderOverRunsSkippingComments() {
        WriteFile(TipOfDayDlg::TipsPath(),
                  "; header\nfirst tip\n\n second\n\tthird\nsecond tip\n"
                  ";x\nthird tip\n");
        QCOMPARE(NextRunsTip(), QString("first tip\n"));
        QCOMPARE(NextRunsTip(), QString("second tip\n"));
        QCOMPARE(NextRunsTip(), QString("third tip\n"));
        QCOMPARE(NextRunsTip(), QString("first tip\n"));
        TipOfDayDlg dlg(nullptr);
        QCOMPARE(dlg.TipText(), QString("second tip\n"));
        dlg.OnNextTip();
        QCOMPARE(dlg.TipText(), QString("third tip\n"));
    }

    void aNewTipsFileStartsAtItsBeginning() {
        WriteFile(TipOfDayDlg::TipsPath(), "one\ntwo\nthree\n");
        NextRunsTip();
        QCOMPARE(NextRunsTip(), QString("two\n"));
        QSettings().setValue("Tip/TimeStamp", "Thu Jan  1 00:00:00 1970");
        QCOMPARE(NextRunsTip(), QString("one\n"));
    }

    void aPositionInsideALineGoesOnAtTheNextLine() {
        WriteFile(TipOfDayDlg::TipsPath(), "alpha tip\nbeta tip\n");
        NextRunsTip();
        QSettings().setValue("Tip/FilePos", 3);
        QCOMPARE(NextRunsTip(), QString("beta tip\n"));
        QSettings().setValue("Tip/FilePos", 1000);
        QCOMPARE(NextRunsTip(), QString("alpha tip\n"));
    }

    void aFileWithoutTipsDoesNotHang() {
        WriteFile(TipOfDayDlg::TipsPath(), "; only\n\n  comments\n");
        QCOMPARE(NextRunsTip(), QString("Tips file %1 holds no tips.")
                                    .arg(QString::fromStdString(TipOfDayDlg::TipsPath())));
    }

    void theStartupChoiceIsStoredNegated() {
        WriteFile(TipOfDayDlg::TipsPath(), "tip\n");
        QSettings().setValue("Tip/StartUp", 0);
        {
            TipOfDayDlg dlg(nullptr);
            QVERIFY(dlg.StartupBox()->isChecked());
            dlg.StartupBox()->click();
            dlg.accept();
        }
        QCOMPARE(QSettings().value("Tip/StartUp").toInt(), 1);
        // Tips off: nothing shows at start-up (a dialog would block here).
        ShowTipOfTheDay(nullptr, true);
        WhenModal([](QWidget* dlg) {
            dlg->findChild<QCheckBox*>()->click();
            ClickId(dlg, kIdOk);
        });
        ShowTipOfTheDay(nullptr, false);
        QCOMPARE(QSettings().value("Tip/StartUp").toInt(), 0);
    }
};

QTEST_MAIN(OverviewTipTest)
#include "overview_tip_test.moc"
