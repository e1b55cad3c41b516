#pragma once

#include <string>

namespace tevra {

// What the flash operation shows while it runs: the Flash Status window in the
// editor, a progress line in the command-line tool. Called from the thread that
// runs the operation; a GUI implementation forwards to its own thread.
class FlashProgress {
public:
    virtual ~FlashProgress() = default;
    virtual void show() {}
    virtual void setRange(int upper) { (void)upper; }
    virtual void setPosition(int position) { (void)position; }
    virtual void setStatusText(const std::string& text) { (void)text; }
    virtual void hide() {}
};

} // namespace tevra
