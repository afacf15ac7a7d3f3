#include "app/slider_pair.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <QBoxLayout>
#include <QFontMetrics>
#include <QLineEdit>
#include <QSlider>

#include "util/error_box.h"

namespace {

// A real pair's trackbar: 0..10000, one step a ten-thousandth of the range.
constexpr int kRealSteps = 10000;

// '%', then only flags, width and precision, then 'f': one double converted.
bool IsRealFormat(const std::string& format) {
    if (format.size() < 2 || format.front() != '%' || format.back() != 'f') return false;
    for (size_t i = 1; i + 1 < format.size(); ++i) {
        if (std::strchr("-+ #0123456789.", format[i]) == nullptr) return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The whole text as an integer (blanks around it allowed); false when it is
// not one. Values beyond int are held at its ends: they are clamped anyway.
bool ReadInteger(const QString& text, long long* value) {
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    long long v = 0;
    const auto [end, error] = std::from_chars(first, last, v);
    if (end == first || end != last) {
        if (error != std::errc::result_out_of_range) return false;
        // Digits only, but too many for long long.
        v = bytes.startsWith('-') ? -(1LL << 62) : (1LL << 62);
    }
    *value = v;
    return true;
}

}  // namespace

QString FormatReal(const char* format, double v) {
    const std::string f = format != nullptr && IsRealFormat(format) ? format : "%6.2f";
    char text[128];
    std::snprintf(text, sizeof text, f.c_str(), v);
    // printf follows LC_NUMERIC, which the desktop library sets from the
    // user's locale; the edits always show a '.'.
    const char* point = std::localeconv()->decimal_point;
    QString result = QString::fromLatin1(text);
    if (point != nullptr && std::strcmp(point, ".") != 0) {
        result.replace(QString::fromLatin1(point), QStringLiteral("."));
    }
    return result;
}

double ReadReal(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    while (first != last && IsBlank(*first))
        ++first;
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
    // Read as a float, as "%f" does: a typed 2.3 is stored as 2.29999995.
    float v = 0.0f;
    const auto [end, error] = std::from_chars(first, last, v);
    if (end == first) return 0.0;
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a float: its sign and size decide.
        const double d = std::strtod(std::string(first, end).c_str(), nullptr);
        return std::fabs(d) < 1.0 ? 0.0 : d;
    }
    if (std::isnan(v)) return 0.0;
    return static_cast<double>(v);
}

int RealPosition(double v, double low, double high) {
    return static_cast<int>((v - low) * kRealSteps / (high - low));
}

double RealValueAt(int position, double low, double high) {
    return low + (high - low) * position * 0.0001;
}

SliderPair::SliderPair(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), vertical_(orientation == Qt::Vertical) {
    slider_ = new QSlider(orientation, this);
    edit_ = new QLineEdit(this);
    const QFontMetrics metrics(edit_->font());
    edit_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("0000.000")) + 12);
    if (vertical_) {
        // Position 0 at the top, growing downward, and the arrow keys move the
        // thumb the way they point.
        slider_->setInvertedAppearance(true);
        slider_->setInvertedControls(true);
        slider_->setMinimumHeight(100);
    } else {
        slider_->setMinimumWidth(120);
    }
    auto* layout = vertical_ ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                             : static_cast<QBoxLayout*>(new QHBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1, vertical_ ? Qt::AlignHCenter : Qt::Alignment());
    layout->addWidget(edit_, 0, vertical_ ? Qt::AlignHCenter : Qt::Alignment());
    connect(slider_, &QSlider::valueChanged, this, [this] {
        if (settingPosition_) return;
        OnScroll();
        emit Scrolled();
    });
    connect(edit_, &QLineEdit::editingFinished, this, [this] {
        if (committing_) return;
        OnKillFocus();
        emit Edited();
    });
}

void SliderPair::SetupInt(int* value, int iMin, int iMax) {
    real_ = false;
    intValue_ = value;
    realValue_ = nullptr;
    low_ = iMin;
    high_ = iMax;
}

void SliderPair::SetupReal(double* value, double low, double high, const char* format) {
    real_ = true;
    realValue_ = value;
    intValue_ = nullptr;
    low_ = low;
    high_ = high;
    format_ = format != nullptr ? format : "";
}

void SliderPair::SetMaxTextLength(int length) {
    edit_->setMaxLength(length);
}

bool SliderPair::IsOk() const {
    if (!real_) {
        if (intValue_ == nullptr) {
            ErrorBox("ImOk1 : pVal==NULL");
            return false;
        }
        return true;
    }
    if (realValue_ == nullptr) {
        ErrorBox("ImOk1 : pVal==NULL");
        return false;
    }
    if (low_ >= high_) {
        ErrorBox("ImOk5 : %6.3f <= %6.3f ", high_, low_);
        return false;
    }
    if (format_.empty() || format_.front() != '%') {
        ErrorBox("ImOk6 : Format=<%s>", format_.c_str());
        return false;
    }
    if (!IsRealFormat(format_)) {
        ErrorBox("ImOk:Format=<%s>", format_.c_str());
        return false;
    }
    return true;
}

double SliderPair::ClampValue(double v) const {
    if (v < low_) return low_;
    return v > high_ ? high_ : v;
}

bool SliderPair::PositionOf(double v, const char* failure, int* position) const {
    if (real_) {
        const int p = RealPosition(v, low_, high_);
        if (!vertical_) {
            *position = p;
            return true;
        }
        if (low_ != 0.0 && failure != nullptr) {
            ErrorBox("%s", failure);
            return false;
        }
        *position = kRealSteps - p;
        return true;
    }
    const int iMin = static_cast<int>(low_);
    const int iMax = static_cast<int>(high_);
    const int iv = static_cast<int>(v);
    if (!vertical_) {
        *position = iv;
        return true;
    }
    if (iMin != 0 && failure != nullptr) {
        ErrorBox("OKFSIB(iMin=%d,iMax=%d,bVertical=%d)", iMin, iMax, 1);
        return false;
    }
    *position = iMax - iv;
    return true;
}

void SliderPair::SetPosition(int position) {
    settingPosition_ = true;
    slider_->setValue(position);
    settingPosition_ = false;
}

void SliderPair::ShowText(const QString& text) {
    shown_ = text;
    edit_->setText(text);
}

void SliderPair::Init() {
    if (!IsOk()) return;
    settingPosition_ = true;
    if (real_) {
        slider_->setRange(0, kRealSteps);
        slider_->setPageStep(kRealSteps / 5);
    } else {
        slider_->setRange(static_cast<int>(low_), static_cast<int>(high_));
        slider_->setPageStep(std::max(1, static_cast<int>(high_ - low_) / 5));
    }
    settingPosition_ = false;
    const double stored = real_ ? *realValue_ : *intValue_;
    int position = 0;
    if (real_) {
        const double v = ClampValue(stored);
        if (PositionOf(v, nullptr, &position)) SetPosition(position);
        ShowText(FormatReal(format_.c_str(), v));
    } else {
        // The trackbar holds the value to its range by itself; the edit shows
        // the member as it is.
        if (PositionOf(ClampValue(stored), nullptr, &position)) SetPosition(position);
        ShowText(QString::number(*intValue_));
    }
}

void SliderPair::OnKillFocus() {
    if (committing_ || !IsOk()) return;
    committing_ = true;
    double v = 0.0;
    if (real_) {
        v = ClampValue(ReadReal(edit_->text()));
    } else {
        long long typed = 0;
        if (ReadInteger(edit_->text(), &typed)) {
            v = ClampValue(static_cast<double>(typed));
        } else {
            ErrorBox("Please enter an integer.");
            v = ClampValue(*intValue_);
        }
    }
    int position = 0;
    if (PositionOf(v, real_ ? "OKFDSB" : "", &position)) SetPosition(position);
    if (real_) {
        *realValue_ = v;
        ShowText(FormatReal(format_.c_str(), v));
    } else {
        *intValue_ = static_cast<int>(v);
        ShowText(QString::number(*intValue_));
    }
    committing_ = false;
}

void SliderPair::OnScroll() {
    if (!IsOk()) return;
    const int p = slider_->value();
    if (real_) {
        const double v = RealValueAt(vertical_ ? kRealSteps - p : p, low_, high_);
        *realValue_ = v;
        ShowText(FormatReal(format_.c_str(), v));
    } else {
        *intValue_ = vertical_ ? static_cast<int>(high_) - p : p;
        ShowText(QString::number(*intValue_));
    }
}

void SliderPair::SetFromValue() {
    if (!IsOk()) return;
    const double v = ClampValue(real_ ? *realValue_ : *intValue_);
    int position = 0;
    if (PositionOf(v, real_ ? "UDSP" : "", &position)) SetPosition(position);
    if (real_) {
        *realValue_ = v;
        ShowText(FormatReal(format_.c_str(), v));
    } else {
        *intValue_ = static_cast<int>(v);
        ShowText(QString::number(*intValue_));
    }
}

void SliderPair::CommitPendingEdit() {
    if (edit_->text() != shown_) OnKillFocus();
}

bool SliderPair::CheckIntegerRange(int lo, int hi, int* value) {
    long long typed = 0;
    if (!ReadInteger(edit_->text(), &typed)) {
        ErrorBox("Please enter an integer.");
        edit_->setFocus();
        edit_->selectAll();
        return false;
    }
    if (typed < lo || typed > hi) {
        ErrorBox("Please enter an integer between %d and %d.", lo, hi);
        edit_->setFocus();
        edit_->selectAll();
        return false;
    }
    *value = static_cast<int>(typed);
    return true;
}
