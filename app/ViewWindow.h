// A plain main window around the scene view, with the frame rate and the scene statistics on
// its status bar.
#pragma once

#include <QLabel>
#include <QMainWindow>

#include "scene/Scene.h"
#include "ui/Prompts.h"
#include "view/ZemvoraView.h"

class ViewWindow : public QMainWindow {
    Q_OBJECT

public:
    ViewWindow(Scene& scene, Prompts& prompts);

    CZemvoraView& View() { return *m_view; }
    // Loads a file as the program's commands do and shows it; a failure is told to the user.
    void LoadFile(const std::string& path);
    void ShowSceneStatistics();

private:
    Scene& m_scene;
    Prompts& m_prompts;
    CZemvoraView* m_view;
    QLabel* m_frameRate;
    QLabel* m_statistics;
};
