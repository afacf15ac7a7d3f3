#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QWhatsThis>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/help_window.h"
#include "app/icons.h"
#include "app/image_view.h"
#include "app/picture_image.h"
#include "engine/progress.h"
#include "util/error_box.h"

namespace {
constexpr unsigned kStillCreatingString = 61220;
// The ticker pane is as wide as this text: the status text's 40 characters.
constexpr char kTickerWidthText[] = "0123456789012345678901234567890123456789";
static_assert(sizeof kTickerWidthText - 1 == 40, "the status text holds 40 characters");
}  // namespace

MainWindow::MainWindow(FabulorApp* app) : app_(app), mdi_(new QMdiArea(this)) {
    setObjectName("Fabulor");
    setWindowTitle("Fabulor");
    setWindowIcon(AppIcon());
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    CreateActions();
    CreateMenusAndToolBar();
    CreateStatusBar();
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
    resize(900, 680);
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
    fill(file, command::FileMenu());
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
    statusBar()->addWidget(idle_, 1);
    ticker_ = new QLabel("Welcome...");
    ticker_->setFrameShape(QFrame::Panel);
    ticker_->setFrameShadow(QFrame::Sunken);
    ticker_->setMinimumWidth(ticker_->fontMetrics().horizontalAdvance(kTickerWidthText) + 8);
    statusBar()->addPermanentWidget(ticker_);
}

DocumentWindow* MainWindow::ActiveDocument() const {
    return qobject_cast<DocumentWindow*>(mdi_->currentSubWindow());
}

QList<DocumentWindow*> MainWindow::Documents() const {
    QList<DocumentWindow*> documents;
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (auto* document = qobject_cast<DocumentWindow*>(window)) documents.append(document);
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
        default:
            return true;
    }
}

void MainWindow::UpdateCommands() {
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        it.value()->setEnabled(IsEnabled(it.key()));
    }
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
            idle_->hide();
            statusBar()->insertWidget(0, progress_, 1);
            progress_->show();
            StatusTicker::Restart();
        }
        progress_->setValue(percent);
    } else if (progress_) {
        statusBar()->removeWidget(progress_);
        delete progress_;
        progress_ = nullptr;
        idle_->show();
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
    mdi_->closeAllSubWindows();
    if (!Documents().isEmpty()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
