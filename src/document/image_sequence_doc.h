// The general half of an image-idea document: a sequence of images by index,
// the one on show, the quality factor, the name, and walking the sequence.
// What an image's recipe is belongs to the concrete document.
#pragma once

#include <memory>
#include <string>

#include "document/generation_worker.h"
#include "util/error_box.h"

// What a document asks of the application around it.
class DocumentHost {
  public:
    virtual ~DocumentHost() = default;
    // A generation run exists (going on or not yet collected).
    virtual bool IsGenerating() const = 0;
    // Starts the one run of the process for client.
    virtual void BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run) = 0;
    // The Image Quality dialog shown with level: 1 when closed with "Set" or
    // "Apply Now" (the level chosen and the Apply Now flag stored), 0 on Cancel.
    virtual int ImageQualityDialog(int level, int* chosenLevel, int* applyNow) = 0;
    // Yes/No/Cancel before closing the document; otherUnsaved: how many
    // more of its ideas go unsaved with it.
    virtual Answer AskToSave(const std::string& title, int otherUnsaved);
    // Whether the image at index was saved to a file.
    virtual bool IdeaSaved(int /*index*/) const { return false; }
    // What "Yes" does: reports success without writing a file.
    virtual int SaveHook() { return 1; }
};

enum GenMode { NOGEN = 0, NEWGEN = 1, GOTOGEN = 2, QUALITYGEN = 4 };

class CImageSequenceDoc : public GenerationClient {
  public:
    explicit CImageSequenceDoc(DocumentHost* host) : host_(host) {}

    int m_iAALevel = 1;  // the quality factor k: 1, 2 or 4
    int m_iCurrent = 0;  // the image on show; 0 is the original
    int m_iPrevious = 0;
    int m_iGenMode = NOGEN;
    std::string m_szName;  // at most 255 characters

    // The operations the concrete document supplies.
    virtual void UpdateTitle(int zoomPercent) = 0;
    virtual const char* GetXformName() const = 0;
    virtual void LoadCurrentSpec() = 0;
    virtual void ShowCurrent() = 0;
    // The number of images of the sequence, the original included.
    virtual int ImageCount() const = 0;
    const std::string& Title() const { return title_; }

    // The enable rules of the walking commands.
    bool CanBack() const;
    bool CanForward() const;
    bool CanToFirst() const;
    bool CanToLast() const;

    void ToFirst();
    void Back();
    void Forward();
    void ToLast();
    void GoTo(int index);

    // 1 when the dialog was closed with "Apply Now".
    int ImageQuality();
    // The framework's hooks: may the window close now, and may the
    // document go (1) or stay (0) after asking.
    bool CanCloseFrame();
    int SaveModified();

  protected:
    bool IsGenerating() const { return host_ && host_->IsGenerating(); }
    void SetTitle(std::string title) { title_ = std::move(title); }
    DocumentHost* host_;

  private:
    void MoveTo(int index);
    std::string title_;
};
