// Small button pictures of the main window, drawn in code at the sizes the
// window's layout asks for.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace Glyphs {

QPixmap OpenDatabase(int size); // path button: a folder with a drum
QPixmap Printer(int size); // print button
QPixmap Sheet(int size); // workbook export: a green grid
QPixmap Funnel(int size); // set filter
QPixmap FunnelOff(int size); // remove filter: funnel with a red cross
QPixmap Pencil(int size); // edit selected record
QPixmap ListLines(int size); // edit the car list
QPixmap Cross(int size); // delete record

} // namespace Glyphs
