// The settings panels of Old Film, Relief Map and Swarm: what the panel
// builder makes of their declarations beyond the common rules.
#include <QCheckBox>
#include <QGroupBox>
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

namespace {

QString PercentShown(const XformPanel& panel, const char* level) {
    auto* label = panel.findChild<QLabel*>(QString(level) + "Percent");
    return label != nullptr ? label->text() : QString("(none)");
}

// Where a user drags a level's trackbar: its top is 255.
void DragLevel(const XformPanel& panel, const char* level, int to) {
    panel.Pair(level)->Slider()->setValue(255 - to);
}

}  // namespace

class FilmReliefSwarmPanelsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    void oldFilmTakesDirtinessFromAWideEditAndHoldsIt() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.OldFilm.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kOldFilm), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Old Film Settings"));
        QCOMPARE(panel.CheckBox("wizardChooses")->text(), QString("&Wizard Chooses"));
        QCOMPARE(panel.CheckBox("processingErrors")->text(), QString("Film processiong errors"));
        panel.show();
        QLineEdit* edit = panel.Pair("dirtiness")->Edit();
        edit->setText("1001");
        panel.accept();
        QVERIFY(panel.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between -1000 and 1000."});
        edit->setText("-1000");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().OldFilm.dirtiness, 0);
    }

    void reliefMapLevelsAreTrackbarsWithTheirPercentAbove() {
        CFilSpec filSpec;
        XformPanel panel(nullptr, *FindXform(kReliefMap), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Aerial View Settings"));
        panel.show();
        const char* levels[] = {"seaLevel", "hillLevel", "rockLevel", "snowLine"};
        const char* percents[] = {"20%", "40%", "60%", "80%"};
        for (int i = 0; i < 4; ++i) {
            SliderPair* pair = panel.Pair(levels[i]);
            QVERIFY(pair->IsVertical());
            QVERIFY(pair->Edit()->isHidden());
            QCOMPARE(PercentShown(panel, levels[i]), QString(percents[i]));
            QVERIFY(!pair->isEnabled());
        }
        QCOMPARE(panel.Pair("hillLevel")->Slider()->value(), 255 - 102);
        // Side by side: one row of four.
        const int y = panel.Pair("seaLevel")->mapTo(&panel, QPoint(0, 0)).y();
        QCOMPARE(panel.Pair("snowLine")->mapTo(&panel, QPoint(0, 0)).y(), y);
        QVERIFY(!panel.CheckBox("earthling")->isEnabled());
        panel.CheckBox("wizardChooses")->click();
        QVERIFY(panel.CheckBox("earthling")->isEnabled());
        QVERIFY(panel.Pair("rockLevel")->isEnabled());
    }

    void aLevelDraggedPastItsNeighbourSnapsBack() {
        CFilSpec filSpec;
        filSpec.ReliefMap.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kReliefMap), filSpec);
        const ReliefMapParams& edited = panel.Edited().ReliefMap;
        DragLevel(panel, "hillLevel", 200);
        QCOMPARE(edited.hillLevel, 153);
        QCOMPARE(panel.Pair("hillLevel")->Slider()->value(), 255 - 153);
        QCOMPARE(PercentShown(panel, "hillLevel"), QString("60%"));
        DragLevel(panel, "hillLevel", 30);
        QCOMPARE(edited.hillLevel, 51);
        DragLevel(panel, "seaLevel", 0);
        QCOMPARE(edited.seaLevel, 0);
        QCOMPARE(PercentShown(panel, "seaLevel"), QString("0%"));
        DragLevel(panel, "seaLevel", 255);
        QCOMPARE(edited.seaLevel, 51);
        DragLevel(panel, "snowLine", 10);
        QCOMPARE(edited.snowLine, 153);
        DragLevel(panel, "rockLevel", 255);
        QCOMPARE(edited.rockLevel, 153);
        DragLevel(panel, "snowLine", 255);
        DragLevel(panel, "rockLevel", 240);
        QCOMPARE(std::tie(edited.seaLevel, edited.hillLevel, edited.rockLevel, edited.snowLine),
                 std::make_tuple(51, 51, 240, 255));
        QCOMPARE(PercentShown(panel, "rockLevel"), QString("94%"));
    }

    void swarmNeedsASwitchAndACountItCanDraw() {
        MessageCapture messages;
        CFilSpec filSpec;
        filSpec.Swarm.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kSwarm), filSpec);
        QCOMPARE(panel.windowTitle(), QString("Swarm Xform Settings"));
        QStringList boxes;
        for (const QGroupBox* box : panel.findChildren<QGroupBox*>())
            boxes << box->title();
        QCOMPARE(boxes, QStringList({"Number of sticks", "Colors"}));
        for (const QLabel* label : panel.findChildren<QLabel*>())
            QVERIFY(label->text() != "Number of sticks");
        panel.show();
        panel.CheckBox("byAngle")->click();
        panel.accept();
        QVERIFY(panel.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Choose at least one of:\nAngle, Intensity, Size"});
        messages.Clear();
        panel.CheckBox("bySize")->click();
        // A count the run cannot draw is refused; one it can is held to the slider.
        QLineEdit* edit = panel.Pair("sticks")->Edit();
        edit->setText("0");
        panel.accept();
        QVERIFY(panel.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 1 and 50000."});
        edit->setText("1");
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        const SwarmParams& edited = panel.Edited().Swarm;
        QCOMPARE(std::tie(edited.sticks, edited.byAngle, edited.bySize, edited.byIntensity),
                 std::make_tuple(100, 0, 1, 0));
    }
};

QTEST_MAIN(FilmReliefSwarmPanelsTest)
#include "film_relief_swarm_panels_test.moc"
