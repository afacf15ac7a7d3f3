// The image-idea document: one original picture and the growing sequence of
// ideas made from it, kept as recipes (never as pixels), with the commands
// of the idea generator and the generation cycle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/image_sequence_doc.h"
#include "document/picture_load.h"
#include "recipe/recipe.h"
#include "recipe/session_file.h"
#include "surface/global_memory.h"

class CDADC;

// What the document needs of its view, its overview and its dialogs. The
// desktop program implements it; tests use fakes.
class DocumentView {
  public:
    virtual ~DocumentView() = default;
    // The picture on show, at the original's size; null before there is one.
    virtual CDADC* Picture() = 0;
    // Takes the picture to show, at the original's size; 1 on success.
    virtual int SetViewPicture(std::unique_ptr<CDADC> picture) = 0;
    virtual void Invalidate(bool erase) = 0;
    // The overview's thumbnails; 0 on success.
    virtual int AddToThumbnails(CDADC* picture, const char* name) = 0;
    // The overview, modal: 1 on OK with the chosen image's index.
    virtual int OverviewDialog(int* chosenIndex) = 0;
    // The mix, web-fade and selection dialogs on a copy of their record, with
    // the original for their previews: 1 on "Set" or "Apply Now" (applyNow
    // says which), 0 on Cancel.
    virtual int MixDialog(MixSettings* mix, const CDADC* original, int* applyNow) = 0;
    virtual int WebFadeDialog(MixSettings* fade, const CDADC* original, int* applyNow) = 0;
    virtual int SelectionDialog(AreaSelection* selection, const CDADC* original, int* applyNow) = 0;
};

// What a document asks of the application beyond a run.
class ApplicationHost : public DocumentHost {
  public:
    // The Xform last used to make an image, for new documents.
    virtual int LastXform() const = 0;
    virtual void SetLastXform(int index) = 0;
    // How many open documents carry exactly this name.
    virtual int CountDocumentsNamed(const std::string& name) const = 0;
};

class CFabulorFilterDoc : public CImageSequenceDoc {
  public:
    CFabulorFilterDoc(ApplicationHost* app, DocumentView* view);
    ~CFabulorFilterDoc() override;

    std::unique_ptr<CDADC> m_pOrgDC;  // the original picture
    std::string m_szPicturePath;      // the file it was read from; empty when pasted
    CFilSpec m_Spec;
    std::vector<CFilSpec> m_Sequence;
    UsageCounts m_UsageCounts = NewUsageCounts();

    void UpdateTitle(int zoomPercent) override;
    const char* GetXformName() const override;
    void LoadCurrentSpec() override;
    void ShowCurrent() override;
    void OnGenerationDone(int stopped) override;
    int ImageCount() const override { return static_cast<int>(m_Sequence.size()); }

    // Loads the picture file and makes the document from it; 1 on success.
    int OpenImageFile(const std::string& path);
    // The same for a picture file already read into dib, which is freed here.
    int OpenReadFile(HGLOBAL dib, const std::string& path);
    // The same for a picture file already made ready (on a reading thread).
    int OpenPictures(DocPictures pictures, const std::string& path);
    // The document from a packed DIB (freed here on success) and a name.
    int SetDocBitmap(HGLOBAL dib, const std::string& name);
    // The document from its pictures and a name; 1 on success.
    int SetDocPictures(DocPictures pictures, const std::string& name);
    // The document from a session read from a file: its picture, sequence,
    // quality and current settings; the image on show is drawn again from
    // its recipe (or read from the cache). The name becomes "%s-%d" when a
    // document of that name is open. 1 on success; on failure the document
    // is left empty as it was.
    int OpenSession(Session session);
    // Appends the current recipe and draws it; keep = 1 keeps its seed and
    // parameters, 0 draws new ones.
    void NewIdea(int keep);
    // Appends recipe, a whole idea made elsewhere (a gallery's), as it is,
    // and draws it at full size and the document's quality; its Xform is
    // counted once the run has finished, as for every new idea.
    void TakeIdea(const CFilSpec& recipe);
    // "Apply Recipe...": a recipe read from a file, made perhaps on another
    // picture, checked against this one's size and drawn as a new idea with
    // its own seed and parameters. Refused with a message when its Xform
    // cannot draw.
    void ApplyRecipe(const CFilSpec& recipe);
    // Shows the current image from the cache, or starts its run: 1 when
    // either happened, 0 when it was refused (with a message).
    int StartRun();
    void ShowOriginal();
    int ChooseXform();

    // The commands and their enable rules.
    void OnChooseXform();
    void OnWizardChooses();
    void OnCreate();
    void OnChangeSettings();
    void OnImageQuality();
    void OnFinalMix();
    void OnWebFade();
    void OnSelection();
    void OnSelectImage();
    void OnBack();
    bool CanRun() const { return !IsGenerating(); }
    bool CanCreate() const { return m_iCurrent > 0 && !IsGenerating(); }
    bool CanChangeSettings() const { return !IsGenerating() && ImageCount() > 1; }

  private:
    // NewIdea for a command that has edited m_Spec: when no idea comes of it
    // (refused, failed or stopped) m_Spec goes back to before.
    void NewIdeaFrom(const CFilSpec& before, int keep);
    void AppendAndRun(const CFilSpec& before);
    // Undoes AppendAndRun: the sequence, the index on show and the recipe as
    // they were.
    void DropNewIdea();
    // Whether a canvas at the current quality can exist; says why not.
    bool CanvasFits() const;

    ApplicationHost* app_;
    DocumentView* view_;
    CFilSpec specBefore_;  // m_Spec before the new idea being drawn
};
