// Stand-in for the macOS "launchctl" command, for the forms the programs use:
//   launchctl bootstrap DOMAIN PLIST    load the job PLIST names by its Label
//   launchctl bootout DOMAIN/LABEL      unload it (exit 3 when it is not loaded)
//   launchctl print DOMAIN/LABEL        exit 0 when it is loaded (113 otherwise)
// DOMAIN is "system" (root only) or "gui/UID" (that user only). No job runs:
// each domain is a folder /tmp/launchctl-DOMAIN (gui/501: launchctl-gui-501)
// owned by root or by the user, holding "jobs", one "LABEL<tab>PLIST" line
// per loaded job, and "log", one line per call that changed or tried to
// change something; a bootout notes whether the job's plist was still there.
#include "hpSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString gFolder;

int fail(int status, const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    return status;
}

// The domain's folder, made on first use; empty when the caller may not act in it.
QString domainFolder(const QString &domain)
{
    uid_t owner = 0;
    if (domain == QLatin1String("system")) {
        owner = 0;
    } else if (domain.startsWith(QLatin1String("gui/"))) {
        bool ok = false;
        owner = domain.mid(4).toUInt(&ok);
        if (!ok)
            return QString();
    } else {
        return QString();
    }
    if (geteuid() != owner)
        return QString();
    const QString folder = QStringLiteral("/tmp/launchctl-") + QString(domain).replace(QLatin1Char('/'), QLatin1Char('-'));
    const QByteArray native = QFile::encodeName(folder);
    mkdir(native.constData(), 0755);
    struct stat st;
    // /tmp is everybody's: a folder or link planted there by someone else is not ours.
    if (lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != owner)
        return QString();
    return folder;
}

QMap<QString, QString> readJobs()
{
    QMap<QString, QString> jobs;
    QFile file(gFolder + QStringLiteral("/jobs"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            const int tab = line.indexOf('\t');
            if (tab > 0)
                jobs.insert(QString::fromUtf8(line.left(tab)), QString::fromUtf8(line.mid(tab + 1)));
        }
    }
    return jobs;
}

bool writeJobs(const QMap<QString, QString> &jobs)
{
    QFile file(gFolder + QStringLiteral("/jobs"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (auto it = jobs.begin(); it != jobs.end(); ++it)
        file.write(it.key().toUtf8() + '\t' + it.value().toUtf8() + '\n');
    return true;
}

void record(const QString &line)
{
    QFile file(gFolder + QStringLiteral("/log"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString verb = args.value(0);
    const bool bootstrap = verb == QLatin1String("bootstrap") && args.size() == 3;
    if (!bootstrap && !((verb == QLatin1String("bootout") || verb == QLatin1String("print")) && args.size() == 2))
        return fail(64, QStringLiteral("usage: launchctl bootstrap DOMAIN PLIST | bootout DOMAIN/LABEL | print DOMAIN/LABEL"));
    const QString target = args.at(1);
    const int slash = target.lastIndexOf(QLatin1Char('/'));
    const QString domain = bootstrap ? target : target.left(slash);
    const QString label = bootstrap ? QString() : target.mid(slash + 1);
    gFolder = domainFolder(domain);
    if (gFolder.isEmpty() || (!bootstrap && (slash < 0 || label.isEmpty())))
        return fail(1, QStringLiteral("Could not find domain for %1").arg(target));

    QMap<QString, QString> jobs = readJobs();
    if (verb == QLatin1String("print")) {
        if (!jobs.contains(label))
            return fail(113, QStringLiteral("Could not find service \"%1\" in domain for port").arg(label));
        std::printf("%s = {\n\tpath = %s\n}\n", target.toUtf8().constData(), jobs.value(label).toUtf8().constData());
        return 0;
    }
    if (bootstrap) {
        const QString plist = QFileInfo(args.at(2)).absoluteFilePath();
        QFile file(plist);
        const QString loaded = file.open(QIODevice::ReadOnly) ? hpPlistString(file.readAll(), QStringLiteral("Label")) : QString();
        const bool bad = loaded.isEmpty() || loaded.contains(QLatin1Char('\t')) || loaded.contains(QLatin1Char('\n'));
        if (bad || jobs.contains(loaded) || plist.contains(QLatin1Char('\n'))) {
            record(QStringLiteral("bootstrap %1 %2 failed").arg(domain, plist));
            return fail(5, QStringLiteral("Bootstrap failed: 5: Input/output error"));
        }
        jobs.insert(loaded, plist);
        record(QStringLiteral("bootstrap %1 %2 %3").arg(domain, plist, loaded));
        return writeJobs(jobs) ? 0 : fail(1, QStringLiteral("launchctl: cannot write the job table"));
    }
    if (!jobs.contains(label)) {
        record(QStringLiteral("bootout %1 not loaded").arg(target));
        return fail(3, QStringLiteral("Boot-out failed: 3: No such process"));
    }
    const QString plist = jobs.take(label);
    record(QStringLiteral("bootout %1 plist %2").arg(target, QFileInfo::exists(plist) ? QStringLiteral("present") : QStringLiteral("gone")));
    return writeJobs(jobs) ? 0 : fail(1, QStringLiteral("launchctl: cannot write the job table"));
}
