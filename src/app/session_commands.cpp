#include "app/session_commands.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/document_window.h"
#include "app/fabulor_app.h"
#include "app/main_window.h"
#include "document/document_files.h"
#include "util/error_box.h"

namespace {

// The file dialog, or the stand-in the application was given; the chosen
// path with the suffix added when the name has none, or empty.
QString AskFile(FabulorApp& app, QWidget* parent, const QString& title, const QString& filter,
                const QString& suggested, bool save) {
    QString path;
    if (app.Options().askFileName) {
        path = app.Options().askFileName(title, suggested, save);
    } else {
        QFileDialog dialog(parent, title, app.InitialPictureDir());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(filter);
        if (save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.selectFile(suggested);
        } else {
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        path = dialog.selectedFiles().constFirst();
    }
    if (save && !path.isEmpty() && QFileInfo(path).suffix().isEmpty()) {
        // "Fabulor sessions (*.fabulor)" -> ".fabulor"
        path += filter.mid(filter.indexOf("*.") + 1).chopped(1);
    }
    return path;
}

}  // namespace

bool IsSessionFile(const QString& path) {
    return QFileInfo(path).suffix().compare("fabulor", Qt::CaseInsensitive) == 0;
}

DocumentWindow* OpenSessionFile(FabulorApp& app, const QString& path) {
    if (app.IsGenerating()) {
        ErrorBoxFromString(61220);
        return nullptr;
    }
    Session session;
    std::string error;
    if (!ReadSessionFile(path.toStdString(), &session, &error)) {
        ErrorBox("%s", error.c_str());
        return nullptr;
    }
    auto* window = new DocumentWindow(&app);
    app.Frame()->AddDocument(window);
    if (!window->Document().OpenSession(std::move(session))) {
        delete window;
        return nullptr;
    }
    app.Frame()->ShowDocument(window);
    return window;
}

bool SaveSession(FabulorApp& app, DocumentWindow& window) {
    Session session;
    std::string error;
    if (!SessionOfDocument(window.Document(), &session, &error)) {
        ErrorBox("%s", error.c_str());
        return false;
    }
    const QString path =
        AskFile(app, &window, "Save session", kSessionFilter,
                QString::fromStdString(window.Document().m_szName) + ".fabulor", true);
    if (path.isEmpty()) return false;
    if (!WriteSessionFile(path.toStdString(), session, &error)) {
        ErrorBox("%s", error.c_str());
        return false;
    }
    return true;
}

bool SaveRecipe(FabulorApp& app, DocumentWindow& window) {
    const CFabulorFilterDoc& doc = window.Document();
    Recipe recipe;
    std::string error;
    if (!RecipeOfDocument(doc, &recipe, &error)) {
        ErrorBox("%s", error.c_str());
        return false;
    }
    const QString suggested =
        QString("%1-%2.json").arg(QString::fromStdString(doc.m_szName)).arg(doc.m_iCurrent);
    const QString path = AskFile(app, &window, "Save recipe", kRecipeFilter, suggested, true);
    if (path.isEmpty()) return false;
    if (!WriteRecipeFile(path.toStdString(), recipe, &error)) {
        ErrorBox("%s", error.c_str());
        return false;
    }
    return true;
}

bool ApplyRecipe(FabulorApp& app, DocumentWindow& window) {
    const QString path = AskFile(app, &window, "Apply recipe", kRecipeFilter, {}, false);
    if (path.isEmpty()) return false;
    Recipe recipe;
    std::string error;
    if (!ReadRecipeFile(path.toStdString(), &recipe, &error)) {
        ErrorBox("%s", error.c_str());
        return false;
    }
    CFabulorFilterDoc& doc = window.Document();
    const int before = doc.ImageCount();
    doc.ApplyRecipe(recipe.filSpec);
    return doc.ImageCount() > before;
}
