#include <QLineEdit>
#include <QSlider>
#include <QtTest>

#include "app/slider_pair.h"
#include "support/message_capture.h"

class SliderPairTest : public QObject {
    Q_OBJECT

  private slots:
    void integerEditAndTrackbarMoveTheValueTogetherAndNoNumberKeepsIt() {
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

        MessageCapture messages;
        pair.Edit()->setText("4x2");
        pair.OnKillFocus();
        QCOMPARE(messages.Texts(), std::vector<std::string>{"Please enter an integer."});
        QCOMPARE(value, 777);
        QCOMPARE(pair.Edit()->text(), QString("777"));
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
        QCOMPARE(ReadReal("nan"), 0.0);
        // "%f" reads a float.
        QCOMPARE(ReadReal("2.3"), static_cast<double>(2.3f));
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

    void initShowsTheRangeButKeepsAStoredValueAboveIt() {
        double value = 9.0;
        SliderPair pair(Qt::Horizontal);
        pair.SetupReal(&value, 1.0, 7.0);
        pair.Init();
        QCOMPARE(pair.Edit()->text(), QString("  7.00"));
        QCOMPARE(pair.Slider()->value(), 10000);
        QCOMPARE(value, 9.0);
    }
};

QTEST_MAIN(SliderPairTest)
#include "slider_pair_test.moc"
