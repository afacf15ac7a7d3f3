// Drives a modal dialog from inside its own event loop: the action runs on
// the dialog as soon as exec() shows it.
#pragma once

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "app/dlg_helpers.h"

inline void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog != nullptr) action(dialog);
    });
}

// Clicks the button with that identifier in the dialog.
inline void ClickId(QWidget* dialog, int id) {
    if (auto* button = qobject_cast<QAbstractButton*>(DlgItem(dialog, id))) button->click();
}
