#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "app/dlg_helpers.h"

namespace {

constexpr int kIdXformName = 1106;
constexpr int kIdPixels = 1107;
constexpr int kIdBytes = 1108;
constexpr int kIdOriginal = 1109;
constexpr int kIdSavedAs = 1110;
constexpr int kIdSequence = 1112;

QLabel* Value(QWidget* dlg, int id, const QString& text) {
    auto* label = new QLabel(text, dlg);
    SetControlId(label, id);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

void ShowImagePropertiesDialog(QWidget* parent, const ImageProperties& p) {
    QDialog dlg(parent);
    dlg.setWindowTitle(QStringLiteral("Image Properties"));
    auto* layout = new QVBoxLayout(&dlg);

    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(&dlg);
    icon->setPixmap(ProgramIcon(&dlg).pixmap(32, 32));
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(QStringLiteral("Object Xform"), &dlg), 0, 0);
    names->addWidget(Value(&dlg, kIdXformName, QString::fromStdString(p.xformName)), 0, 1);
    names->addWidget(new QLabel(QStringLiteral("Original"), &dlg), 1, 0);
    names->addWidget(Value(&dlg, kIdOriginal, QString::fromStdString(p.originalName)), 1, 1);
    names->addWidget(new QLabel(QStringLiteral("Saved as"), &dlg), 2, 0);
    const QString saved =
        p.savedAs.empty() ? QStringLiteral("(unsaved)") : QString::fromStdString(p.savedAs);
    names->addWidget(Value(&dlg, kIdSavedAs, saved), 2, 1);
    names->setColumnStretch(1, 1);
    head->addLayout(names, 1);
    layout->addLayout(head);

    auto* size = new QGroupBox(QStringLiteral("Size"), &dlg);
    auto* sizeGrid = new QGridLayout(size);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Pixels"), size), 0, 0);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Bytes"), size), 0, 1);
    sizeGrid->addWidget(
        Value(&dlg, kIdPixels, QStringLiteral("%1 by %2").arg(p.width).arg(p.height)), 1, 0);
    // Kilobytes of a 24-bit picture, truncated.
    const long long kbytes = static_cast<long long>(p.width) * p.height * 3 / 1024;
    sizeGrid->addWidget(Value(&dlg, kIdBytes, QStringLiteral("%1Kbytes").arg(kbytes)), 1, 1);
    layout->addWidget(size);

    const QString sequence = p.index > 0 ? QStringLiteral("Image #%1 in the sequence").arg(p.index)
                                         : QStringLiteral("This is the original image");
    layout->addWidget(Value(&dlg, kIdSequence, sequence));

    auto* bottom = new QHBoxLayout;
    AddHelpLine(bottom, QStringLiteral("F1 for help on this dialog"));
    bottom->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), &dlg);
    SetControlId(ok, kIdOk);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dlg, &QDialog::accept);
    bottom->addWidget(ok);
    layout->addLayout(bottom);
    dlg.exec();
}
