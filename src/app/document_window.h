// One open document in its MDI child window: the image-idea document, its
// view, its overview thumbnails and the names its images were saved under.
// The window is the document's view and, for the document, the application.
#pragma once

#include <map>
#include <memory>
#include <string>

#include <QMdiSubWindow>

#include "app/dialogs.h"
#include "document/fabulor_filter_doc.h"

class FabulorApp;
class ImageView;

class DocumentWindow : public QMdiSubWindow, public DocumentView, public ApplicationHost {
    Q_OBJECT
  public:
    explicit DocumentWindow(FabulorApp* app);
    ~DocumentWindow() override;

    CFabulorFilterDoc& Document() { return *doc_; }
    const CFabulorFilterDoc& Document() const { return *doc_; }
    // Whether the window is being deleted (its document may be gone).
    bool IsClosing() const { return closing_; }
    ImageView* View() const { return view_; }
    ::OverviewDialog& Overview() { return overview_; }

    // DocumentView
    CDADC* Picture() override;
    int SetViewPicture(std::unique_ptr<CDADC> picture) override;
    void Invalidate(bool erase) override;
    int AddToThumbnails(CDADC* picture, const char* name) override;
    int OverviewDialog(int* chosenIndex) override;
    int MixDialog(MixSettings* mix, const CDADC* original, int* applyNow) override;
    int WebFadeDialog(MixSettings* fade, const CDADC* original, int* applyNow) override;
    int SelectionDialog(AreaSelection* selection, const CDADC* original, int* applyNow) override;

    // ApplicationHost
    bool IsGenerating() const override;
    void BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run) override;
    int ImageQualityDialog(int level, int* chosenLevel, int* applyNow) override;
    int SaveHook() override;
    bool IdeaSaved(int index) const override { return !SavedName(index).empty(); }
    int LastXform() const override;
    void SetLastXform(int index) override;
    int CountDocumentsNamed(const std::string& name) const override;

    // The view's commands on the picture on show: there is one and no run.
    bool CanUsePicture() const;
    void Copy();
    // Writes the picture on show: to the name it was saved under before
    // (askName false), else to a name the user picks. 1 when written.
    int SaveImage(bool askName);
    // The name the image at index was last saved under; empty when none.
    std::string SavedName(int index) const;
    void ShowProperties();
    // The title from the document, at the view's zoom.
    void RefreshTitle();

  signals:
    void stateChanged();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    FabulorApp* app_;
    ImageView* view_;
    ::OverviewDialog overview_;
    std::map<int, std::string> savedNames_;
    // Last: the document goes first, while its view still exists.
    std::unique_ptr<CFabulorFilterDoc> doc_;
    bool closing_ = false;
};
