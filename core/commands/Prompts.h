// Every question, notice and file, colour or font choice the program puts to the user goes
// through this interface: the window shows real dialogs, tests answer from a script and check
// the exact texts. Message boxes are captioned with the application title "Zemvora".
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scene/FileOutcome.h"
#include "scene/SceneRecords.h"

struct FileDialogOptions {
    // Filter entries: the name shown ("Zemvora Files (*.zmv)") and its pattern ("*.zmv").
    std::vector<std::pair<std::string, std::string>> filters;
    std::string defaultExtension;   // appended when the user types a name without one
    bool confirmOverwrite = false;  // Save As asks before replacing a file
    bool showReadOnly = false;      // the read-only check box (which has no effect)
    std::string initialPath;        // the folder and name the dialog starts with, or none
};

// A picture's size in pixels.
constexpr int kLargestPictureSide = 16384;
struct PictureSize {
    int width = 0;
    int height = 0;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A Yes/No question without icon; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;
    // An OK box.
    virtual void Notice(const std::string& text, NoticeIcon icon) = 0;
    // An OK box with the system's reason for a failure beneath the text (the informative text of
    // a message box); an empty reason makes it a plain Notice.
    virtual void NoticeWithReason(const std::string& text, const std::string& reason,
                                  NoticeIcon icon) {
        Notice(reason.empty() ? text : text + "\n\n" + reason, icon);
    }
    // The full path of the chosen file, or nothing when cancelled.
    virtual std::optional<std::string> OpenFileName(const FileDialogOptions& dialog) = 0;
    virtual std::optional<std::string> SaveFileName(const FileDialogOptions& dialog) = 0;
    // The colour dialog, starting at black.
    virtual std::optional<RGB8> ChooseColor() = 0;
    // The font dialog with screen fonts and effects; the chosen font's fields replace those of
    // current that a font dialog decides.
    virtual std::optional<LogFont> ChooseFont(const LogFont& current) = 0;
    // The size of a picture to save, starting at shown (the view's); each side 1 to
    // kLargestPictureSide. Nothing when cancelled.
    virtual std::optional<PictureSize> AskPictureSize(const PictureSize& shown) = 0;
};
