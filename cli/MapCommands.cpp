#include "CliPrompter.h"
#include "Command.h"
#include "Console.h"

#include "base/BaseTexts.h"
#include "map/core/MapData.h"
#include "map/core/MapPage.h"
#include "map/core/MapScene.h"
#include "map/core/RouteMapReader.h"
#include "store/Session.h"
#include "store/StoreTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace kx::cli {
namespace {

constexpr QSize kDefaultSize(1600, 1000);
constexpr int kMinSide = 100;
constexpr int kMaxSide = 10000;

int usage(const QString &why)
{
    ConsoleStream(stderr) << "kalyx-cli map: " << why << "\nUsage: kalyx-cli map CODE FILE.png|FILE.pdf [--size WxH]\n";
    return ExitUsage;
}

int writeMap(CommandContext &context)
{
    QStringList args = context.args;
    QSize size = kDefaultSize;
    bool sizeGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args.at(i) != u"--size")
            continue;
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$")).match(args.value(i + 1));
        if (!m.hasMatch())
            return usage(QStringLiteral("--size takes WIDTHxHEIGHT in pixels, e.g. 1600x1000"));
        size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        if (size.width() < kMinSide || size.height() < kMinSide || size.width() > kMaxSide || size.height() > kMaxSide)
            return usage(QStringLiteral("each side of --size must be %1 to %2 pixels").arg(kMinSide).arg(kMaxSide));
        sizeGiven = true;
        args.remove(i, 2);
        break;
    }
    if (args.size() != 2)
        return usage(QStringLiteral("a route's Code and a file are needed"));
    const QString path = QDir::toNativeSeparators(QFileInfo(args.at(1)).absoluteFilePath());
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"png" && suffix != u"pdf")
        return usage(QStringLiteral("the file must end in .png or .pdf"));
    if (suffix == u"pdf" && sizeGiven)
        return usage(QStringLiteral("a PDF map is an A4 page; --size is for PNG pictures"));

    context.args = args;
    qint64 code = 0;
    if (!selectRoute(context, &code))
        return ExitFailed;
    store::Session &session = context.session;
    map::RouteMap route;
    QString why;
    if (!map::readRouteMap(session.ADOC, code, session.settings.rsbnRange, &route, &why)) {
        context.prompter.error(nullptr, store::texts::queryFailed(QStringLiteral("Points")));
        ConsoleStream(stderr) << why << Qt::endl;
        return ExitFailed;
    }
    if (route.points.isEmpty()) {
        context.prompter.error(nullptr, QStringLiteral("В маршруте %1 нет ни одного ППМ").arg(code));
        return ExitFailed;
    }
    map::MapCatalogue catalogue;
    if (!map::readMapCatalogue(session.ADOC, &catalogue, &why))
        ConsoleStream(stderr) << why << Qt::endl;

    // Without the base layers the route is still worth a picture; the
    // message says what is missing.
    const map::MapDataLoad base = map::loadMapData(map::locateMapData(session.programFolder()));
    if (!base.data)
        context.prompter.error(nullptr, base.error);
    map::MapScene scene;
    scene.setBaseData(base.data);
    scene.setRoute(route);
    scene.setCatalogue(catalogue);
    map::RenderOptions options;
    options.notes = map::mapNotes(scene);

    const bool written = suffix == u"png" ? map::writeMapPng(path, size, scene, options, &why)
                                          : map::writeMapPdf(path, scene, options, std::nullopt, &why);
    if (!written) {
        context.prompter.error(nullptr, texts::fileWriteFailed());
        ConsoleStream(stderr) << path << ": " << why << Qt::endl;
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

void addMapCommands(CommandSet &commands)
{
    commands.append({QStringLiteral("map"), QStringLiteral("CODE FILE.png|FILE.pdf [--size WxH]"),
                     QStringLiteral("draw the route on a map: a PNG picture (1600x1000 unless --size) or an A4 PDF page"),
                     2, 4, writeMap});
}

} // namespace kx::cli
