#include <cstdio>

#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
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

    // Every idea gets its thumbnail, however long the sequence; the scroll
    // bar and the wheel move the strip along all of them.
    void everyImageGetsAThumbnailAndTheStripScrollsToIt() {
        MessageCapture messages;
        OverviewDialog overview;
        auto picture = Picture(40, 30, RGB(1, 2, 3));
        for (int i = 0; i < 40; ++i)
            QCOMPARE(overview.AddToThumbnails(picture.get(), ("i" + std::to_string(i)).c_str()), i);
        QCOMPARE(overview.Count(), 40);
        QCOMPARE(overview.AddToThumbnails(nullptr, "x"), -1);
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"COvDlg::AddToThumbnails,\nNULL image"});

        OverviewDlg dlg(nullptr, overview);
        QCOMPARE(dlg.ScrollBar()->maximum(), 39);
        QCOMPARE(dlg.ScrollBar()->value(), 39);
        dlg.ScrollBar()->setValue(20);
        QCOMPARE(dlg.LabelBelow(0), QString("18"));
        QCOMPARE(dlg.LabelAbove(2), QString("i20"));
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&dlg, &wheel);
        QCOMPARE(dlg.LabelBelow(2), QString("22"));
        QCOMPARE(dlg.ScrollBar()->value(), 22);
        dlg.ToFirst();
        QCOMPARE(dlg.ScrollBar()->value(), 0);
        // A double click on the right-hand cell picks image 2.
        const QRect frame = dlg.Frame()->geometry();
        dlg.PickAt(frame.topLeft() + QPoint(frame.width() * 9 / 10, frame.height() / 2));
        QCOMPARE(overview.Current(), 2);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(messages.Texts().size(), size_t{1});
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

    void aNewTipsFileStartsAtItsBeginningAndAStoredPositionIsHeldToALine() {
        WriteFile(TipOfDayDlg::TipsPath(), "one\ntwo\nthree\n");
        NextRunsTip();
        QCOMPARE(NextRunsTip(), QString("two\n"));
        QSettings().setValue("Tip/TimeStamp", "Thu Jan  1 00:00:00 1970");
        QCOMPARE(NextRunsTip(), QString("one\n"));
        // A position inside a line goes on at the next line; one past the end wraps.
        QSettings().setValue("Tip/FilePos", 2);
        QCOMPARE(NextRunsTip(), QString("two\n"));
        QSettings().setValue("Tip/FilePos", 1000);
        QCOMPARE(NextRunsTip(), QString("one\n"));
    }

    // A missing file, and one of comments alone, say so; neither hangs.
    void aTipsFileWithoutTips() {
        const QString path = QString::fromStdString(TipOfDayDlg::TipsPath());
        std::remove(TipOfDayDlg::TipsPath().c_str());
        {
            TipOfDayDlg dlg(nullptr);
            QCOMPARE(dlg.TipText(), QString("Tips file %1 not found.").arg(path));
            QVERIFY(!dlg.NextButton()->isEnabled());
        }
        WriteFile(TipOfDayDlg::TipsPath(), "; only\n\n  comments\n");
        QCOMPARE(NextRunsTip(), QString("Tips file %1 holds no tips.").arg(path));
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
