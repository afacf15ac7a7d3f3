// The one builder of the Xforms' settings panels: a modal dialog made from
// the Xform's parameter declaration, working on a copy of the recipe. The
// "Wizard chooses" box comes first and, while checked, disables every other
// control; each field gets the control its declaration names.
#pragma once

#include <vector>

#include <QDialog>

#include "engine/param_decl.h"
#include "engine/recipe.h"

class ColourSwatch;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QVBoxLayout;
class SliderPair;

class XformPanel : public QDialog {
    Q_OBJECT

  public:
    XformPanel(QWidget* parent, const XformDecl& decl, const CFilSpec& filSpec);

    // The declared fields of the edited copy written into filSpec (after OK).
    void Store(CFilSpec& filSpec) const;
    const CFilSpec& Edited() const { return work_; }

    // The controls of a field by its name (null when it has none of that kind).
    QCheckBox* CheckBox(const char* name) const;
    SliderPair* Pair(const char* name) const;
    QLineEdit* Edit(const char* name) const;
    QWidget* ColourButton(const char* name) const;
    ColourSwatch* Swatch(const char* name) const;
    QButtonGroup* Choices(const char* name) const;
    // Every input control of the field.
    std::vector<QWidget*> Inputs(const char* name) const;

    // OK: commits the edits; an integer edit out of its range keeps the panel open.
    void accept() override;

  private:
    struct FieldControls {
        const ParamField* field = nullptr;
        std::vector<QWidget*> inputs;  // what the enable rule switches
        QCheckBox* check = nullptr;
        SliderPair* pair = nullptr;
        QLineEdit* edit = nullptr;
        QWidget* colourButton = nullptr;
        ColourSwatch* swatch = nullptr;
        QButtonGroup* choices = nullptr;
    };

    void AddField(const ParamField& field, QVBoxLayout* into);
    void AddChoice(FieldControls& c, QVBoxLayout* into, bool titled);
    void AddColourRow(FieldControls& c, QVBoxLayout* into, const char* label, COLORREF* colour);
    void CommitEdit(FieldControls& c);
    // Reads a lone edit as the dialog closes; false keeps the dialog open.
    bool CheckEdit(FieldControls& c);
    void ApplyEnableRule();
    int IntField(const char* name);
    const FieldControls* Find(const char* name) const;

    const XformDecl& decl_;
    CFilSpec work_;
    std::vector<FieldControls> controls_;
};
