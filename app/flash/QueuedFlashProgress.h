#pragma once

#include "FlashProgress.h"

#include <atomic>

class QWidget;

namespace tevra {

class FlashStatusWindow;

// Forwards what the flash operation reports from its worker thread to the Flash
// Status window on the GUI thread, without waiting. Position updates (one per
// byte in a differential write) are coalesced: at most one is on its way, and it
// carries the latest position when it arrives.
class QueuedFlashProgress final : public FlashProgress {
public:
    // The window is shown centred over `over`. Both must outlive every update.
    QueuedFlashProgress(FlashStatusWindow& status, QWidget* over);

    void show() override;
    void setRange(int upper) override;
    void setPosition(int position) override;
    void setStatusText(const std::string& text) override;
    void hide() override;

private:
    FlashStatusWindow& status_;
    QWidget* over_;
    std::atomic<int> position_{0};
    std::atomic<bool> positionPending_{false};
};

} // namespace tevra
