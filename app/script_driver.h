#pragma once
// Plays a script of user actions on the running program's own widgets: end-to-end checks
// of the real program under a virtual display (VELK_SCRIPT=FILE). One action a line:
//   wait NAME              until a visible widget or an enabled action NAME exists
//   type NAME TEXT         key presses of TEXT into widget NAME
//   key NAME KEYS          one key sequence ("Ctrl+PgDown") to NAME ("-": the focus widget)
//   click NAME             a button's click (or a mouse click in the widget's middle)
//   trigger NAME           a menu item or toolbar action, which must be enabled
//   select NAME ROW        the row of a list (0 = first)
//   set NAME VALUE         a line edit's text, a combo box's item, a check box (0/1)
//   title NAME TEXT        until widget NAME's window title contains TEXT
//   top NAME               until the window on top is NAME ("none": no dialog is up)
//   answer TEXT            the button of that caption in the window on top (a message)
//   sleep MS | shot FILE | echo TEXT
// Lines starting with # are comments. A step waits up to 15 s for its widget; a step that
// cannot be done ends the program with status 3 and says which line.
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

namespace velk {

class ScriptDriver : public QObject {
public:
    explicit ScriptDriver(std::vector<std::string> lines, QObject* parent = nullptr);
    static std::vector<std::string> ReadScript(const std::string& path);  // empty when unreadable
    void start();
    bool finished() const { return next_ >= lines_.size(); }

private:
    enum class Step { Done, NotYet, Failed };
    void tick();
    Step play(const std::string& line, std::string& why);

    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    int waitedMs_ = 0;
    qint64 sleepUntil_ = 0;
    QTimer timer_;
    QWidget* lastTop_ = nullptr;
    std::string lastWhy_;
};

}  // namespace velk
