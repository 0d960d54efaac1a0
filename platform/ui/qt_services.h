#pragma once
// The desktop's small services behind their ports: clipboard, event pump, screen
// and the locale's date and time texts.
#include <QDate>
#include <QLocale>
#include <QTime>

#include "platform/ports.h"

namespace velk {

class QtClipboard : public Clipboard {
public:
    std::string text() override;
    void setText(const std::string& text) override;
    void setImage(const QImage& image) override;
};

class QtEventPump : public EventPump {
public:
    void DoEvents() override;
};

// The primary screen in logical pixels; nothing known without a screen.
class QtScreen : public Screen {
public:
    int widthPixels() override;
    int heightPixels() override;
    int twipsPerPixel() override;
};

class QtClock : public Clock {
public:
    std::string dateText() override;
    std::string timeText() override;
    std::string mediumDateText() override;
    std::string mediumTimeText() override;
    // The locale's short date, and its time with seconds (as the platform's own
    // time text has them, even where the short time format leaves them out).
    static std::string DateText(const QLocale& locale, const QDate& date);
    static std::string TimeText(const QLocale& locale, const QTime& time);
    static std::string MediumDateText(const QLocale& locale, const QDate& date);
    static std::string MediumTimeText(const QLocale& locale, const QTime& time);
};

}  // namespace velk
