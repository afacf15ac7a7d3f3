// The main frame: the MDI area of the document windows, the "&File" and
// "&Help" menus, the tool bar, the keys, and the status bar with its idle
// prompt, the progress bar of a run and the 40-character ticker pane.
#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>

class DocumentWindow;
class FabulorApp;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QNetworkAccessManager;
class QProgressBar;
class QStackedWidget;
class QToolBar;
class QUrl;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(FabulorApp* app);
    ~MainWindow() override;

    QMdiArea* MdiArea() const { return mdi_; }
    QToolBar* ToolBar() const { return toolBar_; }
    // The document window in front; null when there is none.
    DocumentWindow* ActiveDocument() const;
    QList<DocumentWindow*> Documents() const;
    // Adds the window to the MDI area, not yet shown.
    void AddDocument(DocumentWindow* window);
    void ShowDocument(DocumentWindow* window);

    QAction* Action(int commandId) const { return actions_.value(commandId); }
    // The command's enable rule now.
    bool IsEnabled(int commandId) const;
    // Runs the command as its menu item, button or key does: only when its
    // rule allows it.
    void Trigger(int commandId);
    // Brings every command's enabled state up to date.
    void UpdateCommands();

    // The run's percent: 0..99 shows the progress bar over the message pane;
    // anything else removes it. The ticker pane shows the status text.
    void ShowProgress(int percent);
    QProgressBar* ProgressBar() const { return progress_; }
    QString TickerText() const;
    QString IdleText() const;
    // The message pane's idle text is on show (not hidden by a run or a hint).
    bool IdleTextShown() const;
    // What the empty workspace says; empty while a document is open.
    QString WorkspaceHint() const;

    // The context menu of a document window at a screen point.
    QMenu* BuildContextMenu(QWidget* parent);
    void ShowContextMenu(DocumentWindow* window, const QPoint& globalPos);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateActions();
    void CreateMenusAndToolBar();
    void CreateStatusBar();
    void FillRecentFiles();
    // A picture dragged out of a web page as its address alone: fetched,
    // then opened as a pasted one.
    void OpenDroppedAddress(const QUrl& url);

    FabulorApp* app_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QHash<int, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QList<QAction*> recentActions_;  // the recent files and their separator
    bool hadDocuments_ = false;
    QNetworkAccessManager* network_ = nullptr;  // made at the first dropped address
    // The message pane: the idle text, or the progress bar of a run. The
    // status bar hides the pane whole while a hint shows.
    QStackedWidget* messagePane_ = nullptr;
    QLabel* idle_ = nullptr;
    QLabel* ticker_ = nullptr;
    QProgressBar* progress_ = nullptr;  // only while a run is shown
};
