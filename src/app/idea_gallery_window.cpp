#include "app/idea_gallery_window.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/main_window.h"
#include "app/picture_image.h"
#include "document/document_files.h"
#include "document/idea_gallery.h"
#include "surface/cdadc.h"

namespace {

constexpr int kPollMs = 100;
constexpr int kColumns = 4;
constexpr int kRows = 3;
const QColor kUndrawn(200, 200, 200);

// Galleries whose window has gone while their page was being drawn. Their
// workers only touch the gallery's own reduced picture, never the document,
// so they may end after it; only the GUI thread touches this list.
std::vector<std::unique_ptr<IdeaGallery>>& Retired() {
    static std::vector<std::unique_ptr<IdeaGallery>> galleries;
    return galleries;
}

// Never blocks: a worker may be waiting for this thread to show a message.
void ReapGalleries() {
    auto& retired = Retired();
    std::erase_if(retired, [](const std::unique_ptr<IdeaGallery>& g) { return !g->IsDrawing(); });
    if (!retired.empty() && QCoreApplication::instance()) {
        QTimer::singleShot(20, QCoreApplication::instance(), &ReapGalleries);
    }
}

void Retire(std::unique_ptr<IdeaGallery> gallery) {
    if (!gallery) return;
    gallery->Stop();
    if (!gallery->IsDrawing()) return;  // its threads have ended: joined at once
    Retired().push_back(std::move(gallery));
    if (Retired().size() == 1) ReapGalleries();
}

// A thumbnail's size: the picture's shape, side pixels on its longer side
// (never enlarged), as the gallery draws it.
QSize ThumbnailSize(const CDADC& original, int side) {
    const long long longer = std::max(1, std::max(original.width, original.height));
    if (longer <= side) return {original.width, original.height};
    auto scaled = [&](int size) {
        return static_cast<int>(std::max(1LL, (size * 2LL * side + longer) / (2 * longer)));
    };
    return {scaled(original.width), scaled(original.height)};
}

QString ToolTipOf(const CFilSpec& recipe) {
    return QString("%1\nseed %2").arg(QString::fromLatin1(recipe.GetName())).arg(recipe.Seed);
}

}  // namespace

bool GalleriesStillDrawing() {
    return std::any_of(Retired().begin(), Retired().end(),
                       [](const std::unique_ptr<IdeaGallery>& g) { return g->IsDrawing(); });
}

void FinishGalleries() {
    Retired().clear();  // each stops and waits for its workers
}

IdeaGalleryWindow* IdeaGalleryWindow::Find(DocumentWindow* document) {
    return document ? document->findChild<IdeaGalleryWindow*>(QString(), Qt::FindDirectChildrenOnly)
                    : nullptr;
}

IdeaGalleryWindow* IdeaGalleryWindow::Of(DocumentWindow* document, FabulorApp* app) {
    if (!document || !document->Document().m_pOrgDC) return nullptr;
    if (IdeaGalleryWindow* found = Find(document)) return found;
    return new IdeaGalleryWindow(document, app);
}

IdeaGalleryWindow::IdeaGalleryWindow(DocumentWindow* document, FabulorApp* app)
    : QWidget(document, Qt::Window),
      document_(document),
      app_(app),
      relay_(std::make_shared<Relay>()),
      grid_(new QListWidget),
      progress_(new QProgressBar),
      status_(new QLabel),
      stop_(new QPushButton("STOP")),
      more_(new QPushButton("More ideas")) {
    relay_->window = this;
    setWindowTitle(
        QString("Idea Gallery: %1").arg(QString::fromStdString(document->Document().m_szName)));
    const QSize thumbnail = ThumbnailSize(*document->Document().m_pOrgDC, app_->GallerySide());
    grid_->setViewMode(QListView::IconMode);
    grid_->setMovement(QListView::Static);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setUniformItemSizes(true);
    grid_->setIconSize(thumbnail);
    grid_->setGridSize(thumbnail + QSize(16, 16 + grid_->fontMetrics().height()));
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    grid_->setMouseTracking(true);
    grid_->installEventFilter(this);
    connect(grid_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { TakeIdea(grid_->row(item)); });
    connect(grid_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QListWidgetItem* item = grid_->itemAt(at);
        if (!item) return;
        QMenu* menu = BuildItemMenu(grid_->row(item), this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(grid_->viewport()->mapToGlobal(at));
    });
    connect(stop_, &QPushButton::clicked, this, &IdeaGalleryWindow::Stop);
    connect(more_, &QPushButton::clicked, this, &IdeaGalleryWindow::MoreIdeas);
    progress_->setRange(0, 100);

    auto* controls = new QHBoxLayout;
    controls->addWidget(progress_, 1);
    controls->addWidget(status_);
    controls->addWidget(stop_);
    controls->addWidget(more_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 1);
    layout->addLayout(controls);
    resize(kColumns * grid_->gridSize().width() + 40, kRows * grid_->gridSize().height() + 80);

    auto* poll = new QTimer(this);
    poll->setInterval(kPollMs);
    connect(poll, &QTimer::timeout, this, &IdeaGalleryWindow::Poll);
    poll->start();
    UpdateControls();
}

IdeaGalleryWindow::~IdeaGalleryWindow() {
    relay_->window = nullptr;
    Retire(std::move(gallery_));
}

void IdeaGalleryWindow::Open() {
    show();
    raise();
    activateWindow();
    if (page_ < 0) StartPage();
}

bool IdeaGalleryWindow::IsDrawing() const {
    return !ended_;
}

bool IdeaGalleryWindow::MoreIdeas() {
    if (!ended_) return false;
    return StartPage();
}

void IdeaGalleryWindow::Stop() {
    if (gallery_) gallery_->Stop();
}

bool IdeaGalleryWindow::StartPage() {
    const CFabulorFilterDoc& doc = document_->Document();
    if (!doc.m_pOrgDC || !ended_) return false;
    if (!gallery_) {
        gallery_ = std::make_unique<IdeaGallery>(*doc.m_pOrgDC, doc.m_Spec, doc.m_UsageCounts);
    }
    std::shared_ptr<Relay> relay = relay_;
    const bool started = gallery_->StartPage(app_->GalleryCount(), app_->GallerySide(),
                                             [relay](const GalleryIdea& idea) {
                                                 // On a worker thread: the idea goes to the GUI
                                                 // thread, which the worker never waits for.
                                                 QMetaObject::invokeMethod(
                                                     QCoreApplication::instance(),
                                                     [relay, idea] {
                                                         if (relay->window)
                                                             relay->window->OnIdea(idea);
                                                     },
                                                     Qt::QueuedConnection);
                                             });
    if (!started) {
        UpdateControls();
        return false;
    }
    ended_ = false;
    page_ = gallery_->Pages() - 1;
    recipes_ = gallery_->PageRecipes();
    drawn_.assign(recipes_.size(), false);
    arrived_ = 0;
    // Ideas still waiting keep their recipes; their thumbnails are gone.
    for (Pending& waiting : waiting_)
        waiting.index = -1;

    QPixmap blank(ThumbnailSize(*doc.m_pOrgDC, app_->GallerySide()));
    blank.fill(kUndrawn);
    grid_->setIconSize(blank.size());
    grid_->setGridSize(blank.size() + QSize(16, 16 + grid_->fontMetrics().height()));
    grid_->clear();
    for (int i = 0; i < Count(); ++i) {
        auto* item = new QListWidgetItem(QIcon(blank), QString(), grid_);
        item->setToolTip(ToolTipOf(recipes_[static_cast<size_t>(i)]));
        item->setTextAlignment(Qt::AlignHCenter);
        LabelItem(i);
    }
    if (grid_->count() > 0) grid_->setCurrentRow(0);
    UpdateControls();
    return true;
}

void IdeaGalleryWindow::OnIdea(const GalleryIdea& idea) {
    if (idea.page != page_ || idea.index < 0 || idea.index >= Count()) return;
    ++arrived_;
    if (idea.thumbnail) {
        drawn_[static_cast<size_t>(idea.index)] = true;
        grid_->item(idea.index)
            ->setIcon(QIcon(QPixmap::fromImage(PictureToImage(*idea.thumbnail))));
    }
    UpdateControls();
    emit ideaArrived(idea.index);
}

bool IdeaGalleryWindow::HasThumbnail(int index) const {
    return index >= 0 && index < Count() && drawn_[static_cast<size_t>(index)];
}

void IdeaGalleryWindow::Poll() {
    if (!ended_ && !ending_ && gallery_ && !gallery_->IsDrawing()) {
        // Every thumbnail the workers handed over is queued ahead of this:
        // the page ends once they are all shown.
        ending_ = true;
        std::shared_ptr<Relay> relay = relay_;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [relay] {
                IdeaGalleryWindow* window = relay->window;
                if (!window) return;
                window->ending_ = false;
                window->ended_ = true;
                window->UpdateControls();
                emit window->pageEnded();
            },
            Qt::QueuedConnection);
    }
    // Not under a dialog either: it may be about to change the document's recipe.
    if (!waiting_.empty() && !app_->IsGenerating() && !QApplication::activeModalWidget()) {
        const Pending next = waiting_.front();
        waiting_.pop_front();
        CFabulorFilterDoc& doc = document_->Document();
        if (next.check) {
            doc.ApplyRecipe(next.recipe);
        } else {
            doc.TakeIdea(next.recipe);
        }
        if (next.index >= 0) LabelItem(next.index);
        document_->RefreshTitle();
        if (app_->Frame()) app_->Frame()->UpdateCommands();
    }
    if (gallery_ && !ended_) progress_->setValue(gallery_->PagePercent());
    UpdateControls();
}

void IdeaGalleryWindow::UpdateControls() {
    stop_->setEnabled(!ended_);
    more_->setEnabled(ended_);
    if (ended_ && Count() > 0 && arrived_ == Count()) progress_->setValue(100);
    QString text = QString("%1 of %2 ideas").arg(arrived_).arg(Count());
    if (!waiting_.empty()) text += QString(", %1 waiting").arg(waiting_.size());
    status_->setText(text);
}

void IdeaGalleryWindow::LabelItem(int index) {
    if (index < 0 || index >= grid_->count()) return;
    QString label = QString::fromLatin1(recipes_[static_cast<size_t>(index)].GetName());
    for (const Pending& waiting : waiting_) {
        if (waiting.index == index) {
            label += " (waiting)";
            break;
        }
    }
    grid_->item(index)->setText(label);
}

void IdeaGalleryWindow::TakeIdea(int index) {
    if (index < 0 || index >= Count()) return;
    // A run of any document is going on: the idea waits for it (Poll), in the order taken.
    waiting_.push_back({recipes_[static_cast<size_t>(index)], false, index});
    LabelItem(index);
    Poll();
}

void IdeaGalleryWindow::EditSettings(int index) {
    if (index < 0 || index >= Count()) return;
    CFilSpec edited = recipes_[static_cast<size_t>(index)];
    if (!edited.OpenSettings()) return;
    waiting_.push_back({edited, true, -1});
    Poll();
}

void IdeaGalleryWindow::CopyRecipe(int index) {
    const CFabulorFilterDoc& doc = document_->Document();
    if (index < 0 || index >= Count() || !doc.m_pOrgDC) return;
    const Recipe recipe = RecipeOf(recipes_[static_cast<size_t>(index)], doc.m_iAALevel,
                                   doc.m_szPicturePath, *doc.m_pOrgDC);
    QGuiApplication::clipboard()->setText(QString::fromStdString(RecipeToText(recipe)));
}

QMenu* IdeaGalleryWindow::BuildItemMenu(int index, QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction("Settings...", this, [this, index] { EditSettings(index); });
    menu->addAction("Copy recipe", this, [this, index] { CopyRecipe(index); });
    return menu;
}

void IdeaGalleryWindow::closeEvent(QCloseEvent* event) {
    // The window hides and keeps its page; ideas still waiting are drawn all the same.
    Stop();
    QWidget::closeEvent(event);
}

bool IdeaGalleryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TakeIdea(grid_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
