#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

class QWidget;

// The look the program's windows share.
namespace look {

inline const QColor background = Qt::black;
inline const QColor fieldText = QColor(255, 255, 0); // &H0000FFFF&
inline const QColor captionText = Qt::white;
inline const QColor legendStrip = QColor(192, 0, 0); // &H000000C0&

// "MS Sans Serif" at the given size; where the system lacks it, a sans serif of
// about the same width stands in.
QFont sansSerif(qreal pointSize, bool bold);
// "Times New Roman", or its metric twin where the system lacks it.
QFont timesNewRoman(qreal pointSize);

// Gives the window the size it wants, or what the screen has room for, and
// puts it in the middle of the screen, as every window of the program opens.
void placeOnScreen(QWidget& window, QSize wanted);

} // namespace look
