// The desktop program's modal dialogs, as the main window, the commands and
// the document's view open them. Every dialog works on a copy of its record:
// the record changes only when the dialog closes with OK.
#pragma once

#include <memory>
#include <string>
#include <vector>

class QWidget;
class CDADC;
struct MixSettings;
struct AreaSelection;
struct CFilSpec;

// Each returns 1 on OK ("Set" or "Apply Now"; *applyNow says which: 1 for
// "Apply Now"), 0 on Cancel, leaving the inputs unchanged on Cancel.

// "Choose Xform": the list shows shownIndex (19, "Null", shows Mosaic) and
// the check box the Wizard flag.
int RunChooseXformDialog(QWidget* parent, int shownIndex, int wizard, int* chosenIndex,
                         int* chosenWizard);
// Image quality: level 1 (Normal), 2 (Medium) or 4 (High).
int RunImageQualityDialog(QWidget* parent, int level, int* chosenLevel, int* applyNow);
// The final mix: Mode, Selection and Percent of *mix come back on OK
// (Colour is not the mix dialog's). original: for the advanced selection.
int RunFinalMixDialog(QWidget* parent, MixSettings* mix, const CDADC* original, int* applyNow);
// The web fade: the whole record comes back on OK.
int RunWebFadeDialog(QWidget* parent, MixSettings* fade, const CDADC* original, int* applyNow);
// The advanced area selection with the force-field preview of original.
int RunAreaSelectionDialog(QWidget* parent, AreaSelection* selection, const CDADC* original,
                           int* applyNow);
// The settings panel of Xform xformIndex, built from its declaration, on
// filSpec (the caller's copy): 1 on OK with the block written back, 0 on Cancel
// (the block untouched) or when the Xform has no declaration.
int RunXformSettingsPanel(QWidget* parent, CFilSpec& filSpec, int xformIndex);

// Installs the "Choose Xform" dialog into the recipe and the settings panel
// into every Xform registry row that has a declaration. The dialogs open
// over the active window.
void InstallDialogHooks();

// The sequence overview of one document: it lives as long as the document
// and keeps a thumbnail of every image of its sequence; the dialog itself
// exists only while shown.
class OverviewDialog {
  public:
    static constexpr int kLabelLength = 8;  // characters of a label that are kept

    OverviewDialog();
    ~OverviewDialog();
    OverviewDialog(const OverviewDialog&) = delete;
    OverviewDialog& operator=(const OverviewDialog&) = delete;

    // Appends a thumbnail of picture (longer side 200 pixels) labelled with
    // the first 8 characters of name. Returns the new thumbnail's index (0
    // for the first, the original), or -1 on failure (the message shown).
    int AddToThumbnails(const CDADC* picture, const char* name);
    // Runs the dialog modally: 1 on OK or a double click on a thumbnail,
    // with *chosenIndex the picked image; 0 on Cancel.
    int Choose(QWidget* parent, int* chosenIndex);

    int Count() const { return static_cast<int>(thumbnails_.size()); }
    int Current() const { return current_; }
    const CDADC* Thumbnail(int index) const;
    std::string Label(int index) const;
    // The size of the picture last added, before reduction.
    int PictureWidth() const { return width_; }
    int PictureHeight() const { return height_; }

  private:
    friend class OverviewDlg;
    std::vector<std::unique_ptr<CDADC>> thumbnails_;
    std::vector<std::string> labels_;
    int current_ = -1;
    // The size of the picture last added: the aspect of every cell.
    int width_ = 200;
    int height_ = 200;
};

// What the "Image Properties" dialog tells about the image on show.
struct ImageProperties {
    std::string xformName;     // the Xform that made it
    std::string originalName;  // the document's name
    std::string savedAs;       // where it was saved; empty: "(unsaved)"
    int width = 0;             // the picture on show, in pixels
    int height = 0;
    int index = 0;  // its place in the sequence; 0 is the original
};
void ShowImagePropertiesDialog(QWidget* parent, const ImageProperties& p);

// The tip of the day from "data.tps" in the main folder; its place in that
// file and the start-up choice live in the settings group "Tip". atStartup:
// shown at start (then nothing happens when the user turned the tips off).
void ShowTipOfTheDay(QWidget* parent, bool atStartup);
void ShowAboutDialog(QWidget* parent);
