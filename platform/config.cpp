#include "platform/config.h"

namespace velk {

std::string Config::appFile(const std::string& backslashName) const {
    std::string name = backslashName;
    for (char& c : name)
        if (c == '\\') c = '/';
    if (!name.empty() && name.front() != '/') name.insert(name.begin(), '/');
    return AppDir + name;
}

std::string Config::configReadName() const { return isTrademarks() ? "\\VelkWm.INI" : "\\VelkWp.INI"; }
std::string Config::configWriteName() const { return isTrademarks() ? "\\velkwm.ini" : "\\velkwp.ini"; }
std::string Config::listDatabaseName() const { return isTrademarks() ? "\\VELKWm.mdb" : "\\VELKWp.mdb"; }

}  // namespace velk
