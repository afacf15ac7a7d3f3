// The one builder of the Xforms' settings panels: a modal dialog made from
// the Xform's declared fields, working on a copy of the recipe. The "Wizard
// chooses" box comes first and, while checked, disables every other
// control; each field gets the widget of its kind.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QDialog>

#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

class ColourSwatch;
class FigurePreview;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class SliderPair;

// The controls a field's widget made (null where it has none of that kind).
struct FieldControls {
    QCheckBox* check = nullptr;
    SliderPair* pair = nullptr;
    QLineEdit* edit = nullptr;
    QWidget* colourButton = nullptr;
    ColourSwatch* swatch = nullptr;
    QButtonGroup* choices = nullptr;
    QComboBox* list = nullptr;  // a Choice shown as a drop-down list
    QPushButton* figureButton = nullptr;
    FigurePreview* preview = nullptr;
    std::vector<QWidget*> inputs;  // what the enable rules switch
};

// One declared field's controls, over the panel's working copy of the recipe.
class FieldWidget {
  public:
    FieldWidget(const BoundField& declared, CFilSpec& edited) : field(declared), work(edited) {}
    virtual ~FieldWidget() = default;

    // The field's value as the enable rules see it: flags and choices as
    // they are; other kinds 0 unless they say otherwise.
    virtual int RuleValue() const;
    // OK pressed: takes in what the user typed; false (after a message)
    // keeps the panel open.
    virtual bool Accept() { return true; }
    // Every field accepted: the last work before the panel closes with OK.
    virtual void Store() {}
    // The panel closes, with OK or not.
    virtual void Close() {}
    // The enable rules' verdict for the field.
    virtual void SetEnabled(bool enabled);

    const BoundField& field;
    CFilSpec& work;
    FieldControls controls;
};

// What a widget maker is given: where to put the controls and whom to tell
// when the user changed something the enable rules depend on.
struct FieldSetup {
    QWidget* parent;
    const BoundField& field;
    CFilSpec& work;
    QVBoxLayout* into;
    std::function<void()> changed;
};
using FieldWidgetMaker = std::unique_ptr<FieldWidget> (*)(const FieldSetup& setup);

class XformPanel : public QDialog {
    Q_OBJECT

  public:
    XformPanel(QWidget* parent, const XformRow& row, const CFilSpec& filSpec);
    ~XformPanel() override;

    // The Xform's block of the edited copy written into filSpec (after OK).
    void Store(CFilSpec& filSpec) const;
    const CFilSpec& Edited() const { return work_; }

    // The controls of a field by its name (null when it has none of that kind).
    QCheckBox* CheckBox(const char* name) const;
    SliderPair* Pair(const char* name) const;
    QLineEdit* Edit(const char* name) const;
    QWidget* ColourButton(const char* name) const;
    ColourSwatch* Swatch(const char* name) const;
    QButtonGroup* Choices(const char* name) const;
    QComboBox* List(const char* name) const;
    // A figure field's "Image..." button and preview.
    QPushButton* FigureButton(const char* name) const;
    FigurePreview* Preview(const char* name) const;
    // Every input control of the field.
    std::vector<QWidget*> Inputs(const char* name) const;

    // OK: every field takes in its edits (one that cannot keeps the panel open).
    void accept() override;
    void done(int result) override;

  private:
    void AddField(const BoundField& field, QVBoxLayout* into);
    void ApplyEnableRule();
    int RuleValue(const char* name) const;
    const FieldWidget* Find(const char* name) const;
    const FieldControls* ControlsOf(const char* name) const;

    const XformRow& row_;
    CFilSpec work_;
    std::vector<std::unique_ptr<FieldWidget>> widgets_;
};
