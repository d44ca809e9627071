#pragma once
// One running program per program folder. A second start of the same copy
// hands the path of its command line to the program already running there,
// which opens it and comes to the front, and then ends: two main windows on
// one prg.ini would each write it at exit, and the last one would silently
// win. The two meet over a local socket whose name is made from the program
// folder and the user, so that other copies (and other users) never meet.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace velmora {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    // The socket name of the program that writes to programDir: the folder
    // (resolved through links) hashed, with the user it runs as.
    static QString KeyFor(const QString &programDir);
    // The path a start hands over: with one or two arguments the last one,
    // made absolute against the working folder; otherwise empty (the running
    // program then only comes to the front).
    static QString PathFromArguments(const QStringList &arguments);

    enum class Role {
        HandedOver, // another program took the path: this start ends here
        First,      // this program now answers later starts
        Alone       // neither: it runs on without answering later starts
    };

    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands path to the program running under the key, or becomes the one
    // that answers. A socket file left by a program that crashed (no one
    // answers on it) is removed.
    Role Claim(const QString &path);

    // Time allowed for the running program to confirm it took the path; one
    // that accepts the connection but never confirms counts as not running.
    void SetAnswerTimeout(int milliseconds) { answerTimeout_ = milliseconds; }

signals:
    // A later start handed this path (absolute, or empty for none). Sent
    // from the event loop, after the sender has been answered.
    void PathReceived(const QString &path);

private:
    enum class Contact { HandedOver, NoOneThere, NoAnswer };
    Contact HandOver(const QString &path) const;
    bool Listen();
    void AcceptConnections();
    void ReadRequest(QLocalSocket *socket);

    QString key_;
    QLocalServer *server_ = nullptr;
    int answerTimeout_ = 10000;
};

} // namespace velmora
