// The prompts as real dialogs: message boxes captioned "Zemvora", file, colour and font dialogs.
#pragma once

#include "commands/Prompts.h"

class QWidget;

// A busy cursor from now until the window takes events again: for a file that is read at once.
void ShowBusyUntilIdle();

class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    bool AskYesNo(const std::string& question) override;
    void Notice(const std::string& text, NoticeIcon icon) override;
    void NoticeWithReason(const std::string& text, const std::string& reason,
                          NoticeIcon icon) override;
    std::optional<std::string> OpenFileName(const FileDialogOptions& dialog) override;
    std::optional<std::string> SaveFileName(const FileDialogOptions& dialog) override;
    std::optional<RGB8> ChooseColor() override;
    std::optional<LogFont> ChooseFont(const LogFont& current) override;
    std::optional<PictureSize> AskPictureSize(const PictureSize& shown) override;

private:
    QWidget* m_parent;
};
