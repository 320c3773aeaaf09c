// A main window stand-in that records which of its operations the commands call, in order.
#pragma once

#include <string>
#include <vector>

#include "commands/FrameOperations.h"

class RecordingFrame final : public FrameOperations {
public:
    std::vector<std::string> calls;
    std::string title = "Untitled - Zemvora";
    int defaultView = 1;

    void StopPlay() override { calls.push_back("StopPlay"); }
    void ResetViewState() override {
        calls.push_back("ResetViewState");
        defaultView = 1;
    }
    void RefreshTrees() override { calls.push_back("RefreshTrees"); }
    void UpdateSliders() override { calls.push_back("UpdateSliders"); }
    void ClearPanel() override { calls.push_back("ClearPanel"); }
    void ShowSceneStatistics() override { calls.push_back("ShowSceneStatistics"); }
    void RedrawView() override { calls.push_back("RedrawView"); }
    void ShowOpenedScene() override { calls.push_back("ShowOpenedScene"); }
    void SetWindowTitle(const std::string& t) override {
        calls.push_back("SetWindowTitle");
        title = t;
    }
    void ApplyTextFont() override { calls.push_back("ApplyTextFont"); }
    void SetDefaultView(int32_t on) override {
        calls.push_back("SetDefaultView");
        defaultView = on;
    }
};
