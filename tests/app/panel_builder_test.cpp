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
#include "engine/filspec.h"
#include "engine/param_decl.h"
#include "engine/xform_registry.h"
#include "modal_helpers.h"
#include "support/message_capture.h"
#include "xforms/mosaic.h"

namespace {

template <auto Member>
void* M(CFilSpec& spec) {
    return FieldOf<&CFilSpec::Mosaic, Member>(spec);
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
        CFilSpec spec;
        spec.Mosaic.tileSize = 2.5;
        spec.Mosaic.geometry = kMosaicCircular;
        spec.Mosaic.highlightPosition = kHighlightTop;
        XformPanel panel(nullptr, kMosaicDecl, spec);
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
        CFilSpec spec;
        spec.Mosaic.wizardChooses = 0;
        spec.Mosaic.highlightPosition = kHighlightOff;
        XformPanel panel(nullptr, kMosaicDecl, spec);
        QVERIFY(!panel.ColourButton("highlightColour")->isEnabled());
        QVERIFY(panel.ColourButton("background")->isEnabled());
        panel.Choices("highlightPosition")->button(kHighlightBottomLeft)->click();
        QVERIFY(panel.ColourButton("highlightColour")->isEnabled());
    }

    void wizardChoosesDisablesEveryParameter() {
        CFilSpec spec;
        spec.Mosaic.wizardChooses = 1;
        spec.Mosaic.highlightPosition = kHighlightTop;
        XformPanel panel(nullptr, kMosaicDecl, spec);
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
        CFilSpec spec;
        spec.XformIndex = kMosaic;
        spec.WizardAll = 1;
        spec.Mosaic.wizardChooses = 1;
        WhenModal([](QWidget* dlg) {
            dlg->findChild<QCheckBox*>("wizardChooses")->click();
            auto* pair = dlg->findChild<SliderPair*>("tileSize");
            pair->Edit()->setText("3");
            dlg->findChild<QRadioButton*>("1030")->click();
            ClickId(dlg, kIdOk);
        });
        QCOMPARE(spec.OpenSettings(), 1);
        QCOMPARE(spec.WizardAll, 0);
        QCOMPARE(spec.Mosaic.wizardChooses, 0);
        QCOMPARE(spec.Mosaic.tileSize, 3.0);
        QCOMPARE(spec.Mosaic.geometry, int(kMosaicCircleInGrid));
    }

    void cancelLeavesTheBlockUnchanged() {
        CFilSpec spec;
        spec.XformIndex = kMosaic;
        const MosaicParams before = spec.Mosaic;
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
        QCOMPARE(spec.OpenSettings(), 0);
        SetColourChooser(previous);
        QCOMPARE(spec.WizardAll, 1);
        QVERIFY(std::memcmp(&before, &spec.Mosaic, sizeof before) == 0);
    }

    void colourButtonsFillTheirSwatch() {
        CFilSpec spec;
        spec.Mosaic.wizardChooses = 0;
        spec.Mosaic.highlightPosition = kHighlightRight;
        XformPanel panel(nullptr, kMosaicDecl, spec);
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
        CFilSpec spec;
        spec.Mosaic.wizardChooses = 0;
        spec.Mosaic.highlightPosition = kHighlightOff;
        XformPanel panel(nullptr, kTestDecl, spec);
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), false);
        panel.Choices("highlightPosition")->button(1102)->click();
        QCOMPARE(panel.Edited().Mosaic.highlightPosition, 1102);
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), true);
        panel.Choices("highlightPosition")->button(1100)->click();
        QCOMPARE(panel.findChild<QWidget*>("highlightColour")->isEnabled(), false);
    }

    void integerEditIsCheckedOnClosing() {
        MessageCapture messages;
        CFilSpec spec;
        spec.Mosaic.wizardChooses = 0;
        XformPanel panel(nullptr, kTestDecl, spec);
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
        CFilSpec spec;
        QCOMPARE(RunXformSettingsPanel(nullptr, spec, kNullXform), 0);
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"CFilSpec::OCP, Xforms 19 not\n(yet) supported"});
    }
};

QTEST_MAIN(PanelBuilderTest)
#include "panel_builder_test.moc"
