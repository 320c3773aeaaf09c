#include "AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "CommandIcons.h"
#include "commands/BuildInfo.h"
#include "panel/PanelLayout.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Zemvora Creator"));
    setModal(true);
    // Placed as in its template of 165 x 95 dialog units.
    const panel::DialogUnits u{6, 13};
    setFixedSize(u.X(165), u.Y(95));
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setGeometry(u.X(11), u.Y(17), 32, 32);
    auto* text = new QLabel(
        QStringLiteral("Zemvora Creator Version ") + QString::fromLatin1(buildinfo::kVersion),
        this);
    text->setGeometry(u.X(40), u.Y(10), u.X(119), u.Y(8) + 4);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(u.X(57), u.Y(74), u.X(50), u.Y(14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
