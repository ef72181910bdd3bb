#include "AboutDlg.h"
#include "DialogIcon.h"
#include "MsgDlg.h"
#include "PreferencesDlg.h"
#include "ProgressDlg.h"
#include "SandboxRun.h"

#include <QCheckBox>
#include <QDataStream>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QtEndian>
#include <QtTest>

namespace {

QString resources()
{
    return qEnvironmentVariable("KS_BINARY_DIR") + QStringLiteral("/Kestrelsweep.app/Contents/Resources");
}

} // namespace

// What the build puts into the bundle and the program's resources.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void translations_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("soundBox");  // PreferencesDlg form
        QTest::addColumn<QString>("cancel");    // MsgDlg form
        QTest::addColumn<QString>("checking");  // ProgressDlg form
        QTest::addColumn<QString>("overview");  // AboutDlg rich text
        QTest::newRow("cn") << "cn" << "播放音效" << "取消" << "正在检查更新..." << "产品概览";
        QTest::newRow("es") << "es" << "Reproducir efecto de sonido" << "Cancelar" << "Buscando actualizaciones..."
                            << "Descripción del producto";
        QTest::newRow("de") << "de" << "Soundeffekt abspielen" << "Abbrechen" << "Suche nach Updates ..."
                            << "Produktübersicht";
        QTest::newRow("jp") << "jp" << "効果音を再生する" << "キャンセル" << "アップデートを確認中..." << "製品概要";
        QTest::newRow("fr") << "fr" << "Jouer un effet sonore" << "Annuler" << "Recherche de mises à jour..."
                            << "Présentation du produit";
        QTest::newRow("it") << "it" << "Riproduci effetto sonoro" << "Annulla" << "Ricerca aggiornamenti..."
                            << "Panoramica del prodotto";
        QTest::newRow("pt") << "pt" << "Reproduzir efeito sonoro" << "Cancelar" << "Verificando atualizações..."
                            << "Visão geral do produto";
        QTest::newRow("en") << "en" << "Play sound effect" << "Cancel" << "Checking for updates..." << "Product Overview";
    }

    void translations()
    {
        QFETCH(QString, lang);
        QFETCH(QString, soundBox);
        QFETCH(QString, cancel);
        QFETCH(QString, checking);
        QFETCH(QString, overview);

        QTranslator translator;
        QVERIFY(translator.load(lang + QStringLiteral(".qm"), resources()));
        QVERIFY(QCoreApplication::installTranslator(&translator));

        // The dialogs' own forms: their texts must match the translation sources exactly.
        {
            PreferencesDlg prefs(nullptr);
            QCOMPARE(prefs.findChild<QCheckBox *>(QStringLiteral("checkBoxSoundEffect"))->text(), soundBox);
            MsgDlg msg(nullptr, QString(), QString(), 0x14000);
            QCOMPARE(msg.findChild<QPushButton *>(QStringLiteral("pushButtonCancel"))->text(), cancel);
            auto *progress = new ProgressDlg(nullptr);
            QCOMPARE(progress->findChild<QLabel *>(QStringLiteral("labelText"))->text(), checking);
            delete progress;
            AboutDlg about(nullptr);
            QVERIFY(about.findChild<QTextBrowser *>(QStringLiteral("textBrowserRelNotes"))->toPlainText().contains(overview));
        }

        // The windows built elsewhere: one text of each context.
        static const char *const samples[][2] = {
            {"MainWindow", "&Help"},           {"MainWidget", " Remove "},
            {"ListWidget", "Loading ..."},     {"ItemWidget", "Calculate..."},
            {"SearchEdit", "Search"},          {"RemoveWidget", "Are you sure to remove "},
            {"CheckUpdate", "Network Error!"}, {"ResultDlg", "Install Update"},
            {"DownloadDlg", "Install and relaunch"}, {"CrashDlg", "Send and Reopen"},
            {"main", "Kestrelsweep cannot start: the path of one of its folders is missing or too long."},
            {"MainWindow", "The online help could not be opened in a web browser. Its address is:\n%1"},
        };
        for (const auto &s : samples) {
            const QString got = QCoreApplication::translate(s[0], s[1]);
            QVERIFY2(!got.isEmpty(), s[0]);
            if (lang == QLatin1String("en"))
                QCOMPARE(got, QString::fromUtf8(s[1]));
            else
                QVERIFY2(got != QString::fromUtf8(s[1]), qPrintable(lang + QLatin1Char(' ') + QLatin1String(s[0])));
        }
        QCoreApplication::removeTranslator(&translator);
    }

    void images_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("minSize");
        QTest::newRow("appicon") << "appicon.png" << QSize(64, 64);
        QTest::newRow("apps") << "apps_button.png" << QSize(48, 48);
        QTest::newRow("widgets") << "widgets_button.png" << QSize(48, 48);
        QTest::newRow("plugins") << "plugins_button.png" << QSize(48, 48);
        QTest::newRow("magnifier") << "btn_magnifier_01.png" << QSize(12, 12);
        QTest::newRow("delete") << "btn_delete_active.png" << QSize(12, 12);
        QTest::newRow("general") << "general.png" << QSize(32, 32);
        QTest::newRow("update") << "update.png" << QSize(32, 32);
        QTest::newRow("close") << "stdbtn_close_active.tiff" << QSize(12, 12);
        QTest::newRow("close pressed") << "stdbtn_close_pd.tiff" << QSize(12, 12);
        QTest::newRow("minimise") << "stdbtn_minimize_active.tiff" << QSize(12, 12);
        QTest::newRow("minimise hover") << "stdbtn_minimize_rollover.tiff" << QSize(12, 12);
        QTest::newRow("zoom") << "stdbtn_zoom_pd.tiff" << QSize(12, 12);
    }

    void images()
    {
        QFETCH(QString, name);
        QFETCH(QSize, minSize);
        const QImage image(QStringLiteral(":/sysIcon/rc/") + name);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= minSize.width() && image.height() >= minSize.height());
        QVERIFY(image.hasAlphaChannel());
    }

    // Small images are drawn at the size they are shown, for 1x and 2x screens.
    void renditions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("side");
        QTest::newRow("dialog icon") << "appicon_64.png" << 64;
        QTest::newRow("dialog icon 2x") << "appicon_64@2x.png" << 128;
        QTest::newRow("close 2x") << "stdbtn_close_active@2x.tiff" << 24;
        QTest::newRow("close pressed 2x") << "stdbtn_close_pd@2x.tiff" << 24;
        QTest::newRow("minimise 2x") << "stdbtn_minimize_active@2x.tiff" << 24;
        QTest::newRow("minimise hover 2x") << "stdbtn_minimize_rollover@2x.tiff" << 24;
        QTest::newRow("zoom 2x") << "stdbtn_zoom_pd@2x.tiff" << 24;
    }

    void renditions()
    {
        QFETCH(QString, name);
        QFETCH(int, side);
        const QImage image(QStringLiteral(":/sysIcon/rc/") + name);
        QCOMPARE(image.size(), QSize(side, side));
        QVERIFY(image.hasAlphaChannel());
    }

    void dialogIcon_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("drawing");  // the rendition it must be, or empty
        QTest::newRow("64 on 1x") << 64 << 1.0 << "appicon_64.png";
        QTest::newRow("64 on Retina") << 64 << 2.0 << "appicon_64@2x.png";
        QTest::newRow("64 at 1.5") << 64 << 1.5 << "";
        QTest::newRow("no rendition") << 40 << 2.0 << "";
    }

    void dialogIcon()
    {
        QFETCH(int, side);
        QFETCH(qreal, ratio);
        QFETCH(QString, drawing);
        const QPixmap icon = hpAppIcon(QSize(side, side), ratio);
        QCOMPARE(icon.size(), QSize(side, side) * ratio);
        QCOMPARE(icon.devicePixelRatio(), ratio);
        if (!drawing.isEmpty()) {
            const auto argb = [](const QImage &i) { return i.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
            QVERIFY(argb(icon.toImage()) == argb(QImage(QStringLiteral(":/sysIcon/rc/") + drawing)));
        }

        // What the dialogs show, on this screen.
        MsgDlg msg(nullptr, QString(), QString(), 0);
        auto *progress = new ProgressDlg(nullptr);
        AboutDlg about(nullptr);
        for (QWidget *dlg : {static_cast<QWidget *>(&msg), static_cast<QWidget *>(progress), static_cast<QWidget *>(&about)}) {
            const QLabel *label = dlg->findChild<QLabel *>(QStringLiteral("labelIcon"));
            QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), label->size() * label->devicePixelRatioF());
            QCOMPARE(label->pixmap(Qt::ReturnByValue).devicePixelRatio(), label->devicePixelRatioF());
        }
        delete progress;
    }

    // The icon Info.plist names: every size the Finder and the Dock ask for,
    // each under its own type, drawn at that size, and all of them readable
    // through the ICNS reader the catalogue's conversion uses.
    void bundleIcon()
    {
        QFile file(resources() + QStringLiteral("/Kestrelsweep.icns"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        const auto be32 = [&data](int at) { return qFromBigEndian<quint32>(data.constData() + at); };
        QVERIFY(data.startsWith("icns"));
        QCOMPARE(be32(4), quint32(data.size()));
        QMap<QByteArray, int> sides;
        for (int at = 8; at + 8 <= data.size(); at += int(be32(at + 4))) {
            QVERIFY(be32(at + 4) > 8 && be32(at + 4) <= quint32(data.size() - at));
            const QImage image = QImage::fromData(data.mid(at + 8, int(be32(at + 4)) - 8), "PNG");
            QVERIFY(image.width() == image.height() && image.pixelColor(0, 0).alpha() == 0);
            QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 4).alpha(), 255);
            sides.insert(data.mid(at, 4), image.width());
        }
        const QMap<QByteArray, int> expected{{"icp4", 16}, {"ic11", 32}, {"icp5", 32},  {"ic12", 64},  {"ic07", 128},
                                             {"ic13", 256}, {"ic08", 256}, {"ic14", 512}, {"ic09", 512}, {"ic10", 1024}};
        QCOMPARE(sides, expected);
        QImageReader reader(file.fileName(), "icns");
        QCOMPARE(reader.imageCount(), expected.size());
        for (int i = 0; i < expected.size(); ++i, reader.jumpToNextImage())
            QVERIFY2(!reader.read().isNull(), qPrintable(reader.errorString()));
    }

    void sound()
    {
        QFile wav(resources() + QStringLiteral("/empty_trash.wav"));
        QVERIFY(wav.open(QIODevice::ReadOnly));
        const QByteArray head = wav.read(44);
        QCOMPARE(head.left(4), QByteArray("RIFF"));
        QCOMPARE(head.mid(8, 4), QByteArray("WAVE"));
        QDataStream in(head.mid(28, 4));
        in.setByteOrder(QDataStream::LittleEndian);
        quint32 bytesPerSecond = 0;
        in >> bytesPerSecond;
        QVERIFY(bytesPerSecond > 0);
        const double seconds = double(wav.size() - 44) / bytesPerSecond;
        QVERIFY2(seconds > 0.2 && seconds < 1.0, qPrintable(QString::number(seconds)));
    }

    // The removal page's own player in the sandbox, which has no sound
    // device: the sound plays to its end each time; a file nothing decodes
    // is logged once however often it is played, and the page goes on.
    void soundPlays_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("ends");   // plays that reached the end
        QTest::addColumn<int>("logged"); // log lines saying the sound was not played
        QTest::newRow("the removal sound") << resources() + QStringLiteral("/empty_trash.wav") << 2 << 0;
        QTest::newRow("a file nothing decodes") << QString() << 0 << 1;
    }

    void soundPlays()
    {
        if (!sandboxUsable())
            QSKIP("tools/sandbox cannot run here");
        QFETCH(QString, file);
        QFETCH(int, ends);
        QFETCH(int, logged);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        if (file.isEmpty()) {
            QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("private/tmp"))));
            QFile junk(root.filePath(QStringLiteral("private/tmp/junk.wav")));
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(4096, 'x')) == 4096);
            file = QStringLiteral("/tmp/junk.wav");
        }
        const SandboxRun run = runInSandbox(root.path(), {}, {qEnvironmentVariable("KS_SOUND_PROBE"), file});
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
        const QStringList lines = run.out.split(QLatin1Char('\n'));
        QCOMPARE(lines.count(QStringLiteral("status EndOfMedia")), ends);
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^log removal sound not played: .+"))).size(), logged);
        if (ends > 0)
            QVERIFY2(lines.filter(QRegularExpression(QStringLiteral("^error "))).isEmpty(), qPrintable(run.out));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
