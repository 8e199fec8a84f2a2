#include "waylandsession.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace WaylandSession {

namespace {
// Our name for the compositor's socket inside this test's runtime folder.
const char DisplayName[] = "wayland-compositor";
} // namespace

bool enter()
{
    QFile file(qEnvironmentVariable("KLIQORA_WAYLAND_SESSION"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString display;
    QByteArray socket;
    QByteArray bus;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int equals = line.indexOf('=');
        const QByteArray name = line.left(equals);
        if (name == "WAYLAND_DISPLAY")
            display = QFile::decodeName(line.mid(equals + 1));
        else if (name == "SWAYSOCK")
            socket = line.mid(equals + 1);
        else if (name == "DBUS_SESSION_BUS_ADDRESS")
            bus = line.mid(equals + 1);
    }
    // This libwayland takes no absolute path in WAYLAND_DISPLAY: a link in the test's
    // own runtime folder (which keeps its instance lock apart) leads to the socket.
    const QString link =
        qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + QLatin1String(DisplayName);
    QFile::remove(link);
    if (display.isEmpty() || (socket.isEmpty() && bus.isEmpty()) || !QFile::link(display, link))
        return false;
    qputenv("WAYLAND_DISPLAY", DisplayName);
    if (!socket.isEmpty())
        qputenv("SWAYSOCK", socket);
    if (!bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    return true;
}

QByteArray command(const QStringList& arguments)
{
    QProcess swaymsg;
    swaymsg.start(QStringLiteral("swaymsg"), arguments);
    if (!swaymsg.waitForFinished(10000) || swaymsg.exitCode() != 0)
        return QByteArray();
    return swaymsg.readAllStandardOutput();
}

namespace {
bool showsWindowOf(const QJsonObject& node, qint64 pid)
{
    if (node.value(QLatin1String("pid")).toVariant().toLongLong() == pid)
        return true;
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray()) {
            if (showsWindowOf(child.toObject(), pid))
                return true;
        }
    }
    return false;
}
void findTitled(const QJsonObject& node, const QString& title, bool floating, Window& found)
{
    if (node.value(QLatin1String("name")).toString() == title &&
        node.value(QLatin1String("type")).toString().endsWith(QLatin1String("con"))) {
        const QJsonObject rect = node.value(QLatin1String("rect")).toObject();
        found = {true, floating,
                 QRect(rect.value(QLatin1String("x")).toInt(),
                       rect.value(QLatin1String("y")).toInt(),
                       rect.value(QLatin1String("width")).toInt(),
                       rect.value(QLatin1String("height")).toInt())};
        return;
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        const bool floatingChild = floating || qstrcmp(children, "floating_nodes") == 0;
        for (const QJsonValue& child : node.value(QLatin1String(children)).toArray())
            findTitled(child.toObject(), title, floatingChild, found);
    }
}

QJsonObject tree()
{
    return QJsonDocument::fromJson(command({QStringLiteral("-t"), QStringLiteral("get_tree")}))
        .object();
}
} // namespace

bool hasWindow(qint64 pid)
{
    return showsWindowOf(tree(), pid);
}

Window windowTitled(const QString& title)
{
    Window found;
    findTitled(tree(), title, false, found);
    return found;
}

} // namespace WaylandSession
