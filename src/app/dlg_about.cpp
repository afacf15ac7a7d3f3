#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/dlg_helpers.h"

void ShowAboutDialog(QWidget* parent) {
    QDialog dlg(parent);
    dlg.setWindowTitle(QStringLiteral("About Fabulor"));
    auto* layout = new QHBoxLayout(&dlg);
    auto* icon = new QLabel(&dlg);
    icon->setPixmap(ProgramIcon(&dlg).pixmap(48, 48));
    layout->addWidget(icon, 0, Qt::AlignTop);

    auto* column = new QVBoxLayout;
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty()) version = QStringLiteral("0.1");
    auto* title = new QLabel(QStringLiteral("<b>Fabulor</b> Version %1").arg(version), &dlg);
    column->addWidget(title);
    auto* about = new QLabel(
        QStringLiteral("An image idea generator: open a picture and let nineteen Xforms\n"
                       "turn it into new pictures, again and again."),
        &dlg);
    column->addWidget(about);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    SetControlId(ok, kIdOk);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    column->addWidget(ok, 0, Qt::AlignRight);
    layout->addLayout(column);
    dlg.exec();
}
