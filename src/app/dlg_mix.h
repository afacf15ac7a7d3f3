// The final-mix and web-fade dialogs: mode buttons whose identifiers are the
// mix modes, a percent trackbar with its edit, "Set", "Apply Now", "Cancel".
#pragma once

#include <map>

#include <QDialog>

#include "app/dlg_helpers.h"
#include "recipe/recipe.h"

class ColourSwatch;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class SliderPair;

// The mode identifiers beyond "Off".
// Controls shared by both dialogs.
constexpr int kIdPercentSlider = 1099;
constexpr int kIdPercentEdit = 1101;
constexpr int kIdPercentPrompt = 1102;

// What the two dialogs share: the mode buttons and the percent pair.
class ModePercentDlg : public QDialog {
    Q_OBJECT

  public:
    int Mode() const { return mode_; }
    int Percent() const { return percent_; }
    int ApplyNow() const { return applyNow_; }
    QRadioButton* ModeButton(int mode) const;
    SliderPair* PercentPair() const { return pair_; }
    const SetApplyCancel& Buttons() const { return buttons_; }

  protected:
    explicit ModePercentDlg(QWidget* parent);
    // The mode buttons; withEvenAndHsv: the final mix's "&Even Mix" and "&Hsv".
    QLayout* BuildModes(bool withEvenAndHsv);
    // The prompt, the trackbar 1..99 and its edit.
    QLayout* BuildPercent(const QString& prompt);
    void BuildButtons(QBoxLayout* layout, const QString& help);
    // Shows the fields: the checked mode, the enabling, the percent.
    virtual void LoadControls();
    // The percent edit read back as the dialog closes, checked against lo..hi.
    bool ReadPercent(int lo, int hi);
    // Reads the controls as OK does; false keeps the dialog open.
    virtual bool ReadControls() = 0;

    int mode_ = kMixModeOff;
    int percent_ = 50;
    int applyNow_ = 0;

  private:
    QRadioButton* AddMode(QGridLayout* grid, int row, int mode, const QString& label);

    std::map<int, QRadioButton*> modes_;
    SliderPair* pair_ = nullptr;
    SetApplyCancel buttons_;
};

// "Mix Settings": FinalMix's Mode, Selection and Percent.
class MixDlg : public ModePercentDlg {
    Q_OBJECT

  public:
    MixDlg(QWidget* parent, const MixSettings& mix);
    // The original picture for the advanced selection.
    void SetupDCs(const CDADC* original);
    // Mode, Selection and Percent into mix (after OK).
    void Store(MixSettings* mix) const;
    const AreaSelection& Selection() const { return selection_; }

  protected:
    void LoadControls() override;
    bool ReadControls() override;

  private:
    void OnHlsBut();

    AreaSelection selection_;
    const CDADC* original_ = nullptr;
};

// "WEB Fading Settings": the whole WebFade record.
class WebFadeDlg : public ModePercentDlg {
    Q_OBJECT

  public:
    WebFadeDlg(QWidget* parent, const MixSettings& fade);
    const MixSettings& Settings() const { return settings_; }
    QLineEdit* ColourEdit() const { return colourEdit_; }
    ColourSwatch* Swatch() const { return swatch_; }
    // The colour edit was left.
    void OnColourKillFocus();
    // "Choose...".
    void OnChooseColour();

  protected:
    void LoadControls() override;
    bool ReadControls() override;

  private:
    MixSettings settings_;
    QLineEdit* colourEdit_ = nullptr;
    ColourSwatch* swatch_ = nullptr;
    bool colourCommitting_ = false;  // its message box must not commit it again
};
