// A notice (a picture cut short) goes to the main window's status bar, not
// into a modal box; a fault still gets its box.
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include "app/message_boxes.h"
#include "util/error_box.h"

class NoticeTest : public QObject {
    Q_OBJECT

  private slots:
    void aNoticeShowsInTheStatusBarAndAFaultInABox() {
        QMainWindow window;
        window.statusBar();
        window.show();
        MessageBoxReporter reporter;

        // Any box that comes up is closed at once and counted.
        int boxes = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&boxes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++boxes;
                box->done(QMessageBox::Ok);
            }
        });
        closer.start(10);

        NoticeBox("%s: the picture is cut short;\nonly the part that was read is shown", "a.jpg");
        QCOMPARE(boxes, 0);
        QCOMPARE(window.statusBar()->currentMessage(),
                 QString("a.jpg: the picture is cut short; only the part that was read is shown"));

        ErrorBox("a fault");
        QCOMPARE(boxes, 1);
    }
};

QTEST_MAIN(NoticeTest)
#include "notice_test.moc"
