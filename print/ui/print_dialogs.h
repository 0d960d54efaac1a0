#pragma once
// How the main frame and the batch window open printing: the print dialog of the
// collection for the shown document, and the batch print of the To Print list.
#include <QWidget>

namespace velk {

struct App;
class Modal;

// The Print command and toolbar button: frmPrint for patents, frmMarkPrint for
// trademarks and assignments, modal over parent.
void OpenPrintDialog(App& app, Modal& modal, QWidget* parent);

// The batch window's print button: patents choose their pages in frmPrint first;
// trademarks and assignments print every page at once.
void StartBatchPrint(App& app, Modal& modal, QWidget* parent);

}  // namespace velk
