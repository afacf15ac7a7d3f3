// What the drawing commands share: reading their options, loading the
// picture, drawing an idea with progress and Ctrl+C, writing files whole.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "recipe/recipe.h"
#include "util/error_box.h"

class CDADC;

namespace fabulor_cli {

// A wrong command line: the text says what is wrong and what is allowed.
struct UsageError {
    std::string text;
};

// Walks a command's arguments: options as "--name value" or "--name=value".
class ArgReader {
  public:
    explicit ArgReader(const std::vector<std::string>& args) : args_(args) {}
    bool Done() const { return next_ >= args_.size(); }
    // The next argument; when it is an option given as "--name=value" the
    // value is kept for Value.
    std::string Next();
    // The value of the option just read; UsageError when there is none, or
    // when the option (but --set) was given before.
    std::string Value(const std::string& option);
    // What every command takes besides its own options: --quality, --quiet
    // and positional arguments; UsageError for an unknown option.
    void TakeShared(const std::string& arg, int* quality, bool* quiet,
                    std::vector<std::string>* positional);

  private:
    const std::vector<std::string>& args_;
    size_t next_ = 0;
    std::string inlineValue_;
    bool hasInlineValue_ = false;
    std::set<std::string> given_;
};

// Each throws UsageError naming the option and listing what is allowed.
int ParseXform(const std::string& text);
int ParseQuality(const std::string& text);
std::uint32_t ParseSeed(const std::string& text);
int ParseInt(const std::string& option, const std::string& text, int lo, int hi);
COLORREF ParseColour(const std::string& option, const std::string& text);
int ParseMixMode(const std::string& option, const std::string& text, bool webFade);
// "field=value" for a field of Xform index's declaration.
void ApplySet(CFilSpec& filSpec, int index, const std::string& assignment);
// "hue=30,saturation=0.5,value=1,invert=1,smoothing=2": the keys given
// change, the others keep their values.
void ApplySelect(const std::string& option, const std::string& text, AreaSelection* selection);
// "png" from "out.PNG": the lower-case extension when it is a picture type
// this program writes; UsageError otherwise.
std::string CheckPictureType(const std::string& option, const std::string& path);

// What render was asked for.
struct RenderOptions {
    std::string picture;
    std::string output;
    std::string recipe;
    int xform = kMosaic;
    std::optional<std::uint32_t> seed;
    int quality = 1;
    bool wizard = false;
    bool quiet = false;
    std::vector<std::string> sets;
};
// Reads render's arguments into opt and the recipe settings that need no
// picture into filSpec; UsageError on the first fault.
void ReadRenderOptions(const std::vector<std::string>& args, RenderOptions& opt, CFilSpec& filSpec);

// The Xform list and the declared fields, for help texts.
std::string XformListHelp();
std::string XformTableHelp();
std::string FieldsHelp();

// Counts the engine's messages while a command runs, keeping the progress
// line out of their way, and passes them on to the reporter it replaced.
class MessageGuard {
  public:
    MessageGuard();
    ~MessageGuard();
    MessageGuard(const MessageGuard&) = delete;
    MessageGuard& operator=(const MessageGuard&) = delete;
    int Errors() const;

  private:
    Reporter previous_;
};

// While it lives, Ctrl+C (SIGINT) and SIGTERM ask the run to stop; a second
// one ends the program at once.
class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

// The progress line on standard error (a terminal's): a bar, the percent
// and a text; cleared before any message is printed.
void ShowProgressLine(int percent, const std::string& text);
void ClearProgressLine();
// Ctrl+C or SIGTERM came (the process-wide stop flag is set).
bool StopSignalled();

// The picture file as a surface; null after the messages.
std::unique_ptr<CDADC> LoadPicture(const std::string& path, std::ostream& err);

enum class RunOutcome { Finished, Failed, Stopped };

// Draws filSpec's idea over original at quality k into picture (the original's
// size) on the generation thread, showing progress on a terminal.
RunOutcome DrawIdea(const CFilSpec& filSpec, const CDADC& original, int quality, CDADC& picture,
                    bool showProgress, const MessageGuard& messages, std::ostream& err);

// Writes the picture whole (util/safe_write.h); a stop asked for meanwhile
// leaves the file as it was. Finished, Failed or Stopped.
RunOutcome WritePicture(CDADC& picture, const std::string& path, std::ostream& err);

// The exit status of an outcome, saying so when it was a stop.
int ExitStatus(RunOutcome outcome, std::ostream& err);
// Prints the command line's fault with a pointer to the help; kExitUsage.
int UsageFailure(const char* command, const UsageError& error, std::ostream& err);

}  // namespace fabulor_cli
