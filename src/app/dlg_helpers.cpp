#include "app/dlg_helpers.h"

#include <cstdarg>
#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "util/error_box.h"

void SetControlId(QWidget* control, int id) {
    control->setObjectName(QString::number(id));
}

QWidget* DlgItem(const QWidget* dlg, int id) {
    if (dlg == nullptr) return nullptr;
    return dlg->findChild<QWidget*>(QString::number(id));
}

void EnableDlgItemInput(QWidget* dlg, int id, bool enable) {
    QWidget* control = DlgItem(dlg, id);
    if (control == nullptr) {
        ErrorBox("EnableDlgItemInput(%d,%d) failed", id, enable ? 1 : 0);
        return;
    }
    control->setEnabled(enable);
}

void SetControlTxt(QWidget* dlg, int id, const char* format, ...) {
    if (dlg == nullptr) {
        ErrorBox("Bad Dlg pointer in \nSetControlTxt(%d)", id);
        return;
    }
    QWidget* control = DlgItem(dlg, id);
    if (control == nullptr) {
        ErrorBox("Bad Ctl pointer in\nSetControlTxt(%d)", id);
        return;
    }
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const QString qtext = QString::fromUtf8(text);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(qtext);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(qtext);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(qtext);
    } else {
        control->setWindowTitle(qtext);
    }
}

OkCancel AddOkCancel(QDialog* dlg, QBoxLayout* layout, const QString& cancelLabel) {
    OkCancel row;
    row.ok = new QPushButton(QStringLiteral("OK"), dlg);
    row.cancel = new QPushButton(cancelLabel, dlg);
    SetControlId(row.ok, kIdOk);
    SetControlId(row.cancel, kIdCancel);
    row.ok->setDefault(true);
    row.cancel->setAutoDefault(false);
    // accept and reject are virtual: a dialog's own versions run.
    QObject::connect(row.ok, &QPushButton::clicked, dlg, &QDialog::accept);
    QObject::connect(row.cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    layout->addWidget(row.ok);
    layout->addWidget(row.cancel);
    return row;
}

SetApplyCancel AddSetApplyCancel(QDialog* dlg, QBoxLayout* layout, const QString& setLabel,
                                 const QString& applyLabel, int* applyNow,
                                 std::function<bool()> beforeAccept) {
    SetApplyCancel row;
    row.set = new QPushButton(setLabel, dlg);
    row.applyNow = new QPushButton(applyLabel, dlg);
    row.cancel = new QPushButton(QStringLiteral("Cancel"), dlg);
    SetControlId(row.set, kIdOk);
    SetControlId(row.applyNow, kIdApplyNow);
    SetControlId(row.cancel, kIdCancel);
    row.set->setDefault(true);
    row.applyNow->setAutoDefault(false);
    row.cancel->setAutoDefault(false);
    auto close = [dlg, applyNow, beforeAccept](int flag) {
        if (beforeAccept && !beforeAccept()) return;
        *applyNow = flag;
        dlg->accept();
    };
    QObject::connect(row.set, &QPushButton::clicked, dlg, [close] { close(0); });
    QObject::connect(row.applyNow, &QPushButton::clicked, dlg, [close] { close(1); });
    QObject::connect(row.cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    layout->addWidget(row.set);
    layout->addWidget(row.applyNow);
    layout->addWidget(row.cancel);
    return row;
}

void AddHelpLine(QBoxLayout* layout, const QString& text) {
    auto* line = new QLabel(text);
    line->setEnabled(false);
    layout->addWidget(line);
}

QSize DialogUnits(const QWidget* w, int dx, int dy) {
    const QFontMetrics metrics(w->font());
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = (alphabet / 26 + 1) / 2;
    const int baseY = metrics.height();
    return QSize(dx * baseX / 4, dy * baseY / 8);
}

QIcon ProgramIcon(const QWidget* w) {
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? w->style()->standardIcon(QStyle::SP_MessageBoxInformation) : icon;
}
