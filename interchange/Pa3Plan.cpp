#include "Pa3Plan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace kx::interchange {
namespace {

double dialledCourse(double course)
{
    double dialled = std::fmod(course, 360.0);
    if (dialled <= 0)
        dialled += 360.0;
    // Plain tenths again after the arithmetic (359.9 stays 359.9, not
    // 359.90000000000003).
    return std::round(dialled * 10) / 10;
}

QString describe(const SimRoute &route)
{
    QString text = route.departureName.trimmed();
    const QString destination = route.destinationName.trimmed();
    if (!text.isEmpty() && !destination.isEmpty())
        text += QStringLiteral(" - ");
    text += destination;
    const QString distance = QString::number(route.totalKm, 'f', 1) + QStringLiteral(" km");
    return text.isEmpty() ? distance : text + QStringLiteral(", ") + distance;
}

} // namespace

QByteArray writePa3Plan(const SimRoute &route)
{
    QJsonArray legs;
    for (qsizetype i = 0; i < route.legs.size(); ++i) {
        const SimLeg &leg = route.legs.at(i);
        QJsonObject json;
        json.insert(QStringLiteral("NAME"), route.points.at(i).fileIdent() + u'-' + route.points.at(i + 1).fileIdent());
        json.insert(QStringLiteral("S"), leg.length);
        json.insert(QStringLiteral("Z"), 0);
        json.insert(QStringLiteral("DTK"), dialledCourse(leg.course));
        legs.append(json);
    }
    QJsonObject plan;
    plan.insert(QStringLiteral("Name"), route.airportPair());
    plan.insert(QStringLiteral("ShortDesc"), route.name);
    plan.insert(QStringLiteral("LongDesc"), describe(route));
    plan.insert(QStringLiteral("Legs"), legs);
    return QJsonDocument(plan).toJson(QJsonDocument::Indented);
}

} // namespace kx::interchange
