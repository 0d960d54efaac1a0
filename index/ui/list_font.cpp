#include "index/ui/list_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QScrollBar>

namespace velk {

QFont FixedListFont() {
    for (const char* family : {"Courier", "Courier New"}) {
        if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) continue;
        QFont f(family, 10);
        if (QFontInfo(f).fixedPitch()) return f;
    }
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSize(10);
    return f;
}

void SizeListForLines(QListWidget* list, int lines, int columns, bool showAll) {
    list->setFont(FixedListFont());
    list->setUniformItemSizes(true);
    const bool empty = list->count() == 0;
    if (empty) list->addItem("0");
    const int row = std::max(list->sizeHintForRow(0), QFontMetrics(list->font()).height());
    if (empty) delete list->takeItem(0);
    const int frame = 2 * list->frameWidth();
    const int charWidth = QFontMetrics(list->font()).horizontalAdvance(QLatin1Char('0'));
    int width = charWidth * (columns + 1) + frame + 8;
    if (showAll)
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    else
        width += list->verticalScrollBar()->sizeHint().width();
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setFixedHeight(row * lines + frame);
    list->setMinimumWidth(width);
}

}  // namespace velk
