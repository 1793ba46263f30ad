#include "PlnFormat.h"

#include "InterchangeTexts.h"
#include "PlnText.h"

#include "base/Error.h"
#include "base/FileError.h"
#include "base/IniFile.h"
#include "base/Numbers.h"
#include "geo/CoordText.h"
#include "geo/Rounding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace kx::interchange {
namespace {

// Leading characters up to the blank removed, as the flight plan's region and
// ident fields are read.
QString trimLeft(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).unicode() <= u' ')
        ++i;
    return text.mid(i);
}

// An empty text that binds as an empty text, not as Null.
QString nonNull(const QString &text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

// Field i (from 1) of a waypoint value.
QString field(const QString &value, int i) { return FieldBeforeComma(SkipFields(value, i - 1)); }

bool allDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Whether the third field is a latitude (see isShortWaypointLine).
bool isLatitudeField(QStringView third)
{
    third = third.trimmed();
    return third.size() > 1 && (third.front() == u'N' || third.front() == u'S') && third.contains(u'*');
}

} // namespace

int firstControlCharacter(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            return u;
    }
    return -1;
}

bool isShortWaypointLine(const QString &value)
{
    return isLatitudeField(field(value, 3));
}

PlanWaypoint parseWaypointLine(const QString &value)
{
    // Field i as SkipFields and FieldBeforeComma find it: past the last
    // comma, every further field is the last one again.
    const QStringList parts = value.split(u',');
    const auto field = [&parts](int i) { return parts.at(std::min<qsizetype>(i, parts.size()) - 1); };
    // Where each value stands: FS9's own nine fields, or the short form.
    struct Layout
    {
        int region, id, type, lat, lon, altitude;
    };
    const Layout layout = isLatitudeField(field(3)) ? Layout{0, 1, 2, 3, 4, 5} : Layout{1, 2, 5, 6, 7, 8};
    PlanWaypoint w;
    w.region = layout.region > 0 ? nonNull(trimLeft(field(layout.region))) : QString(QLatin1String(""));
    w.id = nonNull(trimLeft(field(layout.id)));
    // Such a character would go into the catalogue, where other programs cut
    // the text at a NUL or show garbage.
    for (const QString *text : {&w.region, &w.id}) {
        const int code = firstControlCharacter(*text);
        if (code >= 0) {
            w.problem = texts::controlCharacter(code);
            return w;
        }
    }
    const QString type = field(layout.type).trimmed();
    w.typeLetter = type.isEmpty() ? QChar(u' ') : type.front();

    const QString latField = field(layout.lat);
    w.lat = PlnLatToText(latField);
    if (!isCoordinateText(w.lat, true)) {
        w.problem = texts::badPlanLatitude(latField.trimmed());
        return w;
    }
    const QString lonField = field(layout.lon);
    w.lon = PlnLonToText(lonField);
    if (!isCoordinateText(w.lon, false)) {
        w.problem = texts::badPlanLongitude(lonField.trimmed());
        return w;
    }
    const QString altField = field(layout.altitude);
    const std::optional<double> h = planAltitudeFeet(altField);
    if (!h) {
        w.problem = texts::badPlanAltitude(altField.trimmed());
        return w;
    }
    w.h = *h;
    return w;
}

std::optional<double> planAltitudeFeet(const QString &text)
{
    QString alt = text;
    alt.remove(u'+');
    alt.replace(u'.', u',');
    const std::optional<long double> h = geo::readCommaNumber(alt);
    if (!h || !std::isfinite(static_cast<double>(*h)))
        return std::nullopt;
    return static_cast<double>(*h);
}

PlanPointType pointTypeOfLetter(QChar letter)
{
    switch (letter.unicode()) {
    case u'A':
        return PlanPointType::Airport;
    case u'N':
        return PlanPointType::Ndb;
    case u'V':
        return PlanPointType::Vor;
    default:
        return PlanPointType::None;
    }
}

QVariant typeOfLetter(QChar letter)
{
    return catalogueType(pointTypeOfLetter(letter));
}

QChar letterOfType(const QVariant &type)
{
    const QString text = type.isNull() ? QString() : type.toString();
    return text.isEmpty() ? QChar(u'I') : text.front();
}

QString planLatitude(const QString &lat)
{
    return ReplaceAll(SpaceAfterDegree(lat), QStringLiteral(","), QStringLiteral(".")) + u'\'';
}

QString planLongitude(const QString &lon)
{
    return ReplaceAll(TrimLonZero(SpaceAfterDegree(lon)), QStringLiteral(","), QStringLiteral(".")) + u'\'';
}

QString planAltitude(double feet)
{
    if (feet == 0)
        return QStringLiteral("+000000.00");
    return AltitudeText(static_cast<qint64>(roundHalfEven(feet)));
}

QString waypointLine(const QString &region, const QString &id, const QVariant &type, const QString &lat,
                     const QString &lon, double h)
{
    const QString sep = QStringLiteral(", ");
    return region + sep + id + QStringLiteral(", , ") + id + sep + letterOfType(type) + sep + planLatitude(lat) + sep
        + planLongitude(lon) + sep + planAltitude(h) + sep;
}

bool isCoordinateText(const QString &text, bool latitude)
{
    const int degreeDigits = latitude ? 2 : 3;
    const int limit = latitude ? 90 : 180;
    if (text.size() < 1 + degreeDigits + 1 + 2 + 2)
        return false;
    const QChar letter = text.front();
    if (latitude ? (letter != u'N' && letter != u'S') : (letter != u'E' && letter != u'W'))
        return false;
    const QStringView body = QStringView(text).mid(1);
    const QStringView degrees = body.left(degreeDigits);
    const QStringView whole = body.mid(degreeDigits + 1, 2);
    const QStringView fraction = body.mid(degreeDigits + 4);
    if (body.at(degreeDigits) != u'*' || body.at(degreeDigits + 3) != u'.' || !allDigits(degrees)
        || !allDigits(whole) || !allDigits(fraction))
        return false;
    long double minutes = whole.toInt();
    long double scale = 0.1L;
    for (const QChar c : fraction) {
        minutes += (c.unicode() - u'0') * scale;
        scale /= 10;
    }
    const long double value = degrees.toInt() + minutes / 60;
    return minutes <= 60 && value <= limit;
}

int cruisingLevelMetres(int feet)
{
    return static_cast<int>(geo::FeetToWholeMetres(feet));
}

qint64 cruisingAltitudeFeet(double metres)
{
    return geo::MetresToFeet(metres);
}

QString planFileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString routeNameOf(const QString &path)
{
    const QString name = planFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString proposedPlanName(const QString &type, const QString &departureName, const QString &destinationName)
{
    return fileNameSafe(type + u' ' + departureName + QStringLiteral(" to ") + destinationName
                        + QStringLiteral(" (by Kalyx).PLN"));
}

QString fileNameSafe(QString name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar &c : name)
        if (c.unicode() < u' ' || forbidden.contains(c))
            c = u'_';
    return name;
}

QString withPlanExtension(const QString &path)
{
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QStringView name = QStringView(path).mid(slash + 1);
    for (const char16_t *extension : {u".pln", u".PLN", u".Pln"})
        if (name.contains(QStringView(extension)))
            return path;
    return path + QStringLiteral(".PLN");
}

int lastWaypointIndexOfLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return -1;
    const QString &line = lines.last();
    const qsizetype eq = line.indexOf(u'=');
    const QString key = eq < 0 ? line : line.left(eq);
    const QString number = key.mid(key.indexOf(u'.') + 1).trimmed();
    if (!allDigits(number))
        return -1;
    bool ok = false;
    const int index = number.toInt(&ok);
    return ok ? index : -1;
}

int LastWaypointIndex(const QString &fileName)
{
    QString text;
    QString error;
    if (!readPlanText(fileName, &text, &error))
        throw Error(error);
    return lastWaypointIndexOfLines(splitTextLines(text));
}

bool readBoundedFile(const QString &fileName, qint64 limit, const QString &tooLarge, QByteArray *bytes,
                     QString *error)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = texts::planFileUnopened(shown, fileErrorText(file, FileAccess::Read));
        return false;
    }
    // One byte past the limit tells a file that is too large, however large
    // it is and even while it grows.
    *bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = texts::planFileUnread(shown, fileErrorText(file, FileAccess::Read));
        return false;
    }
    if (bytes->size() > limit) {
        bytes->clear();
        *error = texts::planFileUnread(shown, tooLarge);
        return false;
    }
    return true;
}

bool readPlanBytes(const QString &fileName, QByteArray *bytes, QString *error)
{
    return readBoundedFile(fileName, kMaxPlanFileBytes,
                           texts::planFileTooLarge(kMaxPlanFileBytes / (1024 * 1024)), bytes, error);
}

bool readPlanText(const QString &fileName, QString *text, QString *error)
{
    QByteArray bytes;
    if (!readPlanBytes(fileName, &bytes, error))
        return false;
    *text = decodeTextFile(bytes).text;
    return true;
}

} // namespace kx::interchange
