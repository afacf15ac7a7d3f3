#include "document/image_sequence_doc.h"

#include "util/error_box.h"

namespace {
constexpr unsigned kStillCreatingString = 61220;
}

Answer DocumentHost::AskToSave(const std::string& title, int otherUnsaved) {
    if (otherUnsaved <= 0) return QuestionBox("Save this image:\n%s?", title.c_str());
    if (otherUnsaved == 1) {
        return QuestionBox(
            "Save this image:\n%s?\n\n1 other unsaved idea of this picture will "
            "be lost.",
            title.c_str());
    }
    return QuestionBox(
        "Save this image:\n%s?\n\n%d other unsaved ideas of this picture will be "
        "lost.",
        title.c_str(), otherUnsaved);
}

bool CImageSequenceDoc::CanBack() const {
    return !IsGenerating() && ImageCount() >= 2 && m_iCurrent > 0;
}
bool CImageSequenceDoc::CanForward() const {
    return !IsGenerating() && ImageCount() >= 2 && m_iCurrent < ImageCount() - 1;
}
bool CImageSequenceDoc::CanToFirst() const {
    return !IsGenerating() && ImageCount() >= 1 && m_iCurrent > 0;
}
bool CImageSequenceDoc::CanToLast() const {
    return !IsGenerating() && ImageCount() >= 1 && m_iCurrent < ImageCount() - 1;
}

void CImageSequenceDoc::MoveTo(int index) {
    m_iPrevious = m_iCurrent;
    m_iCurrent = index;
    LoadCurrentSpec();
    m_iGenMode = GOTOGEN;
    ShowCurrent();
}

void CImageSequenceDoc::ToFirst() {
    if (!CanToFirst()) {
        ErrorBox("OnToFirst, but nothing in buffer!");
        return;
    }
    MoveTo(0);
}

void CImageSequenceDoc::Back() {
    if (CanBack()) MoveTo(m_iCurrent - 1);
}

void CImageSequenceDoc::Forward() {
    if (!CanForward()) {
        ErrorBox("OGF (%d)\nI just can't go on...", ImageCount());
        return;
    }
    MoveTo(m_iCurrent + 1);
}

void CImageSequenceDoc::ToLast() {
    if (!CanToLast()) {
        ErrorBox("OnToLast failed");
        return;
    }
    MoveTo(ImageCount() - 1);
}

void CImageSequenceDoc::GoTo(int index) {
    MoveTo(index);
}

int CImageSequenceDoc::ImageQuality() {
    if (IsGenerating()) {
        ErrorBoxFromString(kStillCreatingString);
        return 0;
    }
    int level = m_iAALevel;
    int applyNow = 0;
    if (!host_ || !host_->ImageQualityDialog(m_iAALevel, &level, &applyNow)) return 0;
    // Only 1, 2 and 4 make a canvas the Xforms accept (and a cache name).
    if (level != 1 && level != 2 && level != 4) {
        ErrorBox("Bad AA level:%d", level);
        m_iAALevel = 1;
        return 0;
    }
    m_iAALevel = level;
    return applyNow ? 1 : 0;
}

bool CImageSequenceDoc::CanCloseFrame() {
    if (IsGenerating()) {
        ErrorBoxFromString(kStillCreatingString);
        return false;
    }
    return true;
}

int CImageSequenceDoc::SaveModified() {
    UpdateTitle(100);
    // Only pictures are ever saved: every idea not written to a file goes
    // with the document, and only the one on show is offered here.
    int otherUnsaved = 0;
    for (int i = 1; i < ImageCount(); ++i) {
        if (i != m_iCurrent && !(host_ && host_->IdeaSaved(i))) ++otherUnsaved;
    }
    const Answer answer = host_ ? host_->AskToSave(title_, otherUnsaved) : Answer::No;
    switch (answer) {
        case Answer::Yes:
            return host_->SaveHook();
        case Answer::No:
            return 1;
        default:
            return 0;
    }
}
