#pragma once
// Print Preview: the pages a print dialog's choice would print, drawn by the print's own
// page code on a printer of the preview's, on the configured paper. Print in the preview
// hands back to the dialog, which prints those pages the usual way.
#include <QWidget>
#include <string>
#include <vector>

#include "common/int16.h"

namespace velk {

struct App;
class Modal;

// queue: the queue chosen in the dialog ("" for Save as PDF), for its margins. True when
// Print was pressed in the preview.
bool ShowPrintPreview(App& app, Modal& modal, QWidget* parent, const std::vector<Int16>& pages,
                      const std::string& queue);

}  // namespace velk
