#include "app/document_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>

#include "app/fabulor_app.h"
#include "app/icons.h"
#include "app/idea_gallery_window.h"
#include "app/image_view.h"
#include "app/main_window.h"
#include "app/picture_image.h"
#include "surface/cdadc.h"

DocumentWindow::DocumentWindow(FabulorApp* app)
    : app_(app),
      view_(new ImageView([app] { return app->IsGenerating(); })),
      doc_(std::make_unique<CFabulorFilterDoc>(this, this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(AppIcon());
    setWidget(view_);
    connect(view_, &ImageView::doubleClicked, this, &DocumentWindow::ShowProperties);
    connect(view_, &ImageView::zoomChanged, this, [this] {
        RefreshTitle();
        emit stateChanged();
    });
    connect(view_, &ImageView::contextMenuAt, this,
            [this](const QPoint& at) { app_->Frame()->ShowContextMenu(this, at); });
    // The frame's own menu would claim Ctrl+W and Ctrl+F4 beside the program's
    // Close command, and Qt then runs neither.
    if (QMenu* menu = systemMenu()) {
        for (QAction* action : menu->actions())
            action->setShortcuts({});
    }
}

DocumentWindow::~DocumentWindow() {
    // From here on the main window no longer counts this window: a message
    // box shown while the document goes runs the event loop, and the
    // command poll must not reach the half-deleted document.
    closing_ = true;
    // The gallery goes first: a message shown while the document goes would
    // let it hand the document a waiting idea.
    delete IdeaGalleryWindow::Find(this);
    doc_.reset();
}

CDADC* DocumentWindow::Picture() {
    return view_->Picture();
}

int DocumentWindow::SetViewPicture(std::unique_ptr<CDADC> picture) {
    return view_->SetViewPicture(std::move(picture));
}

void DocumentWindow::Invalidate(bool) {
    view_->Refresh();
    RefreshTitle();
    emit stateChanged();
}

int DocumentWindow::AddToThumbnails(CDADC* picture, const char* name) {
    return overview_.AddToThumbnails(picture, name);
}

int DocumentWindow::OverviewDialog(int* chosenIndex) {
    return overview_.Choose(this, chosenIndex);
}

int DocumentWindow::MixDialog(MixSettings* mix, const CDADC* original, int* applyNow) {
    return RunFinalMixDialog(this, mix, original, applyNow);
}

int DocumentWindow::WebFadeDialog(MixSettings* fade, const CDADC* original, int* applyNow) {
    return RunWebFadeDialog(this, fade, original, applyNow);
}

int DocumentWindow::SelectionDialog(AreaSelection* selection, const CDADC* original,
                                    int* applyNow) {
    return RunAreaSelectionDialog(this, selection, original, applyNow);
}

bool DocumentWindow::IsGenerating() const {
    return app_->IsGenerating();
}

void DocumentWindow::BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run) {
    app_->BeginRun(client, std::move(run), this);
}

int DocumentWindow::ImageQualityDialog(int level, int* chosenLevel, int* applyNow) {
    return RunImageQualityDialog(this, level, chosenLevel, applyNow);
}

int DocumentWindow::SaveHook() {
    // "Yes" to saving before the window closes: the image is written, and a
    // cancelled file dialog keeps the window open.
    return SaveImage(true);
}

int DocumentWindow::LastXform() const {
    return app_->LastXform();
}

void DocumentWindow::SetLastXform(int index) {
    app_->SetLastXform(index);
}

int DocumentWindow::CountDocumentsNamed(const std::string& name) const {
    return app_->CountDocumentsNamed(name);
}

bool DocumentWindow::CanUsePicture() const {
    return view_->Picture() != nullptr && !app_->IsGenerating();
}

void DocumentWindow::Copy() {
    if (CanUsePicture()) CopyPictureToClipboard(view_->Picture());
}

int DocumentWindow::SaveImage(bool askName) {
    if (!CanUsePicture()) return 0;
    const int index = doc_->m_iCurrent;
    std::string name = askName ? std::string() : SavedName(index);
    if (name.empty()) {
        std::string suggested = doc_->m_szName;
        if (index > 0) suggested.append(1, '-').append(std::to_string(index));
        name = app_->AskSaveFileName(this, QString::fromStdString(suggested)).toStdString();
        if (name.empty()) return 0;
    }
    if (!view_->Picture()->WriteImageFile(name.c_str(), app_->JpegQuality())) return 0;
    savedNames_[index] = name;
    return 1;
}

std::string DocumentWindow::SavedName(int index) const {
    const auto found = savedNames_.find(index);
    return found == savedNames_.end() ? std::string() : found->second;
}

void DocumentWindow::ShowProperties() {
    ImageProperties p;
    p.xformName = doc_->GetXformName();
    p.originalName = doc_->m_szName;
    p.savedAs =
        QFileInfo(QString::fromStdString(SavedName(doc_->m_iCurrent))).fileName().toStdString();
    p.width = view_->GetWidth();
    p.height = view_->GetHeight();
    p.index = doc_->m_iCurrent;
    ShowImagePropertiesDialog(this, p);
}

void DocumentWindow::RefreshTitle() {
    doc_->UpdateTitle(view_->ZoomPercent());
    setWindowTitle(QString::fromStdString(doc_->Title()));
}

void DocumentWindow::showEvent(QShowEvent* event) {
    QMdiSubWindow::showEvent(event);
    // The MDI area places a new window on show, without regard to its size.
    view_->KeepInWorkspace();
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!doc_->CanCloseFrame() || !doc_->SaveModified()) {
        RefreshTitle();
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
