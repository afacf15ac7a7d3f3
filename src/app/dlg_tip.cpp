#include "app/dlg_tip.h"

#include <sys/stat.h>

#include <cstring>
#include <ctime>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/dlg_helpers.h"
#include "util/app_folders.h"
#include "util/error_box.h"

namespace {

constexpr int kIdStartup = 1001;
constexpr int kIdNextTip = 1002;
constexpr int kIdTipText = 1004;
constexpr int kIdIcon = 1000;

constexpr int kLineBuffer = 1000;  // a tip longer than this is cut

const char* const kTroubleReading = "Trouble reading the tips file";

// Blank lines and comments (";") are not tips. '\r' too: a blank line of a
// file written with CR LF line ends.
bool IsTipLine(const char* line) {
    return line[0] != '\0' && std::strchr(" \t\n\r;", line[0]) == nullptr;
}

void SkipRestOfLine(std::FILE* file) {
    int c = 0;
    while ((c = std::fgetc(file)) != EOF && c != '\n') {
    }
}

// The file's status change time as ctime text without its trailing blanks.
std::string TimeStamp(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {};
    const char* text = std::ctime(&status.st_ctime);
    std::string stamp = text != nullptr ? text : "";
    while (!stamp.empty() && std::strchr(" \t\r\n", stamp.back()) != nullptr)
        stamp.pop_back();
    return stamp;
}

}  // namespace

std::string TipOfDayDlg::TipsPath() {
    return MainFolder() + "/data.tps";
}

TipOfDayDlg::TipOfDayDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fabulor Tip of the Day"));
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tip"));
    // The profile keeps "tips off"; the check box shows "tips on".
    startup_ = settings.value(QStringLiteral("StartUp"), 0).toInt() == 0 ? 1 : 0;
    long position = settings.value(QStringLiteral("FilePos"), 0).toLongLong();

    const std::string path = TipsPath();
    file_ = std::fopen(path.c_str(), "r");
    if (file_ == nullptr) {
        tip_ = QStringLiteral("Tips file %1 not found.").arg(QString::fromStdString(path));
    } else {
        // A new tips file starts at its beginning.
        const QString stamp = QString::fromStdString(TimeStamp(path));
        if (stamp != settings.value(QStringLiteral("TimeStamp")).toString()) {
            position = 0;
            settings.setValue(QStringLiteral("TimeStamp"), stamp);
        }
        if (position < 0 || std::fseek(file_, position > 0 ? position - 1 : 0, SEEK_SET) != 0) {
            ErrorBox("%s", kTroubleReading);
        } else {
            // A file edited within the same second keeps its stamp: a position
            // inside a line goes on at the next line, never at half a tip.
            if (position > 0 && std::fgetc(file_) != '\n') SkipRestOfLine(file_);
            ReadNextTip();
        }
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    SetControlId(icon, kIdIcon);
    icon->setPixmap(ProgramIcon(this).pixmap(32, 32));
    top->addWidget(icon, 0, Qt::AlignTop);
    text_ = new QLabel(this);
    SetControlId(text_, kIdTipText);
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMargin(10);
    text_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text_->setMinimumSize(DialogUnits(this, 200, 100));
    QPalette white = text_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    text_->setPalette(white);
    text_->setAutoFillBackground(true);
    top->addWidget(text_, 1);
    layout->addLayout(top);

    auto* bottom = new QHBoxLayout;
    startupBox_ = new QCheckBox(QStringLiteral("&Show Tips on StartUp"), this);
    SetControlId(startupBox_, kIdStartup);
    next_ = new QPushButton(QStringLiteral("&Next Tip"), this);
    SetControlId(next_, kIdNextTip);
    next_->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    SetControlId(close, kIdOk);
    close->setDefault(true);
    bottom->addWidget(startupBox_);
    bottom->addStretch();
    bottom->addWidget(next_);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(next_, &QPushButton::clicked, this, &TipOfDayDlg::OnNextTip);
    connect(close, &QPushButton::clicked, this, &TipOfDayDlg::accept);
    next_->setEnabled(file_ != nullptr);
    LoadControls();
}

TipOfDayDlg::~TipOfDayDlg() {
    if (file_ == nullptr) return;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tip"));
    settings.setValue(QStringLiteral("FilePos"), static_cast<qlonglong>(std::ftell(file_)));
    std::fclose(file_);
}

void TipOfDayDlg::ReadNextTip() {
    char line[kLineBuffer];
    // At most two passes: once from here to the end, once from the start.
    for (int wraps = 0; wraps < 2;) {
        if (std::fgets(line, sizeof line, file_) == nullptr) {
            if (std::fseek(file_, 0, SEEK_SET) != 0) {
                ErrorBox("%s", kTroubleReading);
                return;
            }
            ++wraps;
            continue;
        }
        const size_t length = std::strlen(line);
        const bool whole = length > 0 && line[length - 1] == '\n';
        if (!whole && !std::feof(file_)) {
            // A line longer than the buffer: the rest of it is no tip of its own.
            SkipRestOfLine(file_);
        }
        if (IsTipLine(line)) {
            tip_ = QString::fromUtf8(line);
            return;
        }
    }
    // Round the whole file without a single tip.
    tip_ = QStringLiteral("Tips file %1 holds no tips.").arg(QString::fromStdString(TipsPath()));
}

void TipOfDayDlg::LoadControls() {
    text_->setText(tip_.trimmed());
    startupBox_->setChecked(startup_ != 0);
}

void TipOfDayDlg::OnNextTip() {
    if (file_ == nullptr) return;
    ReadNextTip();
    LoadControls();
}

void TipOfDayDlg::accept() {
    startup_ = startupBox_->isChecked() ? 1 : 0;
    QSettings settings;
    settings.beginGroup(QStringLiteral("Tip"));
    settings.setValue(QStringLiteral("StartUp"), startup_ != 0 ? 0 : 1);
    QDialog::accept();
}

void ShowTipOfTheDay(QWidget* parent, bool atStartup) {
    if (atStartup) {
        QSettings settings;
        if (settings.value(QStringLiteral("Tip/StartUp"), 0).toInt() != 0) return;
    }
    TipOfDayDlg dlg(parent);
    dlg.exec();
}
