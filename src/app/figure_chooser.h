// The figure bitmap a settings panel keeps while it is open (Op Art's
// "Source" group): restoring it from the temporary folder, choosing a picture
// for it, writing it back as a new figure file, its preview, and the panel's
// widget for a figure field.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QFrame>
#include <QImage>
#include <QString>

class CDADC;
struct FieldSetup;
class FieldWidget;

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

// A figure field's controls: the two sources (plain shapes or the bitmap,
// labelled by the field's choices), "Image..." and the preview. The field
// reads 1 to the enable rules while its source is the bitmap; OK with the
// bitmap writes it as a new figure file and names that in the recipe.
std::unique_ptr<FieldWidget> MakeFigureWidget(const FieldSetup& setup);
