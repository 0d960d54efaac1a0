#include "app/launcher.h"

#include <unistd.h>

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace velk {

namespace fs = std::filesystem;

#ifndef VELK_INSTALLATIONS
#define VELK_INSTALLATIONS "/var/lib/velk"
#endif

std::vector<InstallationLink> FindInstallations(const std::string& root) {
    std::vector<InstallationLink> out;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec)) continue;
        for (const fs::path& dir : {it->path(), it->path() / "app"})
            for (const char* name : {"velkwp", "velkwm", "velkwa"}) {
                const fs::path link = dir / name;
                if (::access(link.c_str(), X_OK) == 0 && fs::is_regular_file(link, ec))
                    out.push_back({it->path().filename().string(), link.string()});
            }
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.link < b.link; });
    return out;
}

int Launch(int argc, char** argv, bool smoke) {
    const char* env = std::getenv("VELK_INSTALLATIONS");
    const std::string root = env && *env ? env : VELK_INSTALLATIONS;
    const std::vector<InstallationLink> found = FindInstallations(root);
    std::string chosen;
    if (found.size() == 1) {
        chosen = found.front().link;
    } else {
        QApplication qapp(argc, argv);
        if (found.empty()) {
            const std::string text = "No installation of Velk is set up on this computer (there is none in " +
                                     root + "). An administrator makes one with velk-setup.";
            std::fprintf(stderr, "velk: %s\n", text.c_str());
            if (!smoke) QMessageBox::information(nullptr, "Velk", QString::fromStdString(text));
            return 1;
        }
        QStringList items;
        for (const InstallationLink& i : found)
            items << QString::fromStdString(i.name + "  (" + fs::path(i.link).filename().string() + ")");
        bool ok = smoke;
        const QString item =
            smoke ? items.front()
                  : QInputDialog::getItem(nullptr, "Velk", "Installation to start:", items, 0, false, &ok);
        if (!ok) return 0;
        chosen = found[static_cast<std::size_t>(items.indexOf(item))].link;
    }
    // The link's own path as argv[0]: its directory is the installation.
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    args[0] = chosen.data();
    ::execv(chosen.c_str(), args.data());
    std::fprintf(stderr, "velk: cannot start %s: %s\n", chosen.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace velk
