#include "app/figure_chooser.h"

#include <cstring>

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "app/panel_builder.h"
#include "app/picture_image.h"
#include "engine/figure_file.h"
#include "surface/cdadc.h"
#include "util/app_folders.h"
#include "util/error_box.h"

namespace {

FigureFileAsker& InstalledAsker() {
    static FigureFileAsker asker;
    return asker;
}

QString AskFigureFile(QWidget* parent) {
    const QString start = QString::fromStdString(PictureFolder());
    if (InstalledAsker()) return InstalledAsker()(start);
    QFileDialog dialog(parent, QStringLiteral("Select BMP to use"), start);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Windows bitmap file (*.BMP *.bmp)"));
    dialog.setDefaultSuffix(QStringLiteral("BMP"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// The figure's two sources, as the ids of its radio buttons.
constexpr int kShapesSource = 0;
constexpr int kBitmapSource = 1;
// The side of the figure's preview, pixels.
constexpr int kPreviewSide = 64;

class FigureWidget : public FieldWidget {
  public:
    explicit FigureWidget(const FieldSetup& s)
        : FieldWidget(s.field, s.work), parent_(s.parent), changed_(s.changed) {
        const std::string name = Name();
        const bool held = !name.empty() && figure_.Restore(name.c_str());

        auto* grid = new QGridLayout;
        controls.choices = new QButtonGroup(s.parent);
        static constexpr const char* kDefaultLabels[] = {"Rectangle", "BitMap"};
        for (int id : {kShapesSource, kBitmapSource}) {
            const size_t i = static_cast<size_t>(id);
            const char* text =
                i < field.choices.size() ? field.choices[i].label : kDefaultLabels[i];
            auto* button = new QRadioButton(QString::fromLatin1(text), s.parent);
            button->setChecked(held == (id == kBitmapSource));
            controls.choices->addButton(button, id);
            controls.inputs.push_back(button);
            grid->addWidget(button, id, 0);
        }
        controls.figureButton = new QPushButton(QStringLiteral("Image..."), s.parent);
        controls.figureButton->setObjectName(QString::fromLatin1(field.name) +
                                             QStringLiteral("Image"));
        controls.figureButton->setAutoDefault(false);
        controls.inputs.push_back(controls.figureButton);
        grid->addWidget(controls.figureButton, 2, 0);
        controls.preview = new FigurePreview(s.parent);
        controls.preview->setObjectName(QString::fromLatin1(field.name) +
                                        QStringLiteral("Preview"));
        controls.preview->setFixedSize(kPreviewSide, kPreviewSide);
        controls.preview->SetBitmap(figure_.Bitmap());
        grid->addWidget(controls.preview, 0, 1, 3, 1, Qt::AlignCenter);
        grid->setColumnStretch(2, 1);
        s.into->addLayout(grid);

        QObject::connect(controls.choices, &QButtonGroup::idClicked, s.parent, [this](int id) {
            if (id == kBitmapSource)
                RunChooser();
            else
                changed_();
        });
        QObject::connect(controls.figureButton, &QPushButton::clicked, s.parent,
                         [this] { RunChooser(); });
    }

    int RuleValue() const override { return BitmapSource() ? 1 : 0; }

    // "Image..." only refreshes a bitmap already chosen.
    void SetEnabled(bool enabled) override {
        for (QWidget* w : controls.inputs)
            w->setEnabled(enabled && (w != controls.figureButton || BitmapSource()));
    }

    void Store() override {
        const std::string name = BitmapSource() ? figure_.Store() : std::string();
        const TextRef text = std::get<TextRef>(field.At(work));
        // Names the figure files get are far shorter than any declared capacity.
        std::memset(text.text, 0, text.capacity);
        std::memcpy(text.text, name.data(), std::min(name.size(), text.capacity - 1));
    }

    void Close() override {
        figure_.Release();
        controls.preview->SetBitmap(nullptr);
    }

  private:
    bool BitmapSource() const { return controls.choices->checkedId() == kBitmapSource; }

    std::string Name() const {
        const TextRef text = std::get<TextRef>(field.At(work));
        return std::string(text.text, strnlen(text.text, text.capacity));
    }

    void RunChooser() {
        const bool held = figure_.Choose(Name().c_str(), parent_);
        controls.preview->SetBitmap(figure_.Bitmap());
        controls.choices->button(held ? kBitmapSource : kShapesSource)->setChecked(true);
        changed_();
    }

    QWidget* parent_;
    std::function<void()> changed_;
    PanelFigure figure_;
};

}  // namespace

PanelFigure::PanelFigure() = default;
PanelFigure::~PanelFigure() = default;

bool PanelFigure::Restore(const char* name) {
    bitmap_.reset();
    // Only names this program gives are joined to the temporary folder.
    if (IsFigureName(name)) bitmap_.reset(LoadFigure(name));
    if (bitmap_) return true;
    ErrorBox("Could not restore <%s> temp image", FigurePath(name).c_str());
    ErrorBox("OpFilDialog: could not open <%s>", name);
    return false;
}

bool PanelFigure::Choose(const char* name, QWidget* parent) {
    std::unique_ptr<CDADC> created;
    if (!bitmap_) {
        if (name != nullptr && IsFigureName(name)) created.reset(LoadFigure(name));
        if (!created) created.reset(NewFigure());
        if (!created) return false;
    }
    CDADC* target = bitmap_ ? bitmap_.get() : created.get();
    const QString path = AskFigureFile(parent);
    if (path.isEmpty()) return bitmap_ != nullptr;
    const QByteArray file = path.toLocal8Bit();
    if (!StretchPictureOnto(target, file.constData())) {
        ErrorBox("CDSB::OFF,could not create bitmap from\nfile <%s>", file.constData());
        return bitmap_ != nullptr;
    }
    SetPictureFolder(QFileInfo(path).absolutePath().toStdString());
    if (created) bitmap_ = std::move(created);
    return true;
}

std::string PanelFigure::Store() {
    std::string name;
    std::string path;
    if (StoreFigure(bitmap_.get(), &name, &path)) return name;
    ErrorBox("Could not save temporary bitmap\nin directory <%s>", path.c_str());
    return {};
}

void PanelFigure::Release() {
    bitmap_.reset();
}

FigurePreview::FigurePreview(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void FigurePreview::SetBitmap(const CDADC* bitmap) {
    image_ = bitmap != nullptr ? PictureToImage(*bitmap) : QImage();
    update();
}

void FigurePreview::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (image_.isNull()) return;
    // Without smooth transformation the painter takes the nearest pixel.
    QPainter painter(this);
    painter.drawImage(QRect(0, 0, width() - 2, height() - 2), image_);
}

FigureFileAsker SetFigureFileAsker(FigureFileAsker asker) {
    FigureFileAsker previous = std::move(InstalledAsker());
    InstalledAsker() = std::move(asker);
    return previous;
}

std::unique_ptr<FieldWidget> MakeFigureWidget(const FieldSetup& setup) {
    return std::make_unique<FigureWidget>(setup);
}
