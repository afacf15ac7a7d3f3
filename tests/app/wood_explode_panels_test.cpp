// The settings panels of Wood and Explode as the panel builder makes them
// from their declarations: the controls shown and hidden, the drop-down
// list, the slider's end labels, and the enable rules of colours.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>

#include "app/dialogs.h"
#include "app/panel_builder.h"
#include "app/slider_pair.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "xforms/wood.h"

namespace {

bool Enabled(const XformPanel& panel, const char* name) {
    const std::vector<QWidget*> inputs = panel.Inputs(name);
    if (inputs.empty()) return false;
    for (QWidget* w : inputs)
        if (!w->isEnabled()) return false;
    return true;
}

bool HasLabel(const QWidget& panel, const char* text) {
    for (const QLabel* label : panel.findChildren<QLabel*>())
        if (label->text() == QString::fromLatin1(text)) return true;
    return false;
}

}  // namespace

class XformPanelsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    void woodShowsTheGrainWidthAndTheWoodTypeOnly() {
        CFilSpec filSpec;
        filSpec.Wood.woodType = 3;
        XformPanel panel(nullptr, *FindXform(kWood), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Wood Xform Settings"));
        for (const char* hidden : {"strokes", "strokeDirection", "strokeAngle"})
            QVERIFY2(panel.Inputs(hidden).empty(), hidden);
        QCOMPARE(panel.Pair("grainWidth")->Slider()->minimum(), 8);
        QCOMPARE(panel.Pair("grainWidth")->Slider()->maximum(), 64);
        QVERIFY(HasLabel(panel, "Grain Width") && HasLabel(panel, "Min") && HasLabel(panel, "Max"));
        QComboBox* list = panel.List("woodType");
        QCOMPARE(list->count(), 7);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(list->itemText(i), QString(wood::kWoodTypes[i].name));
        QCOMPARE(list->currentIndex(), 3);
        QVERIFY(!Enabled(panel, "grainWidth") && !Enabled(panel, "woodType"));

        panel.CheckBox("wizardChooses")->click();
        QVERIFY(Enabled(panel, "grainWidth") && Enabled(panel, "woodType"));
        list->setCurrentIndex(5);
        emit list->activated(5);
        QCOMPARE(panel.Edited().Wood.woodType, 5);
    }

    // The edit takes 1..64 on OK; the value then comes from the slider, 8..64.
    void woodGrainWidthEditIsCheckedThenHeld() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.Wood.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kWood), filSpec);
        panel.show();
        QLineEdit* edit = panel.Pair("grainWidth")->Edit();
        edit->setText("0");
        panel.accept();
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 1 and 64."});
        edit->setText("3");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().Wood.grainWidth, 8);
    }

    // A colour is chosen only where it does not come from the picture.
    void explodeColoursWaitForTheirEndsAndTheSolidBackground() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.Explode.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kExplode), filSpec);
        panel.show();
        QCOMPARE(panel.windowTitle(), QString("Explode Settings"));
        QVERIFY(!panel.ColourButton("startColour")->isEnabled());
        QVERIFY(!panel.ColourButton("endColour")->isEnabled());
        QVERIFY(panel.ColourButton("background")->isEnabled());
        panel.CheckBox("startFromImage")->click();
        QVERIFY(panel.ColourButton("startColour")->isEnabled());
        QVERIFY(!panel.ColourButton("endColour")->isEnabled());
        panel.Choices("background")->button(1)->click();
        QCOMPARE(panel.Edited().Explode.background.useImage, 1);
        QVERIFY(!panel.ColourButton("background")->isEnabled());
        panel.CheckBox("wizardChooses")->click();
        QVERIFY(!panel.ColourButton("startColour")->isEnabled());
        QVERIFY(!Enabled(panel, "traces") && !Enabled(panel, "gravity"));
        panel.CheckBox("wizardChooses")->click();

        panel.Pair("traces")->Edit()->setText("40000");
        panel.accept();
        panel.Pair("traces")->Edit()->setText("100");
        panel.Pair("gravity")->Edit()->setText("101");
        panel.accept();
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{"Please enter an integer between 100 and 30000.",
                                           "Please enter an integer between 0 and 100."}));
        panel.Pair("gravity")->Edit()->setText("7");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().Explode.traces, 500);
        QCOMPARE(panel.Edited().Explode.gravity, 7);
        QCOMPARE(panel.Edited().Explode.startFromImage, 0);
    }
};

QTEST_MAIN(XformPanelsTest)
#include "wood_explode_panels_test.moc"
