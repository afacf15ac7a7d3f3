#include "app/message_boxes.h"

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>

#include "util/error_box.h"

namespace {

Reporter previous;

// Boxes asked for by other threads: each waits for its own answer, or for
// the user-interface thread to give up showing them.
std::mutex waitLock;
std::condition_variable answered;
bool showingStopped = false;

struct PendingBox {
    bool done = false;
    Answer answer = Answer::No;
};

Answer Unshown(const Message& m) {
    std::fprintf(stderr, "%s\n", m.text.c_str());
    return m.kind == MessageKind::Question ? Answer::Cancel : Answer::No;
}

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

    auto pending = std::make_shared<PendingBox>();
    {
        std::lock_guard lock(waitLock);
        if (showingStopped) return Unshown(m);
    }
    QMetaObject::invokeMethod(
        app,
        [pending, m] {
            const Answer answer = ShowBox(m);
            std::lock_guard lock(waitLock);
            pending->answer = answer;
            pending->done = true;
            answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(waitLock);
    answered.wait(lock, [&] { return pending->done || showingStopped; });
    if (pending->done) return pending->answer;
    lock.unlock();
    return Unshown(m);
}

}  // namespace

MessageBoxReporter::MessageBoxReporter() {
    previous = SetReporter(&Report);
}

MessageBoxReporter::~MessageBoxReporter() {
    SetReporter(previous);
    previous = nullptr;
}

void StopShowingMessagesFromOtherThreads() {
    std::lock_guard lock(waitLock);
    showingStopped = true;
    answered.notify_all();
}
