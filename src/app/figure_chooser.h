// The figure bitmap a settings panel keeps while it is open (Op Art's
// "Source" group): restoring it from the temporary folder, choosing a picture
// for it, writing it back as a new figure file, and its preview.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QFrame>
#include <QImage>
#include <QString>

class CDADC;

class PanelFigure {
  public:
    PanelFigure();
    ~PanelFigure();
    PanelFigure(const PanelFigure&) = delete;
    PanelFigure& operator=(const PanelFigure&) = delete;

    // Loads the figure file name as the panel's bitmap; false after the two
    // messages when it cannot (a name this program never gives included).
    bool Restore(const char* name);
    // The chooser: a picture file stretched over the panel's bitmap (a new
    // black square when it has none; name, when set, is tried first). Cancel
    // or failure keeps the previous state. True when a bitmap is held then.
    bool Choose(const char* name, QWidget* parent);
    // Writes the bitmap under the next free figure name and returns the
    // name; empty after the message when it cannot be written.
    std::string Store();
    void Release();

    const CDADC* Bitmap() const { return bitmap_.get(); }

  private:
    std::unique_ptr<CDADC> bitmap_;
};

// The picture frame beside "Image...": the bitmap stretched to the nearest
// pixel over the frame but its right and bottom two pixels.
class FigurePreview : public QFrame {
    Q_OBJECT

  public:
    explicit FigurePreview(QWidget* parent = nullptr);
    // Shows a copy of the bitmap (null: none).
    void SetBitmap(const CDADC* bitmap);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// Tests answer the chooser's file dialog themselves: given the folder it
// would start in, the chosen path or empty for Cancel. An empty function
// brings the real dialog back. Returns the asker it replaces.
using FigureFileAsker = std::function<QString(const QString& startFolder)>;
FigureFileAsker SetFigureFileAsker(FigureFileAsker asker);
