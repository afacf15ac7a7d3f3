#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/help_window.h"
#include "app/icons.h"
#include "app/idea_gallery_window.h"
#include "app/image_view.h"
#include "app/picture_image.h"
#include "app/session_commands.h"
#include "engine/progress.h"
#include "util/error_box.h"

namespace {

constexpr char kWorkspaceHint[] =
    "To begin, open a picture (Ctrl+O), paste one (Ctrl+V)\nor drop a picture file here.";

// The MDI area, which says how to begin while it is empty.
class Workspace : public QMdiArea {
  public:
    using QMdiArea::QMdiArea;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QMdiArea::paintEvent(event);
        if (!subWindowList().isEmpty()) return;
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Light));
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * 1.3);
        painter.setFont(font);
        painter.drawText(viewport()->rect(), Qt::AlignCenter, kWorkspaceHint);
    }
};

// Local files among the URLs of a drag.
QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (!data) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.append(url.toLocalFile());
    }
    return files;
}

constexpr unsigned kStillCreatingString = 61220;
// A picture dropped from a web page is fetched within 30 s and 64 Mbytes.
constexpr int kFetchTimeoutMs = 30000;
constexpr qint64 kMaxFetchBytes = 64 << 20;
// The ticker pane is as wide as this text: the status text's 40 characters.
constexpr char kTickerWidthText[] = "0123456789012345678901234567890123456789";
static_assert(sizeof kTickerWidthText - 1 == 40, "the status text holds 40 characters");
}  // namespace

MainWindow::MainWindow(FabulorApp* app) : app_(app), mdi_(new Workspace(this)) {
    setObjectName("Fabulor");
    setWindowTitle("Fabulor");
    setWindowIcon(AppIcon());
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    CreateActions();
    CreateMenusAndToolBar();
    CreateStatusBar();
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
    resize(900, 680);
    setAcceptDrops(true);
    UpdateCommands();
}

MainWindow::~MainWindow() {
    // The document windows go after this object: they must not call back.
    disconnect(mdi_, nullptr, this, nullptr);
    for (DocumentWindow* window : Documents())
        disconnect(window, nullptr, this, nullptr);
}

void MainWindow::CreateActions() {
    for (const command::Info& info : command::All()) {
        const QString menuText = QString::fromUtf8(info.menuText ? info.menuText : "");
        const QString tip = QString::fromUtf8(info.toolTip ? info.toolTip : "");
        auto* action = new QAction(menuText.isEmpty() ? tip : menuText, this);
        action->setObjectName(QString::number(info.id));
        action->setStatusTip(QString::fromUtf8(info.prompt));
        action->setWhatsThis(QString::fromUtf8(info.prompt));
        if (!tip.isEmpty()) action->setToolTip(tip);
        action->setShortcuts(command::Shortcuts(info));
        const QIcon icon = ToolIcon(info.id);
        if (command::ToolBar().contains(info.id)) action->setIcon(icon);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { Trigger(id); });
        addAction(action);  // its keys work whether or not a menu shows it
        actions_.insert(id, action);
    }
}

void MainWindow::CreateMenusAndToolBar() {
    auto fill = [this](auto* widget, const QList<command::Id>& items) {
        for (command::Id id : items) {
            if (id == command::kSeparator) {
                widget->addSeparator();
            } else {
                widget->addAction(Action(id));
            }
        }
    };
    QMenu* file = menuBar()->addMenu("&File");
    fileMenu_ = file;
    fill(file, command::FileMenu());
    connect(file, &QMenu::aboutToShow, this, &MainWindow::FillRecentFiles);
    QMenu* help = menuBar()->addMenu("&Help");
    fill(help, command::HelpMenu());
    for (QMenu* menu : {file, help}) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::UpdateCommands);
    }

    toolBar_ = addToolBar("Tool bar");
    toolBar_->setObjectName("toolbar");
    toolBar_->setIconSize(QSize(19, 18) * 5 / 4);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    fill(toolBar_, command::ToolBar());
}

void MainWindow::CreateStatusBar() {
    idle_ = new QLabel(command::kIdlePrompt);
    messagePane_ = new QStackedWidget;
    messagePane_->addWidget(idle_);
    statusBar()->addWidget(messagePane_, 1);
    // A tool-bar hint or a notice covers the pane, and the pane stays hidden
    // until it goes: hidden by hand, as the status bar's own hiding is undone
    // when the pane's stack changes page.
    connect(statusBar(), &QStatusBar::messageChanged, messagePane_,
            [this](const QString& message) { messagePane_->setVisible(message.isEmpty()); });
    ticker_ = new QLabel("Welcome...");
    ticker_->setFrameShape(QFrame::Panel);
    ticker_->setFrameShadow(QFrame::Sunken);
    ticker_->setMinimumWidth(ticker_->fontMetrics().horizontalAdvance(kTickerWidthText) + 8);
    statusBar()->addPermanentWidget(ticker_);
}

DocumentWindow* MainWindow::ActiveDocument() const {
    auto* window = qobject_cast<DocumentWindow*>(mdi_->currentSubWindow());
    return window && !window->IsClosing() ? window : nullptr;
}

QList<DocumentWindow*> MainWindow::Documents() const {
    QList<DocumentWindow*> documents;
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        auto* document = qobject_cast<DocumentWindow*>(window);
        if (document && !document->IsClosing()) documents.append(document);
    }
    return documents;
}

void MainWindow::AddDocument(DocumentWindow* window) {
    mdi_->addSubWindow(window);
    connect(window, &DocumentWindow::stateChanged, this, &MainWindow::UpdateCommands);
}

void MainWindow::ShowDocument(DocumentWindow* window) {
    window->show();
    mdi_->setActiveSubWindow(window);
    window->RefreshTitle();
    UpdateCommands();
}

bool MainWindow::IsEnabled(int id) const {
    using namespace command;
    const bool running = app_->IsGenerating();
    DocumentWindow* window = ActiveDocument();
    const CFabulorFilterDoc* doc = window ? &window->Document() : nullptr;
    const ImageView* view = window ? window->View() : nullptr;
    switch (id) {
        case kOpenImageFile:
        case kPaste:
        case kExit:
        case kGlyphtic:
            return !running;
        case kCloseDocument:
            return window && !running;
        case kSaveImageFile:
        case kSaveImageAs:
        case kCopy:
        case kCopyAndPaste:
            return window && window->CanUsePicture();
        case kChooseXform:
        case kWizardCreates:
        case kImageQuality:
        case kMixSettings:
        case kWebFade:
        case kSelection:
        case kOverview:
            return doc && doc->CanRun();
        case kCreate:
            return doc && doc->CanCreate();
        case kXformSettings:
            return doc && doc->CanChangeSettings();
        case kStop:
            return running;
        case kGoToOriginal:
            return doc && doc->CanToFirst();
        case kBack:
        case kBackKey:
            return doc && doc->CanBack();
        case kForward:
        case kForwardKey:
            return doc && doc->CanForward();
        case kGoToLast:
            return doc && doc->CanToLast();
        case kImageProperties:
            return doc != nullptr;
        case kZoomIn:
            return view && view->CanZoomIn();
        case kZoomOut:
            return view && view->CanZoomOut();
        case kQuarterSize:
        case kHalfSize:
        case kThreeQuarters:
        case kFullSize:
        case kFitToWindow:
            return view && view->CanZoom();
        case kRevertToOriginal:
            return false;
        case kIdeaGallery:
            // The gallery draws on threads of its own: it may open during a run.
            return doc && doc->m_pOrgDC;
        case kSaveSession:
        case kApplyRecipe:
            return doc && doc->m_pOrgDC && !running;
        case kSaveRecipe:
            return doc && doc->m_iCurrent > 0 && !running;
        default:
            return true;
    }
}

void MainWindow::UpdateCommands() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        it.value()->setEnabled(IsEnabled(it.key()));
    }
    // F7 is offered only while it works.
    idle_->setText(IsEnabled(command::kWizardCreates) ? command::kIdlePrompt
                                                      : command::kIdlePromptNoIdeas);
    const bool haveDocuments = !mdi_->subWindowList().isEmpty();
    if (haveDocuments != hadDocuments_) mdi_->viewport()->update();
    hadDocuments_ = haveDocuments;
}

void MainWindow::Trigger(int id) {
    using namespace command;
    if (!IsEnabled(id)) return;
    QPointer<DocumentWindow> window = ActiveDocument();
    CFabulorFilterDoc* doc = window ? &window->Document() : nullptr;
    ImageView* view = window ? window->View() : nullptr;
    switch (id) {
        case kOpenImageFile:
            app_->OnOpenImageFile();
            break;
        case kSaveImageFile:
            window->SaveImage(false);
            break;
        case kSaveImageAs:
            window->SaveImage(true);
            break;
        case kCloseDocument:
            window->close();
            break;
        case kExit:
            close();
            break;
        case kCopy:
            window->Copy();
            break;
        case kPaste:
            app_->OnEditPaste();
            break;
        case kCopyAndPaste:
            window->Copy();
            app_->OnEditPaste();
            EmptyClipboard();
            break;
        case kChooseXform:
            doc->OnChooseXform();
            break;
        case kWizardCreates:
            doc->OnWizardChooses();
            break;
        case kCreate:
            doc->OnCreate();
            break;
        case kXformSettings:
            doc->OnChangeSettings();
            break;
        case kStop:
            app_->Stop();
            break;
        case kGoToOriginal:
            doc->ToFirst();
            break;
        case kBack:
        case kBackKey:
            doc->OnBack();
            break;
        case kForward:
        case kForwardKey:
            doc->Forward();
            break;
        case kGoToLast:
            doc->ToLast();
            break;
        case kOverview:
            doc->OnSelectImage();
            break;
        case kSelection:
            doc->OnSelection();
            break;
        case kImageQuality:
            doc->OnImageQuality();
            break;
        case kMixSettings:
            doc->OnFinalMix();
            break;
        case kWebFade:
            doc->OnWebFade();
            break;
        case kImageProperties:
            window->ShowProperties();
            break;
        case kZoomIn:
            view->ZoomIn();
            break;
        case kZoomOut:
            view->ZoomOut();
            break;
        case kQuarterSize:
            view->SetZoom(25);
            break;
        case kHalfSize:
            view->SetZoom(50);
            break;
        case kThreeQuarters:
            view->SetZoom(75);
            break;
        case kFullSize:
            view->SetZoom(100);
            break;
        case kFitToWindow:
            view->FitToWindow();
            break;
        case kTipOfTheDay:
            ShowTipOfTheDay(this, false);
            break;
        case kAbout:
            ShowAboutDialog(this);
            break;
        case kAcknowledgements:
            ShowHelp(this, "thanks");
            break;
        case kLesson:
            ShowHelp(this, "lesson");
            break;
        case kHelp:
            ShowHelp(this, HelpSectionFor(this));
            break;
        case kContextHelp:
            QWhatsThis::enterWhatsThisMode();
            break;
        case kIdeaGallery:
            IdeaGalleryWindow::Of(window, app_)->Open();
            break;
        case kSaveSession:
            SaveSession(*app_, *window);
            break;
        case kSaveRecipe:
            SaveRecipe(*app_, *window);
            break;
        case kApplyRecipe:
            ApplyRecipe(*app_, *window);
            break;
        default:  // Ctrl+G: a command kept for its key, which does nothing
            break;
    }
    if (window) window->RefreshTitle();
    UpdateCommands();
}

void MainWindow::ShowProgress(int percent) {
    if (percent >= 0 && percent <= 99) {
        if (!progress_) {
            progress_ = new QProgressBar;
            progress_->setRange(0, 100);
            messagePane_->addWidget(progress_);
            messagePane_->setCurrentWidget(progress_);
            StatusTicker::Restart();
        }
        progress_->setValue(percent);
    } else if (progress_) {
        // The pane goes back to the idle text; whether the pane shows at all
        // is the status bar's business (a tool-bar hint may be covering it).
        messagePane_->removeWidget(progress_);
        delete progress_;
        progress_ = nullptr;
        UpdateCommands();
    }
    ticker_->setText(QString::fromStdString(progress_ ? StatusTicker::Scroll() : GetStatusText()));
}

QString MainWindow::TickerText() const {
    return ticker_->text();
}

QString MainWindow::IdleText() const {
    return idle_->text();
}

bool MainWindow::IdleTextShown() const {
    return idle_->isVisible();
}

QString MainWindow::WorkspaceHint() const {
    return mdi_->subWindowList().isEmpty() ? QString(kWorkspaceHint) : QString();
}

void MainWindow::FillRecentFiles() {
    for (QAction* action : recentActions_)
        delete action;
    recentActions_.clear();
    const QStringList files = app_->RecentFiles();
    if (files.isEmpty()) return;
    QAction* exit = Action(command::kExit);
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action =
            new QAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), fileMenu_);
        action->setStatusTip(path);
        action->setEnabled(!app_->IsGenerating());
        connect(action, &QAction::triggered, this, [this, path] { app_->OpenPicture(path); });
        fileMenu_->insertAction(exit, action);
        recentActions_.append(action);
    }
    recentActions_.append(fileMenu_->insertSeparator(exit));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* dropped = event->mimeData();
    if (dropped->hasImage() || dropped->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QMimeData* dropped = event->mimeData();
    event->acceptProposedAction();
    // Files (pictures and sessions) wait while a run goes on; each new
    // picture draws its first idea before the next one opens.
    const QStringList files = LocalFiles(dropped);
    if (!files.isEmpty()) {
        app_->OpenPictures(files);
        return;
    }
    if (app_->IsGenerating()) {
        ErrorBoxFromString(kStillCreatingString);
        return;
    }
    // A picture dragged out of a web page comes as its pixels, its address or both.
    if (dropped->hasImage()) {
        app_->OpenImage(qvariant_cast<QImage>(dropped->imageData()));
        return;
    }
    if (dropped->hasUrls()) OpenDroppedAddress(dropped->urls().constFirst());
}

void MainWindow::OpenDroppedAddress(const QUrl& url) {
    const QByteArray shown = url.toDisplayString().left(200).toUtf8();
    const QString scheme = url.scheme().toLower();
    if (scheme != "http" && scheme != "https" && scheme != "data") {
        ErrorBox("Only pictures on this computer or on the web can be opened:\n%s",
                 shown.constData());
        return;
    }
    if (!network_) network_ = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(kFetchTimeoutMs);
    QNetworkReply* reply = network_->get(request);
    // A picture larger than any a person would drop is not waited for.
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > kMaxFetchBytes) reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, shown] {
        reply->deleteLater();
        QImage image;
        if (reply->error() == QNetworkReply::NoError) image.loadFromData(reply->readAll());
        if (image.isNull()) {
            ErrorBox("Could not get a picture from\n%s", shown.constData());
            return;
        }
        app_->OpenImage(image);
    });
}

QMenu* MainWindow::BuildContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (command::Id id : command::ContextMenu()) {
        if (id == command::kSeparator) {
            menu->addSeparator();
        } else {
            menu->addAction(Action(id));
        }
    }
    return menu;
}

void MainWindow::ShowContextMenu(DocumentWindow* window, const QPoint& globalPos) {
    mdi_->setActiveSubWindow(window);
    UpdateCommands();
    QMenu* menu = BuildContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (app_->IsGenerating()) {
        ErrorBoxFromString(kStillCreatingString);
        event->ignore();
        return;
    }
    // One document after the other: Cancel at any of them stops the whole
    // close, and the documents not asked yet stay as they are.
    QList<QPointer<DocumentWindow>> open;
    for (DocumentWindow* window : Documents())
        open.append(window);
    for (const QPointer<DocumentWindow>& window : open) {
        if (window && !window->close()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}
