#include "QtPrompts.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>

#include "LabelPainting.h"

namespace {

const QString kTitle = QStringLiteral("Zemvora");

QString Filter(const FileDialogOptions& wanted) {
    QStringList entries;
    for (const auto& [name, pattern] : wanted.filters) {
        // Qt reads the patterns from the parentheses; keep the shown name as it is.
        QString entry = QString::fromStdString(name);
        if (!entry.contains(QString::fromStdString(pattern)))
            entry += " (" + QString::fromStdString(pattern) + ")";
        entries << entry;
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

void ShowBusyUntilIdle() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, [] { QGuiApplication::restoreOverrideCursor(); });
}

bool QtPrompts::AskYesNo(const std::string& question) {
    QMessageBox box(QMessageBox::NoIcon, kTitle, QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::Notice(const std::string& text, NoticeIcon icon) {
    NoticeWithReason(text, std::string(), icon);
}

void QtPrompts::NoticeWithReason(const std::string& text, const std::string& reason,
                                 NoticeIcon icon) {
    const QMessageBox::Icon shown = icon == NoticeIcon::Stop      ? QMessageBox::Critical
                                    : icon == NoticeIcon::Warning ? QMessageBox::Warning
                                                                  : QMessageBox::NoIcon;
    QMessageBox box(shown, kTitle, QString::fromStdString(text), QMessageBox::Ok, m_parent);
    if (!reason.empty()) box.setInformativeText(QString::fromStdString(reason));
    box.exec();
}

std::optional<std::string> QtPrompts::OpenFileName(const FileDialogOptions& wanted) {
    QFileDialog::Options options;
    if (!wanted.showReadOnly) options |= QFileDialog::ReadOnly;
    const QString path = QFileDialog::getOpenFileName(m_parent, QString(), QString(),
                                                      Filter(wanted), nullptr, options);
    // The chosen file is read at once, before the window takes events again: a busy cursor until
    // it does (a model in another format can take seconds).
    if (!path.isEmpty()) ShowBusyUntilIdle();
    return Chosen(path);
}

std::optional<std::string> QtPrompts::SaveFileName(const FileDialogOptions& wanted) {
    QFileDialog dialog(m_parent, QString(), QString::fromStdString(wanted.initialPath),
                       Filter(wanted));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(wanted.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !wanted.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // The file is written at once, an export by a child that can take seconds: a busy cursor
    // until the window takes events again.
    ShowBusyUntilIdle();
    return Chosen(dialog.selectedFiles().first());
}

std::optional<RGB8> QtPrompts::ChooseColor() {
    const QColor color = QColorDialog::getColor(Qt::black, m_parent);
    if (!color.isValid()) return std::nullopt;
    return RGB8{static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                static_cast<uint8_t>(color.blue())};
}

std::optional<LogFont> QtPrompts::ChooseFont(const LogFont& current) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, QFont(), m_parent);
    if (!ok) return std::nullopt;
    return LogFontFromFont(font, current);
}

std::optional<PictureSize> QtPrompts::AskPictureSize(const PictureSize& shown) {
    QDialog dialog(m_parent);
    dialog.setWindowTitle(QStringLiteral("Picture size"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* sides[2] = {new QSpinBox(&dialog), new QSpinBox(&dialog)};
    const int values[2] = {shown.width, shown.height};
    for (int i = 0; i < 2; ++i) {
        sides[i]->setRange(1, kLargestPictureSide);
        sides[i]->setValue(values[i]);
        sides[i]->setSuffix(QStringLiteral(" px"));
        sides[i]->setObjectName(i == 0 ? QStringLiteral("picture-width")
                                       : QStringLiteral("picture-height"));
    }
    form->addRow(QStringLiteral("&Width:"), sides[0]);
    form->addRow(QStringLiteral("&Height:"), sides[1]);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ShowBusyUntilIdle();  // a large picture takes a moment to draw
    return PictureSize{sides[0]->value(), sides[1]->value()};
}
