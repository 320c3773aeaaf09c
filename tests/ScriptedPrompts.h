// Prompts answered from a script: every text shown is recorded, and each kind of question takes
// its answers in turn (Yes, the first file, no colour, ...). An unscripted question fails the test.
#pragma once

#include <gtest/gtest.h>

#include <deque>

#include "commands/Prompts.h"

class ScriptedPrompts final : public Prompts {
public:
    std::deque<bool> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::optional<RGB8>> colors;
    std::deque<std::optional<LogFont>> fonts;
    std::deque<std::optional<PictureSize>> sizes;

    std::vector<std::string> questions;
    std::vector<std::pair<std::string, NoticeIcon>> notices;
    std::vector<std::string> reasons;  // beneath each notice, empty when there was none
    std::vector<FileDialogOptions> fileDialogs;
    int colorDialogs = 0;
    int fontDialogs = 0;
    std::vector<PictureSize> sizeDialogs;  // the size each started at

    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        return Take(answers, "question");
    }
    void Notice(const std::string& text, NoticeIcon icon) override {
        notices.emplace_back(text, icon);
        reasons.emplace_back();
    }
    void NoticeWithReason(const std::string& text, const std::string& reason,
                          NoticeIcon icon) override {
        notices.emplace_back(text, icon);
        reasons.push_back(reason);
    }
    std::optional<std::string> OpenFileName(const FileDialogOptions& dialog) override {
        fileDialogs.push_back(dialog);
        return Take(files, "open dialog");
    }
    std::optional<std::string> SaveFileName(const FileDialogOptions& dialog) override {
        fileDialogs.push_back(dialog);
        return Take(files, "save dialog");
    }
    std::optional<RGB8> ChooseColor() override {
        ++colorDialogs;
        return Take(colors, "colour dialog");
    }
    std::optional<LogFont> ChooseFont(const LogFont&) override {
        ++fontDialogs;
        return Take(fonts, "font dialog");
    }

    std::optional<PictureSize> AskPictureSize(const PictureSize& shown) override {
        sizeDialogs.push_back(shown);
        return Take(sizes, "size dialog");
    }

private:
    template <class T>
    static T Take(std::deque<T>& queue, const char* what) {
        if (queue.empty()) {
            ADD_FAILURE() << "unscripted " << what;
            return T{};
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
