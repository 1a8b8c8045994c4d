#pragma once

#include <QFont>

namespace printing {

// "Times New Roman", the one family of the printed order, or its metric twin
// (Liberation Serif) where the system lacks it.
QFont timesNewRoman(qreal pointSize);

} // namespace printing
