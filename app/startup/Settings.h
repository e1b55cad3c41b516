#pragma once

#include "PortMap.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tevra {

// The user's settings as kept in Config.cfg in the start-up folder: the last
// calibration's path on line 1, then "reload_last y|n", "hide_mouse y|n" and
// "flash_speed N". Lines from the fifth on map the four serial ports
// ("port1 /dev/ttyUSB0"), keep the main window's size ("window_size 780 545",
// "window_maximized y|n") and say whether the values view is shown ("values_view
// y", written only while it is); any other extra line is kept as it was so a
// rewrite never loses what a newer or hand-edited file holds.
struct Settings {
    std::string lastPath;
    bool reloadLast = true;
    bool hideMouse = false;
    int flashSpeed = 100; // 0 (slow) .. 100 (fast)
    bool valuesView = false;
    // The devices behind "COM 1".."COM 4".
    PortMap ports;
    // The main window's size at the last exit (its normal size when it was
    // maximised); 0 when the file holds none, and the window opens at its classic size.
    int windowWidth = 0;
    int windowHeight = 0;
    bool windowMaximized = false;
    std::vector<std::string> extraLines;

    // Reads the text of a settings file. Lines may end in LF, CR LF or CR; a key
    // line that does not match keeps its default.
    static Settings parse(std::string_view text);
    // The file's text, LF line ends.
    std::string format() const;

    // Nothing when the file can't be read (the caller keeps the defaults).
    // problem, when given, receives what to tell the user about a file that is
    // there but is no regular file or too large to be one (empty otherwise).
    static std::optional<Settings> load(const std::string& path, std::string* problem = nullptr);
    // Replaces the file in one step; false when it could not be written.
    [[nodiscard]] bool save(const std::string& path) const;

    bool operator==(const Settings&) const = default;
};

} // namespace tevra
