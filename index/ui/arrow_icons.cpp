#include "index/ui/arrow_icons.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <system_error>

#include "platform/app.h"

namespace velk {

QIcon BuiltInArrow(const std::string& fileName) {
    const bool enabled = fileName.rfind("e_", 0) == 0;
    const std::string what = fileName.substr(2, fileName.find('.') == std::string::npos ? std::string::npos
                                                                                         : fileName.find('.') - 2);
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int angle = what == "right" ? 90 : (what == "down" || what == "d100") ? 180 : what == "left" ? 270 : 0;
    p.translate(16, 16);
    p.rotate(angle);
    p.translate(-16, -16);
    const bool jump = what == "u100" || what == "d100";
    auto draw = [&](const QColor& c, QPointF shift) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        if (jump) {
            const QPolygonF chevron({{16, 2}, {29, 14}, {22, 14}, {16, 8.5}, {10, 14}, {3, 14}});
            p.drawPolygon(chevron.translated(shift));
            p.drawPolygon(chevron.translated(shift + QPointF(0, 12)));
        } else {
            p.drawPolygon(QPolygonF({{16, 3}, {29, 16}, {21, 16}, {21, 29}, {11, 29}, {11, 16}, {3, 16}})
                              .translated(shift));
        }
    };
    if (enabled) {
        draw(QColor(0, 0, 128), {0, 0});
    } else {
        draw(Qt::white, {1, 1});
        draw(QColor(128, 128, 128), {0, 0});
    }
    p.end();
    return QIcon(QPixmap::fromImage(img));
}

QIcon ArrowIcon(const App& app, const std::string& fileName) {
    const std::string path = app.config.AppDir + "\\icons" + app.config.CollectionLetter + "\\" + fileName;
    if (auto native = app.drives.resolve(path)) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(*native, ec)) {
            QPixmap pm(QString::fromStdString(native->string()));
            if (!pm.isNull()) return QIcon(pm);
        }
    }
    return BuiltInArrow(fileName);
}

const QIcon& ArrowIcons::operator()(const std::string& fileName) {
    auto it = loaded_.find(fileName);
    if (it == loaded_.end()) it = loaded_.emplace(fileName, ArrowIcon(app_, fileName)).first;
    return it->second;
}

}  // namespace velk
