// The idea gallery of one document window: a page of Wizard ideas of its
// picture drawn as thumbnails on every core, each shown as soon as it is
// finished. Clicking one (or Enter) adds its recipe to the document's
// sequence, where it is drawn at full size and the document's quality.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include <QWidget>

#include "recipe/recipe.h"

class DocumentWindow;
class FabulorApp;
class IdeaGallery;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
struct GalleryIdea;

class IdeaGalleryWindow : public QWidget {
    Q_OBJECT
  public:
    // The gallery of the document window, made on first use; it is a window
    // of its own that goes with the document window.
    static IdeaGalleryWindow* Of(DocumentWindow* document, FabulorApp* app);
    // The gallery of the document window if it has one.
    static IdeaGalleryWindow* Find(DocumentWindow* document);
    ~IdeaGalleryWindow() override;

    // Shows the window; the first page is started when there is none yet.
    void Open();
    // "More ideas": the next page, when the current one has ended.
    bool MoreIdeas();
    // The page's STOP.
    void Stop();
    bool IsDrawing() const;

    // The page on show: its recipes, and whether each thumbnail has arrived.
    int Count() const { return static_cast<int>(recipes_.size()); }
    const CFilSpec& RecipeAt(int index) const { return recipes_[static_cast<size_t>(index)]; }
    bool HasThumbnail(int index) const;
    int Arrived() const { return arrived_; }
    // Adds the idea, exactly as its thumbnail was drawn, to the document's
    // sequence now, or as soon as no run is going on.
    void TakeIdea(int index);
    // Ideas taken while a run was going on, not yet drawn.
    int Waiting() const { return static_cast<int>(waiting_.size()); }
    // The right click's menu for the thumbnail at index.
    QMenu* BuildItemMenu(int index, QWidget* parent);
    void CopyRecipe(int index);
    // Opens the Xform's panel on a copy of the idea; on OK the changed idea
    // is taken.
    void EditSettings(int index);

    QListWidget* Grid() const { return grid_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* StopButton() const { return stop_; }
    QPushButton* MoreButton() const { return more_; }

  signals:
    // A thumbnail of the page on show has arrived (index on the page).
    void ideaArrived(int index);
    // The page has ended: drawn or stopped.
    void pageEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    IdeaGalleryWindow(DocumentWindow* document, FabulorApp* app);
    bool StartPage();
    void OnIdea(const GalleryIdea& idea);
    void Poll();
    void UpdateControls();
    void LabelItem(int index);

    // What the workers' callbacks reach, on the GUI thread only: cleared when
    // the window goes, so that thumbnails still on their way are dropped.
    struct Relay {
        IdeaGalleryWindow* window = nullptr;
    };
    struct Pending {
        CFilSpec recipe;
        bool check = false;  // checked against the picture first (an edited idea)
        int index = -1;      // its thumbnail on the page on show; -1 when gone
    };

    DocumentWindow* document_;
    FabulorApp* app_;
    std::unique_ptr<IdeaGallery> gallery_;
    std::shared_ptr<Relay> relay_;
    int page_ = -1;
    std::vector<CFilSpec> recipes_;
    std::vector<bool> drawn_;
    int arrived_ = 0;
    bool ended_ = true;
    bool ending_ = false;  // the workers are done; the end is on its way
    std::deque<Pending> waiting_;

    QListWidget* grid_;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* stop_;
    QPushButton* more_;
};

// Galleries whose window has gone but whose page was still being drawn end
// on their own; at the program's end they are waited for here.
bool GalleriesStillDrawing();
void FinishGalleries();
