#include "tools/mksample/page_drawing.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/mksample/rng.h"

namespace velk::mksample {
namespace {

const char* const kWords[] = {
    "apparatus",  "assembly",    "member",     "housing",     "surface",      "portion",    "signal",
    "circuit",    "layer",       "substrate",  "coupled",     "adjacent",     "configured", "plurality",
    "wherein",    "first",       "second",     "means",       "for",          "the",        "a",
    "of",         "and",         "to",         "is",          "in",           "with",       "said",
    "each",       "which",       "device",     "method",      "step",         "providing",  "receiving",
    "controller", "module",      "frame",      "support",     "shaft",        "rotation",   "axis",
    "lever",      "spring",      "valve",      "chamber",     "fluid",        "pressure",   "flow",
    "outlet",     "inlet",       "sensor",     "output",      "input",        "voltage",    "current",
    "terminal",   "electrode",   "polymer",    "composition", "weight",       "percent",    "mixture",
    "solution",   "temperature", "range",      "between",     "about",        "least",      "at",
    "one",        "having",      "disposed",   "along",       "opposite",     "end",        "side",
    "upper",      "lower",       "inner",      "outer",       "wall",         "opening",    "channel",
    "groove",     "flange",      "bore",       "sleeve",      "bearing",      "gear",       "drive",
    "motor",      "power",       "source",     "light",       "beam",         "optical",    "lens",
    "mirror",     "image",       "data",       "memory",      "processor",    "network",    "node",
    "packet",     "storage",     "medium",     "program",     "instructions", "user",       "display",
    "panel",      "cover",       "base",       "plate",       "sheet",        "strip",      "film",
    "coating",    "thickness",   "width",      "length",      "diameter",     "angle",      "position",
    "movement",   "engagement",  "connection", "fastener",    "bracket",      "arm",        "link",
    "pivot",      "hinge",       "latch",
};

const char* const kSyllables[] = {"ar",  "bel", "cor", "dan", "el",  "fen", "gal",  "hor", "in",  "jor",
                                  "kel", "lor", "mar", "nor", "os",  "per", "quin", "ras", "sol", "tor",
                                  "ul",  "ven", "wal", "xan", "yor", "zel", "tra",  "mon", "vic", "lan"};

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

QString Capitalised(QString s) {
    if (!s.isEmpty()) s[0] = s[0].toUpper();
    return s;
}

class Page {
public:
    explicit Page(const PageSpec& s)
        : spec_(s), rng_(s.seed), u_(s.dpi / 300.0), img_(s.width, s.height, QImage::Format_Grayscale8) {
        img_.fill(255);
        margin_ = px(225);
        right_ = s.width - margin_;
        bottom_ = s.height - px(210);
    }

    BitPage run() {
        {
            QPainter p(&img_);
            p_ = &p;
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setPen(pen(3));
            header();
            body();
            p_ = nullptr;
        }
        return bits();
    }

private:
    const PageSpec& spec_;
    Rng rng_;
    double u_;
    QImage img_;
    QPainter* p_ = nullptr;
    int margin_ = 0, right_ = 0, bottom_ = 0, y_ = 0;

    int px(double v) const { return std::max(1, static_cast<int>(std::lround(v * u_))); }
    int width() const { return right_ - margin_; }
    QPen pen(double w) const { return QPen(Qt::black, px(w), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin); }

    QFont font(double size, bool bold = false, bool serif = true, bool italic = false) const {
        QFont f(serif ? "DejaVu Serif" : "DejaVu Sans");
        f.setPixelSize(px(size));
        f.setBold(bold);
        f.setItalic(italic);
        f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferOutline));
        f.setHintingPreference(QFont::PreferFullHinting);
        return f;
    }

    // Left-aligned at x, right-aligned ending at x, or centred between the margins.
    void text(int x, int y, const QString& t, const QFont& f, int flags = Qt::AlignLeft) {
        QRect r(x, y, 0, 0);
        if (flags & Qt::AlignRight) r = QRect(margin_, y, x - margin_, 0);
        if (flags & Qt::AlignHCenter) r = QRect(margin_, y, width(), 0);
        textIn(r, t, f, flags);
    }
    void textIn(const QRect& r, const QString& t, const QFont& f, int flags) {
        p_->setFont(f);
        p_->drawText(r, flags | Qt::AlignTop | Qt::TextDontClip, t);
    }

    // Lays text out in lines of w pixels from (x, y_) and draws the lines that fit
    // above the bottom margin; returns false when some did not fit.
    bool wrapped(const QString& t, const QFont& f, int x, int w, bool justify = true) {
        QTextLayout layout(t, f);
        QTextOption opt(justify ? Qt::AlignJustify : Qt::AlignLeft);
        opt.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(opt);
        layout.beginLayout();
        double h = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(w);
            line.setPosition(QPointF(0, h));
            h += line.height();
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            QTextLine line = layout.lineAt(i);
            if (y_ + line.y() + line.height() > bottom_) {
                y_ = bottom_;
                return false;
            }
            line.draw(p_, QPointF(x, y_));
        }
        y_ += static_cast<int>(std::ceil(h));
        return true;
    }

    QString word() { return kWords[rng_.below(std::size(kWords))]; }

    QString sentence() {
        QString s;
        int n = rng_.range(8, 22);
        for (int i = 0; i < n; ++i) {
            if (i) s += rng_.chance(8) ? ", " : " ";
            s += word();
            if (rng_.chance(7)) s += QString(" %1").arg(rng_.range(10, 98));
        }
        return Capitalised(s) + ".";
    }

    QString paragraph(int sentences) {
        QString s;
        for (int i = 0; i < sentences; ++i) s += (i ? " " : "") + sentence();
        return s;
    }

    QString name() {
        QString s;
        int n = rng_.range(2, 3);
        for (int i = 0; i < n; ++i) s += kSyllables[rng_.below(std::size(kSyllables))];
        return Capitalised(s);
    }
    QString person() { return name() + ", " + name(); }
    QString company() {
        static const char* const kForms[] = {"Corporation", "Industries", "Systems Inc.", "Works Ltd.",
                                             "GmbH"};
        return name() + " " + rng_.pick(kForms);
    }
    QString date() {
        return QString("%1 %2, %3")
            .arg(rng_.pick(kMonths))
            .arg(rng_.range(1, 28))
            .arg(rng_.range(1976, 2003));
    }

    void header() {
        const int top = px(150);
        text(margin_, top + px(20), QString::fromStdString(spec_.title), font(40, false, false));
        text(right_, top - px(20), QString::fromStdString(spec_.number), font(120, true), Qt::AlignRight);
        int rule = top + px(170);
        p_->fillRect(margin_, rule, width(), px(7), Qt::black);
        text(margin_, rule + px(28), QString::fromStdString(spec_.section), font(56, true, false));
        text(right_, rule + px(36), QString("Page %1 of %2").arg(spec_.page).arg(spec_.pages),
             font(46, false, false), Qt::AlignRight);
        p_->fillRect(margin_, rule + px(120), width(), px(3), Qt::black);
        y_ = rule + px(170);
        QString foot = QString::fromStdString(spec_.number) + "    " + QString::fromStdString(spec_.section);
        text(margin_, spec_.height - px(170), foot, font(34, false, false), Qt::AlignHCenter);
    }

    void body() {
        switch (spec_.layout) {
            case PageLayout::PatentFront:
                front();
                break;
            case PageLayout::PatentDrawing:
                drawings();
                break;
            case PageLayout::PatentDescription:
                description();
                break;
            case PageLayout::PatentClaims:
                claims();
                break;
            case PageLayout::PatentCertificate:
                certificate();
                break;
            case PageLayout::MarkRegistration:
                registration();
                break;
            case PageLayout::MarkSpecimen:
                specimen();
                break;
            case PageLayout::MarkStatement:
                statement();
                break;
            case PageLayout::AssignmentCover:
                cover();
                break;
            case PageLayout::AssignmentDeed:
                deed();
                break;
        }
    }

    void fillParagraphs(const QFont& f, int x, int w, const QString& prefix = {}, int first = 1) {
        for (int n = first; y_ < bottom_; ++n) {
            QString lead = prefix.isEmpty() ? QString() : QString("[%1] ").arg(n, 4, 10, QChar('0'));
            if (!wrapped(lead + paragraph(rng_.range(3, 7)), f, x, w)) break;
            y_ += px(30);
        }
    }

    void front() {
        const int col = (width() - px(90)) / 2;
        const int x2 = margin_ + col + px(90);
        const int top = y_;
        QFont f = font(40), b = font(40, true);
        struct Field {
            const char* code;
            QString label, value;
        };
        const Field fields[] = {
            {"(54)", "Title:", (word() + " " + word() + " and method of making the " + word()).toUpper()},
            {"(75)", "Inventors:", person() + "; " + person() + "; " + person()},
            {"(73)", "Assignee:", company()},
            {"(21)", "Appl. No.:",
             QString("%1/%2,%3")
                 .arg(rng_.range(7, 9), 2, 10, QChar('0'))
                 .arg(rng_.range(100, 999))
                 .arg(rng_.range(100, 999))},
            {"(22)", "Filed:", date()},
            {"(51)", "Int. Cl.:",
             QString("G%1B %2/%3").arg(rng_.range(1, 9)).arg(rng_.range(1, 40)).arg(rng_.range(1, 99))},
            {"(58)", "Field of Search:",
             QString("%1/%2, %3, %4")
                 .arg(rng_.range(100, 900))
                 .arg(rng_.range(1, 99))
                 .arg(rng_.range(1, 99))
                 .arg(rng_.range(1, 99))},
        };
        for (const Field& fd : fields) {
            text(margin_, y_, fd.code, b);
            int save = y_;
            wrapped(fd.label + " " + fd.value, f, margin_ + px(130), col - px(130), false);
            y_ = std::max(y_, save + px(50)) + px(22);
        }
        text(margin_ + col / 2 - px(200), y_ + px(20), "References Cited", b);
        y_ += px(90);
        while (y_ + px(60) < bottom_) {
            text(margin_, y_,
                 QString("%1  %2/%3  %4")
                     .arg(rng_.range(2000000, 5999999))
                     .arg(rng_.range(1, 12))
                     .arg(rng_.range(1960, 1995))
                     .arg(name()),
                 f);
            y_ += px(52);
        }
        y_ = top;
        text(x2 + col / 2 - px(110), y_, "(57)  ABSTRACT", b);
        y_ += px(80);
        wrapped(paragraph(rng_.range(7, 10)), f, x2, col);
        y_ += px(60);
        if (bottom_ - y_ > px(500)) figure(QRect(x2, y_, col, bottom_ - y_), 1);
    }

    // Section lines at 45 degrees inside a shape, as cut faces are drawn.
    void hatch(const QPainterPath& shape, int spacing) {
        const QRect r = shape.boundingRect().toAlignedRect();
        p_->save();
        p_->setClipPath(shape);
        p_->setPen(pen(2.5));
        for (int d = -r.height(); d < r.width(); d += px(spacing))
            p_->drawLine(r.left() + d, r.bottom(), r.left() + d + r.height(), r.top());
        p_->restore();
        p_->drawPath(shape);
    }
    void hatch(const QRect& r, int spacing) {
        QPainterPath path;
        path.addRect(r);
        hatch(path, spacing);
    }

    void numeral(const QPoint& at, const QPoint& to, int n) {
        p_->drawLine(at, to);
        text(at.x() + px(6), at.y() - px(58), QString::number(n), font(48, false, true, true));
    }

    // One figure in the area: a block diagram or a mechanical section, with a label.
    void figure(const QRect& area, int fig) {
        p_->save();
        p_->setPen(pen(4));
        p_->setBrush(Qt::NoBrush);
        const QRect a = area.adjusted(px(40), px(40), -px(40), -px(160));
        int ref = 10 + 10 * rng_.range(0, 5);
        if (rng_.chance(50)) {
            int boxes = rng_.range(4, 7);
            std::vector<QRect> rs;
            // Boxes alternate left and right; each is wired from the inner edge of the one before.
            auto inner = [](const QRect& r, bool left) {
                return QPoint(left ? r.right() : r.left(), r.center().y());
            };
            for (int i = 0; i < boxes; ++i) {
                int bw = a.width() * 2 / 5, bh = std::max(px(90), a.height() / (boxes + 2));
                int x = a.left() + (i % 2 ? a.width() - bw : 0);
                int y = a.top() + i * (a.height() - px(130) - bh) / std::max(1, boxes - 1);
                rs.emplace_back(x, y, bw, bh);
                p_->drawRect(rs.back());
                textIn(rs.back().adjusted(px(10), bh / 2 - px(50), -px(10), 0),
                       QString("%1 %2").arg(word()).arg(ref + 2 * i).toUpper(), font(32, true, false),
                       Qt::AlignHCenter);
                textIn(rs.back().adjusted(px(10), bh / 2, -px(10), 0), word() + " " + word() + " " + word(),
                       font(28, false, false), Qt::AlignHCenter);
                if (i) p_->drawLine(inner(rs[i - 1], i % 2 == 1), inner(rs[i], i % 2 == 0));
                // Terminals along the box's bottom edge.
                for (int x2 = x + px(30); x2 < x + bw - px(30); x2 += px(40))
                    p_->drawRect(x2, y + bh - px(24), px(18), px(24));
            }
            hatch(QRect(a.left(), a.bottom() - px(90), a.width(), px(90)), 14);
            p_->setPen(QPen(Qt::black, px(3), Qt::DashLine));
            p_->drawRect(a.adjusted(-px(20), -px(20), px(20), px(20)));
            hatch(QRect(a.center().x() - a.width() / 10, a.top() + a.height() / 4, a.width() / 5,
                        a.height() / 2),
                  16);
        } else {
            QPoint c = a.center();
            int rad = std::min(a.width(), a.height()) / 3;
            // A toothed wheel on a shaft: the rim cut in section, bolt holes, spokes.
            QPolygon teeth;
            const int count = rng_.range(24, 40);
            for (int k = 0; k < count * 4; ++k) {  // root, tip, tip, root of each tooth
                double t = k * 2 * M_PI / (count * 4);
                int rr = k % 4 == 1 || k % 4 == 2 ? rad + px(40) : rad;
                teeth << c + QPoint(int(std::cos(t) * rr), int(std::sin(t) * rr));
            }
            p_->drawPolygon(teeth);
            QPainterPath rim;
            rim.setFillRule(Qt::OddEvenFill);
            rim.addEllipse(c, rad - px(10), rad - px(10));
            rim.addEllipse(c, rad * 3 / 4, rad * 3 / 4);
            hatch(rim, 16);
            p_->drawEllipse(c, rad / 4, rad / 4);
            for (int k = 0; k < 6; ++k) {
                double t = k * M_PI / 3 + M_PI / 6;
                p_->drawEllipse(c + QPoint(int(std::cos(t) * rad / 2), int(std::sin(t) * rad / 2)), px(28),
                                px(28));
                double u = k * M_PI / 3;
                p_->drawLine(c + QPoint(int(std::cos(u) * rad / 4), int(std::sin(u) * rad / 4)),
                             c + QPoint(int(std::cos(u) * rad * 3 / 4), int(std::sin(u) * rad * 3 / 4)));
            }
            hatch(QRect(c.x() - rad * 3 / 2, c.y() - rad / 10, rad * 3 / 4, rad / 5), 18);
            hatch(QRect(c.x() + rad * 3 / 4, c.y() - rad / 10, rad * 3 / 4, rad / 5), 18);
            p_->drawLine(c.x() - rad * 3 / 2 - px(60), c.y(), c.x() + rad * 3 / 2 + px(60), c.y());
            for (int k = 0; k < 4; ++k) {
                numeral(QPoint(c.x() + rad + px(140), c.y() - rad + k * rad / 2),
                        QPoint(c.x() + rad * 3 / 4, c.y() - rad / 2 + k * rad / 3), ref + k * 2);
                numeral(QPoint(c.x() - rad - px(200), c.y() - rad + k * rad / 2),
                        QPoint(c.x() - rad * 3 / 4, c.y() - rad / 2 + k * rad / 3), ref + 1 + k * 2);
            }
        }
        p_->restore();
        textIn(QRect(area.left(), area.bottom() - px(120), area.width(), 0), QString("FIG. %1").arg(fig),
               font(72, true, true, true), Qt::AlignHCenter);
    }

    void drawings() {
        const int count = std::max(1, spec_.items);
        const int h = (bottom_ - y_) / count;
        for (int i = 0; i < count; ++i) figure(QRect(margin_, y_ + i * h, width(), h), spec_.firstItem + i);
    }

    void description() {
        QFont f = font(42);
        static const char* const kHeads[] = {"BACKGROUND OF THE INVENTION", "SUMMARY OF THE INVENTION",
                                             "BRIEF DESCRIPTION OF THE DRAWINGS", "DETAILED DESCRIPTION"};
        text(margin_, y_, kHeads[static_cast<std::size_t>(spec_.firstItem) % 4], font(44, true),
             Qt::AlignHCenter);
        y_ += px(90);
        fillParagraphs(f, margin_, width(), "[", spec_.page * 9);
    }

    void claims() {
        QFont f = font(42);
        if (spec_.firstItem <= 1) {
            text(margin_, y_, "What is claimed is:", font(44, true));
            y_ += px(80);
        }
        for (int n = spec_.firstItem; y_ < bottom_; ++n) {
            QString c = QString("%1. A %2 comprising: ").arg(n).arg(word() + " " + word()) +
                        paragraph(rng_.range(2, 4));
            if (!wrapped(c, f, margin_ + px(60), width() - px(60))) break;
            y_ += px(30);
        }
    }

    void certificate() {
        text(margin_, y_,
             spec_.section == "Reexamination Certificate" ? "REEXAMINATION CERTIFICATE"
                                                          : "CERTIFICATE OF CORRECTION",
             font(70, true), Qt::AlignHCenter);
        y_ += px(160);
        QFont f = font(42), b = font(42, true);
        const QString rows[][2] = {{"PATENT NO.", QString::fromStdString(spec_.number)},
                                   {"DATED", date()},
                                   {"INVENTOR(S)", person() + "; " + person()}};
        for (const auto& r : rows) {
            text(margin_, y_, r[0], b);
            text(margin_ + px(420), y_, ": " + r[1], f);
            y_ += px(70);
        }
        y_ += px(40);
        wrapped(
            "It is certified that error appears in the above-identified document and that said document is "
            "hereby corrected as shown below: " +
                paragraph(2),
            f, margin_, width());
        y_ += px(60);
        for (int i = 0; i < 18 && y_ + px(200) < bottom_ - px(600); ++i) {
            wrapped(QString("Column %1, line %2, \"%3\" should read -- %4 --.")
                        .arg(rng_.range(1, 12))
                        .arg(rng_.range(1, 67))
                        .arg(word())
                        .arg(word() + " " + word()),
                    f, margin_, width());
            y_ += px(24);
        }
        QPoint seal(right_ - px(330), bottom_ - px(330));
        p_->setPen(pen(6));
        p_->drawEllipse(seal, px(260), px(260));
        p_->drawEllipse(seal, px(200), px(200));
        text(seal.x() - px(150), seal.y() - px(30), "SIGNED AND SEALED", font(30, true, false));
        text(margin_, bottom_ - px(260), "Attesting Officer: " + person(), f);
    }

    void logo(const QRect& r) {
        p_->save();
        p_->setPen(pen(8));
        QPoint c = r.center();
        int rad = std::min(r.width(), r.height()) / 2;
        p_->drawEllipse(c, rad, rad);
        QPolygon star;
        int points = rng_.range(5, 8);
        for (int k = 0; k < points * 2; ++k) {
            double t = k * M_PI / points - M_PI / 2;
            int rr = k % 2 ? rad / 3 : rad * 9 / 10;
            star << c + QPoint(int(std::cos(t) * rr), int(std::sin(t) * rr));
        }
        p_->setBrush(QBrush(Qt::black));
        p_->drawPolygon(star);
        p_->restore();
        hatch(QRect(c.x() - rad, c.y() + rad + px(30), 2 * rad, px(80)), 20);
    }

    QString markWord() { return (name() + name()).toUpper().left(9); }

    void registration() {
        QFont f = font(42), b = font(42, true);
        text(margin_, y_, "Registered " + date(), b);
        text(right_, y_, QString("Int. Cl.: %1").arg(rng_.range(1, 45)), b, Qt::AlignRight);
        y_ += px(140);
        QRect box(margin_ + px(150), y_, width() - px(300), px(900));
        p_->setPen(pen(6));
        p_->drawRect(box);
        text(box.left(), box.top() + px(90), markWord(), font(190, true), Qt::AlignHCenter);
        logo(QRect(box.center().x() - px(220), box.top() + px(360), px(440), px(380)));
        y_ = box.bottom() + px(100);
        wrapped("For: " + paragraph(2), f, margin_, width());
        y_ += px(40);
        wrapped("First use " + date() + "; in commerce " + date() + ".", f, margin_, width());
        y_ += px(40);
        wrapped("Owner: " + company() + ", " + name() + " Street, " + name() + ". " + paragraph(2), f,
                margin_, width());
        y_ += px(40);
        fillParagraphs(f, margin_, width());
    }

    void specimen() {
        QRect label(margin_ + px(100), y_ + px(50), width() - px(200), px(1500));
        p_->setPen(pen(10));
        p_->drawRoundedRect(label, px(60), px(60));
        text(label.left(), label.top() + px(120), markWord(), font(170, true), Qt::AlignHCenter);
        logo(QRect(label.left() + px(120), label.top() + px(420), px(500), px(440)));
        y_ = label.top() + px(420);
        wrapped(paragraph(4), font(38), label.left() + px(700), label.width() - px(820));
        int bars = label.bottom() - px(320);
        for (int x = label.left() + px(200); x < label.right() - px(200); x += px(rng_.range(6, 18)))
            p_->fillRect(x, bars, px(rng_.range(3, 9)), px(220), Qt::black);
        y_ = label.bottom() + px(120);
        fillParagraphs(font(42), margin_, width());
    }

    void statement() {
        text(margin_, y_, rng_.chance(50) ? "DECLARATION OF USE" : "APPLICATION FOR RENEWAL", font(60, true),
             Qt::AlignHCenter);
        y_ += px(140);
        int stop = bottom_;
        bottom_ -= px(420);
        fillParagraphs(font(42), margin_, width());
        bottom_ = stop;
        signatures(1);
    }

    void signatures(int count) {
        int y = bottom_ - px(300);
        int w = width() / count;
        for (int i = 0; i < count; ++i) {
            int x = margin_ + i * w;
            QPainterPath scrawl;
            scrawl.moveTo(x + px(40), y - px(40));
            for (int k = 1; k < 9; ++k)
                scrawl.quadTo(x + px(40) + k * px(55) - px(25), y - px(40) + (k % 2 ? -px(90) : px(60)),
                              x + px(40) + k * px(55), y - px(40));
            p_->setPen(pen(4));
            p_->drawPath(scrawl);
            p_->fillRect(x + px(20), y + px(20), w - px(80), px(4), Qt::black);
            text(x + px(20), y + px(40), person(), font(38));
            text(x + px(20), y + px(100), "Date: " + date(), font(38));
        }
    }

    void cover() {
        QFont f = font(38, false, false), b = font(36, true, false);
        QRect stamp(right_ - px(760), y_, px(760), px(190));
        p_->setPen(pen(8));
        p_->drawRect(stamp);
        text(stamp.left() + px(40), stamp.top() + px(20), "RECORDED", font(48, true, false));
        text(stamp.left() + px(40), stamp.top() + px(100),
             "REEL / FRAME  " + QString::fromStdString(spec_.number), font(44, true, false));
        text(margin_, y_ + px(40), "RECORDATION FORM COVER SHEET", font(54, true, false));
        y_ += px(250);
        static const char* const kBoxes[] = {"1. Name of conveying party(ies):",
                                             "2. Name and address of receiving party(ies):",
                                             "3. Nature of conveyance:",
                                             "4. Application number(s) or patent number(s):",
                                             "5. Party to whom correspondence should be mailed:",
                                             "6. Total number of applications and patents:",
                                             "7. Total fee enclosed:",
                                             "8. Statement and signature:"};
        const int boxH = (bottom_ - y_) / 4;
        p_->setPen(pen(4));
        for (int i = 0; i < 8; ++i) {
            QRect r(margin_ + (i % 2) * width() / 2, y_ + (i / 2) * boxH, width() / 2, boxH);
            p_->drawRect(r);
            int save = y_;
            y_ = r.top() + px(20);
            wrapped(kBoxes[i], b, r.left() + px(20), r.width() - px(40), false);
            y_ += px(20);
            QString v = i == 2 ? QString("Assignment of the entire interest. Execution date: ") + date()
                               : (i % 3 == 0 ? person() : company()) + ". " + paragraph(2);
            int stop = bottom_;
            bottom_ = r.bottom() - px(10);
            wrapped(v, f, r.left() + px(20), r.width() - px(40), false);
            bottom_ = stop;
            y_ = save;
        }
    }

    void deed() {
        text(margin_, y_, "ASSIGNMENT", font(70, true), Qt::AlignHCenter);
        y_ += px(150);
        QFont f = font(42);
        wrapped("For good and valuable consideration, the receipt of which is hereby acknowledged, " +
                    person() + " hereby sells, assigns and transfers to " + company() +
                    " the entire right, title and interest "
                    "in the invention. " +
                    paragraph(3),
                f, margin_, width());
        y_ += px(40);
        int stop = bottom_;
        bottom_ -= px(420);
        fillParagraphs(f, margin_, width());
        bottom_ = stop;
        signatures(2);
    }

    BitPage bits() const {
        BitPage out;
        out.width = spec_.width;
        out.height = spec_.height;
        out.dpi = spec_.dpi;
        const std::size_t stride = out.stride();
        out.bits.assign(stride * static_cast<std::size_t>(out.height), 0);
        for (int y = 0; y < out.height; ++y) {
            const uchar* s = img_.constScanLine(y);
            std::uint8_t* d = out.bits.data() + stride * static_cast<std::size_t>(y);
            for (int x = 0; x < out.width; ++x)
                if (s[x] < 128) d[x >> 3] |= static_cast<std::uint8_t>(0x80u >> (x & 7));
        }
        return out;
    }
};

}  // namespace

BitPage DrawPage(const PageSpec& spec) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("drawing sample pages needs a QGuiApplication (for its fonts)");
    if (spec.width < 64 || spec.height < 64 || spec.width > 20000 || spec.height > 20000 || spec.dpi < 10)
        throw std::invalid_argument("sample page size out of range");
    return Page(spec).run();
}

}  // namespace velk::mksample
