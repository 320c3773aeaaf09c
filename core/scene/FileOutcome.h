// How loading or saving a file ended, with the message for the user when it failed.
#pragma once

#include <string>

// The icon of a message box: a notice, a warning or a stop.
enum class NoticeIcon { None, Warning, Stop };

struct FileOutcome {
    bool ok = true;
    std::string message;  // empty when ok
    NoticeIcon icon = NoticeIcon::None;

    static FileOutcome Success() { return {}; }
    static FileOutcome Failure(std::string text, NoticeIcon icon = NoticeIcon::Warning) {
        return FileOutcome{false, std::move(text), icon};
    }
};
