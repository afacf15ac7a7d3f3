#include <QLineEdit>
#include <QSlider>
#include <QtTest>

#include "app/slider_pair.h"
#include "support/message_capture.h"

class SliderPairTest : public QObject {
    Q_OBJECT

  private slots:
    void integerEditAndTrackbarMoveTheValueTogether() {
        int value = 300;
        SliderPair pair(Qt::Horizontal);
        pair.SetupInt(&value, 100, 5000);
        pair.Init();
        QCOMPARE(pair.Slider()->value(), 300);
        pair.Edit()->setText("9999");
        pair.OnKillFocus();
        QCOMPARE(value, 5000);
        QCOMPARE(pair.Edit()->text(), QString("5000"));
        QCOMPARE(pair.Slider()->value(), 5000);

        QSignalSpy scrolled(&pair, &SliderPair::Scrolled);
        pair.Slider()->setValue(777);
        QCOMPARE(value, 777);
        QCOMPARE(pair.Edit()->text(), QString("777"));
        QCOMPARE(scrolled.count(), 1);
    }

    void integerEditThatIsNoNumberKeepsTheValue() {
        MessageCapture messages;
        int value = 42;
        SliderPair pair(Qt::Horizontal);
        pair.SetupInt(&value, 1, 99);
        pair.Init();
        pair.Edit()->setText("4x2");
        pair.OnKillFocus();
        QCOMPARE(messages.Texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(value, 42);
        QCOMPARE(pair.Edit()->text(), QString("42"));
    }

    void realTextThatIsNoNumberReadsAsZeroAndIsClamped() {
        double value = 2.0;
        SliderPair pair(Qt::Horizontal);
        pair.SetupReal(&value, 0.5, 3.0);
        pair.Init();
        pair.Edit()->setText("abc");
        pair.OnKillFocus();
        QCOMPARE(value, 0.5);
        QCOMPARE(pair.Edit()->text(), QString("  0.50"));
        QCOMPARE(pair.Slider()->value(), 0);
    }

    void realTextIsReadLikeScanf() {
        QCOMPARE(ReadReal(" 1.5abc"), 1.5);
        QCOMPARE(ReadReal("+2"), 2.0);
        QCOMPARE(ReadReal("-0.25"), -0.25);
        QCOMPARE(ReadReal("nan"), 0.0);
        QCOMPARE(ReadReal(""), 0.0);
        // "%f" reads a float.
        QCOMPARE(ReadReal("2.3"), static_cast<double>(2.3f));
        QVERIFY(ReadReal("1e300") > 1e300 / 2);
    }

    void verticalPairPutsTheHighEndAtTheTop() {
        double value = 0.25;
        SliderPair pair(Qt::Vertical);
        pair.SetupReal(&value, 0.0, 1.0);
        pair.Init();
        QCOMPARE(pair.Slider()->value(), 7500);
        value = 1.0;
        pair.SetFromValue();
        QCOMPARE(pair.Slider()->value(), 0);
        // Moving the thumb to position 2000 means 0.8.
        pair.Slider()->setValue(2000);
        QCOMPARE(value, 0.8);
        QCOMPARE(pair.Edit()->text(), QString("  0.80"));
    }

    void verticalPairWithALowAboveZeroLeavesTheTrackbar() {
        MessageCapture messages;
        double value = 2.0;
        SliderPair pair(Qt::Vertical);
        pair.SetupReal(&value, 1.0, 3.0);
        pair.Init();
        const int before = pair.Slider()->value();
        pair.Edit()->setText("9");
        pair.OnKillFocus();
        QCOMPARE(value, 3.0);
        QCOMPARE(pair.Slider()->value(), before);
        value = 1.5;
        pair.SetFromValue();
        QCOMPARE(pair.Slider()->value(), before);
        QCOMPARE(messages.Texts(), (std::vector<std::string>{"OKFDSB", "UDSP"}));
    }

    void verticalIntegerPairNeedsALowOfZero() {
        MessageCapture messages;
        int value = 5;
        SliderPair pair(Qt::Vertical);
        pair.SetupInt(&value, 2, 8);
        pair.Init();
        pair.Edit()->setText("7");
        pair.OnKillFocus();
        QCOMPARE(value, 7);
        QCOMPARE(messages.Texts(), std::vector<std::string>{"OKFSIB(iMin=2,iMax=8,bVertical=1)"});
    }

    void initShowsTheRangeButKeepsAStoredValueAboveIt() {
        double value = 9.0;
        SliderPair pair(Qt::Horizontal);
        pair.SetupReal(&value, 1.0, 7.0);
        pair.Init();
        QCOMPARE(pair.Edit()->text(), QString("  7.00"));
        QCOMPARE(pair.Slider()->value(), 10000);
        QCOMPARE(value, 9.0);
    }

    void consistencyChecks() {
        MessageCapture messages;
        double value = 1.0;
        SliderPair pair(Qt::Horizontal);
        pair.SetupReal(nullptr, 0.0, 1.0);
        QVERIFY(!pair.IsOk());
        pair.SetupReal(&value, 5.0, 3.0);
        QVERIFY(!pair.IsOk());
        pair.SetupReal(&value, 0.0, 1.0, "6.2f");
        QVERIFY(!pair.IsOk());
        pair.SetupReal(&value, 0.0, 1.0, "%6.2d");
        QVERIFY(!pair.IsOk());
        // Ends in 'f' but would read a string.
        pair.SetupReal(&value, 0.0, 1.0, "%sf");
        pair.Init();
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{"ImOk1 : pVal==NULL", "ImOk5 :  3.000 <=  5.000 ",
                                           "ImOk6 : Format=<6.2f>", "ImOk:Format=<%6.2d>",
                                           "ImOk:Format=<%sf>"}));
    }

    void closingChecksTheIntegerRange() {
        MessageCapture messages;
        int value = 50;
        SliderPair pair(Qt::Horizontal);
        pair.SetupInt(&value, 1, 99);
        pair.Init();
        int read = 0;
        pair.Edit()->setText("150");
        QVERIFY(!pair.CheckIntegerRange(0, 100, &read));
        pair.Edit()->setText("abc");
        QVERIFY(!pair.CheckIntegerRange(0, 100, &read));
        pair.Edit()->setText(" 100 ");
        QVERIFY(pair.CheckIntegerRange(0, 100, &read));
        QCOMPARE(read, 100);
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{"Please enter an integer between 0 and 100.",
                                           "Please enter an integer."}));
    }

    void formatsAlwaysUseAPoint() {
        QCOMPARE(FormatReal("%6.2f", 1.0), QString("  1.00"));
        QCOMPARE(FormatReal("%.1f", 359.9), QString("359.9"));
    }
};

QTEST_MAIN(SliderPairTest)
#include "slider_pair_test.moc"
