#include "print/ui/print_preview.h"

#include <QAction>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QScreen>
#include <QToolBar>
#include <algorithm>

#include "platform/app.h"
#include "platform/ui/modal.h"
#include "platform/ui/qt_printer.h"
#include "print/print_runs.h"

namespace velk {

namespace {
constexpr int kPrintChosen = 2;
}  // namespace

bool ShowPrintPreview(App& app, Modal& modal, QWidget* parent, const std::vector<Int16>& pages,
                      const std::string& queue) {
    QtPrinter preview(queue, QtPrinter::Preview);
    QPrintPreviewDialog dialog(&preview.qprinter(), parent);
    dialog.setObjectName("dlgPrintPreview");
    dialog.setWindowTitle("Print Preview");
    // A sheet is taller than wide: most of the screen's height, three quarters as wide.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int height = area.height() * 9 / 10;
        dialog.resize(std::min(area.width() * 9 / 10, height * 3 / 4 + 120), height);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter*) {
        // The run draws on the preview's printer; no events while it does.
        Printer* printer = app.ports.printer;
        EventPump* pump = app.ports.pump;
        app.ports.printer = &preview;
        app.ports.pump = nullptr;
        try {
            PrintRun run(app, nullptr);
            RunDocumentPages(app, run, pages);
        } catch (const std::exception&) {
        }
        app.ports.printer = printer;
        app.ports.pump = pump;
    });
    // Print and page setup of the preview would print around the run (its lists, its
    // closing message) on paper of its own: Print hands back to the dialog instead.
    for (QAction* a : dialog.findChildren<QAction*>()) {
        const QString text = a->text().remove('&');
        // Paper and orientation come from the run: choices made here would not print.
        if (text == "Page setup" || text == "Portrait" || text == "Landscape") a->setVisible(false);
        if (text == "Print") {
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            QObject::connect(a, &QAction::triggered, &dialog, [&dialog] { dialog.done(kPrintChosen); });
        }
    }
    // Wide enough for the whole toolbar where the screen allows, so Print, its last
    // button, never hides behind the overflow arrow (as it did at twice the scale).
    if (const QToolBar* bar = dialog.findChild<QToolBar*>()) {
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int want = bar->sizeHint().width() + 24;
        const int room = screen ? screen->availableGeometry().width() : want;
        if (dialog.width() < want) dialog.resize(std::min(want, room), dialog.height());
    }
    return modal.exec(dialog) == kPrintChosen;
}

}  // namespace velk
