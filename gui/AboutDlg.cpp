#include "AboutDlg.h"

#include <algorithm>

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "CommandIcons.h"
#include "commands/BuildInfo.h"
#include "panel/PanelLayout.h"

namespace {

// What a title bar takes besides the title: its buttons and margins.
constexpr int kTitleBarButtons = 112;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Zemvora Creator"));
    setModal(true);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* text = new QLabel(
        QStringLiteral("Zemvora Creator Version ") + QString::fromLatin1(buildinfo::kVersion),
        this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // The icon beside the text, OK centred below; the box is as large as its template of
    // 165 x 95 dialog units, and larger when its words need it in the font they are shown in.
    const panel::DialogUnits u{6, 13};
    ok->setMinimumWidth(u.X(50));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(u.X(11), u.Y(10), u.X(6), u.Y(7));
    layout->setHorizontalSpacing(u.X(8) - 4);
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    layout->addWidget(text, 0, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->setRowStretch(1, 1);
    layout->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    // The window manager cuts a title longer than the box: the box leaves its title room, in
    // the bold font title bars use, beside the bar's buttons.
    QFont bold = font();
    bold.setBold(true);
    const int titleRoom = QFontMetrics(bold).horizontalAdvance(windowTitle()) + kTitleBarButtons;
    setFixedSize(layout->sizeHint().expandedTo(QSize(std::max(u.X(165), titleRoom), u.Y(95))));
}
