#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/panel_builder.h"
#include "app/slider_pair.h"
#include "engine/param_decl.h"
#include "engine/recipe.h"
#include "engine/xform_registry.h"
#include "modal_helpers.h"
#include "support/message_capture.h"
#include "xforms/mosaic.h"

namespace {

template <auto Member>
void* M(CFilSpec& filSpec) {
    return FieldOf<&CFilSpec::Mosaic, Member>(filSpec);
}

constexpr ParamChoice kLight[] = {{1101, ""}, {1102, "Top"}, {1100, "Off"}};

// The rules the Mosaic declaration does not use yet: a colour that follows a
// choice, a group box, an integer edit checked on closing.
constexpr ParamField kTestFields[] = {
    {"wizardChooses", "&Wizard chooses", ParamKind::Flag, M<&MosaicParams::wizardChooses>},
    {"geometry",
     "Geometry",
     ParamKind::Int,
     M<&MosaicParams::geometry>,
     1028,
     1030,
     {},
     ParamControl::Edit},
    {.name = "highlightColour",
     .label = "High Light Color",
     .kind = ParamKind::Colour,
     .at = M<&MosaicParams::highlightColour>,
     .enabledBy = "highlightPosition",
     .disabledAt = 1100,
     .group = "High Lighting"},
    {.name = "highlightPosition",
     .label = "High Lighting",
     .kind = ParamKind::Choice,
     .at = M<&MosaicParams::highlightPosition>,
     .choices = kLight,
     .group = "High Lighting",
     .columns = 3},
};
constexpr XformDecl kTestDecl = {kMosaic, "Test settings", "wizardChooses", kTestFields,
                                 "F1 for help with tests"};

bool AllEnabled(const std::vector<QWidget*>& inputs, bool enabled) {
    if (inputs.empty()) return false;
    for (QWidget* w : inputs) {
        if (w->isEnabled() != enabled) return false;
    }
    return true;
}

}  // namespace

class PanelBuilderTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    void hooksReachTheMosaicRow() {
        QVERIFY(FindXform(kMosaic)->settings != nullptr);
        for (int i = 0; i < kXformCount; ++i) {
            const XformOps* row = FindXform(i);
            QCOMPARE(row->settings != nullptr, row->decl != nullptr);
        }
    }

    void mosaicPanelShowsTheBlock() {
        CFilSpec filSpec;
        filSpec.Mosaic.tileSize = 2.5;
        filSpec.Mosaic.geometry = kMosaicCircular;
        filSpec.Mosaic.highlightPosition = kHighlightTop;
        XformPanel panel(nullptr, kMosaicDecl, filSpec);
        QCOMPARE(panel.windowTitle(), QString("Mosaic settings"));
        QCOMPARE(panel.CheckBox("wizardChooses")->text(), QString("&Wizard chooses"));
        QVERIFY(panel.CheckBox("wizardChooses")->isChecked());
        QCOMPARE(panel.Pair("tileSize")->Edit()->text(), QString("  2.50"));
        QCOMPARE(panel.Pair("tileSize")->Edit()->maxLength(), 12);
        QCOMPARE(panel.Choices("geometry")->checkedId(), int(kMosaicCircular));
        QCOMPARE(panel.Choices("geometry")->button(kMosaicCircleInGrid)->text(),
                 QString("Rect. &and Circle"));
        QCOMPARE(panel.Choices("highlightPosition")->checkedId(), int(kHighlightTop));
        QCOMPARE(panel.Choices("highlightPosition")->buttons().size(), 9);
        QVERIFY(panel.ColourButton("background") != nullptr);
        QVERIFY(panel.ColourButton("highlightColour") != nullptr);
    }

    void mosaicHighlightColourNeedsALight() {
        CFilSpec filSpec;
        filSpec.Mosaic.wizardChooses = 0;
        filSpec.Mosaic.highlightPosition = kHighlightOff;
        XformPanel panel(nullptr, kMosaicDecl, filSpec);
        QVERIFY(!panel.ColourButton("highlightColour")->isEnabled());
        QVERIFY(panel.ColourButton("background")->isEnabled());
        panel.Choices("highlightPosition")->button(kHighlightBottomLeft)->click();
        QVERIFY(panel.ColourButton("highlightColour")->isEnabled());
    }

    void wizardChoosesDisablesEveryParameter() {
        CFilSpec filSpec;
        filSpec.Mosaic.wizardChooses = 1;
        filSpec.Mosaic.highlightPosition = kHighlightTop;
        XformPanel panel(nullptr, kMosaicDecl, filSpec);
        const char* parameters[] = {"tileSize",   "spacing",         "geometry",
                                    "background", "highlightColour", "highlightPosition"};
        for (const char* name : parameters)
            QVERIFY2(AllEnabled(panel.Inputs(name), false), name);
        panel.CheckBox("wizardChooses")->click();
        QCOMPARE(panel.Edited().Mosaic.wizardChooses, 0);
        for (const char* name : parameters)
            QVERIFY2(AllEnabled(panel.Inputs(name), true), name);
        QVERIFY(panel.CheckBox("wizardChooses")->isEnabled());
    }

    void okWithTheWizardOffClearsWizardAll() {
        CFilSpec filSpec;
        filSpec.XformIndex = kMosaic;
        filSpec.WizardAll = 1;
        filSpec.Mosaic.wizardChooses = 1;
        WhenModal([](QWidget* dlg) {
            dlg->findChild<QCheckBox*>("wizardChooses")->click();
            auto* pair = dlg->findChild<SliderPair*>("tileSize");
            pair->Edit()->setText("3");
            dlg->findChild<QRadioButton*>("1030")->click();
            ClickId(dlg, kIdOk);
        });
        QCOMPARE(filSpec.OpenSettings(), 1);
        QCOMPARE(filSpec.WizardAll, 0);
        QCOMPARE(filSpec.Mosaic.wizardChooses, 0);
        QCOMPARE(filSpec.Mosaic.tileSize, 3.0);
        QCOMPARE(filSpec.Mosaic.geometry, int(kMosaicCircleInGrid));
    }

    void cancelLeavesTheBlockUnchanged() {
        CFilSpec filSpec;
        filSpec.XformIndex = kMosaic;
        const MosaicParams before = filSpec.Mosaic;
        const ColourChooser previous = SetColourChooser([](COLORREF* c) {
            *c = RGB(9, 9, 9);
            return true;
        });
        WhenModal([](QWidget* dlg) {
            dlg->findChild<QCheckBox*>("wizardChooses")->click();
            dlg->findChild<QPushButton*>("background")->click();
            dlg->findChild<SliderPair*>("spacing")->Slider()->setValue(10000);
            ClickId(dlg, kIdCancel);
        });
        QCOMPARE(filSpec.OpenSettings(), 0);
        SetColourChooser(previous);
        QCOMPARE(filSpec.WizardAll, 1);
        QVERIFY(std::memcmp(&before, &filSpec.Mosaic, sizeof before) == 0);
    }

    void colourButtonsFillTheirSwatch() {
        CFilSpec filSpec;
        filSpec.Mosaic.wizardChooses = 0;
        filSpec.Mosaic.highlightPosition = kHighlightRight;
        XformPanel panel(nullptr, kMosaicDecl, filSpec);
        const ColourChooser previous = SetColourChooser([](COLORREF* c) {
            *c = RGB(10, 20, 30);
            return true;
        });
        qobject_cast<QPushButton*>(panel.ColourButton("highlightColour"))->click();
        SetColourChooser(previous);
        QCOMPARE(panel.Swatch("highlightColour")->Colour(), RGB(10, 20, 30));
        CFilSpec out;
        panel.Store(out);
        QCOMPARE(out.Mosaic.highlightColour, RGB(10, 20, 30));
    }

    void colourFollowsItsChoice() {
        CFilSpec filSpec;
        filSpec.Mosaic.wizardChooses = 0;
        filSpec.Mosaic.highlightPosition = kHighlightOff;
        XformPanel panel(nullptr, kTestDecl, filSpec);
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), false);
        panel.Choices("highlightPosition")->button(1102)->click();
        QCOMPARE(panel.Edited().Mosaic.highlightPosition, 1102);
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), true);
        panel.Choices("highlightPosition")->button(1100)->click();
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), false);
    }

    void integerEditIsCheckedOnClosing() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.Mosaic.wizardChooses = 0;
        XformPanel panel(nullptr, kTestDecl, filSpec);
        panel.show();
        panel.Edit("geometry")->setText("2000");
        panel.accept();
        QVERIFY(panel.isVisible());
        panel.Edit("geometry")->setText("1029");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().Mosaic.geometry, 1029);
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 1028 and 1030."});
    }

    void anXformWithoutADeclarationHasNoPanel() {
        MessageCapture messages;
        CFilSpec filSpec;
        QCOMPARE(RunXformSettingsPanel(nullptr, filSpec, kNullXform), 0);
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"CFilSpec::OCP, Xforms 19 not\n(yet) supported"});
    }
};

QTEST_MAIN(PanelBuilderTest)
#include "panel_builder_test.moc"
