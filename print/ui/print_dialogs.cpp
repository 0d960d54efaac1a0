#include "print/ui/print_dialogs.h"

#include <QTimer>

#include "platform/app.h"
#include "platform/ui/modal.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/wait_cursor.h"
#include "print/print_runs.h"
#include "print/ui/frm_mark_print.h"
#include "print/ui/frm_print.h"
#include "print/ui/print_progress.h"

namespace velk {

void OpenPrintDialog(App& app, Modal& modal, QWidget* parent, FrameDialog which, PrintStart start) {
    app.PrintMode = PrintSource::Document;
    auto open = [&](auto& dialog) {
        if (start == PrintStart::SaveAsPdf) dialog.saveAsPdf();
        if (start == PrintStart::Preview) QTimer::singleShot(0, &dialog, [&dialog] { dialog.cmdPreview_Click(); });
        modal.exec(dialog);
    };
    if (which != FrameDialog::MarkPrint) {
        frmPrint dialog(app, modal, parent);
        open(dialog);
    } else {
        frmMarkPrint dialog(app, modal, parent);
        open(dialog);
    }
}

void StartBatchPrint(App& app, Modal& modal, QWidget* parent) {
    app.PrintMode = PrintSource::Batch;
    if (app.config.isPatents()) {
        frmPrint dialog(app, modal, parent);
        modal.exec(dialog);
        return;
    }
    const PdfChoice pdf = PreparePdfBatch(app, parent);
    if (pdf.cancelled) return;
    try {
        RunPrint<frmPrintProgress>(app, parent, [&](PrintRun& run) {
            SendToPdf(run, pdf, true);
            PrintListBatch(app, run);
        });
    } catch (const std::exception&) {
        app.msg(kPrintRunErrorText);
    }
}

}  // namespace velk
