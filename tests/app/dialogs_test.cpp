#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/dlg_area_selection.h"
#include "app/dlg_choose_xform.h"
#include "app/dlg_image_quality.h"
#include "app/dlg_mix.h"
#include "app/slider_pair.h"
#include "modal_helpers.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "surface/cdadc.h"

namespace {

QString Text(QWidget* dlg, int id) {
    if (auto* label = qobject_cast<QLabel*>(DlgItem(dlg, id))) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(DlgItem(dlg, id))) return edit->text();
    return "<missing>";
}

bool Enabled(QWidget* dlg, int id) {
    QWidget* w = DlgItem(dlg, id);
    return w != nullptr && w->isEnabled();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    // --- "Mix Settings" ---

    // The percent pair (slider 1099, edit 1101) and "Advanced..." (1134)
    // follow the mode; one mode button is checked at a time.
    void mixPromptAndEnablingFollowTheMode() {
        MixSettings mix;
        MixDlg dlg(nullptr, mix);
        const struct {
            int mode;
            const char* prompt;
            bool percent, advanced;
        } cases[] = {{1064, "mix sharpness(%)", false, false},
                     {1065, "% of original", true, false},
                     {1074, "", false, true},
                     {1072, "mix sharpness(%)", true, false}};
        for (const auto& c : cases) {
            if (c.mode != 1064) dlg.ModeButton(c.mode)->click();
            QCOMPARE(dlg.Mode(), c.mode);
            QVERIFY(dlg.ModeButton(c.mode)->isChecked());
            QCOMPARE(Text(&dlg, 1102), QString(c.prompt));
            QCOMPARE(Enabled(&dlg, 1099), c.percent);
            QCOMPARE(Enabled(&dlg, 1101), c.percent);
            QCOMPARE(Enabled(&dlg, 1134), c.advanced);
        }
        QVERIFY(!dlg.ModeButton(1074)->isChecked());
    }

    void mixSetAndApplyNowKeepTheValuesCancelKeepsTheRecipe() {
        MixSettings mix;
        mix.Percent = 30;
        CDADC original(64, 48);
        const struct {
            int mode, button, result, wantMode, applyNow;
        } cases[] = {{1067, kIdCancel, 0, 1064, -1},
                     {1067, kIdApplyNow, 1, 1067, 1},
                     {1065, kIdOk, 1, 1065, 0}};
        int applyNow = -1;
        for (const auto& c : cases) {
            WhenModal([c](QWidget* dlg) {
                qobject_cast<QRadioButton*>(DlgItem(dlg, c.mode))->click();
                ClickId(dlg, c.button);
            });
            QCOMPARE(RunFinalMixDialog(nullptr, &mix, &original, &applyNow), c.result);
            QCOMPARE(mix.Mode, c.wantMode);
            QCOMPARE(mix.Percent, 30);
            QCOMPARE(applyNow, c.applyNow);
        }
    }

    void mixRefusesAPercentOutsideItsRangeOnClosing() {
        MessageCapture messages;
        MixSettings mix;
        mix.Mode = 1065;
        MixDlg dlg(nullptr, mix);
        dlg.show();
        // Typed but not yet committed: the closing check sees it first.
        dlg.PercentPair()->Edit()->setText("0");
        dlg.Buttons().set->click();
        QVERIFY(dlg.isVisible());
        QCOMPARE(messages.Texts(),
                 std::vector<std::string>{"Please enter an integer between 1 and 99."});
        dlg.PercentPair()->Edit()->setText("12");
        dlg.Buttons().set->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Percent(), 12);
    }

    // --- "WEB Fading Settings" ---

    // The colour and its button are live only in the colour modes.
    void webFadeEnabling() {
        MixSettings fade;
        WebFadeDlg dlg(nullptr, fade);
        QVERIFY(!Enabled(&dlg, 1216));
        QVERIFY(!Enabled(&dlg, 1034));
        dlg.ModeButton(1070)->click();
        QVERIFY(Enabled(&dlg, 1216));
        QVERIFY(Enabled(&dlg, 1034));
    }

    // The colour reads #RRGGBB, red first, as the colour dialog shows it.
    void webFadeColourTextIsHexadecimalRedFirst() {
        MessageCapture messages;
        MixSettings fade;
        fade.Mode = 1066;
        fade.Colour = RGB(255, 255, 0);
        WebFadeDlg dlg(nullptr, fade);
        QCOMPARE(dlg.ColourEdit()->text(), QString("#FFFF00"));
        QCOMPARE(dlg.Swatch()->toolTip(), QString("#FFFF00"));
        dlg.ColourEdit()->setText("ff");
        dlg.OnColourKillFocus();
        QCOMPARE(dlg.Settings().Colour, RGB(0, 0, 255));
        QCOMPARE(dlg.Swatch()->Colour(), RGB(0, 0, 255));
        QCOMPARE(dlg.ColourEdit()->text(), QString("ff"));
        dlg.ModeButton(1067)->click();
        QCOMPARE(dlg.ColourEdit()->text(), QString("#0000FF"));
        for (const char* typed : {"#FF8000", " #ff8000", "0xFF8000", "ff8000"}) {
            dlg.ColourEdit()->setText(typed);
            dlg.OnColourKillFocus();
            QCOMPARE(dlg.Settings().Colour, RGB(255, 128, 0));
        }
        // The colour dialog's choice comes back in the same form.
        const ColourChooser previous = SetColourChooser([](COLORREF* colour) {
            *colour = FromQColor(QColor("#12abef"));
            return true;
        });
        DlgItem(&dlg, 1034)->setEnabled(true);
        qobject_cast<QAbstractButton*>(DlgItem(&dlg, 1034))->click();
        SetColourChooser(previous);
        QCOMPARE(dlg.ColourEdit()->text(), QString("#12ABEF"));
        QVERIFY(messages.Texts().empty());

        dlg.ColourEdit()->setText("1000000");
        dlg.OnColourKillFocus();
        QCOMPARE(dlg.Settings().Colour, COLORREF{0xFFFFFF});
        dlg.ColourEdit()->setText("-1");
        dlg.OnColourKillFocus();
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{"Colours must be between 0 and FFFFFF",
                                           "Colours must be between 0 and FFFFFF"}));
    }

    void webFadeReturnsTheWholeRecordOnlyOnOk() {
        MixSettings fade;
        fade.Colour = 0x123456;
        WhenModal([](QWidget* dlg) {
            qobject_cast<QRadioButton*>(DlgItem(dlg, 1069))->click();
            ClickId(dlg, kIdCancel);
        });
        int applyNow = 0;
        QCOMPARE(RunWebFadeDialog(nullptr, &fade, nullptr, &applyNow), 0);
        QCOMPARE(fade.Mode, 1064);

        WhenModal([](QWidget* dlg) {
            qobject_cast<QRadioButton*>(DlgItem(dlg, 1069))->click();
            auto* edit = qobject_cast<QLineEdit*>(DlgItem(dlg, 1216));
            edit->setText("#00FF00");
            edit->setModified(true);
            ClickId(dlg, kIdApplyNow);
        });
        QCOMPARE(RunWebFadeDialog(nullptr, &fade, nullptr, &applyNow), 1);
        QCOMPARE(fade.Mode, 1069);
        QCOMPARE(fade.Colour, COLORREF{0x00FF00});
        QCOMPARE(applyNow, 1);
    }

    // --- "Choose Xform" ---

    void chooseXformListsTheXformsThatDrawAndReturnsTheChoiceOnlyOnOk() {
        ChooseXformDlg dlg(nullptr, kNullXform, 0);
        int drawing = 0;
        for (const XformRow& row : XformRows()) {
            drawing += row.Draws();
            QCOMPARE(dlg.List()->findText(row.name) >= 0, row.Draws());
        }
        QCOMPARE(dlg.List()->count(), drawing);
        QCOMPARE(dlg.List()->currentText(), QString("Mosaic"));
        QVERIFY(dlg.List()->isEnabled());
        dlg.WizardBox()->click();
        QVERIFY(!dlg.List()->isEnabled());
        QCOMPARE(dlg.Wizard(), 1);

        WhenModal([](QWidget* modal) {
            auto* list = modal->findChild<QComboBox*>();
            list->setCurrentIndex(list->findText("Op Art"));
            ClickId(modal, kIdOk);
        });
        int chosen = -1, wizard = -1;
        QCOMPARE(RunChooseXformDialog(nullptr, kClouds, 0, &chosen, &wizard), 1);
        QCOMPARE(chosen, int(kOpArt));
        QCOMPARE(wizard, 0);

        WhenModal([](QWidget* modal) { ClickId(modal, kIdCancel); });
        QCOMPARE(RunChooseXformDialog(nullptr, kClouds, 0, &chosen, &wizard), 0);
        QCOMPARE(chosen, int(kOpArt));

        // An index it does not list shows Mosaic, without a word.
        MessageCapture messages;
        ChooseXformDlg unlisted(nullptr, 25, 0);
        QCOMPARE(unlisted.List()->currentText(), QString("Mosaic"));
        unlisted.accept();
        QCOMPARE(unlisted.ChosenIndex(), int(kMosaic));
        QVERIFY(messages.Texts().empty());
    }

    // --- "Image Quality (Anti Alias)" ---

    void imageQualityLevels() {
        MessageCapture messages;
        ImageQualityDlg bad(nullptr, 3);
        QCOMPARE(messages.Texts(), std::vector<std::string>{"DDE:Bad AA level=3"});
        QVERIFY(bad.Button(1)->isChecked());

        WhenModal([](QWidget* dlg) {
            dlg->findChildren<QRadioButton*>()[2]->click();
            ClickId(dlg, kIdApplyNow);
        });
        int level = 0, applyNow = 0;
        QCOMPARE(RunImageQualityDialog(nullptr, 2, &level, &applyNow), 1);
        QCOMPARE(level, 4);
        QCOMPARE(applyNow, 1);

        WhenModal([](QWidget* dlg) {
            dlg->findChildren<QRadioButton*>()[0]->click();
            ClickId(dlg, kIdCancel);
        });
        level = 4;
        QCOMPARE(RunImageQualityDialog(nullptr, 4, &level, &applyNow), 0);
        QCOMPARE(level, 4);
    }

    // --- "Advanced area selection" ---

    void selectionCancelKeepsTheRecipeEvenAfterDefault() {
        AreaSelection selection;
        selection.SetHsv(200, 1, 1);
        const double hue = selection.hue;
        CDADC original(100, 80);
        WhenModal([](QWidget* dlg) {
            ClickId(dlg, 3);
            ClickId(dlg, kIdCancel);
        });
        QCOMPARE(RunAreaSelectionDialog(nullptr, &selection, &original, nullptr), 0);
        QCOMPARE(selection.hue, hue);

        WhenModal([](QWidget* dlg) {
            auto* hueEdit = qobject_cast<QLineEdit*>(DlgItem(dlg, 1052));
            hueEdit->setText("90");
            ClickId(dlg, kIdOk);
        });
        int applyNow = -1;
        QCOMPARE(RunAreaSelectionDialog(nullptr, &selection, &original, &applyNow), 1);
        QCOMPARE(selection.hue, 90.0);
        QCOMPARE(applyNow, 0);
    }

    void thumbnailAndForceFieldFailures() {
        MessageCapture messages;
        AreaSelDlg dlg(nullptr, AreaSelection());
        dlg.SetupThumbnails(nullptr, 1);
        CDADC small(10, 10);
        dlg.SetupThumbnails(&small, 0);
        CDADC a(4, 4), b(5, 4), c(4, 5);
        AreaSelection s;
        QCOMPARE(DrawForceField(nullptr, &a, &s), 0);
        QCOMPARE(DrawForceField(&a, &b, &s), 0);
        QCOMPARE(DrawForceField(&a, &c, &s), 0);
        QCOMPARE(messages.Texts(), (std::vector<std::string>{
                                       "Bad pOrgDC handle", "Bad divisor : 0", "AHRF: Bad DCs",
                                       "AHRF: in-out size x error", "AHRF: in-out size y error"}));
    }

    // --- "Image Properties" ---

    void propertiesTexts() {
        ImageProperties p;
        p.xformName = "Mosaic";
        p.originalName = "beach";
        p.width = 640;
        p.height = 480;
        const struct {
            int index;
            const char* savedAs;
            QString sequence, saved;
        } cases[] = {{3, "", "Image #3 in the sequence", "(unsaved)"},
                     {0, "beach2.jpg", "This is the original image", "beach2.jpg"}};
        for (const auto& c : cases) {
            p.index = c.index;
            p.savedAs = c.savedAs;
            QStringList texts;
            WhenModal([&](QWidget* dlg) {
                for (int id : {1107, 1108, 1112, 1110})
                    texts << Text(dlg, id);
                ClickId(dlg, kIdOk);
            });
            ShowImagePropertiesDialog(nullptr, p);
            QCOMPARE(texts, (QStringList{"640 by 480", "900Kbytes", c.sequence, c.saved}));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
