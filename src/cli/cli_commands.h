// The drawing commands of fabulor-cli: render one idea, let the Wizard make
// a batch of them, draw a saved recipe again. Each takes the arguments after
// its name and returns the program's exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fabulor_cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;        // the work failed; the messages say why
constexpr int kExitUsage = 2;         // a wrong command line
constexpr int kExitStopped = 130;     // Ctrl+C: 128 + SIGINT, as shells report it
constexpr int kExitTerminated = 143;  // 128 + SIGTERM: a desktop session or timeout ended it

// Help goes to out, messages to err (the engine's own messages go through
// its reporter, which prints to standard error unless replaced).
int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunWizard(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunReplay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same over the program's own arguments, for its command table.
int RenderCommand(int argc, char** argv);
int WizardCommand(int argc, char** argv);
int ReplayCommand(int argc, char** argv);
int ConvertCommand(int argc, char** argv);

// The lines the program's overall help gives these commands.
extern const char* const kCommandsSummary;

}  // namespace fabulor_cli
