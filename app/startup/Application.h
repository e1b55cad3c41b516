#pragma once

#include <QString>

#include <functional>

namespace tevra {

// The start-up sequence: the disclaimer at the first start in a folder (its
// marker file Disclaimer.txt records the agreement), then the main window until
// it closes.
class Application {
public:
    // The folder is the start-up folder; empty means the working directory.
    explicit Application(QString startupFolder = {});

    // Replaces the disclaimer dialog; the hook returns true for "I Agree".
    void setDisclaimerQuestion(std::function<bool()> ask) { askDisclaimer_ = std::move(ask); }

    // Shows the disclaimer unless agreed before and records the agreement. False
    // when the program must end: not agreed, or the marker could not be written.
    bool passDisclaimer();
    // The whole sequence; the result is the process's exit code.
    int run();

    QString markerPath() const;

private:
    QString startupFolder_;
    std::function<bool()> askDisclaimer_;
};

} // namespace tevra
