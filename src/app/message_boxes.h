// Shows the program's messages in message boxes titled by their caption (a
// notice in the main window's status bar instead).
// A message from the generation thread is shown on the user-interface
// thread while the generation thread waits for the answer.
#pragma once

// Installs the message-box reporter; the previous reporter comes back when
// the returned object is destroyed.
class MessageBoxReporter {
  public:
    MessageBoxReporter();
    ~MessageBoxReporter();
    MessageBoxReporter(const MessageBoxReporter&) = delete;
    MessageBoxReporter& operator=(const MessageBoxReporter&) = delete;
};

// The user-interface thread is about to wait for the generation thread and
// will show no more boxes: a message waiting for it, or coming later, goes
// to standard error instead, so that the two threads never wait for each
// other.
void StopShowingMessagesFromOtherThreads();
