// Small helpers every dialog shares: controls found by their identifier,
// enabling and texts by identifier, and the "Set" / "Apply Now" / "Cancel" row.
#pragma once

#include <functional>

#include <QIcon>
#include <QSize>
#include <QString>

class QBoxLayout;
class QDialog;
class QPushButton;
class QWidget;

// The dialog identifiers of the buttons every dialog has.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdApplyNow = 12321;

// Gives a control its identifier (its object name is the number).
void SetControlId(QWidget* control, int id);
// The control of dlg with that identifier; null when there is none.
QWidget* DlgItem(const QWidget* dlg, int id);

// Enables or disables control id; a missing control is reported.
void EnableDlgItemInput(QWidget* dlg, int id, bool enable);
// printf-style text (at most 255 characters) into a label, edit or button.
void SetControlTxt(QWidget* dlg, int id, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The closing row of the mix, selection and quality dialogs: setLabel is the
// default button and ends the dialog as OK with *applyNow 0, "Apply Now" ends
// it as OK with *applyNow 1, "Cancel" rejects. beforeAccept runs first and
// may refuse (the dialog then stays open).
struct SetApplyCancel {
    QPushButton* set = nullptr;
    QPushButton* applyNow = nullptr;
    QPushButton* cancel = nullptr;
};
SetApplyCancel AddSetApplyCancel(QDialog* dlg, QBoxLayout* layout, const QString& setLabel,
                                 const QString& applyLabel, int* applyNow,
                                 std::function<bool()> beforeAccept);

// The closing pair of most dialogs at the end of layout: "OK", the default
// button, accepts; the second ("Cancel" unless named otherwise) rejects.
struct OkCancel {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
OkCancel AddOkCancel(QDialog* dlg, QBoxLayout* layout,
                     const QString& cancelLabel = QStringLiteral("Cancel"));

// The program's icon (the application's window icon) for w's dialogs.
QIcon ProgramIcon(const QWidget* w);

// A grey hint line such as "F1 for help on mixing".
void AddHelpLine(QBoxLayout* layout, const QString& text);

// Dialog units (a quarter of the average character width, an eighth of the
// character height) in pixels for w's font: dialogs keep their controls'
// classic proportions this way.
QSize DialogUnits(const QWidget* w, int dx, int dy);
