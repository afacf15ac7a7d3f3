#include "document/fabulor_filter_doc.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <memory>

#include "document/disk_cache.h"
#include "surface/cdadc.h"
#include "surface/clipboard_dib.h"
#include "surface/image_files.h"
#include "util/error_box.h"
#include "util/files.h"

CFabulorFilterDoc::CFabulorFilterDoc(ApplicationHost* app, DocumentView* view)
    : CImageSequenceDoc(app), app_(app), view_(view) {
    m_Sequence.push_back(m_Spec);
}

CFabulorFilterDoc::~CFabulorFilterDoc() {
    if (!m_szName.empty()) DiskCache::RemoveDocCache(m_szName);
}

void CFabulorFilterDoc::UpdateTitle(int zoomPercent) {
    char body[600];
    if (m_iCurrent == 0) {
        std::snprintf(body, sizeof body, "%s (Original)", m_szName.c_str());
    } else {
        std::snprintf(body, sizeof body, "%s (Xform #%d of %d)", m_szName.c_str(), m_iCurrent,
                      ImageCount() - 1);
    }
    char suffix[32] = "";
    if (zoomPercent != 100) std::snprintf(suffix, sizeof suffix, "[%d%%]", zoomPercent);
    SetTitle(std::string(body) + suffix);
}

const char* CFabulorFilterDoc::GetXformName() const {
    return m_Spec.GetName();
}

void CFabulorFilterDoc::LoadCurrentSpec() {
    if (m_iCurrent < 0 || m_iCurrent >= ImageCount()) {
        ErrorBox("Cannot SPFUB, %d :: %d ", m_iCurrent, ImageCount());
        return;
    }
    m_Spec = m_Sequence[m_iCurrent];
}

void CFabulorFilterDoc::ShowCurrent() {
    if (m_iCurrent == 0) {
        ShowOriginal();
    } else if (!StartRun() && m_iGenMode == GOTOGEN) {
        // Nothing was drawn: the image on show is still the one before.
        m_iCurrent = std::clamp(m_iPrevious, 0, ImageCount() - 1);
        m_Spec = m_Sequence[static_cast<size_t>(m_iCurrent)];
        m_iGenMode = NOGEN;
    }
}

int CFabulorFilterDoc::OpenImageFile(const std::string& path) {
    HGLOBAL dib = VicLoadImageFile(path.c_str());
    if (!dib) return 0;
    return OpenReadFile(dib, path);
}

int CFabulorFilterDoc::OpenReadFile(HGLOBAL dib, const std::string& path) {
    if (!dib) return 0;
    // Making the pictures tells why it failed.
    DocPictures pictures = PicturesOfDib(dib);
    GlobalFree(dib);
    return pictures ? OpenPictures(std::move(pictures), path) : 0;
}

int CFabulorFilterDoc::OpenPictures(DocPictures pictures, const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    name = name.substr(0, name.find('.'));
    if (name.empty()) {
        ErrorBox("Bad document name (empty!)");
        return 0;
    }
    const int k = app_ ? app_->CountDocumentsNamed(name) : 0;
    if (k != 0) name.append("-").append(std::to_string(k));
    m_szPicturePath = path;
    const int result = SetDocPictures(std::move(pictures), name);
    if (!result) m_szPicturePath.clear();
    return result;
}

int CFabulorFilterDoc::OpenSession(Session session) {
    if (!view_ || !session.picture || session.sequence.empty()) {
        ErrorBox("SDB:Strange pointers\n%p %p", static_cast<void*>(view_),
                 static_cast<void*>(session.picture.get()));
        return 0;
    }
    if (m_pOrgDC) {
        ErrorBox("SDB:m_pOrgDC already allocated");
        return 0;
    }
    std::string name = session.name;
    if (name.empty()) {
        ErrorBox("SDB: missing bitmap name");
        return 0;
    }
    const int k = app_ ? app_->CountDocumentsNamed(name) : 0;
    if (k != 0) name.append("-").append(std::to_string(k));
    HGLOBAL dib = PictureToPackedDib(session.picture.get());
    if (!dib) return 0;
    std::unique_ptr<CDADC> copy(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    if (!copy || !view_->SetViewPicture(std::move(copy))) {
        ErrorBox("SDB, could not CreateViewBitmap");
        return 0;
    }
    m_szName = name.substr(0, 255);
    m_pOrgDC = std::move(session.picture);
    if (view_->AddToThumbnails(m_pOrgDC.get(), m_szName.c_str()) != 0) {
        ErrorBox("AddToThumbnails != 0");
    }
    m_Sequence = std::move(session.sequence);
    // The overview has a cell for every image, so that its indices are the
    // sequence's; the ideas not drawn here show the original in their cell.
    for (size_t i = 1; i < m_Sequence.size(); ++i)
        view_->AddToThumbnails(m_pOrgDC.get(), m_Sequence[i].GetName());
    m_iAALevel = session.quality;
    // The counts the document would have had: one for every idea it made.
    m_UsageCounts = NewUsageCounts();
    for (size_t i = 1; i < m_Sequence.size(); ++i) {
        const int index = m_Sequence[i].XformIndex;
        if (index >= 0 && index < kXformCount) ++m_UsageCounts[index];
    }
    m_iCurrent = std::clamp(session.current, 0, ImageCount() - 1);
    m_Spec = m_Sequence[static_cast<size_t>(m_iCurrent)];
    view_->Invalidate(true);
    // A stopped drawing of the image on show falls back to the original.
    m_iPrevious = 0;
    if (m_iCurrent > 0) {
        m_iGenMode = GOTOGEN;
        StartRun();
        // From the cache: no run, nothing to settle.
        if (!IsGenerating()) m_iGenMode = NOGEN;
    } else {
        ShowOriginal();
    }
    // The settings chosen but not yet used for an idea: the image on show is
    // drawn from its own recipe (the run has its copy), they wait for the next.
    m_Spec.FinalMix = session.finalMix;
    m_Spec.WebFade = session.webFade;
    m_Spec.Selection = session.selection;
    return 1;
}

int CFabulorFilterDoc::SetDocBitmap(HGLOBAL dib, const std::string& name) {
    if (!view_ || !dib) {
        ErrorBox("SDB:Strange pointers\n%p %p", static_cast<void*>(view_), static_cast<void*>(dib));
        return 0;
    }
    DocPictures pictures = PicturesOfDib(dib);
    if (!pictures || !SetDocPictures(std::move(pictures), name)) return 0;
    GlobalFree(dib);
    return 1;
}

int CFabulorFilterDoc::SetDocPictures(DocPictures pictures, const std::string& name) {
    if (!view_ || !pictures) {
        ErrorBox("SDB:Strange pointers\n%p %p", static_cast<void*>(view_),
                 static_cast<void*>(pictures.original.get()));
        return 0;
    }
    if (m_pOrgDC) {
        ErrorBox("SDB:m_pOrgDC already allocated");
        return 0;
    }
    if (name.empty()) {
        ErrorBox("SDB: missing bitmap name");
        return 0;
    }
    m_szName = name.substr(0, 255);
    if (!view_->SetViewPicture(std::move(pictures.shown))) {
        ErrorBox("SDB, could not CreateViewBitmap");
        return 0;
    }
    m_pOrgDC = std::move(pictures.original);
    if (view_->AddToThumbnails(m_pOrgDC.get(), m_szName.c_str()) != 0) {
        ErrorBox("AddToThumbnails != 0");
    }
    view_->Invalidate(true);

    m_Spec.WizardAll = 1;
    m_Spec.XformIndex = app_ ? app_->LastXform() : kMosaic;
    if (ChooseXform() == 1) NewIdea(0);
    return 1;
}

int CFabulorFilterDoc::ChooseXform() {
    if (!m_Spec.ChooseXform(m_UsageCounts)) return 0;
    if (!m_Spec.WizardAll) return m_Spec.OpenSettings();
    return 1;
}

void CFabulorFilterDoc::NewIdea(int keep) {
    const CFilSpec before = m_Spec;
    NewIdeaFrom(before, keep);
}

void CFabulorFilterDoc::NewIdeaFrom(const CFilSpec& before, int keep) {
    if (!m_pOrgDC) {
        ErrorBox("OGN:m_pOrgDC == NULL");
        m_Spec = before;
        return;
    }
    if (!m_Spec.Validate(m_pOrgDC->width, m_pOrgDC->height)) {
        m_Spec = before;
        return;
    }
    if (!keep) {
        m_Spec.NewSeed();
        m_Spec.AutoChoose(m_pOrgDC.get());
    }
    AppendAndRun(before);
}

void CFabulorFilterDoc::AppendAndRun(const CFilSpec& before) {
    m_Sequence.push_back(m_Spec);
    m_iPrevious = m_iCurrent;
    m_iCurrent = ImageCount() - 1;
    m_iGenMode = NEWGEN;
    specBefore_ = before;
    if (!StartRun()) {
        DropNewIdea();
        return;
    }
    if (app_) app_->SetLastXform(m_Spec.XformIndex);
}

void CFabulorFilterDoc::DropNewIdea() {
    m_Sequence.pop_back();
    // The picture on show is still the one shown before the idea was asked for.
    m_iCurrent = std::clamp(m_iPrevious, 0, ImageCount() - 1);
    m_Spec = specBefore_;
    m_iGenMode = NOGEN;
}

void CFabulorFilterDoc::TakeIdea(const CFilSpec& recipe) {
    if (!m_pOrgDC) {
        ErrorBox("OGN:m_pOrgDC == NULL");
        return;
    }
    if (IsGenerating()) {
        ErrorBox("ERROR, RFIT:\nalready Xforming");
        return;
    }
    // The idea was checked and given its Wizard parameters when it was made:
    // checking it again could change what its thumbnail promised.
    const CFilSpec before = m_Spec;
    m_Spec = recipe;
    AppendAndRun(before);
}

void CFabulorFilterDoc::ApplyRecipe(const CFilSpec& recipe) {
    if (!m_pOrgDC) {
        ErrorBox("OGN:m_pOrgDC == NULL");
        return;
    }
    CFilSpec checked = recipe;
    if (!XformDraws(checked.XformIndex)) {
        ErrorBox("The recipe's Xform \"%s\" (%d) cannot draw here", checked.GetName(),
                 checked.XformIndex);
        return;
    }
    if (!checked.Validate(m_pOrgDC->width, m_pOrgDC->height)) return;
    TakeIdea(checked);
}

int CFabulorFilterDoc::StartRun() {
    CDADC* picture = view_ ? view_->Picture() : nullptr;
    if (!m_pOrgDC || !picture) {
        ErrorBox("ERROR, RFIT:\nmissing DCs, Org=%p Drw=%p", static_cast<void*>(m_pOrgDC.get()),
                 static_cast<void*>(picture));
        return 0;
    }
    if (IsGenerating()) {
        ErrorBox("ERROR, RFIT:\nalready Xforming");
        return 0;
    }
    if (m_iCurrent < 1) {
        ErrorBox("ERROR, RFIT:\nci=%d", m_iCurrent);
        return 0;
    }
    if (DiskCache::ReadCached(picture, m_szName, m_iCurrent, m_iAALevel)) {
        view_->Invalidate(true);
        return 1;
    }
    if (!CanvasFits()) return 0;
    auto run = std::make_unique<GenerationRun>();
    std::vector<Message> why;
    {
        // A surface that cannot be made reports each step that failed: the
        // user gets the first, which says why, in one message.
        ThreadMessages kept;
        run->canvas =
            std::make_unique<CDADC>(m_pOrgDC->width * m_iAALevel, m_pOrgDC->height * m_iAALevel);
        why = kept.Take();
    }
    if (!run->canvas->pBits) {
        ErrorBox("%s%sRFIT:\nCould not Init data of Xform DC",
                 why.empty() ? "" : why[0].text.c_str(), why.empty() ? "" : "\n\n");
        return 0;
    }
    for (const Message& m : why)
        ErrorBox("%s", m.text.c_str());
    run->recipe = m_Spec;
    run->original = m_pOrgDC.get();
    run->picture = picture;
    if (DiskCache::Enabled())
        run->cacheFile = DiskCache::FileName(m_szName, m_iCurrent, m_iAALevel);
    host_->BeginRun(this, std::move(run));
    return 1;
}

bool CFabulorFilterDoc::CanvasFits() const {
    // Like every surface, the canvas keeps its bytes within an int; past that
    // its allocation is bound to fail, and the user needs the reason and the
    // way out, not the steps that failed.
    const long long width = static_cast<long long>(m_pOrgDC->width) * m_iAALevel;
    const long long height = static_cast<long long>(m_pOrgDC->height) * m_iAALevel;
    const long long bytes = (width * 3 + 3) / 4 * 4 * height;
    if (bytes <= std::numeric_limits<int>::max()) return true;
    const char* quality = m_iAALevel == 4 ? "High" : m_iAALevel == 2 ? "Medium" : "Normal";
    ErrorBox(
        "This picture is too large to draw at %s quality:\nits canvas of %lld by %lld pixels "
        "would need %lld MBytes, more than a picture can hold.\nChoose a lower Image Quality.",
        quality, width, height, (bytes + 1048575) / 1048576);
    return false;
}

void CFabulorFilterDoc::OnGenerationDone(int stopped) {
    CDADC* picture = view_ ? view_->Picture() : nullptr;
    if (!stopped) {
        if (m_iGenMode == NEWGEN) {
            view_->AddToThumbnails(picture, GetXformName());
            if (m_Spec.XformIndex >= 0 && m_Spec.XformIndex < kXformCount) {
                ++m_UsageCounts[m_Spec.XformIndex];
            }
        }
        // The run's thread has written the file.
        DiskCache::Register(DiskCache::FileName(m_szName, m_iCurrent, m_iAALevel), m_szName);
    } else {
        switch (m_iGenMode) {
            case NOGEN:
                ErrorBox("Generation Aborted, bad gen mode:NOGEN");
                break;
            case NEWGEN:
                DropNewIdea();
                break;
            case GOTOGEN:
                m_iCurrent = m_iPrevious;
                m_Spec = m_Sequence[m_iCurrent];
                break;
            case QUALITYGEN:
                break;
            default:
                ErrorBox("Generation Aborted, bad gen mode:%d", m_iGenMode);
                break;
        }
    }
    m_iGenMode = NOGEN;
}

void CFabulorFilterDoc::ShowOriginal() {
    CDADC* picture = view_ ? view_->Picture() : nullptr;
    if (!m_pOrgDC || !picture) {
        ErrorBox("Bad DC pointer in OOB\nDrw=%p, Org=%p", static_cast<void*>(picture),
                 static_cast<void*>(m_pOrgDC.get()));
        return;
    }
    if (IsGenerating()) return;
    picture->pDC->BitBlt(0, 0, m_pOrgDC->width, m_pOrgDC->height, m_pOrgDC->pDC, 0, 0, SRCCOPY);
    m_iCurrent = 0;
    view_->Invalidate(false);
}

void CFabulorFilterDoc::OnChooseXform() {
    const CFilSpec before = m_Spec;
    if (ChooseXform() == 1) {
        NewIdeaFrom(before, 0);
    } else {
        m_Spec = before;
    }
}

void CFabulorFilterDoc::OnWizardChooses() {
    const CFilSpec before = m_Spec;
    m_Spec.RandomizeAll(m_UsageCounts);
    NewIdeaFrom(before, 0);
}

void CFabulorFilterDoc::OnCreate() {
    if (m_iCurrent == 0) {
        ErrorBox("Select an ObjectXform");
        return;
    }
    NewIdea(0);
}

void CFabulorFilterDoc::OnChangeSettings() {
    const CFilSpec before = m_Spec;
    if (m_iCurrent == 0 && ImageCount() > 1) m_Spec = m_Sequence.back();
    if (m_Spec.OpenSettings()) {
        NewIdeaFrom(before, 0);
    } else {
        m_Spec = before;
    }
}

void CFabulorFilterDoc::OnImageQuality() {
    if (ImageQuality() && m_iCurrent > 0) {
        m_iGenMode = QUALITYGEN;
        if (!StartRun()) m_iGenMode = NOGEN;
    }
}

void CFabulorFilterDoc::OnFinalMix() {
    MixSettings copy = m_Spec.FinalMix;
    int applyNow = 0;
    if (!view_ || !view_->MixDialog(&copy, m_pOrgDC.get(), &applyNow)) return;
    // The mix dialog has no colour: only these three fields are its own.
    m_Spec.FinalMix.Mode = copy.Mode;
    m_Spec.FinalMix.Selection = copy.Selection;
    m_Spec.FinalMix.Percent = copy.Percent;
    if (applyNow && m_iCurrent > 0) NewIdea(1);
}

void CFabulorFilterDoc::OnWebFade() {
    MixSettings copy = m_Spec.WebFade;
    int applyNow = 0;
    if (!view_ || !view_->WebFadeDialog(&copy, m_pOrgDC.get(), &applyNow)) return;
    m_Spec.WebFade = copy;
    if (applyNow && m_iCurrent > 0) NewIdea(1);
}

void CFabulorFilterDoc::OnSelection() {
    if (m_Spec.XformIndex == kMosaic) {
        ErrorBox(
            "The current Xform Object is MOSAIC.\nMOSAIC is not affected by advanced selection");
        return;
    }
    AreaSelection copy = m_Spec.Selection;
    int applyNow = 0;
    if (!view_ || !view_->SelectionDialog(&copy, m_pOrgDC.get(), &applyNow)) return;
    m_Spec.Selection = copy;
    if (applyNow && m_iCurrent > 0) NewIdea(1);
}

void CFabulorFilterDoc::OnSelectImage() {
    int chosen = m_iCurrent;
    if (view_ && view_->OverviewDialog(&chosen) && chosen != m_iCurrent && chosen >= 0 &&
        chosen < ImageCount()) {
        GoTo(chosen);
    }
}

void CFabulorFilterDoc::OnBack() {
    if (m_iCurrent == 0) {
        ShowOriginal();
    } else {
        Back();
    }
}
