#include "platform/MediaEject.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QThreadPool>
#include <QVariantMap>

namespace kestro {

namespace {

const QString kUDisks = QStringLiteral("org.freedesktop.UDisks2");
constexpr int kQuickCallMs = 3000;
constexpr int kSlowCallMs = 30000; // unmounting flushes what is still cached

QDBusMessage call(const QDBusConnection& bus, const QString& object, const QString& interface,
                  const QString& method, const QVariantList& arguments, int timeoutMs) {
    QDBusMessage message = QDBusMessage::createMethodCall(kUDisks, object, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, timeoutMs);
}

// The UDisks2 object of the block device, or an empty path.
QString udisksBlockObject(const QDBusConnection& bus, const QString& device) {
    const QDBusMessage reply =
        call(bus, QStringLiteral("/org/freedesktop/UDisks2/Manager"),
             kUDisks + QStringLiteral(".Manager"), QStringLiteral("ResolveDevice"),
             {QVariantMap{{QStringLiteral("path"), device}}, QVariantMap{}}, kQuickCallMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const auto objects =
        qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().first().value<QDBusArgument>());
    return objects.isEmpty() ? QString() : objects.first().path();
}

// False when UDisks2 is not there to ask; true once it was asked.
bool ejectThroughUDisks(const QString& device) {
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kUDisks))
        return false;
    const QString block = udisksBlockObject(bus, device);
    if (block.isEmpty())
        return false;
    // A mounted medium is locked in its drive: unmount it first.
    call(bus, block, kUDisks + QStringLiteral(".Filesystem"), QStringLiteral("Unmount"),
         {QVariantMap{}}, kSlowCallMs);
    const QDBusMessage drive =
        call(bus, block, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
             {kUDisks + QStringLiteral(".Block"), QStringLiteral("Drive")}, kQuickCallMs);
    if (drive.type() != QDBusMessage::ReplyMessage || drive.arguments().isEmpty())
        return true;
    const QString driveObject =
        drive.arguments().first().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    if (!driveObject.isEmpty() && driveObject != QLatin1String("/"))
        call(bus, driveObject, kUDisks + QStringLiteral(".Drive"), QStringLiteral("Eject"),
             {QVariantMap{}}, kSlowCallMs);
    return true;
}

void ejectWithCommand(const QString& device) {
    QProcess eject;
    eject.start(QStringLiteral("eject"), {device});
    if (eject.waitForStarted(kQuickCallMs) && !eject.waitForFinished(kSlowCallMs))
        eject.kill();
    eject.waitForFinished(kQuickCallMs);
}

} // namespace

void EjectMedium(const QString& device) {
    QThreadPool::globalInstance()->start([device] {
        if (!ejectThroughUDisks(device))
            ejectWithCommand(device);
    });
}

} // namespace kestro
