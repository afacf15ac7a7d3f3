// The application: settings, the main and temporary folders, the one
// generation run of the process and its polling, the single-instance hand
// over, and the two commands that make a document: open a picture file and
// paste.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "document/generation_worker.h"
#include "surface/global_memory.h"
#include "util/app_folders.h"

class DocumentWindow;
class MainWindow;
class MessageBoxReporter;
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

    // The generation run.
    bool IsGenerating() const { return worker_.IsGenerating(); }
    void BeginRun(GenerationClient* client, std::unique_ptr<GenerationRun> run,
                  DocumentWindow* window);
    void Stop();
    // The poll of the 250 ms timer: the progress of a run, or its collection.
    void Poll();
    GenerationWorker& Worker() { return worker_; }

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
    // The pictures opened last, the newest first (at most kRecentFiles).
    static constexpr int kRecentFiles = 5;
    QStringList RecentFiles() const { return recentFiles_; }
    void AddRecentFile(const QString& path);
    // The quality (1 to 100) of the JPEG files the user saves.
    int JpegQuality() const { return jpegQuality_; }
    void SetJpegQuality(int quality);

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

  private:
    void LoadSettings();
    void SaveSettings();
    void PrepareFolders();
    void OnActivated(const QStringList& pictures);
    // The new document around a packed DIB (taken over), named as a paste.
    DocumentWindow* OpenPastedDib(HGLOBAL dib);

    AppOptions options_;
    std::unique_ptr<MessageBoxReporter> reporter_;
    std::unique_ptr<SingleInstance> instance_;
    std::unique_ptr<MainWindow> frame_;
    GenerationWorker worker_;
    QPointer<DocumentWindow> runWindow_;
    QTimer pollTimer_;
    bool started_ = false;
    bool finished_ = false;

    QString mainDir_;
    QString tempDir_;
    int lastXform_ = 11;  // Mosaic
    int readExt_ = 2;
    int saveExt_ = 2;
    int pasteCount_ = 1;
    QStringList recentFiles_;
    QStringList waitingPictures_;  // to open once the run in progress ends
    int jpegQuality_ = 90;
    bool cacheEnabled_ = true;
};
