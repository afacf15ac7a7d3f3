#include "app/fabulor_app.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>

#include "app/dialogs.h"
#include "app/document_window.h"
#include "app/help_window.h"
#include "app/idea_gallery_window.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/picture_image.h"
#include "app/session_commands.h"
#include "app/single_instance.h"
#include "document/disk_cache.h"
#include "engine/crt_random.h"
#include "engine/progress.h"
#include "surface/image_files.h"
#include "util/app_folders.h"
#include "util/error_box.h"
#include "util/files.h"

namespace {

constexpr int kPollMs = 250;
constexpr const char* kTypeNames[FabulorApp::kTypeCount] = {"Bitmap", "Targa", "Jpeg", "Pcx",
                                                            "Png"};
static_assert(std::size(kImageFilePatterns) == FabulorApp::kTypeCount);

// The type index of a filter chosen in a file dialog; -1 for none of the types.
int TypeOfFilter(const QString& filter) {
    return static_cast<int>(FabulorApp::FileFilters().indexOf(filter));
}

// Section and keys of the settings beyond the classic ones.
constexpr char kRecentKey[] = "Recent File List/File%1";
constexpr char kGeometryKey[] = "WINDOW/GEOMETRY";
constexpr char kStateKey[] = "WINDOW/STATE";
constexpr char kJpegQualityKey[] = "GENERAL/JPEG_QUALITY";

// The tips file comes with the program; each user's main folder gets a copy.
void ProvideTipsFile(const QString& mainDir) {
    const QString target = mainDir + "/data.tps";
    if (QFileInfo::exists(target)) return;
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList sources = {appDir + "/../share/fabulor/data.tps"};
#ifdef FABULOR_DATA_DIR
    sources.append(QString(FABULOR_DATA_DIR) + "/data.tps");
#endif
    for (const QString& source : sources) {
        if (QFileInfo::exists(source) && QFile::copy(source, target)) return;
    }
}

}  // namespace

QStringList FabulorApp::FileFilters() {
    QStringList filters;
    for (int i = 0; i < kTypeCount; ++i) {
        QString patterns = QString(kImageFilePatterns[i]).toLower();
        if (i == kJpegType) patterns += " *.jpeg *.jpe";
        filters.append(QString("%1 (%2)").arg(kTypeNames[i], patterns));
    }
    return filters;
}

QStringList FabulorApp::OpenFilters() {
    QStringList all;
    for (const QString& filter : FileFilters())
        all.append(filter.section('(', 1).chopped(1));
    return QStringList{QString("All pictures (%1)").arg(all.join(' '))} + FileFilters() +
           QStringList{kSessionFilter, "All files (*)"};
}

int FabulorApp::TypeOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (int i = 0; i < kTypeCount; ++i) {
        const QStringList patterns = FileFilters()[i].section('(', 1).chopped(1).split(' ');
        if (patterns.contains("*." + suffix)) return i;
    }
    return -1;
}

// The guide is compiled into the program's library, whose resources are
// registered by hand.
static void InitResources() {
    Q_INIT_RESOURCE(guide);
}

FabulorApp::FabulorApp(AppOptions options)
    : options_(std::move(options)), worker_(&ApplicationProgress()) {
    InitResources();
    if (QCoreApplication::organizationName().isEmpty()) {
        QCoreApplication::setOrganizationName("Fabulor");
    }
    if (QCoreApplication::applicationName().isEmpty() ||
        QCoreApplication::applicationName() != "Fabulor") {
        QCoreApplication::setApplicationName("Fabulor");
    }
    // Every QSettings of the program (the tips dialog's too) is this INI file.
    QSettings::setDefaultFormat(QSettings::IniFormat);
    pollTimer_.setInterval(kPollMs);
    connect(&pollTimer_, &QTimer::timeout, this, &FabulorApp::Poll);
    // The end of a run is collected at once; the timer is for the progress.
    worker_.SetFinishedCallback(
        [this] { QMetaObject::invokeMethod(this, &FabulorApp::Poll, Qt::QueuedConnection); });
}

FabulorApp::~FabulorApp() {
    if (started_ && !finished_) Finish();
    pollTimer_.stop();
    // A run still going (only when the program is torn down without closing
    // its window) is stopped before its documents go. A message it is
    // showing can no longer wait for this thread.
    if (worker_.IsGenerating()) {
        StopShowingMessagesFromOtherThreads();
        StopRequested = 1;
        worker_.WaitForThread();
        worker_.Poll(nullptr);
    }
    frame_.reset();
    // Galleries whose windows went while they drew: a message one of them
    // is showing can no longer wait for this thread either.
    if (GalleriesStillDrawing() && reporter_) StopShowingMessagesFromOtherThreads();
    FinishGalleries();
}

bool FabulorApp::Start(const QStringList& pictures) {
    StopRequested = 0;
    if (options_.singleInstance) {
        instance_ = std::make_unique<SingleInstance>(QSettings().fileName());
        QStringList absolute;
        for (const QString& picture : pictures)
            absolute.append(QFileInfo(picture).absoluteFilePath());
        if (instance_->HandOver(absolute)) return false;
        instance_->Listen();
        connect(instance_.get(), &SingleInstance::activated, this, &FabulorApp::OnActivated);
    }
    if (options_.messageBoxes) reporter_ = std::make_unique<MessageBoxReporter>();
    started_ = true;
    LoadSettings();
    InstallDialogHooks();
    InstallHelpKey();

    frame_ = std::make_unique<MainWindow>(this);
    {
        QSettings settings;
        frame_->restoreGeometry(settings.value(kGeometryKey).toByteArray());
        frame_->restoreState(settings.value(kStateKey).toByteArray());
    }
    frame_->show();

    PrepareFolders();
    CrtSrand(static_cast<unsigned>(std::time(nullptr) + std::clock()));
    RemoveFiles(tempDir_.toUtf8().constData(), "*.BMP");
    CacheEnabled();
    pollTimer_.start();

    if (options_.showTipAtStart) ShowTipOfTheDay(frame_.get(), true);
    OpenPictures(pictures);
    return true;
}

void FabulorApp::Finish() {
    if (finished_) return;
    finished_ = true;
    // Documents take their own cache files with them: they go first.
    if (frame_ && !IsGenerating()) {
        for (DocumentWindow* window : frame_->Documents())
            delete window;
    }
    const bool last = !instance_ || !instance_->OtherInstanceRunning();
    if (last) {
        SaveSettings();
        RemoveFiles(tempDir_.toUtf8().constData(), "*.BMP");
    }
}

void FabulorApp::LoadSettings() {
    QSettings settings;
    const QString defaultMain = QString::fromStdString(DefaultMainFolder());
    mainDir_ = settings.value("DIRECTORIES/MAIN", defaultMain).toString();
    // A bare drive or a stray value cannot be the program's folder.
    if (mainDir_.size() < 4) mainDir_ = defaultMain;
    SetPictureFolder(
        settings.value("DIRECTORIES/INITIAL_BMP_DIR", QDir::homePath()).toString().toStdString());
    SetReadExt(settings.value("GENERAL/READEXT", 2).toInt());
    // A first save offers PNG: lossless, and read everywhere.
    SetSaveExt(settings.value("GENERAL/SAVEEXT", kPngType).toInt());
    lastXform_ = settings.value("GENERAL/PREFD_FILTR", 11).toInt();
    SetGalleryCount(settings.value("GALLERY/COUNT", 12).toInt());
    SetGallerySide(settings.value("GALLERY/SIZE", 160).toInt());
    SetJpegQuality(settings.value(kJpegQualityKey, jpegQuality_).toInt());
    recentFiles_.clear();
    for (int i = 1; i <= kRecentFiles; ++i) {
        const QString path = settings.value(QString(kRecentKey).arg(i)).toString();
        if (!path.isEmpty() && !recentFiles_.contains(path)) recentFiles_.append(path);
    }
}

void FabulorApp::SaveSettings() {
    QSettings settings;
    settings.setValue("DIRECTORIES/MAIN", mainDir_);
    settings.setValue("DIRECTORIES/INITIAL_BMP_DIR", InitialPictureDir());
    settings.setValue("GENERAL/PREFD_FILTR", lastXform_);
    settings.setValue("GENERAL/SAVEEXT", saveExt_);
    settings.setValue("GENERAL/READEXT", readExt_);
    settings.setValue("GALLERY/COUNT", galleryCount_);
    settings.setValue("GALLERY/SIZE", gallerySide_);
    settings.setValue(kJpegQualityKey, jpegQuality_);
    for (int i = 1; i <= kRecentFiles; ++i) {
        settings.setValue(QString(kRecentKey).arg(i), recentFiles_.value(i - 1));
    }
    if (frame_) {
        settings.setValue(kGeometryKey, frame_->saveGeometry());
        settings.setValue(kStateKey, frame_->saveState());
    }
    settings.sync();
}

void FabulorApp::PrepareFolders() {
    const QByteArray main = mainDir_.toUtf8();
    if (!QFileInfo(mainDir_).isDir()) {
        ErrorBox("Currently I (arrogantly)\nassume Fabulor dir is <%s>\n", main.constData());
        if (!QDir().mkpath(mainDir_)) {
            ErrorBox("Could not create main\ndirectory <%s>.", main.constData());
            return;
        }
    }
    SetMainFolder(main.toStdString());
    // The image cache is the kind of file $XDG_CACHE_HOME is for: it may go
    // at any time and is never backed up.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty()) {
        SetTempFolder((cache + "/Fabulor/" + kTempSubfolder).toStdString());
    }
    tempDir_ = QString::fromStdString(TempFolder());
    if (!QFileInfo(tempDir_).isDir() && !QDir().mkpath(tempDir_)) {
        ErrorBox("Could not create temporary\ndirectory <%s>.", tempDir_.toUtf8().constData());
    }
    ProvideTipsFile(mainDir_);
}

void FabulorApp::SetReadExt(int type) {
    readExt_ = (type >= 0 && type < kTypeCount) ? type : 0;
}

void FabulorApp::SetSaveExt(int type) {
    saveExt_ = (type >= 0 && type < kTypeCount) ? type : 0;
}

void FabulorApp::SetGalleryCount(int count) {
    // A page is meant to be seen at a glance.
    galleryCount_ = std::clamp(count, 1, 100);
}

void FabulorApp::SetGallerySide(int side) {
    // Pixels: below 32 an idea cannot be told; above 512 a page is no longer cheap.
    gallerySide_ = std::clamp(side, 32, 512);
}

void FabulorApp::SetJpegQuality(int quality) {
    jpegQuality_ = std::clamp(quality, 1, 100);
}

void FabulorApp::AddRecentFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > kRecentFiles)
        recentFiles_.removeLast();
}

int FabulorApp::CountDocumentsNamed(const std::string& name) const {
    if (!frame_) return 0;
    auto named = [this](const std::string& wanted) {
        int count = 0;
        for (DocumentWindow* window : frame_->Documents()) {
            if (window->Document().m_szName == wanted) ++count;
        }
        return count;
    };
    int count = named(name);
    // A third window of face.bmp would be face-1 again, beside the second,
    // and the two would read each other's images from the cache: the number
    // moves on to a name no window has.
    while (count > 0 && named(name + "-" + std::to_string(count)) > 0)
        ++count;
    return count;
}

bool FabulorApp::CacheEnabled() {
    if (cacheEnabled_) {
        std::uint64_t freeBytes = 0;
        if (GetDiskBytes(tempDir_.toUtf8().constData(), &freeBytes, nullptr, nullptr) &&
            freeBytes < kMinCacheBytes) {
            ErrorBox(
                "There is very little disk space for the\nimage cache (less than %d "
                "Mbytes),\nThe "
                "image cache will be disabled",
                50);
            cacheEnabled_ = false;
        }
    }
    DiskCache::SetEnabled(cacheEnabled_);
    return cacheEnabled_;
}

void FabulorApp::BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run,
                          DocumentWindow* window) {
    // The run's end writes its picture to the cache: the disk is checked first.
    CacheEnabled();
    runWindow_ = window;
    worker_.BeginFilterThread(client, std::move(run));
    if (frame_) frame_->UpdateCommands();
}

void FabulorApp::Stop() {
    if (load_) {
        loadStopped_ = true;
        if (loadLoop_) loadLoop_->quit();
        return;
    }
    worker_.Stop();
}

void FabulorApp::Poll() {
    if (worker_.IsGenerating()) {
        worker_.Poll([this](int percent) {
            if (frame_) frame_->ShowProgress(percent);
        });
        if (!worker_.IsGenerating()) {
            if (runWindow_) runWindow_->Invalidate(true);
            runWindow_ = nullptr;
        }
    }
    if (frame_) frame_->UpdateCommands();
    OpenPendingPictures();
}

void FabulorApp::OpenPendingPictures() {
    if (pendingPictures_.isEmpty() || !frame_ || IsGenerating() ||
        QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return;
    }
    // Taken off the list first: opening shows dialogs, and their event loops
    // poll again.
    const QString picture = pendingPictures_.takeFirst();
    OpenPicture(picture);
}

void FabulorApp::OpenPictures(const QStringList& paths) {
    // One after the other: each starts its first idea, and the next opens
    // when that run is over.
    pendingPictures_.append(paths);
    OpenPendingPictures();
}

void FabulorApp::OnOpenImageFile() {
    if (IsGenerating()) return;
    int type = readExt_;
    QString path;
    if (options_.askOpenFile) {
        path = options_.askOpenFile(&type);
    } else {
        QFileDialog dialog(frame_.get(), "Select image file to open", InitialPictureDir());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(OpenFilters());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
        path = dialog.selectedFiles().constFirst();
        type = TypeOfFilter(dialog.selectedNameFilter());
        // "All pictures" and "All files": the type is the file's own.
        if (type < 0) type = TypeOfName(path);
    }
    if (path.isEmpty()) return;
    if (OpenPicture(path)) {
        SetPictureFolder(QFileInfo(path).absolutePath().toStdString());
        if (type >= 0) SetReadExt(type);  // a session is no picture type
    }
}

DocPictures FabulorApp::LoadPicture(const QString& path) {
    // Reads that STOP left behind and that have ended now go.
    std::erase_if(stoppedLoads_, [](const auto& load) { return load->Finished(); });
    loadStopped_ = false;
    load_ = std::make_unique<PictureLoad>(path.toStdString(), [this] {
        QMetaObject::invokeMethod(this, &FabulorApp::LoadFinished, Qt::QueuedConnection);
    });
    if (!load_->Finished()) {
        const std::string status = GetStatusText();
        QEventLoop loop;
        loadLoop_ = &loop;
        SetStatusText("Reading the picture...");
        if (frame_) {
            frame_->ShowProgress(0);
            // Reading tells no percent: the bar only shows that it goes on.
            if (frame_->ProgressBar()) frame_->ProgressBar()->setRange(0, 0);
            frame_->UpdateCommands();
        }
        loop.exec();
        loadLoop_ = nullptr;
        SetStatusText(status.c_str());
        if (frame_) frame_->ShowProgress(101);
    }
    std::unique_ptr<PictureLoad> load = std::move(load_);
    if (frame_) frame_->UpdateCommands();
    if (loadStopped_) {
        stoppedLoads_.push_back(std::move(load));
        return {};
    }
    DocPictures pictures = load->TakePictures();
    const std::vector<Message> messages = load->TakeMessages();
    if (!pictures) {
        ErrorBox("%s", OneLoadFailureText(messages, path.toStdString()).c_str());
        return {};
    }
    // What a picture that did load has to say (cut short, say) is told now.
    for (const Message& m : messages) {
        if (m.kind == MessageKind::Notice) {
            NoticeBox("%s", m.text.c_str());
        } else {
            ErrorBox("%s", m.text.c_str());
        }
    }
    return pictures;
}

void FabulorApp::LoadFinished() {
    if (loadLoop_ && load_ && load_->Finished()) loadLoop_->quit();
}

DocumentWindow* FabulorApp::OpenPicture(const QString& path) {
    if (IsSessionFile(path)) return OpenSessionFile(*this, path);
    if (IsGenerating()) {
        ErrorBoxFromString(61220);
        return nullptr;
    }
    DocPictures pictures = LoadPicture(path);
    auto* window = pictures ? new DocumentWindow(this) : nullptr;
    if (window) frame_->AddDocument(window);
    if (!window || !window->Document().OpenPictures(std::move(pictures), path.toStdString())) {
        delete window;
        // A recent file that has gone leaves the list.
        if (!QFileInfo::exists(path)) recentFiles_.removeAll(QFileInfo(path).absoluteFilePath());
        return nullptr;
    }
    frame_->ShowDocument(window);
    AddRecentFile(path);
    return window;
}

DocumentWindow* FabulorApp::OnEditPaste() {
    if (IsGenerating()) return nullptr;
    HGLOBAL dib = ClipboardPictureDib();
    if (!dib) return nullptr;
    return OpenPastedDib(dib);
}

DocumentWindow* FabulorApp::OpenImage(const QImage& image) {
    if (IsGenerating()) {
        ErrorBoxFromString(61220);
        return nullptr;
    }
    HGLOBAL dib = image.isNull() ? nullptr : ImageToPackedDib(image);
    if (!dib) {
        ErrorBox("What was dropped is not a picture");
        return nullptr;
    }
    return OpenPastedDib(dib);
}

DocumentWindow* FabulorApp::OpenPastedDib(HGLOBAL dib) {
    auto* window = new DocumentWindow(this);
    frame_->AddDocument(window);
    const std::string name = "Image" + std::to_string(pasteCount_);
    if (!window->Document().SetDocBitmap(dib, name)) {
        ErrorBox("Oculant:Could not SetDocBitmap from clipboard");
        GlobalFree(dib);
    }
    frame_->ShowDocument(window);
    ++pasteCount_;
    return window;
}

QString FabulorApp::AskSaveFileName(QWidget* parent, const QString& suggested) {
    int type = saveExt_;
    QString path;
    if (options_.askSaveFile) {
        path = options_.askSaveFile(suggested, &type);
    } else {
        QFileDialog dialog(parent, "Save image as", InitialPictureDir());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(FileFilters());
        dialog.selectNameFilter(FileFilters().value(saveExt_));
        dialog.selectFile(suggested);
        // The dialog adds the extension of the type shown when none is typed.
        const QString suffix = QString(kImageFilePatterns[saveExt_]).mid(2).toLower();
        dialog.setDefaultSuffix(suffix);
        connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
            const int chosen = std::max(0, TypeOfFilter(filter));
            dialog.setDefaultSuffix(QString(kImageFilePatterns[chosen]).mid(2).toLower());
        });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        path = dialog.selectedFiles().constFirst();
        type = TypeOfFilter(dialog.selectedNameFilter());
    }
    if (path.isEmpty()) return {};
    if (type < 0 || type >= kTypeCount) type = saveExt_;
    // A name without a picture extension gets the chosen type's.
    if (TypeOfName(path) < 0) path += "." + QString(kImageFilePatterns[type]).mid(2).toLower();
    if (TypeOfName(path) == kJpegType) {
        // JPEG trades detail for size: the user says how much.
        int quality = 0;
        if (options_.askJpegQuality) {
            quality = options_.askJpegQuality(jpegQuality_);
        } else {
            bool ok = false;
            quality = QInputDialog::getInt(
                parent, "JPEG quality",
                "Quality of the JPEG file (1 smallest, 100 best):", jpegQuality_, 1, 100, 1, &ok);
            if (!ok) quality = 0;
        }
        if (quality <= 0) return {};
        SetJpegQuality(quality);
    }
    SetSaveExt(type);
    return path;
}

void FabulorApp::OnActivated(const QStringList& pictures) {
    if (!frame_) return;
    if (frame_->isMinimized()) frame_->showNormal();
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
    // While a dialog is open or a run goes on they wait; the poll opens them
    // when the program is free.
    OpenPictures(pictures);
}
