// How loading or saving a file ended, with the message for the user when it failed.
#pragma once

#include <string>

// The icon of a message box: a notice, a warning or a stop.
enum class NoticeIcon { None, Warning, Stop };

struct FileOutcome {
    bool ok = true;
    std::string message;  // empty when ok
    NoticeIcon icon = NoticeIcon::None;
    // What the system gave as the cause ("No space left on device"), shown beneath the message;
    // empty when the message says it all.
    std::string reason;
    // A file that was read whole may still have lost a part (a scene file's damaged extension
    // block): this says what, to be shown once the scene is. Empty when nothing was lost.
    std::string warning;
    // A failure that left the scene as it was (an import's child process that crashed, ran out
    // of time or memory, or answered garbage) rather than the empty scene a failed read leaves.
    bool sceneKept = false;
    // The user stopped the read: the scene is as it was, and nothing is reported.
    bool cancelled = false;

    static FileOutcome Success() { return {}; }
    static FileOutcome Failure(std::string text, NoticeIcon icon = NoticeIcon::Warning) {
        FileOutcome outcome;
        outcome.ok = false;
        outcome.message = std::move(text);
        outcome.icon = icon;
        return outcome;
    }
    static FileOutcome SuccessWithWarning(std::string text) {
        FileOutcome outcome;
        outcome.warning = std::move(text);
        return outcome;
    }
    FileOutcome& Because(std::string why) {
        reason = std::move(why);
        return *this;
    }
};
