// The tip of the day: one line of "data.tps" in the main folder at a time,
// going on next run where this one stopped.
#pragma once

#include <cstdio>
#include <string>

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class TipOfDayDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TipOfDayDlg(QWidget* parent);
    // Remembers where the next run starts reading.
    ~TipOfDayDlg() override;

    QString TipText() const { return tip_; }
    QCheckBox* StartupBox() const { return startupBox_; }
    QPushButton* NextButton() const { return next_; }
    // "&Next Tip".
    void OnNextTip();

    // The tips file: the main folder's "data.tps".
    static std::string TipsPath();

    // "&Close": stores the start-up choice.
    void accept() override;

  private:
    void ReadNextTip();
    void LoadControls();

    int startup_ = 1;
    QString tip_;
    std::FILE* file_ = nullptr;
    QLabel* text_ = nullptr;
    QCheckBox* startupBox_ = nullptr;
    QPushButton* next_ = nullptr;
};
