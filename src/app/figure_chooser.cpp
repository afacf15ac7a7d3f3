#include "app/figure_chooser.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>

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
