// The application: settings, the main and temporary folders, the one
// generation run of the process and its polling, the single-instance hand
// over, and the two commands that make a document: open a picture file and
// paste.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "document/generation_worker.h"
#include "document/picture_load.h"
#include "surface/global_memory.h"
#include "util/app_folders.h"

class DocumentWindow;
class MainWindow;
class MessageBoxReporter;
class QEventLoop;
class SingleInstance;
struct CFilSpec;

struct AppOptions {
    bool showTipAtStart = true;
    bool messageBoxes = true;    // else messages go to the reporter already installed
    bool singleInstance = true;  // else no hand over and no listening
    // Stand-ins for the file dialogs: the chosen path (empty: cancelled),
    // with the chosen type's index in *type (0 BMP, 1 TGA, 2 JPG, 3 PCX, 4 PNG).
    std::function<QString(int* type)> askOpenFile;
    std::function<QString(const QString& suggested, int* type)> askSaveFile;
    // Stand-in for the session and recipe file dialogs: the chosen path
    // (empty: cancelled).
    std::function<QString(const QString& title, const QString& suggested, bool save)> askFileName;
    // Stand-in for the JPEG quality question: the quality, or 0 for Cancel.
    std::function<int(int suggested)> askJpegQuality;
};

class FabulorApp : public QObject {
    Q_OBJECT
  public:
    // The picture types of the file dialogs, in the order of the type index.
    static constexpr int kTypeCount = 5;
    static constexpr int kJpegType = 2;
    static constexpr int kPngType = 4;
    // One filter per type, in the order of the type index.
    static QStringList FileFilters();
    // The open dialog's: "All pictures", the types, "All files".
    static QStringList OpenFilters();
    // The type index of a file name's extension; -1 for none of them.
    static int TypeOfName(const QString& path);
    // The free space below which the cache is turned off.
    static constexpr std::uint64_t kMinCacheBytes = 52428800;

    explicit FabulorApp(AppOptions options = {});
    ~FabulorApp() override;

    // Start-up. False when another instance took over (this one should end).
    bool Start(const QStringList& pictures);
    // The end: the last instance writes the settings and empties the cache.
    void Finish();

    MainWindow* Frame() const { return frame_.get(); }
    const AppOptions& Options() const { return options_; }

    // The generation run, or a picture file being read: either keeps the
    // commands that could touch a document away until it is over.
    bool IsGenerating() const { return worker_.IsGenerating() || load_ != nullptr; }
    bool IsLoading() const { return load_ != nullptr; }
    void BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run,
                  DocumentWindow* window);
    void Stop();
    // The poll of the 250 ms timer: the progress of a run, or its collection.
    void Poll();
    GenerationWorker& Worker() { return worker_; }
    // Pictures handed over by a later start and not yet opened.
    QStringList PendingPictures() const { return pendingPictures_; }

    // Settings.
    int LastXform() const { return lastXform_; }
    void SetLastXform(int index) { lastXform_ = index; }
    int ReadExt() const { return readExt_; }
    int SaveExt() const { return saveExt_; }
    void SetReadExt(int type);
    void SetSaveExt(int type);
    QString InitialPictureDir() const { return QString::fromStdString(PictureFolder()); }
    QString MainDir() const { return mainDir_; }
    QString TempDir() const { return tempDir_; }
    int PasteCount() const { return pasteCount_; }
    // The idea gallery: ideas on a page, and the longer side of a thumbnail in pixels.
    int GalleryCount() const { return galleryCount_; }
    int GallerySide() const { return gallerySide_; }
    void SetGalleryCount(int count);
    void SetGallerySide(int side);

    // The pictures opened last, the newest first (at most kRecentFiles).
    static constexpr int kRecentFiles = 5;
    QStringList RecentFiles() const { return recentFiles_; }
    void AddRecentFile(const QString& path);
    // The quality (1 to 100) of the JPEG files the user saves.
    int JpegQuality() const { return jpegQuality_; }
    void SetJpegQuality(int quality);

    // How many open documents carry exactly this name: the number a new one
    // of that name takes, moved on when that numbered name is taken too.
    int CountDocumentsNamed(const std::string& name) const;
    // Whether the cache may write: turned off for good when its disk has
    // less than 50 Mbytes free.
    bool CacheEnabled();

    // The commands.
    void OnOpenImageFile();
    // Opens the picture file as a new document; null when it fails.
    DocumentWindow* OpenPicture(const QString& path);
    // Opens the files one after the other: each new document draws its
    // first idea before the next file opens.
    void OpenPictures(const QStringList& paths);
    DocumentWindow* OnEditPaste();
    // A picture that came as pixels (dropped from a web page) as a new
    // document named as a pasted one; null when it is no picture.
    DocumentWindow* OpenImage(const QImage& image);
    // The save dialog; the chosen path (with its type's extension) or empty.
    QString AskSaveFileName(QWidget* parent, const QString& suggested);
    // A later start asked to come to the front and open these pictures.
    void OnActivated(const QStringList& pictures);

  private:
    void LoadSettings();
    void SaveSettings();
    void PrepareFolders();
    // Opens the next picture handed over by a later start, once the program
    // is free: no run going and no dialog open.
    void OpenPendingPictures();
    // Reads the picture file on a thread of its own while the window stays
    // live, with the progress bar and STOP. Null when it was stopped, or
    // could not be read (said in one message).
    DocPictures LoadPicture(const QString& path);
    void LoadFinished();
    // The new document around a packed DIB (taken over), named as a paste.
    DocumentWindow* OpenPastedDib(HGLOBAL dib);

    AppOptions options_;
    std::unique_ptr<MessageBoxReporter> reporter_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<MainWindow> frame_;
    GenerationWorker worker_;
    QPointer<DocumentWindow> runWindow_;
    QTimer pollTimer_;
    QStringList pendingPictures_;        // handed over, waiting to be opened
    std::unique_ptr<PictureLoad> load_;  // the picture file being read
    QEventLoop* loadLoop_ = nullptr;     // runs while it is read
    bool loadStopped_ = false;
    // Reads that STOP left behind: they finish on their own and go.
    std::vector<std::unique_ptr<PictureLoad>> stoppedLoads_;
    bool started_ = false;
    bool finished_ = false;

    QString mainDir_;
    QString tempDir_;
    int lastXform_ = 11;  // Mosaic
    int readExt_ = 2;
    int saveExt_ = 2;
    int pasteCount_ = 1;
    QStringList recentFiles_;
    int jpegQuality_ = 90;
    bool cacheEnabled_ = true;
    int galleryCount_ = 12;
    int gallerySide_ = 160;
};
