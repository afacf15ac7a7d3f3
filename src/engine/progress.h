// Progress and status of a run, shared between the generation thread, which
// writes them, and the user interface, which shows them.
#pragma once

#include <atomic>
#include <string>

// Set by STOP (or Escape); the Xforms and the mix poll it in their loops.
inline std::atomic<int> StopRequested{0};

// The application's run percent, where every XformContext points by default.
std::atomic<int>& ApplicationProgress();

// Maps percentOfStage (0..100) into the stage lo..hi and stores it; sets the
// status text when text is not null.
void SetPercent(std::atomic<int>* progress, int lo, int hi, int percentOfStage, const char* text);

// The status text: at most 40 characters.
void SetStatusText(const char* text);
std::string GetStatusText();

// The status bar's ticker: while a run shows its progress bar, the status
// text turns one character to the left on every call of Scroll (the main
// window calls it every 250 ms). A new text starts again at its first
// character.
namespace StatusTicker {
// Starts the ticker at the text's first character (a new progress bar).
void Restart();
// The status text turned by the current offset; the offset then moves on.
std::string Scroll();
}  // namespace StatusTicker
