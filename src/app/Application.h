#pragma once
// Start-up and shutdown of the kbconf application: the platform, the virtual
// keyboard, the folders, the UI layer, the settings and data files, one
// instance per user, the main window and its message loop.
#include <QString>
#include <string>
#include <vector>

namespace app {

// Where things are for an executable in exeDir.
struct Folders {
    QString appDir;                  // the data files; the current directory while running
    QString uiresDir;                // the "uires" resources
    QString configPath;              // config.xml: beside the data files, else the shipped one
    bool movedToUserConfig = false;  // installed, or the executable's folder was not writable
};

// $KBCONF_HOME overrides the data folder. A copy with "uires" beside it keeps
// its data there too (a build or a portable folder) when it may write there;
// an installed copy (resources in ../share/kbconf) or an unwritable folder
// keeps it in $XDG_CONFIG_HOME/kbconf (created).
Folders ResolveFolders(const QString& exeDir);

// The whole command line (without the program) equals "-hid": nothing else on
// it, same case, no blanks.
bool IsHiddenStart(const std::vector<std::string>& args);

// The program; returns its exit code.
int Run(int argc, char** argv);

}  // namespace app
