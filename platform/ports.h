#pragma once
// The seams between the model and the outside world. Each port has one real
// implementation (platform/ui or platform/) and one fake in tests/support.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/run_summary.h"

class QImage;
class QFont;

namespace velk {

enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
// Values as the platform's message box returns them.
enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class Messages {
public:
    virtual ~Messages() = default;
    virtual Answer show(const std::string& text, const std::string& title, Buttons buttons = Buttons::OK,
                        Icon icon = Icon::None) = 0;
    // The one closing message of a print, export or save run.
    virtual void summary(const RunSummary& s, const std::string& title) {
        show(s.text(), title, Buttons::OK, s.clean() ? Icon::Information : Icon::Exclamation);
    }
};

// The modal OK/Cancel message window; returns MessageResult (1 OK, 3 Cancel, or
// the previous value when closed with the close box).
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual int ask(const std::string& text, int previousResult) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual std::string text() = 0;  // UTF-8
    virtual void setText(const std::string& text) = 0;
    virtual void setImage(const QImage& image) = 0;
};

// Lets a long loop keep the window alive and its Cancel button working.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

class DiskSpace {
public:
    virtual ~DiskSpace() = default;
    // Bytes available to this user on the volume holding path; nullopt when unknown.
    virtual std::optional<std::uint64_t> freeBytes(const std::string& nativePath) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual int widthPixels() = 0;
    virtual int heightPixels() = 0;
    virtual int twipsPerPixel() = 0;  // 1440 / logical dpi
};

class Clock {
public:
    virtual ~Clock() = default;
    // The general form: the locale's short date and its long time.
    virtual std::string dateText() = 0;
    virtual std::string timeText() = 0;
    // The medium forms: day, abbreviated month, two-digit year ("07-Dec-26"), and
    // 12-hour hours and minutes with AM/PM ("3:45 PM"), in the locale's words.
    virtual std::string mediumDateText() = 0;
    virtual std::string mediumTimeText() = 0;
};

// Help commands as the help engine numbers them.
enum HelpCommand : int { kHelpContext = 1, kHelpQuit = 2, kHelpContents = 3, kHelpPartialKey = 0x105 };

class Help {
public:
    virtual ~Help() = default;
    virtual bool show(const std::string& helpFile, int command, long context) = 0;
};

// Paper codes as stored: 1 letter, 9 A4, 5 legal. Duplex: 1 off, 3 vertical.
enum PaperCode : int { kPaperLetter = 1, kPaperLegal = 5, kPaperA4 = 9 };
enum DuplexMode : int { kDuplexNone = 1, kDuplexHorizontal = 2, kDuplexVertical = 3 };

struct TwipRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class Printer {
public:
    virtual ~Printer() = default;
    virtual void setPaperSize(int paperCode) = 0;
    virtual int paperSize() = 0;
    virtual void setDuplex(int duplexMode) = 0;
    virtual int duplex() = 0;
    virtual std::string deviceName() = 0;
    virtual std::string port() = 0;
    // Printable area in twips.
    virtual int scaleWidth() = 0;
    virtual int scaleHeight() = 0;
    // Draws a bitonal or grey page into a rectangle given in twips.
    virtual void drawPage(const QImage& page, const TwipRect& target) = 0;
    virtual void drawText(int xTwips, int yTwips, const std::string& text, const std::string& fontName,
                          int pointSize, bool bold) = 0;
    virtual void newPage() = 0;
    // false when the document could not be finished (spooler error, disk full).
    virtual bool endDoc() = 0;
    virtual void abortDoc() = 0;
    // Without a printer queue every job is a PDF file the user chooses: true then, and
    // setOutputFile names the file the next job writes.
    virtual bool asksForFile() { return false; }
    virtual void setOutputFile(const std::string& nativePath) { (void)nativePath; }
    // The file the last job that ended well went to (a printer that writes PDF files);
    // empty for a printer queue.
    virtual std::string lastOutputFile() { return {}; }
    // The print dialogs' printer choice: the system's queues; what jobs go to now (a queue,
    // a PDF file's path, "" for Save as PDF); choosing "" is Save as PDF. It holds until
    // chosen again.
    virtual std::vector<std::string> queues() { return {}; }
    virtual std::string current() { return {}; }
    virtual void choose(const std::string& name) { (void)name; }
};

// Dialogs of other floors that a lower floor's form may open.
enum class FrameDialog {
    Find, Import, View, BatchPrint, BatchExport, ExportChooser, ListWindow, Print, Export,
    GoTo, MarkPrint, MarkExport, Batch,
    SaveAsPdf,    // the print dialog of the collection (as File > Print opens it), for a PDF file
    PrintPreview  // the same dialog, with the preview of its choice
};

// What a form may ask of the main frame without including shell/.
class MainFrame {
public:
    virtual ~MainFrame() = default;
    // Menu items by their mnu... name, toolbar buttons by their BTN_... key.
    virtual void enableItem(const std::string& name, bool enabled) = 0;
    virtual void checkItem(const std::string& name, bool checked) = 0;
    virtual bool isChecked(const std::string& name) = 0;
    virtual void openDialog(FrameDialog which) = 0;
    // Shows CurDocNo/CurVolume: viewer 1 closes both viewers first, viewer 2 opens beside it.
    // False when the document was not shown (volume prompt cancelled, not found, error).
    virtual bool displayDocument(int viewer) = 0;
};

}  // namespace velk
