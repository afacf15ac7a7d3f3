#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include "app/dialogs.h"
#include "app/panel_builder.h"
#include "app/slider_pair.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"

namespace {

QStringList LabelTexts(const QWidget& panel) {
    QStringList texts;
    for (const QLabel* label : panel.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

bool AllEnabled(const std::vector<QWidget*>& inputs, bool enabled) {
    return !inputs.empty() && std::all_of(inputs.begin(), inputs.end(),
                                          [&](QWidget* w) { return w->isEnabled() == enabled; });
}

}  // namespace

class LiquidEnergyVelmiraPanelsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    void liquidEnergyHasAMinMaxTrackbarAndTwoColours() {
        CFilSpec filSpec;
        filSpec.LiquidEnergy.wizardChooses = 1;
        XformPanel panel(nullptr, *FindXform(kLiquidEnergy), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Liquid Energy Settings"));
        const QStringList labels = LabelTexts(panel);
        for (const char* text : {"Ripple Width", "Min", "Max", "F1 for help on this dialog"})
            QVERIFY2(labels.contains(text), text);
        QSlider* slider = panel.Pair("rippleWidth")->Slider();
        QCOMPARE(slider->minimum(), 10);
        QCOMPARE(slider->maximum(), 100);
        QCOMPARE(slider->value(), 64);
        const auto* colours = panel.findChild<QGroupBox*>();
        QVERIFY(colours != nullptr);
        QCOMPARE(colours->title(), QString("Colors"));
        for (const char* name : {"energy", "liquid"}) {
            QVERIFY(colours->isAncestorOf(panel.ColourButton(name)));
            QVERIFY2(AllEnabled(panel.Inputs(name), false), name);
        }
        QCOMPARE(static_cast<QPushButton*>(panel.ColourButton("energy"))->text(), "Energy");
        QCOMPARE(static_cast<QPushButton*>(panel.ColourButton("liquid"))->text(), "Liquid");
        QVERIFY(AllEnabled(panel.Inputs("rippleWidth"), false));
        panel.CheckBox("wizardChooses")->click();
        for (const char* name : {"rippleWidth", "energy", "liquid"})
            QVERIFY2(AllEnabled(panel.Inputs(name), true), name);
    }

    // The edit takes 1..1000 when the panel closes; the width is then held
    // to the trackbar's 10..100.
    void liquidEnergyEditTakesOneToAThousand() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.LiquidEnergy.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kLiquidEnergy), filSpec);
        panel.show();
        QLineEdit* edit = panel.Pair("rippleWidth")->Edit();
        edit->setText("0");
        panel.accept();
        QVERIFY(panel.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 1 and 1000."});
        edit->setText("5");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().LiquidEnergy.rippleWidth, 10);
    }

    void velmiraTonkartHasFourTickedTrackbars() {
        CFilSpec filSpec;
        filSpec.VelmiraTonkart.wizardChooses = 1;
        XformPanel panel(nullptr, *FindXform(kVelmiraTonkart), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Velmira Tonkart Settings"));
        QVERIFY(LabelTexts(panel).contains("F1 for help with Pockel"));
        const struct {
            const char* name;
            const char* label;
            int min, max, value;
        } pairs[] = {{"columns", "Horizontal images", 1, 8, 2},
                     {"rows", "Vertical images", 1, 8, 2},
                     {"splodge", "Splodge", 0, 6, 3},
                     {"inks", "Number of inks", 2, 5, 3}};
        for (const auto& p : pairs) {
            QVERIFY2(LabelTexts(panel).contains(p.label), p.label);
            const QSlider* slider = panel.Pair(p.name)->Slider();
            QCOMPARE(slider->minimum(), p.min);
            QCOMPARE(slider->maximum(), p.max);
            QCOMPARE(slider->value(), p.value);
            QCOMPARE(slider->tickInterval(), 1);
            QVERIFY(slider->tickPosition() != QSlider::NoTicks);
            QVERIFY2(AllEnabled(panel.Inputs(p.name), false), p.name);
        }
        panel.CheckBox("wizardChooses")->click();
        for (const auto& p : pairs)
            QVERIFY2(AllEnabled(panel.Inputs(p.name), true), p.name);
    }

    // Each edit checks its trackbar's range when the panel closes.
    void velmiraTonkartEditsCheckTheirRanges() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.VelmiraTonkart.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kVelmiraTonkart), filSpec);
        panel.show();
        panel.Pair("inks")->Edit()->setText("1");
        panel.accept();
        QVERIFY(panel.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 2 and 5."});
        panel.Pair("inks")->Edit()->setText("5");
        panel.Pair("splodge")->Edit()->setText("0");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().VelmiraTonkart.inks, 5);
        QCOMPARE(panel.Edited().VelmiraTonkart.splodge, 0);
    }
};

QTEST_MAIN(LiquidEnergyVelmiraPanelsTest)
#include "liquid_energy_velmira_panels_test.moc"
