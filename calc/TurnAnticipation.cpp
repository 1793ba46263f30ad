#include "TurnAnticipation.h"

#include "CalcTexts.h"

#include "base/Error.h"
#include "base/Numbers.h"
#include "store/Query.h"

#include <cmath>

namespace kx::calc {
namespace {

// A missing course is marked as -1, so a stored -1 counts as missing too.
constexpr double kMissing = -1;

double courseOrMissing(const QVariant &value)
{
    return value.isNull() ? kMissing : value.toDouble();
}

void setLur(store::Query &points, const QVariant &lur)
{
    if (!points.edit())
        throw Error(texts::withReason(texts::pointsWriteFailed(), points.lastError()));
    points.setValue(u"LUR", lur);
    if (!points.post()) {
        const QString why = points.lastError();
        points.cancel();
        throw Error(texts::withReason(texts::pointsWriteFailed(), why));
    }
}

} // namespace

int turnAnticipation(double ozmpuV, double nextOzmpuP)
{
    double turn = roundHalfEven(std::fabs(ozmpuV - nextOzmpuP));
    if (turn > 180)
        turn = std::fabs(turn - 360);
    if (turn <= 40)
        return 5;
    if (turn <= 70)
        return 10;
    if (turn <= 180)
        return 15;
    return 20;
}

void writeTurnAnticipation(store::Query &points)
{
    const int n = points.rowCount();
    if (n < 2)
        return;
    points.first();
    for (int k = 1; k <= n - 2; ++k) {
        const double e = courseOrMissing(points.valueAt(k - 1, u"OZMPU_V"));
        const double f = courseOrMissing(points.valueAt(k, u"OZMPU_P"));
        points.setRowNumber(k);
        if (e != kMissing && f != kMissing)
            setLur(points, turnAnticipation(e, f));
    }
    // The last leg ends at the destination: no turn.
    points.setRowNumber(n - 1);
    setLur(points, QVariant());
}

} // namespace kx::calc
