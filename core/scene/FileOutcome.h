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

    static FileOutcome Success() { return {}; }
    static FileOutcome Failure(std::string text, NoticeIcon icon = NoticeIcon::Warning) {
        return FileOutcome{false, std::move(text), icon, std::string()};
    }
    FileOutcome& Because(std::string why) {
        reason = std::move(why);
        return *this;
    }
};
