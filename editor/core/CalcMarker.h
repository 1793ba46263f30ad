#pragma once

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// Remembers whether the route open in the editor has been marked as not
// calculated since the editor was shown or the route was last calculated, so
// that the route's row is written at most once between two calculations
// however many changes the user makes.
class CalcMarker
{
public:
    enum class Result {
        AlreadyMarked, // nothing written
        Written,       // Routes.DateTime is Null now
        Failed,        // the write failed; its message has been shown
    };

    bool isSet() const { return m_set; }
    void clear() { m_set = false; }

    // Sets Routes.DateTime to Null through the current row of the session's
    // route list, posting with it whatever header field the user has typed.
    // When the post fails the marker stays clear, so the next change tries
    // again, and the row keeps its pending changes for the next post.
    Result mark(store::Session &session, QObject *owner);

private:
    bool m_set = false;
};

} // namespace kx::editor
