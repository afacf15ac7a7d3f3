// Settings panels built from fields beyond the plain kinds: fields without a
// control, a choice as a drop-down list, a colour enabled by one choice, a
// text of UTF-8 that must hold more than blanks, and two flags of which OK
// wants one.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
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

CFilSpec LettersRecipe() {
    CFilSpec filSpec;
    filSpec.FallenLetters.wizardChooses = 0;
    return filSpec;
}

bool Enabled(const XformPanel& panel, const char* name) {
    const std::vector<QWidget*> inputs = panel.Inputs(name);
    return !inputs.empty() &&
           std::all_of(inputs.begin(), inputs.end(), [](QWidget* w) { return w->isEnabled(); });
}

}  // namespace

class PanelFieldsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    void aTrackbarAloneSetsItsValueAsItMoves() {
        CFilSpec filSpec;
        filSpec.Haaisi.wizardChooses = 0;
        XformPanel panel(nullptr, *FindXform(kHaaisi), filSpec);
        SliderPair* detail = panel.Pair("detail");
        QVERIFY(detail != nullptr);
        QVERIFY(detail->Edit()->isHidden());
        QCOMPARE(detail->Slider()->minimum(), 15);
        QCOMPARE(detail->Slider()->maximum(), 40);
        detail->Slider()->setValue(33);
        QCOMPARE(panel.Edited().Haaisi.detail, 33);
        QVERIFY(panel.Inputs("shapeMode").empty());
        QVERIFY(panel.Inputs("spareColour").empty());
        panel.CheckBox("wizardChooses")->click();
        for (const char* name : {"fore1", "fore2", "background", "detail"})
            QVERIFY2(!Enabled(panel, name), name);
    }

    void theLetterColourListRulesTheSolidButton() {
        XformPanel panel(nullptr, *FindXform(kFallenLetters), LettersRecipe());
        QComboBox* list = panel.List("colourMode");
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->itemText(1), QString("Based on Image"));
        QCOMPARE(list->currentIndex(), 0);
        QVERIFY(panel.ColourButton("letterColour")->isEnabled());
        list->activated(2);
        QCOMPARE(panel.Edited().FallenLetters.colourMode, 2);
        QVERIFY(!panel.ColourButton("letterColour")->isEnabled());
        list->activated(0);
        QVERIFY(panel.ColourButton("letterColour")->isEnabled());
        // The background's colour only while the picture does not lie under.
        QVERIFY(panel.ColourButton("background")->isEnabled());
        panel.Choices("background")->button(1)->click();
        QCOMPARE(panel.Edited().FallenLetters.background.useImage, 1);
        QVERIFY(!panel.ColourButton("background")->isEnabled());
        panel.CheckBox("wizardChooses")->click();
        for (const char* name : {"letters", "count", "letterSize", "byIntensity", "bySize",
                                 "colourMode", "letterColour", "background"})
            QVERIFY2(!Enabled(panel, name), name);
    }

    void okRefusesNoFlagAndBlankLettersInThatOrder() {
        MessageCapture messages;
        XformPanel panel(nullptr, *FindXform(kFallenLetters), LettersRecipe());
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        panel.CheckBox("byIntensity")->click();
        QCOMPARE(panel.Edited().FallenLetters.byIntensity, 0);
        QLineEdit* edit = panel.Edit("letters");
        edit->setText("");
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
    }

    // The edit takes no more than the field's 26 bytes of UTF-8, so nothing
    // is ever cut, least of all half a character.
    void theLettersEditTakesWholeCharactersWithinItsBytes() {
        XformPanel panel(nullptr, *FindXform(kFallenLetters), LettersRecipe());
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QLineEdit* edit = panel.Edit("letters");
        QCOMPARE(edit->text(), QString("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
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

QTEST_MAIN(PanelFieldsTest)
#include "panel_fields_test.moc"
