#include "app/help_window.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>

#include "app/main_window.h"
#include "recipe/recipe.h"
#include "recipe/xform_registry.h"

namespace {

const char kGuide[] = "qrc:/guide/index.html";

QPointer<QTextBrowser> helpWindow;
QUrl lastUrl;

struct TitleSection {
    const char* title;
    const char* section;
};
constexpr TitleSection kDialogSections[] = {
    {"Choose Xform", "choose-xform"},
    {"Image Quality (Anti Alias)", "image-quality"},
    {"Mix Settings", "mix"},
    {"WEB Fading Settings", "web-fade"},
    {"Advanced area selection", "selection"},
    {"Sequence Overview", "overview"},
    {"Image Properties", "properties"},
    {"Fabulor Tip of the Day", "tips"},
    {"Select image file to open", "open"},
    {"Save session", "sessions"},
    {"Save recipe", "sessions"},
    {"Apply recipe", "sessions"},
};

QString SectionOfXform(int index) {
    return "xform-" + QString::fromLatin1(XformName(index)).toLower().replace(' ', '-');
}

QString XformSection(const QString& title) {
    // A settings panel by its own title ("Cloud Formation Settings" does not
    // name Clouds), else a window that names the Xform.
    for (const XformRow& row : XformRows()) {
        if (row.panelTitle != nullptr && title == QLatin1String(row.panelTitle))
            return SectionOfXform(row.index);
    }
    for (const XformRow& row : XformRows()) {
        if (row.Draws() && title.contains(QLatin1String(row.name), Qt::CaseInsensitive))
            return SectionOfXform(row.index);
    }
    return {};
}

class HelpKeyFilter : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !widget) {
            return false;
        }
        QWidget* front = widget->window();
        if (!qobject_cast<QDialog*>(front)) return false;
        ShowHelp(front, HelpSectionFor(front));
        return true;
    }
};

}  // namespace

QString HelpSectionFor(QWidget* front) {
    if (!front) return "contents";
    if (auto* frame = qobject_cast<MainWindow*>(front)) {
        return frame->ActiveDocument() ? "image-window" : "main-window";
    }
    const QString title = front->windowTitle();
    for (const TitleSection& entry : kDialogSections) {
        if (title == QLatin1String(entry.title)) return entry.section;
    }
    // "Idea Gallery: face" names its document, which may look like an Xform's name.
    if (title.startsWith(QLatin1String("Idea Gallery"))) return "gallery";
    const QString xform = XformSection(title);
    return xform.isEmpty() ? QString("contents") : xform;
}

void ShowHelp(QWidget* over, const QString& section) {
    QWidget* owner = over ? over->window() : nullptr;
    if (helpWindow && helpWindow->parentWidget() != owner) delete helpWindow;
    if (!helpWindow) {
        // A window of its own, but owned by the window in front: a modal
        // dialog does not block its own child windows.
        helpWindow = new QTextBrowser(owner);
        helpWindow->setWindowFlag(Qt::Window);
        helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        helpWindow->setWindowTitle("Fabulor Help");
        helpWindow->setOpenExternalLinks(true);
        helpWindow->resize(640, 560);
    }
    lastUrl = QUrl(QString(kGuide) + "#" + section);
    helpWindow->setSource(lastUrl);
    helpWindow->scrollToAnchor(section);
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

QUrl LastHelpUrl() {
    return lastUrl;
}

void InstallHelpKey() {
    static HelpKeyFilter* filter = nullptr;
    if (!filter) {
        filter = new HelpKeyFilter(qApp);
        qApp->installEventFilter(filter);
    }
}
