#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <thread>

#include "cli/cli_commands.h"
#include "cli/cli_internal.h"
#include "document/generation_worker.h"
#include "engine/progress.h"
#include "surface/cdadc.h"
#include "surface/global_memory.h"
#include "surface/image_files.h"
#include "surface/vic_image.h"
#include "util/safe_write.h"

namespace fabulor_cli {

namespace {

// The progress line on standard error and whoever else writes there.
std::mutex terminalLock;
bool lineShown = false;
std::atomic<int> errorsReported{0};

constexpr int kBarWidth = 30;
// How often the main thread looks at the run, as the desktop program's
// idle handler does (it polls every 250 ms; the terminal can be livelier).
constexpr auto kPollInterval = std::chrono::milliseconds(50);

void ClearLineLocked() {
    if (!lineShown) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    lineShown = false;
}

}  // namespace

void ShowProgressLine(int percent, const std::string& text) {
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    const int filled = percent * kBarWidth / 100;
    char line[kBarWidth + 100];
    std::snprintf(line, sizeof line, "\r[%.*s%.*s] %3d%% %.40s\033[K", filled,
                  "##############################", kBarWidth - filled,
                  "..............................", percent, text.c_str());
    std::lock_guard lock(terminalLock);
    std::fputs(line, stderr);
    std::fflush(stderr);
    lineShown = true;
}

void ClearProgressLine() {
    std::lock_guard lock(terminalLock);
    ClearLineLocked();
}

namespace {

class DoneClient : public GenerationClient {
  public:
    void OnGenerationDone(int stopped) override { stopped_ = stopped; }
    int stopped_ = 0;
};

// The signal that asked for the stop, for the exit status.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnInterrupt(int signal) {
    stopSignal = signal;
    StopRequested.ProcessWide() = 1;
}

}  // namespace

// --- messages -----------------------------------------------------------------------

MessageGuard::MessageGuard() {
    errorsReported = 0;
    // The reporter in force before this one: standard error, or a test's capture.
    auto previous = std::make_shared<Reporter>();
    previous_ = SetReporter([previous](const Message& message) {
        // A notice (a picture cut short) is shown as a warning and fails nothing.
        if (message.kind == MessageKind::Error || message.kind == MessageKind::SystemError)
            ++errorsReported;
        // Ideas drawn side by side report from their own threads; the
        // reporter passed on to need not expect that.
        static std::mutex oneAtATime;
        std::lock_guard lock(oneAtATime);
        ClearProgressLine();
        if (*previous) return (*previous)(message);
        std::fprintf(stderr, "%s%s\n", message.kind == MessageKind::Notice ? "warning: " : "",
                     message.text.c_str());
        return Answer::No;
    });
    *previous = previous_;
}

MessageGuard::~MessageGuard() {
    SetReporter(previous_);
}

int MessageGuard::Errors() const {
    return errorsReported;
}

// --- Ctrl+C -------------------------------------------------------------------------

struct InterruptGuard::Saved {
    struct sigaction interrupt {};
    struct sigaction terminate {};
};

InterruptGuard::InterruptGuard() : saved_(std::make_unique<Saved>()) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The second signal takes the default way out, for a run that does not
    // look at the stop flag.
    action.sa_flags = SA_RESETHAND;
    stopSignal = 0;
    sigaction(SIGINT, &action, &saved_->interrupt);
    sigaction(SIGTERM, &action, &saved_->terminate);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &saved_->interrupt, nullptr);
    sigaction(SIGTERM, &saved_->terminate, nullptr);
}

// --- pictures -----------------------------------------------------------------------

std::unique_ptr<CDADC> LoadPicture(const std::string& path, std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        err << "fabulor-cli: " << path << ": no such picture file\n";
        return nullptr;
    }
    HGLOBAL dib = VicLoadImageFile(path.c_str());
    if (dib == nullptr) {
        if (*VicLastError()) err << "fabulor-cli: " << path << ": " << VicLastError() << "\n";
        err << "fabulor-cli: " << path << ": the picture could not be read\n";
        return nullptr;
    }
    std::unique_ptr<CDADC> picture(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    if (!picture || picture->pBits == nullptr) {
        err << "fabulor-cli: " << path << ": the picture could not be read\n";
        return nullptr;
    }
    return picture;
}

RunOutcome DrawIdea(const CFilSpec& filSpec, const CDADC& original, int quality, CDADC& picture,
                    bool showProgress, const MessageGuard& messages, std::ostream& err) {
    // A Ctrl+C between two runs ends the work before the next one.
    if (StopRequested != 0) return RunOutcome::Stopped;
    const int errorsBefore = messages.Errors();
    auto run = std::make_unique<GenerationRun>();
    run->canvas = std::make_unique<CDADC>(original.width * quality, original.height * quality);
    if (run->canvas->pBits == nullptr) {
        err << "fabulor-cli: no memory for a canvas of " << original.width * quality << " x "
            << original.height * quality << " pixels\n";
        return RunOutcome::Failed;
    }
    run->recipe = filSpec;
    run->original = &original;
    run->picture = &picture;

    const bool bar = showProgress && isatty(STDERR_FILENO);
    if (bar) StatusTicker::Restart();
    GenerationWorker worker(&ApplicationProgress());
    DoneClient client;
    worker.BeginFilterThread(&client, std::move(run));
    while (worker.IsGenerating()) {
        worker.Poll([bar](int percent) {
            if (bar && percent <= 100) ShowProgressLine(percent, GetStatusText());
        });
        if (worker.IsGenerating()) std::this_thread::sleep_for(kPollInterval);
    }
    ClearProgressLine();
    // The run reports its faults; here a fault means no picture is written,
    // and a run that ended without a picture was stopped only if it said
    // nothing of a fault.
    if (messages.Errors() > errorsBefore) return RunOutcome::Failed;
    return client.stopped_ ? RunOutcome::Stopped : RunOutcome::Finished;
}

RunOutcome WritePicture(CDADC& picture, const std::string& path, std::ostream& err) {
    SafeFileWrite file(path);
    if (!file.Ok()) {
        err << "fabulor-cli: " << file.Error() << "\n";
        return RunOutcome::Failed;
    }
    if (!picture.WriteImageFile(file.Path().c_str())) {
        if (*VicLastError()) err << "fabulor-cli: " << VicLastError() << "\n";
        err << "fabulor-cli: " << path << ": the picture could not be written\n";
        return RunOutcome::Failed;
    }
    if (StopRequested != 0) return RunOutcome::Stopped;
    std::string error;
    if (!file.Commit(&error)) {
        err << "fabulor-cli: " << error << "\n";
        return RunOutcome::Failed;
    }
    return RunOutcome::Finished;
}

bool StopSignalled() {
    return StopRequested.ProcessWide().load() != 0;
}

int ExitStatus(RunOutcome outcome, std::ostream& err) {
    switch (outcome) {
        case RunOutcome::Finished:
            return kExitOk;
        case RunOutcome::Failed:
            return kExitFailed;
        case RunOutcome::Stopped:
            err << "fabulor-cli: stopped; nothing more was written\n";
            return stopSignal == SIGTERM ? kExitTerminated : kExitStopped;
    }
    return kExitFailed;
}

int UsageFailure(const char* command, const UsageError& error, std::ostream& err) {
    err << "fabulor-cli " << command << ": " << error.text << "\nTry 'fabulor-cli " << command
        << " --help'.\n";
    return kExitUsage;
}

}  // namespace fabulor_cli
