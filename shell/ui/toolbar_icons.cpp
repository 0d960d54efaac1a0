#include "shell/ui/toolbar_icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <functional>
#include <map>

namespace velk {

namespace {

// Every picture is drawn on a 32 x 32 grid and scaled to the size asked for.
using Draw = std::function<void(QPainter&)>;

const QColor kInk(40, 40, 48);
const QColor kPaper(255, 255, 255);
const QColor kBlue(30, 80, 170);
const QColor kGreen(20, 130, 60);
const QColor kRed(190, 30, 30);
const QColor kTitle(40, 90, 180);
const QColor kGlass(200, 225, 250);

QPen Ink(double width = 1.5) { return QPen(kInk, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet with a folded corner.
void Page(QPainter& p, QRectF r) {
    const double fold = r.width() * 0.3;
    QPolygonF sheet({r.topLeft(), {r.right() - fold, r.top()}, {r.right(), r.top() + fold}, r.bottomRight(),
                     r.bottomLeft()});
    p.setPen(Ink(1.2));
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF({{r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold},
                              {r.right(), r.top() + fold}}));
}

void TextLines(QPainter& p, QRectF r, int lines) {
    p.setPen(QPen(QColor(120, 120, 130), 1.2));
    const double step = r.height() / (lines + 1);
    for (int i = 1; i <= lines; ++i)
        p.drawLine(QPointF(r.left() + 2.5, r.top() + i * step), QPointF(r.right() - 2.5, r.top() + i * step));
}

void Magnifier(QPainter& p, QPointF c, double radius) {
    p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
    const QPointF handle = c + QPointF(radius * 0.72, radius * 0.72);
    p.drawLine(handle, handle + QPointF(radius * 0.75, radius * 0.75));
    p.setPen(Ink(2.2));
    p.setBrush(kGlass);
    p.drawEllipse(c, radius, radius);
}

void Sign(QPainter& p, QPointF c, double half, bool plus, const QColor& color) {
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(c - QPointF(half, 0), c + QPointF(half, 0));
    if (plus) p.drawLine(c - QPointF(0, half), c + QPointF(0, half));
}

// A round badge with a plus or a minus, bottom right.
void Badge(QPainter& p, bool plus) {
    const QColor color = plus ? kGreen : kRed;
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(color);
    p.drawEllipse(QPointF(24, 24), 7.5, 7.5);
    Sign(p, {24, 24}, 4.5, plus, Qt::white);
}

void Label(QPainter& p, QRectF r, const QString& text, double pixelSize, const QColor& color) {
    QFont f("DejaVu Sans");
    f.setBold(true);
    f.setPixelSize(int(pixelSize));
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

void Window(QPainter& p, QRectF r) {
    p.setPen(Ink(1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setBrush(kTitle);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), std::min(5.0, r.height() / 3)));
}

void Printer(QPainter& p, double dx, double dy, double s) {
    p.save();
    p.translate(dx, dy);
    p.scale(s, s);
    p.setPen(Ink(1.3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 3, 14, 10));  // paper in
    p.setBrush(QColor(170, 175, 185));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 20, 16, 9));  // paper out
    p.setPen(QPen(QColor(120, 120, 130), 1));
    p.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(25, 15.5), 1.3, 1.3);
    p.restore();
}

void Disk(QPainter& p, double dx, double dy, double s) {
    p.save();
    p.translate(dx, dy);
    p.scale(s, s);
    p.setPen(Ink(1.3));
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({{4, 4}, {25, 4}, {28, 7}, {28, 28}, {4, 28}}));
    p.setBrush(QColor(210, 210, 215));
    p.drawRect(QRectF(9, 4, 13, 8));
    p.setBrush(kBlue.darker(130));
    p.drawRect(QRectF(17, 5.5, 3, 5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(8, 16, 16, 12));
    p.restore();
}

// Right-pointing triangle with its point at x.
void Triangle(QPainter& p, double x, double y, double w, double h, bool right, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPolygonF t = right ? QPolygonF({{x - w, y - h / 2}, {x, y}, {x - w, y + h / 2}})
                        : QPolygonF({{x + w, y - h / 2}, {x, y}, {x + w, y + h / 2}});
    p.drawPolygon(t);
}

void Bar(QPainter& p, double x, double y, double h, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(x - 1.75, y - h / 2, 3.5, h));
}

// Page buttons: single triangles; document buttons: double ones over a sheet.
void Step(QPainter& p, bool forward, bool toEnd, bool documents) {
    const QColor color = documents ? kGreen : kBlue;
    if (documents) {
        p.setOpacity(0.35);
        Page(p, QRectF(6, 3, 20, 26));
        p.setOpacity(1.0);
    }
    const double y = 16, h = documents ? 14 : 18, w = documents ? 8 : 11;
    if (forward) {
        double tip = toEnd ? 24 : (documents ? 26 : 22);
        if (documents) {
            Triangle(p, tip, y, w, h, true, color);
            Triangle(p, tip - w, y, w, h, true, color);
        } else {
            Triangle(p, tip, y, w, h, true, color);
        }
        if (toEnd) Bar(p, tip + 2.5, y, h, color);
    } else {
        double tip = toEnd ? 8 : (documents ? 6 : 10);
        if (documents) {
            Triangle(p, tip, y, w, h, false, color);
            Triangle(p, tip + w, y, w, h, false, color);
        } else {
            Triangle(p, tip, y, w, h, false, color);
        }
        if (toEnd) Bar(p, tip - 2.5, y, h, color);
    }
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color) {
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::FlatCap));
    QLineF line(from, to);
    QLineF back(to, from);
    back.setLength(6);
    p.drawLine(from, back.p2());
    QLineF wing1 = QLineF::fromPolar(7, line.angle() + 150).translated(to);
    QLineF wing2 = QLineF::fromPolar(7, line.angle() - 150).translated(to);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({to, wing1.p2(), wing2.p2()}));
}

const std::map<std::string, Draw>& Pictures() {
    static const std::map<std::string, Draw> pictures = {
        {"BTN_FIND",
         [](QPainter& p) {
             Page(p, QRectF(3, 2, 19, 25));
             TextLines(p, QRectF(3, 6, 16, 20), 4);
             Magnifier(p, {19, 18}, 6.5);
         }},
        {"BTN_VIEWER1",
         [](QPainter& p) {
             Window(p, QRectF(3, 4, 26, 24));
             Label(p, QRectF(3, 9, 26, 19), "1", 17, kInk);
         }},
        {"BTN_VIEWER2",
         [](QPainter& p) {
             Window(p, QRectF(3, 4, 26, 24));
             Label(p, QRectF(3, 9, 26, 19), "2", 17, kInk);
         }},
        {"BTN_GOTO",
         [](QPainter& p) {
             Page(p, QRectF(11, 3, 18, 26));
             TextLines(p, QRectF(11, 8, 15, 20), 3);
             Arrow(p, {2, 20}, {17, 20}, kBlue);
         }},
        {"BTN_COPY",
         [](QPainter& p) {
             Page(p, QRectF(3, 3, 16, 20));
             TextLines(p, QRectF(3, 7, 13, 15), 3);
             Page(p, QRectF(12, 9, 16, 20));
             TextLines(p, QRectF(12, 13, 13, 15), 3);
         }},
        {"BTN_PRINT", [](QPainter& p) { Printer(p, 0, 0, 1); }},
        {"BTN_EXPORT",
         [](QPainter& p) {
             Page(p, QRectF(3, 3, 18, 26));
             TextLines(p, QRectF(3, 8, 15, 20), 4);
             Arrow(p, {12, 16}, {30, 16}, kGreen);
         }},
        {"BTN_ADD_PRINTER",
         [](QPainter& p) {
             Printer(p, -1, -1, 0.82);
             Badge(p, true);
         }},
        {"BTN_SUB_PRINTER",
         [](QPainter& p) {
             Printer(p, -1, -1, 0.82);
             Badge(p, false);
         }},
        {"BTN_ADD_EXPORT",
         [](QPainter& p) {
             Disk(p, -1, -1, 0.8);
             Badge(p, true);
         }},
        {"BTN_SUB_EXPORT",
         [](QPainter& p) {
             Disk(p, -1, -1, 0.8);
             Badge(p, false);
         }},
        {"BTN_FIRST_PG", [](QPainter& p) { Step(p, false, true, false); }},
        {"BTN_PREV_PG", [](QPainter& p) { Step(p, false, false, false); }},
        {"BTN_NEXT_PG", [](QPainter& p) { Step(p, true, false, false); }},
        {"BTN_LAST_PG", [](QPainter& p) { Step(p, true, true, false); }},
        {"BTN_FULLVIEW",
         [](QPainter& p) {
             Page(p, QRectF(9, 6, 14, 20));
             p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
             p.setBrush(Qt::NoBrush);
             for (QPointF c : {QPointF(3, 3), QPointF(29, 3), QPointF(3, 29), QPointF(29, 29)}) {
                 double sx = c.x() < 16 ? 1 : -1, sy = c.y() < 16 ? 1 : -1;
                 p.drawPolyline(QPolygonF({c + QPointF(0, 6 * sy), c, c + QPointF(6 * sx, 0)}));
             }
         }},
        {"BTN_ZOOM100",
         [](QPainter& p) {
             Magnifier(p, {13, 13}, 10);
             Label(p, QRectF(3, 3, 20, 20), "1:1", 9, kInk);
         }},
        {"BTN_ZOOM_IN",
         [](QPainter& p) {
             Magnifier(p, {13, 13}, 10);
             Sign(p, {13, 13}, 5.5, true, kInk);
         }},
        {"BTN_ZOOM_OUT",
         [](QPainter& p) {
             Magnifier(p, {13, 13}, 10);
             Sign(p, {13, 13}, 5.5, false, kInk);
         }},
        {"BTN_ROTATE",
         [](QPainter& p) {
             p.setPen(QPen(kBlue, 3.2, Qt::SolidLine, Qt::FlatCap));
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(5, 5, 22, 22), 90 * 16, 270 * 16);  // from the top round to the right
             p.setPen(Qt::NoPen);
             p.setBrush(kBlue);
             p.drawPolygon(QPolygonF({{15, 0.5}, {23, 5.5}, {15, 10.5}}));
         }},
        {"BTN_LINK",
         [](QPainter& p) {
             // Two chain links.
             p.setPen(QPen(kBlue, 3.0));
             p.setBrush(Qt::NoBrush);
             p.save();
             p.translate(16, 16);
             p.rotate(-45);
             p.drawRoundedRect(QRectF(-14, -5, 16, 10), 5, 5);
             p.drawRoundedRect(QRectF(-2, -5, 16, 10), 5, 5);
             p.restore();
         }},
        {"BTN_ZOOM_AREA",
         [](QPainter& p) {
             p.setPen(QPen(kInk, 1.5, Qt::DashLine));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(2.5, 2.5, 20, 16));
             Magnifier(p, {20, 19}, 6);
         }},
        {"BTN_FIRST_DOC", [](QPainter& p) { Step(p, false, true, true); }},
        {"BTN_PREV_DOC", [](QPainter& p) { Step(p, false, false, true); }},
        {"BTN_NEXT_DOC", [](QPainter& p) { Step(p, true, false, true); }},
        {"BTN_LAST_DOC", [](QPainter& p) { Step(p, true, true, true); }},
        {"BTN_VERTICAL",
         [](QPainter& p) {
             Window(p, QRectF(2.5, 4, 13, 24));
             Window(p, QRectF(16.5, 4, 13, 24));
         }},
        {"BTN_HORIZONTAL",
         [](QPainter& p) {
             Window(p, QRectF(3, 2.5, 26, 13));
             Window(p, QRectF(3, 16.5, 26, 13));
         }},
        {"BTN_CASCADE",
         [](QPainter& p) {
             Window(p, QRectF(2.5, 2.5, 17, 15));
             Window(p, QRectF(7.5, 8, 17, 15));
             Window(p, QRectF(12.5, 13.5, 17, 15));
         }},
    };
    return pictures;
}

QIcon Render(const Draw& draw) {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.scale(size / 32.0, size / 32.0);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

}  // namespace

QIcon ToolbarIcon(const std::string& key) {
    const auto& pictures = Pictures();
    auto it = pictures.find(key);
    return it == pictures.end() ? QIcon() : Render(it->second);
}

QIcon ProgramIcon() {
    return Render([](QPainter& p) {
        Page(p, QRectF(4, 2, 20, 27));
        TextLines(p, QRectF(4, 7, 17, 21), 4);
        Magnifier(p, {20, 19}, 6.5);
    });
}

}  // namespace velk
