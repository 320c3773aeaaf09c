// How loading or saving a file ended, with the message for the user when it failed.
#pragma once

#include <string>

struct FileOutcome {
    enum class Icon { None, Warning, Stop };

    bool ok = true;
    std::string message;  // empty when ok
    Icon icon = Icon::None;

    static FileOutcome Success() { return {}; }
    static FileOutcome Failure(std::string text, Icon icon = Icon::Warning) {
        return FileOutcome{false, std::move(text), icon};
    }
};
