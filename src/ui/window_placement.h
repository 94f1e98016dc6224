// Where windows go on the screen: always wholly inside the screen's available area
// (screen minus task bar), frame and caption included, so that no button ends up
// below the bottom edge.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <vector>

class QWidget;

namespace sorvel {

// The available area of the screen a window is on (or will open on).
QRect AvailableArea(const QWidget* window);

// The frame and caption around a window's inner area. Before the window has been shown
// the window manager has not framed it yet, so the main window's frame stands in.
QMargins FrameMargins(const QWidget* window);

// The window's rectangle with its frame.
QRect FrameRect(const QWidget* window);

// The frame rectangle moved, and shrunk where it is larger, so that it lies inside area.
QRect FitInside(const QRect& frame, const QRect& area);

// The first of the candidate frame positions at which a frame of the given size lies
// inside area and clear of every rectangle in avoid; none when no candidate is.
std::optional<QPoint> ClearPosition(const QSize& frame, const std::vector<QPoint>& candidates,
                                    const std::vector<QRect>& avoid, const QRect& area);

// Keeps the window inside the available area each time it is shown. A window that
// nobody has placed opens below the main window when it fits there, else in the middle
// of the available area; the main window itself opens at the top.
void KeepOnScreen(QWidget* window);

}  // namespace sorvel
