#include "lists/ui/frm_list_box.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "platform/ui/guarded_app.h"
#include "platform/ui/modal.h"
#include "platform/ui/pdf_output.h"
#include "platform/ui/progress_window.h"
#include "platform/ui/wait_cursor.h"

namespace velk {

namespace {

constexpr int kTroughPixels = 300;
constexpr long kHelpListWindow = 21;

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// An arrow picture of the icon directory ("e_u100.ico"), or nothing when the
// installation lacks it.
QIcon ArrowIcon(const App& app, const std::string& file) {
    const auto native = app.drives.resolve(app.config.AppDir + "\\icons" + app.config.CollectionLetter + "\\" + file);
    if (!native) return {};
    QIcon icon(QString::fromStdString(native->string()));
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

// Thrown from the progress step when the user cancelled: ends copy, print or save.
struct ListCancelled {};

}  // namespace

// The bar and its Cancel are visible and the pointer an hourglass for the length of
// one operation; the other buttons come back on whatever way the operation ends.
class frmListBox::Busy {
public:
    explicit Busy(frmListBox& form) : form_(form) {
        form_.busy_ = true;
        form_.cancelled_ = false;
        form_.shownPercent_ = -1;
        form_.showPercent(0);
        form_.lblProgress->show();
        form_.cmdCancel->show();
        for (QPushButton* b : form_.actions()) b->setEnabled(false);
        form_.lblProgress->repaint();
    }
    ~Busy() {
        form_.showPercent(100);
        form_.lblProgress->hide();
        form_.cmdCancel->hide();
        for (QPushButton* b : form_.actions()) b->setEnabled(true);
        form_.cmdCopyList->setEnabled(form_.app_.config.isOpen());
        form_.busy_ = false;
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    frmListBox& form_;
    WaitCursor wait_;
};

frmListBox::frmListBox(App& app, const std::string& listType, bool foundSorted, QWidget* parent)
    : QDialog(parent),
      app_(app),
      type_(ListTypeFromText(listType).value_or(ListType::Remaining)),
      foundSorted_(foundSorted) {
    setObjectName("frmListBox");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QString::fromUtf8(TextsOf(type_).caption));

    lstLists = new QListWidget(this);
    lstLists->setObjectName("lstLists");
    lstLists->setUniformItemSizes(true);  // long lists stay quick to fill and scroll
    QFont mono("Courier New");
    mono.setStyleHint(QFont::TypeWriter);
    lstLists->setFont(mono);
    connect(lstLists, &QListWidget::itemActivated, this, [this] { lstLists_DblClick(); });

    cmdTop = Button(this, "cmdTop", "Top");
    cmdTop->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    cmdTop->setToolTip("First line");
    cmdUp100 = Button(this, "cmdUp100", "");
    cmdUp100->setToolTip("100 lines up");
    cmdDown100 = Button(this, "cmdDown100", "");
    cmdDown100->setToolTip("100 lines down");
    cmdBottom = Button(this, "cmdBottom", "Bottom");
    cmdBottom->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    cmdBottom->setToolTip("Last line");

    chkIncludeVol = new QCheckBox("Include Volume IDs", this);
    chkIncludeVol->setObjectName("chkIncludeVol");
    cmdCopyList = Button(this, "cmdCopyList", "&Copy");
    cmdPrintList = Button(this, "cmdPrintList", "&Print");
    cmdSaveList = Button(this, "cmdSaveList", "&Save");
    cmdClose = Button(this, "cmdClose", "C&lose");
    cmdClose->setDefault(true);
    for (QPushButton* b : {cmdCopyList, cmdPrintList, cmdSaveList}) MarkOutput(b);
    cmdHelp = Button(this, "cmdHelp", "&Help");

    lblCount = new QLabel(this);
    lblCount->setObjectName("lblCount");
    lblProgress = new QLabel(this);
    lblProgress->setObjectName("lblProgress");
    lblBar = MakeTrough(lblProgress, kTroughPixels, 16, "palette(highlight)");
    lblProgress->hide();
    cmdCancel = Button(this, "cmdCancel", "&Cancel");
    cmdCancel->hide();

    connect(cmdTop, &QPushButton::clicked, this, [this] { cmdTop_Click(); });
    connect(cmdBottom, &QPushButton::clicked, this, [this] { cmdBottom_Click(); });
    connect(cmdUp100, &QPushButton::clicked, this, [this] { cmdUp100_Click(); });
    connect(cmdDown100, &QPushButton::clicked, this, [this] { cmdDown100_Click(); });
    connect(cmdCopyList, &QPushButton::clicked, this, [this] { cmdCopyList_Click(); });
    connect(cmdPrintList, &QPushButton::clicked, this, [this] { cmdPrintList_Click(); });
    connect(cmdSaveList, &QPushButton::clicked, this, [this] { cmdSaveList_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* arrows = new QVBoxLayout;
    for (QPushButton* b : {cmdTop, cmdUp100, cmdDown100, cmdBottom}) arrows->addWidget(b);
    arrows->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(lstLists, 1);
    middle->addLayout(arrows);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdCopyList, cmdPrintList, cmdSaveList, cmdClose, cmdHelp}) buttons->addWidget(b);
    auto* status = new QHBoxLayout;
    status->addWidget(chkIncludeVol);
    status->addStretch(1);
    status->addWidget(lblCount);
    auto* all = new QVBoxLayout(this);
    all->addLayout(middle, 1);
    all->addLayout(status);
    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    bar->addWidget(lblProgress);
    bar->addWidget(cmdCancel);
    bar->addStretch(1);
    all->addLayout(bar);
    all->addLayout(buttons);
    resize(460, 420);

    load();
}

void frmListBox::load() {
    cmdCopyList->setEnabled(app_.config.isOpen());
    entries_ = app_.lists ? LoadListEntries(*app_.lists, type_, foundSorted_) : std::vector<std::string>{};
    QStringList lines;
    lines.reserve(static_cast<int>(entries_.size()));
    for (const std::string& e : entries_) lines << QString::fromStdString(e);
    lstLists->addItems(lines);
    const std::int32_t count = app_.lists ? ListCount(*app_.lists, type_) : 0;
    lblCount->setText(QString::number(count) + " " + QString::fromUtf8(TextsOf(type_).caption));
    if (lstLists->count() > 0) lstLists->setCurrentRow(0);
    setArrows(lstLists->count() >= 100);
}

void frmListBox::setArrows(bool enabled) {
    const char* look = enabled ? "e_" : "d_";
    const QIcon up = ArrowIcon(app_, std::string(look) + "u100.ico");
    const QIcon down = ArrowIcon(app_, std::string(look) + "d100.ico");
    cmdUp100->setIcon(up);
    cmdDown100->setIcon(down);
    cmdUp100->setText(up.isNull() ? "Up 100" : "");
    cmdDown100->setText(down.isNull() ? "Down 100" : "");
    cmdUp100->setEnabled(enabled);
    cmdDown100->setEnabled(enabled);
}

void frmListBox::cmdTop_Click() {
    if (lstLists->count() > 0) lstLists->setCurrentRow(0);
}

void frmListBox::cmdBottom_Click() {
    if (lstLists->count() > 0) lstLists->setCurrentRow(lstLists->count() - 1);
}

void frmListBox::cmdUp100_Click() {
    const int row = lstLists->currentRow() - 100;
    if (row >= 0) lstLists->setCurrentRow(row);
}

void frmListBox::cmdDown100_Click() {
    const int row = lstLists->currentRow() + 100;
    if (row < lstLists->count()) lstLists->setCurrentRow(row);
}

bool frmListBox::includeVolume() const { return chkIncludeVol->isChecked(); }

bool frmListBox::showPercent(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == shownPercent_) return false;
    shownPercent_ = percent;
    lblBar->setFixedWidth((lblProgress->width() - 2) * percent / 100);
    if (lblProgress->isVisible()) lblProgress->repaint();
    return true;
}

PercentFn frmListBox::progress() {
    // Events are let through once a percent, so Cancel is heard without slowing the walk.
    return [this](int percent) {
        if (showPercent(percent)) app_.DoEvents();
        if (cancelled_) throw ListCancelled{};
    };
}

std::vector<QPushButton*> frmListBox::actions() const {
    return {cmdCopyList, cmdPrintList, cmdSaveList, cmdClose};
}

void frmListBox::cmdCancel_Click() {
    if (busy_) cancelled_ = true;
}

void frmListBox::reject() {
    // Escape and the close box while a list is written stop the writing, not the window.
    if (busy_)
        cancelled_ = true;
    else
        QDialog::reject();
}

void frmListBox::cmdCopyList_Click() {
    if (!cmdCopyList->isEnabled() || busy_) return;
    try {
        std::string text;
        {
            Busy busy(*this);
            Clock* clock = app_.ports.clock;
            text = ListCopyText(type_, entries_, includeVolume(),
                                clock ? clock->mediumDateText() : std::string(),
                                clock ? clock->mediumTimeText() : std::string(), progress());
        }
        if (app_.ports.clipboard) {
            app_.ports.clipboard->setText(std::string());
            app_.ports.clipboard->setText(text);
        }
        if (entries_.empty()) app_.msg(kNoRecordsFound, Buttons::OK, Icon::Exclamation);
    } catch (const ListCancelled&) {
    } catch (const std::exception&) {
    }
}

void frmListBox::cmdPrintList_Click() {
    if (!app_.ports.printer || busy_) return;
    const PdfChoice pdf = PreparePdfDocument(app_, this, KeepAlnum(TextsOf(type_).caption) + ".pdf");
    if (pdf.cancelled) return;
    bool printed = false, cancelled = false;
    try {
        Busy busy(*this);
        Clock* clock = app_.ports.clock;
        printed = PrintList(*app_.ports.printer, type_, entries_, includeVolume(), app_.config.PageType,
                            clock ? clock->mediumDateText() : std::string(),
                            clock ? clock->mediumTimeText() : std::string(), progress());
    } catch (const ListCancelled&) {
        cancelled = true;
    } catch (const std::exception&) {
    }
    if (!printed) {
        try {
            app_.ports.printer->abortDoc();
        } catch (...) {
        }
        // A list that never reached the printer must not look printed.
        if (!cancelled) app_.msg(RuntimeError(kErrPrinter).report(), Buttons::OK, Icon::Exclamation);
    }
    if (!printed) return;
    RunSummary summary;
    summary.run = "Print";
    summary.documents = 1;
    summary.unit = "list";
    summary.units = "lists";
    summary.countsPages = false;
    const std::string file = app_.ports.printer->lastOutputFile();
    summary.output = file.empty() ? app_.ports.printer->deviceName() : file;
    if (!file.empty()) summary.folder = std::filesystem::path(file).parent_path();
    app_.ShowSummary(summary);
}

void frmListBox::cmdSaveList_Click() {
    if (busy_) return;
    try {
        WaitCursor wait;
        // The directory as the path layer finds it; the process's own directory is
        // never changed.
        std::optional<std::filesystem::path> dir;
        for (;;) {
            dir = app_.drives.resolve(app_.config.ExportPath);
            std::error_code ec;
            if (dir && std::filesystem::is_directory(*dir, ec)) break;
            if (app_.msg("Please insert a diskette in the drive.", Buttons::OKCancel) != Answer::OK) return;
        }
        QFileDialog dialog(this, "Save As", QString::fromStdString(dir->string()));
        dialog.setObjectName("comDialog");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kAllFilesFilter);
        dialog.selectFile(QString::fromStdString(ProposedDocsName(*dir)));
        if (!app_.ports.modal || app_.ports.modal->exec(dialog) != QDialog::Accepted) return;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty() || chosen.front().isEmpty()) return;
        const std::filesystem::path file = chosen.front().toStdString();
        if (app_.config.isRestricted() && !InsideDirectory(file, *dir)) {
            app_.msg("Lists can only be saved in " + app_.config.ExportPath + ".", Buttons::OK, Icon::Exclamation);
            return;
        }
        std::string text;
        {
            Busy busy(*this);
            Clock* clock = app_.ports.clock;
            text = ListSaveText(type_, entries_, includeVolume(), clock ? clock->dateText() : std::string(),
                                clock ? clock->timeText() : std::string(), progress());
        }
        try {
            WriteDocsFile(file, text);
        } catch (const RuntimeError& e) {
            app_.msg("Unable to save file " + file.string() + "\r\n" + e.report(), Buttons::OK, Icon::Exclamation);
            return;
        }
        RunSummary saved;
        saved.run = "Save";
        saved.documents = static_cast<int>(entries_.size());
        saved.unit = "entry";
        saved.units = "entries";
        saved.countsPages = false;
        saved.folder = file.parent_path();
        saved.output = file.string();
        app_.ShowSummary(saved);
    } catch (const ListCancelled&) {
    } catch (const std::exception&) {
    }
}

void frmListBox::cmdClose_Click() {
    if (!busy_) accept();
}

void frmListBox::cmdHelp_Click() {
    if (app_.ports.help) app_.ports.help->show(app_.config.HelpFilePath, kHelpContext, kHelpListWindow);
}

void frmListBox::lstLists_DblClick() {
    // A Not Found entry names no volume: there is nothing to show.
    if (type_ == ListType::NotFound || !app_.ports.frame || busy_) return;
    const int row = lstLists->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return;
    const std::string& entry = entries_[static_cast<std::size_t>(row)];
    app_.doc.CurDocNo = Trim(entry.substr(0, entry.find(' ')));
    app_.doc.CurVolume = Trim(Mid(entry, 10));
    if (app_.doc.CurDocNo.empty()) return;
    if (app_.ports.frame->displayDocument(1)) accept();
}

}  // namespace velk
