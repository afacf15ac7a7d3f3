#include "app/message_boxes.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>

#include "util/error_box.h"

namespace {

Reporter previous;

Answer ShowBox(const Message& m) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    const QString caption = QString::fromStdString(m.caption.empty() ? kAppTitle : m.caption);
    const QString text = QString::fromStdString(m.text);
    switch (m.kind) {
        case MessageKind::Question: {
            const auto button = QMessageBox::question(
                parent, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                QMessageBox::Yes);
            if (button == QMessageBox::Yes) return Answer::Yes;
            return button == QMessageBox::No ? Answer::No : Answer::Cancel;
        }
        case MessageKind::Notice:
            // Not a fault: shown for a while in the main window's status bar, no box.
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* window = qobject_cast<QMainWindow*>(widget)) {
                    window->statusBar()->showMessage(text.simplified(), 15000);
                    return Answer::No;
                }
            }
            return previous ? previous(m) : Answer::No;
        case MessageKind::SystemError:
            QMessageBox::information(parent, caption, text);
            return Answer::No;
        case MessageKind::Error:
        default:
            QMessageBox::warning(parent, caption, text);
            return Answer::No;
    }
}

Answer Report(const Message& m) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return previous ? previous(m) : Answer::No;
    if (QThread::currentThread() == app->thread()) return ShowBox(m);
    Answer answer = Answer::No;
    QMetaObject::invokeMethod(
        app, [&answer, &m] { answer = ShowBox(m); }, Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace

MessageBoxReporter::MessageBoxReporter() {
    previous = SetReporter(&Report);
}

MessageBoxReporter::~MessageBoxReporter() {
    SetReporter(previous);
    previous = nullptr;
}
