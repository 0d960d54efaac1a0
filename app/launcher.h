#pragma once
// velk started by its own name (the package's menu entry): starts the installation
// velk-setup made, or the one the user picks when there are several.
#include <string>
#include <vector>

namespace velk {

struct InstallationLink {
    std::string name;  // the installation directory's name
    std::string link;  // its program link (velkwp, velkwm or velkwa)
};

// The installations below root: root/NAME/velkw[pma], or root/NAME/app/velkw[pma] as
// mksample lays them out; by name.
std::vector<InstallationLink> FindInstallations(const std::string& root);

// Runs the launcher; returns only when nothing was started (the exit status).
int Launch(int argc, char** argv, bool smoke);

}  // namespace velk
