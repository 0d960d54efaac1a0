#pragma once
// The fixed-pitch font of the entry lists, so number and volume columns line up:
// Courier where it is installed, otherwise the system's fixed font.
#include <QFont>

class QListWidget;

namespace velk {

QFont FixedListFont();
// Gives list the font and a height of exactly `lines` rows, without a vertical scroll
// bar when showAll is set (the index window), and a width of `columns` characters.
void SizeListForLines(QListWidget* list, int lines, int columns, bool showAll);

}  // namespace velk
