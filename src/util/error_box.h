// Reporting faults to the user. Every routine formats its text into a
// 520-byte buffer, as the program always has, and hands it to the one
// installed reporter: the desktop program shows a message box (a notice in
// the status bar), the command-line program prints to standard error, tests
// collect the texts.
#pragma once

#include <functional>
#include <string>
#include <vector>

enum class MessageKind {
    Error,        // exclamation icon, the application's title as caption
    SystemError,  // information icon, a caption of its own, the system's last-error text appended
    Question,     // Yes/No/Cancel
    Notice,       // not a fault: the work went on, the user should know (a picture cut short)
};

enum class Answer { Yes, No, Cancel };

struct Message {
    MessageKind kind = MessageKind::Error;
    std::string caption;
    std::string text;
};

// Receives every message; returns the answer for a question (ignored otherwise).
using Reporter = std::function<Answer(const Message&)>;

// Installs the reporter and returns the one it replaces. An empty function
// restores the default, which prints to standard error (a notice as
// "warning: <text>") and answers No.
Reporter SetReporter(Reporter reporter);

constexpr int kMessageBufferSize = 520;
inline const char* const kAppTitle = "Fabulor";

// printf-style message with the application's title as caption.
void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A caption, the formatted text and the system's text for the last error (errno).
void SystemErrorBox(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// printf-style notice with the application's title as caption: something the
// user should know that did not stop the work. The desktop program shows it
// in the status bar, the command-line program prints it as a warning.
void NoticeBox(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same box as ErrorBox for a text of the program's string table.
void ErrorBoxFromString(unsigned stringId);

// The text of the string table under id, or nullptr when there is none.
const char* LoadProgramString(unsigned stringId);

// How many errors (not notices or questions) were reported on the calling
// thread so far, kept or delivered: work can tell whether it told of its own
// failure.
int ErrorsOnThisThread();

// Yes/No/Cancel question, task-modal, with the application's title as caption.
Answer QuestionBox(const char* format, ...) __attribute__((format(printf, 1, 2)));

// While one lives, the messages reported on the thread that made it are kept
// in it instead of reaching the reporter (a question is answered Cancel), so
// that work done on a helper thread can hand them over and be told as one.
// They nest: the innermost on a thread takes the messages.
class ThreadMessages {
  public:
    ThreadMessages();
    ~ThreadMessages();
    ThreadMessages(const ThreadMessages&) = delete;
    ThreadMessages& operator=(const ThreadMessages&) = delete;

    std::vector<Message> Take() { return std::move(messages_); }
    void Keep(Message m) { messages_.push_back(std::move(m)); }

  private:
    std::vector<Message> messages_;
    ThreadMessages* outer_;
};
