// The toolkit that a picture drawn from the command line needs for its label font, started
// without any display and without the toolkit's harmless complaints on standard error.
#pragma once

#include <QGuiApplication>
#include <memory>

class HeadlessToolkit {
public:
    HeadlessToolkit();
    ~HeadlessToolkit();
    HeadlessToolkit(const HeadlessToolkit&) = delete;
    HeadlessToolkit& operator=(const HeadlessToolkit&) = delete;

private:
    int m_argc = 1;
    char m_name[8] = "zemvora";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};
