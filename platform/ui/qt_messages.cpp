#include "platform/ui/qt_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <vector>

#include "platform/ui/wait_cursor.h"

namespace velk {

namespace {

// Styles without a Cancel button ignore Esc and the close box, as the platform's do;
// QMessageBox would otherwise pick No or Abort for them.
class VelkMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool escapeDisabled = false;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (escapeDisabled && (e->key() == Qt::Key_Escape || e->matches(QKeySequence::Cancel))) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (escapeDisabled) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }
};

std::vector<QMessageBox::StandardButton> ButtonsOf(Buttons b) {
    using M = QMessageBox;
    switch (b) {
        case Buttons::OK:
            return {M::Ok};
        case Buttons::OKCancel:
            return {M::Ok, M::Cancel};
        case Buttons::AbortRetryIgnore:
            return {M::Abort, M::Retry, M::Ignore};
        case Buttons::YesNoCancel:
            return {M::Yes, M::No, M::Cancel};
        case Buttons::YesNo:
            return {M::Yes, M::No};
        case Buttons::RetryCancel:
            return {M::Retry, M::Cancel};
    }
    return {M::Ok};
}

QMessageBox::Icon IconOf(Icon i) {
    switch (i) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, const std::string& title,
                                            Buttons buttons, Icon icon, QWidget* parent) {
    auto box = std::make_unique<VelkMessageBox>(parent);
    box->setTextFormat(Qt::PlainText);  // texts carry file names and numbers, never markup
    box->setText(QString::fromStdString(text));
    box->setWindowTitle(QString::fromStdString(title));
    box->setIcon(IconOf(icon));
    const auto list = ButtonsOf(buttons);
    QMessageBox::StandardButtons set;
    for (auto b : list) set |= b;
    box->setStandardButtons(set);
    box->setDefaultButton(list.front());  // the first button, as the platform's default
    if (set.testFlag(QMessageBox::Cancel)) {
        box->setEscapeButton(QMessageBox::Cancel);
    } else if (list.size() == 1) {
        box->setEscapeButton(list.front());
    } else {
        box->escapeDisabled = true;
        box->setWindowFlag(Qt::WindowCloseButtonHint, false);
    }
    return box;
}

Answer AnswerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked ? box.standardButton(clicked) : QMessageBox::NoButton) {
        case QMessageBox::Ok:
            return Answer::OK;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        case QMessageBox::Abort:
            return Answer::Abort;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Ignore:
            return Answer::Ignore;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            break;
    }
    return box.standardButtons().testFlag(QMessageBox::Cancel) ? Answer::Cancel : Answer::OK;
}

std::unique_ptr<QMessageBox> MakeSummaryBox(const RunSummary& s, const std::string& title, QWidget* parent) {
    auto box = MakeMessageBox(s.text(), title, Buttons::OK, s.clean() ? Icon::Information : Icon::Exclamation,
                              parent);
    box->setObjectName("RunSummary");
    std::error_code ec;
    if (!s.folder.empty() && std::filesystem::is_directory(s.folder, ec)) {
        QPushButton* open = box->addButton("&Open Folder", QMessageBox::ActionRole);
        open->setObjectName("cmdOpenFolder");
        const QUrl url = QUrl::fromLocalFile(QString::fromStdString(s.folder.string()));
        QObject::connect(open, &QPushButton::clicked, box.get(), [url] { QDesktopServices::openUrl(url); });
    }
    return box;
}

void QtMessages::summary(const RunSummary& s, const std::string& title) {
    auto box = MakeSummaryBox(s, title, QApplication::activeWindow());
    box->exec();
}

Answer QtMessages::show(const std::string& text, const std::string& title, Buttons buttons, Icon icon) {
    auto box = MakeMessageBox(text, title, buttons, icon, QApplication::activeWindow());
    ArrowWhileAsking arrow;
    box->exec();
    return AnswerOf(*box);
}

}  // namespace velk
