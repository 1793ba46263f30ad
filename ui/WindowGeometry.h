#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QWidget;

namespace kx::ui {

// Where a window opened last, kept in kalyx.ini and restored so that the
// window is always on a screen: a place saved on a larger screen, or on a
// screen that is gone, is moved (and if need be shrunk) into the available
// area of the screen it was on, or else of the nearest one.
//
// In the file, a section's keys <prefix>Left, <prefix>Top (the frame's
// top-left corner), <prefix>Width, <prefix>Height (the window's inside) and
// <prefix>Maximized (1 when it was), e.g. [MAP] Left=... Each save writes
// only these keys; every other line of the file stays.
class WindowGeometry
{
public:
    WindowGeometry(QString iniPath, QString section, QString keyPrefix = {});

    // Gives the window its saved place and size, kept on a screen. False when
    // nothing (or nothing usable) was saved: the window, at its own size, is
    // then put in the middle of its parent's screen (else the primary one).
    // Call before the window is shown; once it is shown with its real frame,
    // it is checked again and moved in if the frame does not fit.
    bool restore(QWidget *window) const;
    // Writes the window's place and size (its normal ones when maximised).
    bool save(const QWidget *window) const;

private:
    QString m_iniPath;
    QString m_section;
    QString m_prefix;
};

// The frame rectangle moved, and shrunk where it is larger, into the available
// area of the screen it overlaps most, else of the screen nearest to it.
// `frame` is the window with its frame, `minimum` the smallest frame the
// window can have; `screens` the available areas of the screens (never empty).
QRect keepOnScreen(const QRect &frame, const QSize &minimum, const QList<QRect> &screens);

// Moves a shown window back onto its screen when its frame does not fit there
// (a window placed by hand, or by the system, partly off the screen).
void keepShownWindowOnScreen(QWidget *window);

} // namespace kx::ui
