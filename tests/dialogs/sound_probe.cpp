// The removal page's player on one sound file, played twice as two removals
// would play it, printing every media status and error it goes through and
// every log message ("log ..."); ends once both plays ended.
//   sound_probe FILE
#include "AppEnv.h"
#include "RemoveWidget.h"

#include <QApplication>
#include <QMediaPlayer>
#include <QMetaEnum>

#include <cstdio>

namespace {

void print(const char *what, const char *enumName, int value)
{
    const QMetaObject &meta = QMediaPlayer::staticMetaObject;
    std::printf("%s %s\n", what, meta.enumerator(meta.indexOfEnumerator(enumName)).valueToKey(value));
    std::fflush(stdout);
}

void printLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    std::printf("log %s\n", qUtf8Printable(msg));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 || !AppEnv::setEnv(envSoundFile, QString::fromLocal8Bit(argv[1])))
        return 2;
    qInstallMessageHandler(printLog);
    RemoveWidget page(nullptr);
    auto *player = page.findChild<QMediaPlayer *>();
    if (!player)
        return 2;
    int plays = 1;
    const auto ended = [&] {
        if (plays++ < 2)
            QMetaObject::invokeMethod(player, &QMediaPlayer::play, Qt::QueuedConnection);
        else
            QCoreApplication::quit();
    };
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, [&](QMediaPlayer::MediaStatus status) {
        print("status", "MediaStatus", status);
        if (status == QMediaPlayer::EndOfMedia)
            ended();
    });
    QObject::connect(player, QOverload<QMediaPlayer::Error>::of(&QMediaPlayer::error), [&](QMediaPlayer::Error error) {
        print("error", "Error", error);
        ended();
    });
    player->play();
    return app.exec();
}
