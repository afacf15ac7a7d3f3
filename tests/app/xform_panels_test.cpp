// What single Xforms' settings panels add to the common rules: enable rules
// between fields, trackbars without an edit, levels that keep their order,
// a text field, and a set of switches of which OK wants one.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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
#include "xforms/net.h"

namespace {

// A recipe of the Xform with the Wizard off, so that every control is live.
CFilSpec Manual(int xform) {
    CFilSpec filSpec;
    filSpec.XformIndex = xform;
    *FindXform(xform)->wizardFlag(filSpec) = 0;
    return filSpec;
}

QString PercentShown(const XformPanel& panel, const char* level) {
    auto* label = panel.findChild<QLabel*>(QString(level) + "Percent");
    return label != nullptr ? label->text() : QString("(none)");
}

// Where a user drags a level's trackbar: its top is 255.
void DragLevel(const XformPanel& panel, const char* level, int to) {
    panel.Pair(level)->Slider()->setValue(255 - to);
}

}  // namespace

class XformPanelsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    // A colour is chosen only where it does not come from the picture.
    void coloursWaitForTheirSourceToBeSolid() {
        XformPanel explode(nullptr, *FindXform(kExplode), Manual(kExplode));
        QVERIFY(!explode.ColourButton("startColour")->isEnabled());
        QVERIFY(!explode.ColourButton("endColour")->isEnabled());
        QVERIFY(explode.ColourButton("background")->isEnabled());
        explode.CheckBox("startFromImage")->click();
        QVERIFY(explode.ColourButton("startColour")->isEnabled());
        QVERIFY(!explode.ColourButton("endColour")->isEnabled());
        explode.Choices("background")->button(1)->click();
        QCOMPARE(explode.Edited().Explode.background.useImage, 1);
        QVERIFY(!explode.ColourButton("background")->isEnabled());

        CFilSpec painter = Manual(kMadPainter);
        painter.MadPainter.background.useImage = 1;
        XformPanel mad(nullptr, *FindXform(kMadPainter), painter);
        QVERIFY(!mad.ColourButton("background")->isEnabled());
        mad.Choices("background")->button(0)->click();
        QVERIFY(mad.ColourButton("background")->isEnabled());

        // Fallen Letters: the letters' colour is solid only for the first entry of the list.
        XformPanel letters(nullptr, *FindXform(kFallenLetters), Manual(kFallenLetters));
        QComboBox* list = letters.List("colourMode");
        QVERIFY(letters.ColourButton("letterColour")->isEnabled());
        emit list->activated(2);
        QCOMPARE(letters.Edited().FallenLetters.colourMode, 2);
        QVERIFY(!letters.ColourButton("letterColour")->isEnabled());
        emit list->activated(0);
        QVERIFY(letters.ColourButton("letterColour")->isEnabled());
    }

    // Net's geometry is a drop-down list in its declared order.
    void aDropDownListInItsDeclaredOrder() {
        XformPanel net(nullptr, *FindXform(kNet), Manual(kNet));
        QComboBox* list = net.List("geometry");
        QCOMPARE(list->itemText(0) + list->itemText(1) + list->itemText(2),
                 QString("GridHorizontalVertical"));
        list->setCurrentIndex(2);
        emit list->activated(2);
        QCOMPARE(net.Edited().Net.geometry, int(kNetVertical));
    }

    // A trackbar without an edit sets its value as it moves.
    void aTrackbarAloneSetsItsValueAsItMoves() {
        XformPanel panel(nullptr, *FindXform(kHaaisi), Manual(kHaaisi));
        SliderPair* detail = panel.Pair("detail");
        QVERIFY(detail->Edit()->isHidden());
        detail->Slider()->setValue(33);
        QCOMPARE(panel.Edited().Haaisi.detail, 33);
    }

    // Relief Map's four levels stand side by side with their percent above,
    // and a level dragged past its neighbour snaps back to it.
    void levelsKeepTheirOrder() {
        XformPanel panel(nullptr, *FindXform(kReliefMap), Manual(kReliefMap));
        panel.show();
        const char* levels[] = {"seaLevel", "hillLevel", "rockLevel", "snowLine"};
        const char* percents[] = {"20%", "40%", "60%", "80%"};
        const int y = panel.Pair("seaLevel")->mapTo(&panel, QPoint(0, 0)).y();
        for (int i = 0; i < 4; ++i) {
            QVERIFY(panel.Pair(levels[i])->IsVertical());
            QCOMPARE(panel.Pair(levels[i])->mapTo(&panel, QPoint(0, 0)).y(), y);
            QCOMPARE(PercentShown(panel, levels[i]), QString(percents[i]));
        }

        const ReliefMapParams& edited = panel.Edited().ReliefMap;
        const struct {
            const char* level;
            int to, held;
        } drags[] = {{"hillLevel", 200, 153}, {"hillLevel", 30, 51}, {"seaLevel", 0, 0},
                     {"seaLevel", 255, 51},   {"snowLine", 10, 153}, {"rockLevel", 255, 153}};
        for (const auto& drag : drags) {
            DragLevel(panel, drag.level, drag.to);
            QCOMPARE(panel.Pair(drag.level)->Slider()->value(), 255 - drag.held);
        }
        DragLevel(panel, "snowLine", 255);
        DragLevel(panel, "rockLevel", 240);
        QCOMPARE(std::tie(edited.seaLevel, edited.hillLevel, edited.rockLevel, edited.snowLine),
                 std::make_tuple(51, 51, 240, 255));
        QCOMPARE(PercentShown(panel, "rockLevel"), QString("94%"));
    }

    // OK checks the switches first, then the text; a text of blanks is no text.
    void okWantsASwitchThenLetters() {
        MessageCapture messages;
        XformPanel panel(nullptr, *FindXform(kFallenLetters), Manual(kFallenLetters));
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        panel.CheckBox("byIntensity")->click();
        QLineEdit* edit = panel.Edit("letters");
        const struct {
            const char* text;
            const char* message;
        } steps[] = {
            {"", "You must choose at least one of\nIntensity Size"},
            {"", "You must type at least one character\nin the \"Letters\" box"},
            {"  ", "You must type at least one (non space) character\nin the \"Letters\" box"},
        };
        for (const auto& step : steps) {
            messages.Clear();
            edit->setText(step.text);
            panel.accept();
            QVERIFY(panel.isVisible());
            QCOMPARE(messages.Texts(), std::vector<std::string>{step.message});
            if (panel.Edited().FallenLetters.bySize == 0) panel.CheckBox("bySize")->click();
        }
        edit->setText(QString::fromUtf8("\xC3\x84 \xE2\x82\xAC"));  // "Ä €"
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(panel.Edited().FallenLetters.letters, "\xC3\x84 \xE2\x82\xAC");

        messages.Clear();
        XformPanel swarm(nullptr, *FindXform(kSwarm), Manual(kSwarm));
        swarm.show();
        swarm.CheckBox("byAngle")->click();
        swarm.accept();
        QVERIFY(swarm.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Choose at least one of:\nAngle, Intensity, Size"});
    }

    // The letters edit takes no more than the field's 26 bytes of UTF-8, so
    // nothing is ever cut, least of all half a character.
    void theLettersEditTakesWholeCharactersWithinItsBytes() {
        XformPanel panel(nullptr, *FindXform(kFallenLetters), Manual(kFallenLetters));
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QLineEdit* edit = panel.Edit("letters");
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit,
                         QString::fromUtf8(QByteArray(25, 'x')) + QString::fromUtf8("\xC3\x84"));
        QCOMPARE(edit->text(), QString(25, 'x'));
        edit->backspace();
        QTest::keyClicks(edit, QString::fromUtf8("\xC3\x84"));
        QCOMPARE(edit->text().toUtf8().size(), 26);
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        QCOMPARE(QByteArray(panel.Edited().FallenLetters.letters), edit->text().toUtf8());
    }
};

QTEST_MAIN(XformPanelsTest)
#include "xform_panels_test.moc"
