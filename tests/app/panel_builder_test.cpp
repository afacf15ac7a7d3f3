#include <filesystem>
#include <fstream>
#include <memory>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include "app/colour_swatch.h"
#include "app/dialogs.h"
#include "app/figure_chooser.h"
#include "app/panel_builder.h"
#include "app/slider_pair.h"
#include "engine/figure_file.h"
#include "modal_helpers.h"
#include "recipe/field_kinds.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"
#include "support/message_capture.h"
#include "support/random_fields.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "xforms/mosaic.h"
#include "xforms/op_art.h"

namespace {

bool AllEnabled(const std::vector<QWidget*>& inputs, bool enabled) {
    if (inputs.empty()) return false;
    for (QWidget* w : inputs) {
        if (w->isEnabled() != enabled) return false;
    }
    return true;
}

// A 2 x 1 picture, red on the left and blue on the right, as a BMP file.
QString WriteRedBluePicture(const QTemporaryDir& dir) {
    CDADC picture(2, 1);
    picture.pDC->SetPixel(0, 0, RGB(255, 0, 0));
    picture.pDC->SetPixel(1, 0, RGB(0, 0, 255));
    const QString path = dir.filePath("pictures/redblue.bmp");
    QDir().mkpath(dir.filePath("pictures"));
    picture.WriteBmpFile(path.toLocal8Bit().constData());
    return path;
}

CFilSpec OpArtSpec(int wizard) {
    CFilSpec filSpec;
    filSpec.OpArt.wizardChooses = wizard;
    return filSpec;
}

QAbstractButton* SourceButton(const XformPanel& panel, int id) {
    return panel.Choices("imageName")->button(id);
}

int Source(const XformPanel& panel) {
    return panel.Choices("imageName")->checkedId();
}

std::string Text(const char* format, const QString& path) {
    char text[520];
    std::snprintf(text, sizeof text, format, path.toLocal8Bit().constData());
    return text;
}

}  // namespace

class PanelBuilderTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDialogHooks(); }

    // Every Xform that draws: its panel shows each field, reads back on OK
    // exactly the values it was opened with, and "Wizard chooses" turns off
    // every control but itself.
    void everyPanelShowsItsFieldsAndReadsThemBack() {
        for (const XformRow& row : XformRows()) {
            if (!row.Draws()) continue;
            for (unsigned seed = 1; seed <= 3; ++seed) {
                CFilSpec opened;
                opened.XformIndex = row.index;
                RandomFields(opened, seed);
                *row.wizardFlag(opened) = 0;
                XformPanel panel(nullptr, row, opened);
                panel.show();
                for (const BoundField& field : row.fields)
                    QVERIFY2(
                        panel.Inputs(field.name).empty() == (field.control == ParamControl::None),
                        field.name);
                panel.accept();
                QCOMPARE(panel.result(), int(QDialog::Accepted));
                CFilSpec stored;
                stored.XformIndex = row.index;
                panel.Store(stored);
                for (const BoundField& field : row.fields) {
                    QVERIFY2(ParamToJson(field, stored) == ParamToJson(field, opened),
                             (std::string(row.name) + "." + field.name + ": " +
                              ParamToJson(field, stored).dump() + " for " +
                              ParamToJson(field, opened).dump())
                                 .c_str());
                }

                panel.CheckBox(kWizardField)->click();
                for (const BoundField& field : row.fields) {
                    if (field.name == std::string(kWizardField)) continue;
                    for (QWidget* input : panel.Inputs(field.name))
                        QVERIFY2(!input->isEnabled(), field.name);
                }
            }
        }
    }

    // "Wizard chooses" turned off opens every parameter; Mosaic's highlight
    // colour then needs a light.
    void wizardOffOpensEveryParameterAndTheHighlightColourNeedsALight() {
        CFilSpec filSpec;
        filSpec.Mosaic.highlightPosition = kHighlightTop;
        XformPanel panel(nullptr, *FindXform(kMosaic), filSpec);
        panel.CheckBox("wizardChooses")->click();
        QCOMPARE(panel.Edited().Mosaic.wizardChooses, 0);
        for (const char* name : {"tileSize", "spacing", "geometry", "background", "highlightColour",
                                 "highlightPosition"})
            QVERIFY2(AllEnabled(panel.Inputs(name), true), name);
        panel.Choices("highlightPosition")->button(kHighlightOff)->click();
        QVERIFY(!panel.ColourButton("highlightColour")->isEnabled());
        panel.Choices("highlightPosition")->button(kHighlightBottomLeft)->click();
        QCOMPARE(panel.Edited().Mosaic.highlightPosition, int(kHighlightBottomLeft));
        QVERIFY(panel.ColourButton("highlightColour")->isEnabled());
    }

    // OK keeps the edits, a colour among them, and with the Wizard off
    // clears WizardAll; Cancel leaves the block as it was, though a moved
    // trackbar had already set its value.
    void settingsAreKeptOnlyOnOk() {
        const ColourChooser previous = SetColourChooser([](COLORREF* c) {
            *c = RGB(10, 20, 30);
            return true;
        });
        for (int button : {kIdCancel, kIdOk}) {
            CFilSpec filSpec;
            filSpec.XformIndex = kMosaic;
            const MosaicParams before = filSpec.Mosaic;
            WhenModal([button](QWidget* dlg) {
                dlg->findChild<QCheckBox*>("wizardChooses")->click();
                dlg->findChild<SliderPair*>("tileSize")->Edit()->setText("3");
                dlg->findChild<SliderPair*>("spacing")->Slider()->setValue(10000);
                dlg->findChild<QRadioButton*>("1030")->click();
                dlg->findChild<QPushButton*>("background")->click();
                ClickId(dlg, button);
            });
            const int result = filSpec.OpenSettings();
            if (button == kIdCancel) {
                QCOMPARE(result, 0);
                QCOMPARE(filSpec.WizardAll, 1);
                QVERIFY(std::memcmp(&before, &filSpec.Mosaic, sizeof before) == 0);
                continue;
            }
            QCOMPARE(result, 1);
            QCOMPARE(filSpec.Mosaic.background.colour, RGB(10, 20, 30));
            QCOMPARE(filSpec.WizardAll, 0);
            QCOMPARE(filSpec.Mosaic.wizardChooses, 0);
            QCOMPARE(filSpec.Mosaic.tileSize, 3.0);
            QCOMPARE(filSpec.Mosaic.geometry, int(kMosaicCircleInGrid));
        }
        SetColourChooser(previous);
    }

    // --- Op Art's figure source and wider edit range ---

    void init() {
        previousTemp_ = TempFolder();
        previousPictures_ = PictureFolder();
        dir_ = std::make_unique<QTemporaryDir>();
        SetTempFolder(dir_->filePath("temp").toStdString());
        SetPictureFolder(dir_->path().toStdString());
        picture_ = WriteRedBluePicture(*dir_);
        askedIn_.clear();
        answer_ = picture_;
        SetFigureFileAsker([this](const QString& start) {
            askedIn_ = start;
            return answer_;
        });
    }

    void cleanup() {
        SetFigureFileAsker({});
        SetTempFolder(previousTemp_);
        SetPictureFolder(previousPictures_);
        dir_.reset();
    }

    void opArtWizardLeavesOnlySwatchesAndPreview() {
        XformPanel panel(nullptr, *FindXform(kOpArt), OpArtSpec(1));
        const QSet<QWidget*> open = {panel.CheckBox("wizardChooses"), DlgItem(&panel, kIdOk),
                                     DlgItem(&panel, kIdCancel)};
        int inputs = 0;
        for (QWidget* w : panel.findChildren<QWidget*>()) {
            if (open.contains(w)) continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                qobject_cast<QSlider*>(w)) {
                QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
                ++inputs;
            }
        }
        QVERIFY(inputs >= 12);
        QVERIFY(panel.Swatch("foreground")->isEnabled());
        QVERIFY(panel.Swatch("background")->isEnabled());
        QVERIFY(panel.Preview("imageName")->isEnabled());
    }

    void choosingAPictureSelectsTheBitmap() {
        MessageCapture messages;
        XformPanel panel(nullptr, *FindXform(kOpArt), OpArtSpec(0));
        SourceButton(panel, 1)->click();
        QCOMPARE(askedIn_, dir_->path());
        QCOMPARE(Source(panel), 1);
        QVERIFY(!panel.ColourButton("foreground")->isEnabled());
        QVERIFY(panel.FigureButton("imageName")->isEnabled());
        QCOMPARE(QString::fromStdString(PictureFolder()), dir_->filePath("pictures"));
        // Stretched to the nearest pixel, short of the frame's last two pixels.
        const QImage shown = panel.Preview("imageName")->grab().toImage();
        QCOMPARE(shown.pixelColor(30, 30), QColor(255, 0, 0));
        QCOMPARE(shown.pixelColor(31, 30), QColor(0, 0, 255));
        QVERIFY(shown.pixelColor(62, 30) != QColor(0, 0, 255));
        SourceButton(panel, 0)->click();
        QVERIFY(panel.ColourButton("foreground")->isEnabled());
        QVERIFY(!panel.FigureButton("imageName")->isEnabled());
        QVERIFY(messages.Texts().empty());
    }

    void okWritesANewFigureEachTime() {
        XformPanel first(nullptr, *FindXform(kOpArt), OpArtSpec(0));
        SourceButton(first, 1)->click();
        first.accept();
        CFilSpec filSpec = OpArtSpec(0);
        first.Store(filSpec);
        QCOMPARE(filSpec.OpArt.imageName, "TEMPBITMAP0");
        std::unique_ptr<CDADC> stored(LoadFigure("TEMPBITMAP0"));
        QVERIFY(stored != nullptr);
        QCOMPARE(stored->width, 256);
        QCOMPARE(stored->height, 256);
        QCOMPARE(stored->pDC->GetPixel(127, 200), RGB(255, 0, 0));
        QCOMPARE(stored->pDC->GetPixel(128, 0), RGB(0, 0, 255));

        // Opened again the figure comes back; Cancel writes nothing.
        {
            XformPanel cancelled(nullptr, *FindXform(kOpArt), filSpec);
            QCOMPARE(Source(cancelled), 1);
            cancelled.reject();
        }
        QVERIFY(!std::filesystem::exists(FigurePath("TEMPBITMAP1")));
        XformPanel second(nullptr, *FindXform(kOpArt), filSpec);
        second.accept();
        second.Store(filSpec);
        QCOMPARE(filSpec.OpArt.imageName, "TEMPBITMAP1");

        XformPanel third(nullptr, *FindXform(kOpArt), filSpec);
        SourceButton(third, 0)->click();
        third.accept();
        third.Store(filSpec);
        QCOMPARE(filSpec.OpArt.imageName, "");
    }

    // A chooser cancelled or given no picture keeps the rectangle, the
    // picture folder and no figure; only the bad file is reported.
    void aChooserWithoutAPictureKeepsTheRectangle() {
        const QString broken = dir_->filePath("broken.bmp");
        std::ofstream(broken.toStdString()) << "not a picture";
        for (const QString& answer : {QString(), broken}) {
            MessageCapture messages;
            answer_ = answer;
            XformPanel panel(nullptr, *FindXform(kOpArt), OpArtSpec(0));
            SourceButton(panel, 1)->click();
            QCOMPARE(Source(panel), 0);
            QVERIFY(!panel.FigureButton("imageName")->isEnabled());
            QCOMPARE(QString::fromStdString(PictureFolder()), dir_->path());
            panel.accept();
            CFilSpec filSpec = OpArtSpec(0);
            panel.Store(filSpec);
            QCOMPARE(filSpec.OpArt.imageName, "");
            if (answer.isEmpty()) {
                QVERIFY(messages.Texts().empty());
            } else {
                QVERIFY(!messages.Texts().empty());
                QCOMPARE(messages.Texts().back(),
                         Text("CDSB::OFF,could not create bitmap from\nfile <%s>", broken));
            }
        }
    }

    void aLostFigureFallsBackToTheRectangle() {
        MessageCapture messages;
        CFilSpec filSpec = OpArtSpec(0);
        std::strcpy(filSpec.OpArt.imageName, "TEMPBITMAP7");
        XformPanel panel(nullptr, *FindXform(kOpArt), filSpec);
        const QString path = QString::fromStdString(FigurePath("TEMPBITMAP7"));
        QCOMPARE(messages.Texts(),
                 (std::vector<std::string>{Text("Could not restore <%s> temp image", path),
                                           "OpFilDialog: could not open <TEMPBITMAP7>"}));
        QCOMPARE(Source(panel), 0);
        QVERIFY(panel.ColourButton("foreground")->isEnabled());
    }

    void anUnwritableTempFolderIsReported() {
        MessageCapture messages;
        // A file where the temporary folder should be.
        std::ofstream(dir_->filePath("blocked").toStdString()) << "x";
        SetTempFolder(dir_->filePath("blocked/temp").toStdString());
        XformPanel panel(nullptr, *FindXform(kOpArt), OpArtSpec(0));
        SourceButton(panel, 1)->click();
        panel.accept();
        QCOMPARE(panel.result(), int(QDialog::Accepted));
        CFilSpec filSpec = OpArtSpec(0);
        std::strcpy(filSpec.OpArt.imageName, "TEMPBITMAP3");
        panel.Store(filSpec);
        QCOMPARE(filSpec.OpArt.imageName, "");
        QVERIFY(!messages.Texts().empty());
        QCOMPARE(messages.Texts().back(), Text("Could not save temporary bitmap\nin directory <%s>",
                                               dir_->filePath("blocked/temp/TEMPBITMAP0.BMP")));
    }

    // An edit takes its own range when the panel closes (the message names
    // it and the panel stays open); the value is then held to the trackbar's:
    // above, below, inside and at the top of it, and a range below zero.
    void editRangesAreCheckedThenHeld() {
        const struct {
            int xform;
            const char* field;
            const char* refused;
            const char* range;
            const char* taken;
            int held;
        } cases[] = {
            {kOpArt, "squaresAcross", "2000", "1 and 1024", "2", 4},
            {kBubble, "count", "9", "10 and 60000", "10", 100},
            {kOldFilm, "dirtiness", "1001", "-1000 and 1000", "-1000", 0},
            {kVelmiraTonkart, "inks", "1", "2 and 5", "5", 5},
            {kExplode, "gravity", "101", "0 and 100", "7", 7},
        };
        for (const auto& c : cases) {
            MessageCapture messages;
            const XformRow& row = *FindXform(c.xform);
            CFilSpec filSpec;
            *row.wizardFlag(filSpec) = 0;
            XformPanel panel(nullptr, row, filSpec);
            panel.show();
            QVERIFY(QTest::qWaitForWindowActive(&panel));
            QLineEdit* edit = panel.Pair(c.field)->Edit();
            edit->setText(c.refused);
            panel.accept();
            QVERIFY2(panel.isVisible() && edit->hasFocus(), c.field);
            QCOMPARE(messages.Texts(),
                     std::vector<std::string>{std::string("Please enter an integer between ") +
                                              c.range + "."});
            edit->setText(c.taken);
            panel.accept();
            QCOMPARE(panel.result(), int(QDialog::Accepted));
            CFilSpec edited = panel.Edited();
            QCOMPARE(*std::get<int*>(row.Field(c.field)->At(edited)), c.held);
        }
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::string previousTemp_;
    std::string previousPictures_;
    QString picture_;
    QString answer_;
    QString askedIn_;
};

QTEST_MAIN(PanelBuilderTest)
#include "panel_builder_test.moc"
