#pragma once

#include <QLineEdit>
#include <QTimer>

namespace kx::ui {

// A search field. With a delay set, settled(text) comes that long after the
// last change of a non-empty text (each change restarts the wait). Up, Down and
// Enter are reported by their signals and do nothing else. Optionally turns
// letters into capitals as they are typed and empties itself when it loses the
// focus.
class SearchEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit SearchEdit(QWidget *parent = nullptr);

    void setDelay(int milliseconds);
    void setUpperCase(bool on) { m_upper = on; }
    void setClearOnFocusOut(bool on) { m_clearOnFocusOut = on; }
    bool isWaiting() const { return m_timer.isActive(); }
    // Stops waiting: the text is dealt with now.
    void stopWaiting() { m_timer.stop(); }

    // Says in place that the text found nothing: the field turns red until it
    // is emptied or something is found.
    void setNotFound(bool notFound);
    bool isNotFound() const { return m_notFound; }

signals:
    void settled(const QString &text);
    void upPressed();
    void downPressed();
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QTimer m_timer;
    bool m_upper = false;
    bool m_clearOnFocusOut = false;
    bool m_notFound = false;
};

} // namespace kx::ui
