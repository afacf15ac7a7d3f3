// The program's commands: identifier, menu text, keys, status prompt and
// tool-tip of each, and the order of the tool bar and the menus. One table
// feeds the main menu, the tool bar, the context menu and the keyboard.
#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>

namespace command {

enum Id : int {
    kMixSettings = 32768,
    kWizardCreates = 32769,
    kCopyAndPaste = 32770,
    kOverview = 32771,
    kBack = 32773,
    kForward = 32774,
    kCreate = 32780,
    kXformSettings = 32781,
    kOpenImageFile = 32782,
    kImageQuality = 32786,
    kChooseXform = 32788,
    kStop = 32792,
    kGoToLast = 32801,
    kGoToOriginal = 32803,
    kImageProperties = 32804,
    kZoomIn = 32806,
    kZoomOut = 32807,
    kQuarterSize = 32808,
    kHalfSize = 32809,
    kThreeQuarters = 32810,
    kFullSize = 32811,
    kFitToWindow = 32813,
    kBackKey = 32828,     // the Left arrow: Back under an id of its own
    kForwardKey = 32829,  // the Right arrow: Forward
    kAcknowledgements = 32831,
    kGlyphtic = 32832,
    kWebFade = 32834,
    kLesson = 32836,
    kIdeaGallery = 32840,
    kSaveSession = 32841,
    kSaveRecipe = 32842,
    kApplyRecipe = 32843,
    kSelection = 1019,
    kTipOfTheDay = 105,
    kCloseDocument = 57602,
    kSaveImageFile = 57603,
    kSaveImageAs = 57604,
    kCopy = 57634,
    kPaste = 57637,
    kAbout = 57664,
    kExit = 57665,
    kContextHelp = 57669,
    kHelp = 57670,
    // A context-menu item that no object handles: always shown disabled.
    kRevertToOriginal = 32812,
    // Not a command id: ends a list of ids.
    kSeparator = 0,
};

struct Info {
    Id id;
    const char* menuText;  // null when no menu shows the command
    const char* prompt;    // the status-bar text while the command is highlighted
    const char* toolTip;   // null when the command has none
    QKeyCombination keys[3];
};

// Every command, in the order of the command table.
const QList<Info>& All();
// The command's entry; null for an unknown id.
const Info* Find(int id);
QList<QKeySequence> Shortcuts(const Info& info);

// The items of the tool bar, the "&File" menu, the "&Help" menu and the
// context menu, kSeparator between groups.
const QList<Id>& ToolBar();
const QList<Id>& FileMenu();
const QList<Id>& HelpMenu();
const QList<Id>& ContextMenu();
// The idle text of the message pane.
inline constexpr const char kIdlePrompt[] = "For Help, press F1, for Inspiration, press F7";
// The idle text while the Wizard cannot run (no picture, or none it may use).
inline constexpr const char kIdlePromptNoIdeas[] = "For Help, press F1";

}  // namespace command
