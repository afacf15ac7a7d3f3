// A trackbar and its edit box kept in step, for an integer or a real
// parameter, laid out horizontally (edit to the right) or vertically (edit
// below). The value lives in the dialog's copy of its record; the pair reads
// and writes it through the pointer it is given.
//
// Positions follow the classic trackbar: a vertical trackbar's position 0 is
// at its top, so a vertical pair shows its high end at the top by setting
// the position max - value. A real pair's trackbar always runs 0..10000.
#pragma once

#include <string>

#include <QWidget>

class QLineEdit;
class QSlider;

class SliderPair : public QWidget {
    Q_OBJECT

  public:
    explicit SliderPair(Qt::Orientation orientation, QWidget* parent = nullptr);

    // An integer pair over *value with the trackbar range iMin..iMax.
    void SetupInt(int* value, int iMin, int iMax);
    // A real pair over *value in low..high; format: printf format of the
    // edit text, one %f conversion.
    void SetupReal(double* value, double low, double high, const char* format = "%6.2f");
    // The edit takes at most this many characters.
    void SetMaxTextLength(int length);

    // Shows the value: trackbar range and position, edit text. A value
    // outside the range is shown at the nearest end but stays stored until
    // the user changes it.
    void Init();
    // The edit was left: its text, clamped into the range, becomes the value.
    void OnKillFocus();
    // The trackbar moved: its position becomes the value.
    void OnScroll();
    // The program changed the value itself: clamp it and show it.
    void SetFromValue();
    // Commits the edit when its text differs from what the pair last showed
    // (an OK pressed while the edit still has the focus).
    void CommitPendingEdit();
    // The edit's text as an integer checked against lo..hi, as a dialog does
    // when it closes: true with *value set, or false after the message (the
    // edit then has the focus).
    bool CheckIntegerRange(int lo, int hi, int* value);
    // A real pair's consistency check; false after its message.
    bool IsOk() const;

    QSlider* Slider() const { return slider_; }
    QLineEdit* Edit() const { return edit_; }
    bool IsVertical() const { return vertical_; }

  signals:
    // The user moved the trackbar (after OnScroll) or left the edit (after
    // OnKillFocus).
    void Scrolled();
    void Edited();

  private:
    void SetPosition(int position);
    // The trackbar position of a (clamped) value; false with msg shown when a
    // vertical pair cannot place it.
    bool PositionOf(double v, const char* failure, int* position) const;
    double ClampValue(double v) const;
    void ShowText(const QString& text);

    QSlider* slider_ = nullptr;
    QLineEdit* edit_ = nullptr;
    bool vertical_ = false;
    bool real_ = false;
    int* intValue_ = nullptr;
    double* realValue_ = nullptr;
    double low_ = 0.0;
    double high_ = 1.0;
    std::string format_ = "%6.2f";
    QString shown_;  // the edit text the pair last wrote
    bool settingPosition_ = false;
    bool committing_ = false;  // a message box during a commit must not commit again
};

// The real value formatted with a printf %f format, always with a '.'
// whatever the locale.
QString FormatReal(const char* format, double v);
// Reads the leading number of text as the C library's "%f" would (leading
// blanks and a sign accepted, trailing text ignored); 0 for text that does
// not start with a number, and for "nan".
double ReadReal(const QString& text);
// The real trackbar positions of a value in low..high (0..10000), and back.
int RealPosition(double v, double low, double high);
double RealValueAt(int position, double low, double high);
