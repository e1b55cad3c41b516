#pragma once

#include <QString>

namespace tevra {

// The folder the editor works in: it holds Config.cfg, Disclaimer.txt, Library/
// and Help/. An installed program is started from the desktop's menu in the
// home folder or from folders it cannot write, so only a folder that is already
// set up (writable, with a Config.cfg) is used as it is; otherwise the editor
// works in a folder of its own for each user.
class WorkingFolder {
public:
    // explicitFolder (from --workdir) when given; else currentFolder when it can
    // be written and holds Config.cfg; else perUserFolder.
    static QString choose(const QString& explicitFolder, const QString& currentFolder,
                          const QString& perUserFolder);

    // Makes folder ready to work in: creates it with Library/, and copies the help
    // page from dataFolder/help into Help/. A folder without Config.cfg and without
    // a demo.bin also gets a copy of dataFolder/demo and a Config.cfg that opens
    // it. Files the user has are never replaced, except the help page, which
    // follows the installed program. False, with the reason, when the folder
    // cannot be made.
    static bool prepare(const QString& folder, const QString& dataFolder, QString* error);

    // The platform's per-user application-data folder (~/.local/share/Tevra on Linux).
    static QString perUserFolder();
    // Where the help page and the demo calibration were installed, beside the program:
    // BIN/../share/tevra.
    static QString installedDataFolder();
};

} // namespace tevra
