#pragma once

#include <QString>
#include <QVariantList>
#include <QtGlobal>

class QObject;

namespace kx::store {
class Session;
}

namespace kx::editor {

// The statements that change a route's sequence of points. Each change is one
// transaction: it is done whole or not at all, so no failure leaves two points
// of one route with the same Number, nor a number skipped. Each shows its own
// failure message through the session's prompter, owned by owner.

// A point's row as it was, every column, so that an undone change can put it
// back exactly (its Code, its calculated values and its beacon included).
struct PointRow
{
    qint64 code = 0;
    QVariantList values; // in the order of pointColumns()

    bool isValid() const { return code != 0; }
    qint64 route() const;
    int number() const;
    qint64 punkt() const;
    QVariant value(const QString &column) const;
};
// Every column of Points, Code first.
const QStringList &pointColumns();
// The point's row as it is now; an invalid row when it is gone or the
// statement fails.
PointRow readPointRow(store::Session &session, qint64 point);

// Inserts a point at waypoint punkt right after the point numbered after (0:
// at the head of the route): the points behind it move up by one and the new
// row (Route, Punkt, Number = after + 1, nothing else) is appended. code, when
// not 0, is the Code the row is to have (a redone insertion gets its old one).
// Returns the new point's Code, or 0 after a failure.
qint64 insertPointAfter(store::Session &session, QObject *owner, qint64 route, int after, qint64 punkt,
                        qint64 code = 0);

// Gives the point another waypoint and clears its MPU, S, correction beacon
// and Dm. The statement runs even for the waypoint the point already has.
// before, when given, receives the point's row as it was.
bool replacePointWaypoint(store::Session &session, QObject *owner, qint64 point, qint64 punkt,
                          PointRow *before = nullptr);

// Deletes the point, whose Number is number, and moves the points behind it
// down by one. deleted, when given, receives the row as it was. A point that
// is no longer there is no failure: nothing changes.
bool deletePoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number,
                 PointRow *deleted = nullptr);

// Undoing: puts a deleted point back at its Number with every value it had
// (the points from that Number on move up by one); gives a replaced point back
// its waypoint, values and beacon, provided it still has waypoint replacedBy.
bool restorePoint(store::Session &session, QObject *owner, const PointRow &row);
bool restorePointWaypoint(store::Session &session, QObject *owner, const PointRow &row, qint64 replacedBy);

// A waypoint of the person's own, made where the route is edited: a catalogue
// intersection (no type) with its ident, region and position texts.
struct OwnWaypoint
{
    QString id;
    QString region;
    QString lat;
    QString lon;
};

// What insertOwnPoint did, for undoing it.
struct OwnPoint
{
    qint64 point = 0;     // the new point's Code; 0 after a failure
    qint64 punkt = 0;     // the waypoint it stands on
    bool created = false; // a new catalogue row (not an equal one found)
};

// Inserts a point of the person's own after the point numbered after: an
// intersection of the catalogue with the same region, ident and position is
// used when there is one; otherwise one is written, with MS = MagVar at its
// position. One transaction for both. codes, when given (a redo), are the
// Codes the rows are to have again.
OwnPoint insertOwnPoint(store::Session &session, QObject *owner, qint64 route, int after, const OwnWaypoint &w,
                        const OwnPoint &codes = {});
// Undoes an insertion: deletes the point, provided it is still the route's
// point of that Number, and moves the points behind it down by one; with
// createdPunkt (not 0), also the catalogue row made for it, unless something
// else uses it now. A point that has gone or moved is a failure.
bool withdrawPoint(store::Session &session, QObject *owner, qint64 route, qint64 point, int number,
                   qint64 createdPunkt = 0);

} // namespace kx::editor
