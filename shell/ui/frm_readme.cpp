#include "shell/ui/frm_readme.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/runtime_error.h"
#include "platform/drives.h"
#include "platform/profile_writer.h"
#include "shell/config.h"
#include "platform/ui/modal.h"

namespace velk {

std::string ReadmeText(const Config& config) {
    auto path = FindNoCase(config.AppDir, "Readme.txt");
    if (!path) return "(There is no Readme.txt in " + config.AppDir + ".)";
    std::string raw;
    try {
        raw = ReadTextFile(path->string());
    } catch (const RuntimeError& e) {
        return "(Readme.txt could not be read: " + e.report() + ".)";
    } catch (const std::exception& e) {
        return std::string("(Readme.txt could not be read: ") + e.what() + ".)";
    }
    std::string text;
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r') {
            text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            text += raw[i];
        }
    }
    return text;
}

frmReadme::frmReadme(App& app, QWidget* parent) : QDialog(parent), app_(app) {
    setObjectName("frmReadme");
    setWindowTitle("ReadMe");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    txtReadme = new QPlainTextEdit(this);
    txtReadme->setObjectName("txtReadme");
    txtReadme->setReadOnly(true);
    txtReadme->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtReadme->setPlainText(QString::fromStdString(ReadmeText(app.config)));

    chkReadme = new QCheckBox("Do not display ReadMe file on startup ", this);
    chkReadme->setObjectName("chkReadme");
    connect(chkReadme, &QCheckBox::toggled, this, [this] { chkReadme_Click(); });

    cmdOk = new QPushButton("&OK", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setDefault(true);
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });

    auto* row = new QHBoxLayout;
    row->addWidget(chkReadme, 1);
    row->addWidget(cmdOk);
    auto* all = new QVBoxLayout(this);
    all->addWidget(txtReadme, 1);
    all->addLayout(row);
    resize(600, 440);
    cmdOk->setFocus();
}

// Every change is stored at once; a failed write has shown its message.
void frmReadme::chkReadme_Click() { WriteReadMe(app_, chkReadme->isChecked() ? "NO" : "YES"); }

void frmReadme::cmdOk_Click() { accept(); }

void frmReadme::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(*this);
}

}  // namespace velk
