#include "WindowGeometry.h"

#include "base/IniFile.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace kx::ui {
namespace {

// Larger than any screen: a value beyond it was not written by the program.
constexpr int kLargest = 100000;

QList<QRect> availableAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    if (areas.isEmpty())
        areas.append(QRect(0, 0, 1024, 600));
    return areas;
}

qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

double distance(const QPoint &point, const QRect &area)
{
    const int dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const int dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    return std::hypot(double(dx), double(dy));
}

// Places one dimension: the length no more than the room (but not below the
// least the window takes), the start inside the room; a window longer than
// the room starts where the room starts, so its title bar stays in reach.
void fit(int *start, int *length, int least, int roomStart, int roomLength)
{
    *length = std::max(std::min(*length, roomLength), least);
    if (*length >= roomLength)
        *start = roomStart;
    else
        *start = std::clamp(*start, roomStart, roomStart + roomLength - *length);
}

// The frame's width on each side: known once the window has a native window
// with its frame; none before.
QMargins frameMargins(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

QSize grownBy(const QSize &size, const QMargins &margins)
{
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize shrunkBy(const QSize &size, const QMargins &margins)
{
    return size - QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

void place(QWidget *window, const QRect &frame, const QMargins &margins)
{
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    if (!fixedSize)
        window->resize(shrunkBy(frame.size(), margins));
    window->move(frame.topLeft());
}

// Checks the window's place again once it is shown with its real frame.
class ShownCheck : public QObject
{
public:
    explicit ShownCheck(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            // The frame is there after the window system has shown the window.
            QTimer::singleShot(0, m_window, [window = m_window] {
                if (window)
                    keepShownWindowOnScreen(window);
            });
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

QRect keepOnScreen(const QRect &frame, const QSize &minimum, const QList<QRect> &screens)
{
    Q_ASSERT(!screens.isEmpty());
    const auto most = std::max_element(screens.cbegin(), screens.cend(), [&](const QRect &a, const QRect &b) {
        return overlap(frame, a) < overlap(frame, b);
    });
    QRect room = *most;
    if (overlap(frame, room) == 0)
        room = *std::min_element(screens.cbegin(), screens.cend(), [&](const QRect &a, const QRect &b) {
            return distance(frame.center(), a) < distance(frame.center(), b);
        });
    int x = frame.x(), width = frame.width(), y = frame.y(), height = frame.height();
    fit(&x, &width, minimum.width(), room.x(), room.width());
    fit(&y, &height, minimum.height(), room.y(), room.height());
    return QRect(x, y, width, height);
}

void keepShownWindowOnScreen(QWidget *window)
{
    if (!window->isVisible() || (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        return;
    const QRect frame = window->frameGeometry();
    const QMargins margins(window->geometry().left() - frame.left(), window->geometry().top() - frame.top(),
                           frame.right() - window->geometry().right(), frame.bottom() - window->geometry().bottom());
    const QRect fitted = keepOnScreen(frame, grownBy(window->minimumSize(), margins), availableAreas());
    if (fitted != frame)
        place(window, fitted, margins);
}

WindowGeometry::WindowGeometry(QString iniPath, QString section, QString keyPrefix)
    : m_iniPath(std::move(iniPath))
    , m_section(std::move(section))
    , m_prefix(std::move(keyPrefix))
{
}

bool WindowGeometry::restore(QWidget *window) const
{
    IniFile ini;
    if (!ini.load(m_iniPath))
        return false;
    const auto number = [&](const char *key) { return ini.readInteger(m_section, m_prefix + QLatin1String(key), 0); };
    const int left = number("Left"), top = number("Top"), width = number("Width"), height = number("Height");
    const QMargins margins = frameMargins(window);
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest || std::abs(left) > kLargest
        || std::abs(top) > kLargest) {
        // The first time: in the middle of the screen, and all of it on it.
        const QWidget *parent = window->parentWidget();
        const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        QRect frame(QPoint(), grownBy(window->size(), margins));
        if (screen)
            frame.moveCenter(screen->availableGeometry().center());
        place(window, keepOnScreen(frame, grownBy(window->minimumSize(), margins), availableAreas()), margins);
        new ShownCheck(window);
        return false;
    }
    const bool fixedSize = window->minimumSize() == window->maximumSize();
    const QRect frame(QPoint(left, top), grownBy(fixedSize ? window->size() : QSize(width, height), margins));
    place(window, keepOnScreen(frame, grownBy(window->minimumSize(), margins), availableAreas()), margins);
    if (number("Maximized") != 0)
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    new ShownCheck(window);
    return true;
}

bool WindowGeometry::save(const QWidget *window) const
{
    const bool maximized = window->windowState() & Qt::WindowMaximized;
    const QRect frame = window->frameGeometry();
    const QPoint frameOffset = window->geometry().topLeft() - frame.topLeft();
    // A maximised window keeps the place it returns to.
    const QRect inside = maximized ? window->normalGeometry() : window->geometry();
    const QPoint corner = inside.topLeft() - frameOffset;
    IniFile ini;
    if (!ini.load(m_iniPath))
        return false;
    ini.writeInteger(m_section, m_prefix + QStringLiteral("Left"), corner.x());
    ini.writeInteger(m_section, m_prefix + QStringLiteral("Top"), corner.y());
    ini.writeInteger(m_section, m_prefix + QStringLiteral("Width"), inside.width());
    ini.writeInteger(m_section, m_prefix + QStringLiteral("Height"), inside.height());
    ini.writeInteger(m_section, m_prefix + QStringLiteral("Maximized"), maximized ? 1 : 0);
    return ini.save(m_iniPath);
}

} // namespace kx::ui
