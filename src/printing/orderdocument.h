#pragma once

class FrmMain;

namespace printing {

class Page;

// Where "ATT BETALA" stands on the first page: the order lines stay above it.
inline constexpr float totalsTop = 24.5f;

// Draws the order shown in the order window as the printed order form and
// ends the document. False when a step failed (the page tells which); the
// steps after it are not drawn.
bool printOrderDocument(const FrmMain& window, Page& page);

} // namespace printing
