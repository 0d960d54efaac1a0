#include "platform/ui/qt_services.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <cmath>

namespace velk {

namespace {
QClipboard* Board() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                        : nullptr;
}
QScreen* Primary() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                        : nullptr;
}
}  // namespace

std::string QtClipboard::text() {
    QClipboard* b = Board();
    return b ? b->text().toStdString() : std::string();
}

void QtClipboard::setText(const std::string& text) {
    if (QClipboard* b = Board()) b->setText(QString::fromStdString(text));
}

void QtClipboard::setImage(const QImage& image) {
    if (QClipboard* b = Board()) b->setImage(image);
}

void QtEventPump::DoEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

int QtScreen::widthPixels() {
    QScreen* s = Primary();
    return s ? s->geometry().width() : 0;
}

int QtScreen::heightPixels() {
    QScreen* s = Primary();
    return s ? s->geometry().height() : 0;
}

int QtScreen::twipsPerPixel() {
    QScreen* s = Primary();
    double dpi = s ? s->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? int(std::lround(1440.0 / dpi)) : 15;
}

std::string QtClock::DateText(const QLocale& locale, const QDate& date) {
    return locale.toString(date, QLocale::ShortFormat).toStdString();
}

std::string QtClock::TimeText(const QLocale& locale, const QTime& time) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) {
        qsizetype m = format.lastIndexOf(QLatin1Char('m'));
        if (m >= 0) format.insert(m + 1, QStringLiteral(":ss"));
    }
    return locale.toString(time, format).toStdString();
}

std::string QtClock::MediumDateText(const QLocale& locale, const QDate& date) {
    // The abbreviation without the period some languages give it ("Dez." is "Dez").
    QString month = locale.monthName(date.month(), QLocale::ShortFormat);
    while (month.endsWith(QLatin1Char('.'))) month.chop(1);
    return QStringLiteral("%1-%2-%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(month)
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'))
        .toStdString();
}

std::string QtClock::MediumTimeText(const QLocale& locale, const QTime& time) {
    const bool pm = time.hour() >= 12;
    QString suffix = pm ? locale.pmText() : locale.amText();
    if (suffix.isEmpty()) suffix = pm ? QStringLiteral("PM") : QStringLiteral("AM");
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(hour)
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(suffix)
        .toStdString();
}

std::string QtClock::mediumDateText() {
    return MediumDateText(QLocale::system(), QDate::currentDate());
}
std::string QtClock::mediumTimeText() {
    return MediumTimeText(QLocale::system(), QTime::currentTime());
}

std::string QtClock::dateText() {
    return DateText(QLocale::system(), QDate::currentDate());
}
std::string QtClock::timeText() {
    return TimeText(QLocale::system(), QTime::currentTime());
}

}  // namespace velk
