#include "platform/app.h"

namespace velk {

Answer App::msg(const std::string& text, Buttons buttons, Icon icon) const {
    if (!ports.messages) return Answer::OK;
    return ports.messages->show(text, config.CollectionMode, buttons, icon);
}

void App::ShowSummary(const RunSummary& summary) const {
    if (ports.messages) ports.messages->summary(summary, config.CollectionMode);
}

void App::DoEvents() const {
    if (ports.pump) ports.pump->DoEvents();
}

}  // namespace velk
