#pragma once
// How the main frame and the batch window open printing: the print dialog of the
// collection for the shown document, and the batch print of the To Print list.
#include <QWidget>

#include "platform/ports.h"

namespace velk {

struct App;
class Modal;

// The Print command and toolbar button, modal over parent: frmMarkPrint for
// FrameDialog::MarkPrint, else frmPrint. The frame chooses by collection and source: the
// toolbar gives assignments the trademark dialog, the File menu the patent one.
// File > Save as PDF opens the same dialog for a PDF file instead of the printer.
// File > Print Preview opens it with the preview of its first choice.
enum class PrintStart { Print, SaveAsPdf, Preview };
void OpenPrintDialog(App& app, Modal& modal, QWidget* parent, FrameDialog which,
                     PrintStart start = PrintStart::Print);

// The batch window's print button: patents choose their pages in frmPrint first;
// trademarks and assignments print every page at once.
void StartBatchPrint(App& app, Modal& modal, QWidget* parent);

}  // namespace velk
