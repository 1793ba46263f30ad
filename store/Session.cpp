#include "Session.h"

#include "Collation.h"

#include "base/SimPath.h"

namespace kx::store {
namespace {

QString routesSql()
{
    return QStringLiteral(
               "SELECT Routes.Code, Routes.Name, Routes.S, Routes.Vilka, Routes.FL, Routes.Type, Routes.RouteType, "
               "Routes.AP_V, Routes.AP_P, Routes.Dep_ID, Routes.Dep_Name, Routes.Dep_Pos, Routes.Dest_ID, "
               "Routes.Dest_Name, Routes.DateTime "
               "FROM Routes "
               "ORDER BY Routes.Name COLLATE %1, Routes.S")
        .arg(QLatin1String(kCollation));
}

// Every session needs a connection name of its own (tests run several).
QString connectionName()
{
    static int counter = 0;
    return QStringLiteral("ADOC-%1").arg(++counter);
}

} // namespace

Session::Session(const QString &programFolder, Prompter &prompter, BusyIndicator *busy)
    : ADOC(connectionName())
    , Q2(ADOC, QStringLiteral("Q2"))
    , Q3(ADOC, QStringLiteral("Q3"))
    , AWork(ADOC, QStringLiteral("AWork"))
    , QRoutes(ADOC, QStringLiteral("QRoutes"))
    , lock(withTrailingSeparator(programFolder) + QLatin1String(kDatabaseName))
    , m_folder(withTrailingSeparator(programFolder))
    , m_settingsFile(m_folder + QLatin1String(kSettingsName))
    , m_prompter(prompter)
    , m_busy(busy)
{
    QRoutes.setUpdateTable(QStringLiteral("Routes"));
}

Session::~Session()
{
    closeAll();
}

bool Session::openRoutes()
{
    QRoutes.close();
    return QRoutes.open(routesSql());
}

bool Session::reopenRoutesAt(const QVariant &code)
{
    if (!QRoutes.refresh())
        return false;
    if (code.isValid())
        QRoutes.locate(u"Code", code);
    return true;
}

QVariant Session::currentRouteCode() const
{
    if (QRoutes.isEmpty())
        return {};
    return QRoutes.value(u"Code");
}

void Session::closeAll()
{
    Q2.close();
    Q3.close();
    AWork.close();
    QRoutes.close();
    ADOC.close();
}

} // namespace kx::store
