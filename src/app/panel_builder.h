// The one builder of the Xforms' settings panels: a modal dialog made from
// the Xform's parameter declaration, working on a copy of the recipe. The
// "Wizard chooses" box comes first and, while checked, disables every other
// control; each field gets the control its declaration names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QDialog>

#include "engine/param_decl.h"
#include "engine/recipe.h"

class ColourSwatch;
class FigurePreview;
class PanelFigure;
class QPushButton;
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
    ~XformPanel() override;

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
    // A figure field's "Image..." button and preview.
    QPushButton* FigureButton(const char* name) const;
    FigurePreview* Preview(const char* name) const;
    // Every input control of the field.
    std::vector<QWidget*> Inputs(const char* name) const;

    // OK: commits the edits (an integer edit out of its range keeps the panel
    // open) and writes a chosen figure bitmap as a new figure file.
    void accept() override;
    // Closing releases the figure bitmaps.
    void done(int result) override;

  private:
    struct FieldControls {
        const ParamField* field = nullptr;
        std::vector<QWidget*> inputs;  // what the enable rule switches
        QCheckBox* check = nullptr;
        SliderPair* pair = nullptr;
        QLineEdit* edit = nullptr;
        QWidget* colourButton = nullptr;
        ColourSwatch* swatch = nullptr;
        QButtonGroup* choices = nullptr;  // a figure's: 0 plain shapes, 1 its bitmap
        QPushButton* figureButton = nullptr;
        FigurePreview* preview = nullptr;
        std::unique_ptr<PanelFigure> figure;
    };

    void AddField(const ParamField& field, QVBoxLayout* into);
    void AddChoice(FieldControls& c, QVBoxLayout* into, bool titled);
    void AddColourRow(FieldControls& c, QVBoxLayout* into, const char* label, COLORREF* colour);
    void AddFigure(FieldControls& c, QVBoxLayout* into);
    void RunFigureChooser(FieldControls& c);
    // The figure named in the edited copy.
    std::string FigureName(const FieldControls& c);
    // OK with the bitmap source: the name of the figure file written, else empty.
    void StoreFigureName(FieldControls& c);
    void CommitEdit(FieldControls& c);
    // Reads a lone edit as the dialog closes; false keeps the dialog open.
    bool CheckEdit(FieldControls& c);
    void ApplyEnableRule();
    // A figure field reads 1 while its source is the bitmap.
    int IntField(const char* name);
    const FieldControls* Find(const char* name) const;

    const XformDecl& decl_;
    CFilSpec work_;
    std::vector<FieldControls> controls_;
};
