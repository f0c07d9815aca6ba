#include "main/SingleInstance.h"

#include "main/HandedPictures.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

#include <utility>

namespace gustara {

namespace {

// Long enough for a window that is busy converting to take the connection.
constexpr int kWaitMilliseconds = 10000;

using PathList = QList<QByteArray>;
// The window's answer once it holds the whole list.
constexpr char kTaken = 'T';

// In the user's own runtime folder when there is one; else in the shared temporary folder,
// where the user id in the name keeps users apart.
QString ServerName(const QString& settingsFolder)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& part : {settingsFolder.toUtf8(), qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY")})
        hash.addData(part + '\0');
    const QString name = QStringLiteral("gustara-%1-%2")
                             .arg(::getuid())
                             .arg(QString::fromLatin1(hash.result().toHex().left(16)));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(runtime) ? runtime + QLatin1Char('/') + name : name;
}

// A socket that another user made under the name would receive this user's paths.
bool OwnedByOtherUser(const QString& socketPath)
{
    const QFileInfo socket(socketPath);
    return socket.exists() && socket.ownerId() != ::getuid();
}

} // namespace

SingleInstance::SingleInstance() : Name(ServerName(PrepareSettingsFolder())), Server(std::make_unique<QLocalServer>())
{
    Server->setSocketOptions(QLocalServer::UserAccessOption);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::HandOver(const std::vector<std::string>& paths)
{
    QLocalSocket socket;
    socket.connectToServer(Name);
    if (!socket.waitForConnected(kWaitMilliseconds) || OwnedByOtherUser(socket.fullServerName()))
        return false;
    PathList list;
    for (const std::string& path : paths)
        list.push_back(QByteArray::fromStdString(path));
    QDataStream out(&socket);
    out << list;
    socket.flush();
    // Only the window's answer says that it holds the pictures; one that died meanwhile does not.
    while (socket.bytesAvailable() == 0 && socket.waitForReadyRead(kWaitMilliseconds)) {
    }
    return socket.read(1) == QByteArray(1, kTaken);
}

void SingleInstance::Serve(TFormMain& window, TFormStatus& status, std::vector<std::string> paths)
{
    Handed = std::make_unique<HandedPictures>(window, status);
    Handed->Add(std::move(paths));
    // HandOver found nobody listening: a socket under the name is a dead window's.
    if (!Server->listen(Name) && Server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(Name);
        Server->listen(Name);
    }
    connect(Server.get(), &QLocalServer::newConnection, this, &SingleInstance::TakeConnection);
    // Nothing is handed to the windows while they are taken down (saving the settings may
    // show a box, whose event loop would take a connection).
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        Server->close();
        Handed.reset();
    });
}

void SingleInstance::TakeConnection()
{
    while (QLocalSocket* socket = Server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The whole list arrives in one or more pieces; it is taken once complete.
        const auto read = [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            PathList list;
            in >> list;
            if (!in.commitTransaction())
                return;
            // Answered first: taking the pictures may open a message box for a while.
            socket->write(&kTaken, 1);
            socket->disconnectFromServer();
            std::vector<std::string> paths;
            for (const QByteArray& path : list)
                paths.push_back(path.toStdString());
            Handed->Add(std::move(paths));
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        read();
    }
}

} // namespace gustara
