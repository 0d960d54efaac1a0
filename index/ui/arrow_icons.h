#pragma once
// The arrow pictures of the list windows: icon files in AppDir & "\icons" & the
// collection letter ("e_left.ico", "d_u100.ico", ...). A missing or unreadable
// file gives a drawn arrow of the same look instead, never an error.
#include <QIcon>
#include <map>
#include <string>

namespace velk {

struct App;

// The picture of fileName ("e_right.ico"); "e_" is the enabled look, "d_" the disabled one.
QIcon ArrowIcon(const App& app, const std::string& fileName);
// The drawn stand-in for fileName.
QIcon BuiltInArrow(const std::string& fileName);

// Loads each picture once for a form.
class ArrowIcons {
public:
    explicit ArrowIcons(const App& app) : app_(app) {}
    const QIcon& operator()(const std::string& fileName);

private:
    const App& app_;
    std::map<std::string, QIcon> loaded_;
};

}  // namespace velk
