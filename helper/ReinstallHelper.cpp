#include "ReinstallHelper.h"

#include "hpChannel.h"
#include "hpParam.h"
#include "hpRequest.h"
#include "hpServer.h"
#include "hpSettings.h"
#include "hpSignature.h"
#include "hpSpawn.h"
#include "hpVersionOrder.h"

#include <QDebug>
#include <QFile>
#include <QSettings>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char sServiceFolder[] = "/usr/local/Kestrelsweep";
const char sCopyFolder[] = "update";
// Updates only go forward from the bundle in place.
const char sInstalledInfo[] = "/Applications/Kestrelsweep.app/Contents/Info.plist";
const qint64 sMaxInfoPlist = qint64(1) << 20;
// Far above any release; a bound on what is read into memory.
const qint64 sMaxPackage = qint64(512) << 20;
// Slow disks take minutes; only a hung installer reaches this.
const int sInstallerLimitMs = 10 * 60 * 1000;

QByteArray sUpdateKey;
bool sUpdateKeySet = false;
QString sInstaller = QStringLiteral("/usr/sbin/installer");

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }

private:
    int m_fd;
};

QString errnoText()
{
    return errno == ELOOP ? QStringLiteral("a link") : QString::fromLocal8Bit(strerror(errno));
}

// The application (any user) owns the mount folder and may swap its entries:
// the file is judged by what was opened, never followed through a link, and
// a FIFO cannot block the open.
int openRegular(int dirFd, const QByteArray &name, const QString &shown, QString *why)
{
    const int fd = openat(dirFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = QStringLiteral("%1 is not a regular file (%2)").arg(shown, errnoText());
        return -1;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *why = QStringLiteral("%1 is not a regular file").arg(shown);
        return -1;
    }
    return fd;
}

// Up to limit + 1 bytes, so that a caller sees a file that is too long.
bool readUpTo(int fd, qint64 limit, QByteArray *out)
{
    out->clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out->append(buf, int(n));
        if (out->size() > limit)
            return true;
    }
}

bool writeAll(int fd, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

// Only this service writes there, so plain files are all it can hold.
bool clearFolder(int dirFd)
{
    const int walk = dup(dirFd);
    DIR *dir = walk < 0 ? nullptr : fdopendir(walk);
    if (!dir) {
        if (walk >= 0)
            ::close(walk);
        return false;
    }
    bool ok = true;
    rewinddir(dir);
    while (const dirent *e = readdir(dir)) {
        if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, ".."))
            continue;
        if (unlinkat(dirFd, e->d_name, 0) != 0 && unlinkat(dirFd, e->d_name, AT_REMOVEDIR) != 0)
            ok = false;
    }
    closedir(dir);
    return ok;
}

// The folder the installer reads the copy from: root's, nobody else may
// write it or its parent, so the checked bytes are the installed ones.
int openCopyFolder(QString *why)
{
    Fd parent(open(sServiceFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st;
    if (!parent.ok() || fstat(parent.get(), &st) != 0) {
        *why = QStringLiteral("%1 cannot be opened (%2)").arg(QLatin1String(sServiceFolder), errnoText());
        return -1;
    }
    if (st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
        *why = QStringLiteral("%1 may be written by others").arg(QLatin1String(sServiceFolder));
        return -1;
    }
    if (mkdirat(parent.get(), sCopyFolder, 0700) != 0 && errno != EEXIST) {
        *why = QStringLiteral("cannot make the copy folder (%1)").arg(errnoText());
        return -1;
    }
    const int fd = openat(parent.get(), sCopyFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 || fstat(fd, &st) != 0 || st.st_uid != geteuid() || fchmod(fd, 0700) != 0 || !clearFolder(fd)) {
        *why = QStringLiteral("the copy folder is not root's alone or cannot be emptied (%1)").arg(errnoText());
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

// The installed bundle's CFBundleShortVersionString. Its Info.plist is read
// as a regular file only (no link is followed, a FIFO cannot block), and the
// bytes read are parsed from a copy in the copy folder with the one
// property-list reader both systems share. Each copy gets a new name: the
// settings reader caches files by name.
bool installedVersion(int copyDirFd, QString *version, QString *why)
{
    static std::atomic<int> copies{0};
    const QString shown = QLatin1String(sInstalledInfo);
    Fd info(openRegular(AT_FDCWD, sInstalledInfo, shown, why));
    if (!info.ok())
        return false;
    QByteArray bytes;
    if (!readUpTo(info.get(), sMaxInfoPlist, &bytes) || bytes.size() > sMaxInfoPlist) {
        *why = QStringLiteral("%1 cannot be read or is too large").arg(shown);
        return false;
    }
    const QByteArray name = ".installed-" + QByteArray::number(++copies) + ".plist";
    {
        Fd copy(openat(copyDirFd, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy.ok() || !writeAll(copy.get(), bytes)) {
            *why = QStringLiteral("cannot copy %1 (%2)").arg(shown, errnoText());
            unlinkat(copyDirFd, name.constData(), 0);
            return false;
        }
    }
    {
        const QSettings plist(QStringLiteral("%1/%2/").arg(QLatin1String(sServiceFolder), QLatin1String(sCopyFolder))
                                  + QFile::decodeName(name),
                              hpSettingsFormat());
        *version = plist.value(QStringLiteral("CFBundleShortVersionString")).toString();
    }
    unlinkat(copyDirFd, name.constData(), 0);
    if (version->isEmpty()) {
        *why = QStringLiteral("%1 names no CFBundleShortVersionString").arg(shown);
        return false;
    }
    return true;
}

} // namespace

ReinstallHelper::ReinstallHelper(HpParam *param)
    : m_paramArray(param)
    , m_databuf(param ? param->databuf : nullptr)
{
}

ReinstallHelper::~ReinstallHelper()
{
    qDebug("ReinstallHelper::~ReinstallHelper start\n");
    free(m_databuf);
    m_databuf = nullptr;
    free(m_paramArray);
    m_paramArray = nullptr;
    qDebug("ReinstallHelper::~ReinstallHelper end\n");
}

void ReinstallHelper::setUpdateKey(const QByteArray &publicKey)
{
    sUpdateKey = publicKey;
    sUpdateKeySet = true;
}

void ReinstallHelper::setInstaller(const QString &path)
{
    sInstaller = path;
}

void ReinstallHelper::run()
{
    qDebug("ReinstallHelper::run start\n");
    QString why;
    const bool installed = install(&why);
    qDebug("%s end\n ", hpLogSafe(QByteArray(m_databuf, m_paramArray->size).mid(11)).constData());
    if (!installed) {
        qDebug("reinstall refused: %s\n", hpLogSafe(why.toUtf8(), -1).constData());
        const int sent = hpServerSend("[result]0;", 10);
        qDebug("send refusal (%d bytes)\n", sent);
        return;
    }
    qDebug("send quit message to client\n");
    const int sent = hpServerSend("quit", 4);
    qDebug("send quit message (%d bytes)\n", sent);
    qDebug("exiting\n");
    // Ends the process from this thread without running static destructors
    // under the feet of the sleeping main thread.
    _exit(0);
}

bool ReinstallHelper::install(QString *why)
{
    const QByteArray text(m_databuf, m_paramArray->size);
    qDebug("%s begin\n ", hpLogSafe(text.mid(11)).constData());

    // The service runs no command text it is sent: only the installer, on a
    // copy of a package the maker signed.
    const HpRequest req = hpParseReinstall(text);
    if (req.kind != HpRequest::Reinstall) {
        *why = req.reason;
        return false;
    }
    Fd mount(open(hpMountFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!mount.ok()) {
        *why = QStringLiteral("%1 is not a folder").arg(QLatin1String(hpMountFolder));
        return false;
    }
    const QByteArray name = QFile::encodeName(req.package.mid(int(strlen(hpMountFolder)) + 1));
    const QString shown = QString::fromLatin1(hpLogSafe(req.package.toUtf8(), -1));
    Fd pkgFd(openRegular(mount.get(), name, shown, why));
    if (!pkgFd.ok())
        return false;
    Fd sigFd(openRegular(mount.get(), name + ".sig", shown + QStringLiteral(".sig"), why));
    if (!sigFd.ok())
        return false;
    QByteArray package, signatureFile, version, signature;
    if (!readUpTo(pkgFd.get(), sMaxPackage, &package) || package.size() > sMaxPackage) {
        *why = QStringLiteral("%1 cannot be read or is too large").arg(shown);
        return false;
    }
    if (!readUpTo(sigFd.get(), hpPackageSignatureMaxBytes, &signatureFile)
        || !hpPackageSignatureSplit(signatureFile, &version, &signature)) {
        *why = QStringLiteral("%1.sig is not a package signature (label, version, %2 bytes)")
                   .arg(shown)
                   .arg(hpSignatureBytes);
        return false;
    }

    Fd copyDir(openCopyFolder(why));
    if (!copyDir.ok())
        return false;
    // A captured older release, however genuinely signed, must not replace a
    // newer one: the version its signature covers must be newer than the
    // bundle in place, and what cannot be read is not older.
    QString installed;
    if (!installedVersion(copyDir.get(), &installed, why)) {
        *why = QStringLiteral("the installed version is unknown: ") + *why;
        clearFolder(copyDir.get());
        return false;
    }
    if (!hpVersionNewer(QString::fromLatin1(version), installed)) {
        *why = QStringLiteral("the package's version %1 is not newer than the installed %2")
                   .arg(QString::fromLatin1(hpLogSafe(version)), QString::fromLatin1(hpLogSafe(installed.toUtf8())));
        clearFolder(copyDir.get());
        return false;
    }
    {
        Fd copy(openat(copyDir.get(), name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy.ok() || !writeAll(copy.get(), package)) {
            *why = QStringLiteral("the copy failed (%1)").arg(errnoText());
            clearFolder(copyDir.get());
            return false;
        }
    }
    // The copy holds exactly these bytes, and only root can change it now.
    if (!hpSignatureValid(hpPackageSignedMessage(version, package), signature,
                          sUpdateKeySet ? sUpdateKey : hpMakerUpdateKey())) {
        *why = QStringLiteral("the signature of %1 is not the maker's").arg(shown);
        clearFolder(copyDir.get());
        return false;
    }
    qDebug("package version %s, installed %s\n", version.constData(), hpLogSafe(installed.toUtf8()).constData());

    const QString copyPath = QStringLiteral("%1/%2/").arg(QLatin1String(sServiceFolder), QLatin1String(sCopyFolder))
        + QFile::decodeName(name);
    const QStringList argv{sInstaller,         QStringLiteral("-verboseR"), QStringLiteral("-pkg"), copyPath,
                           QStringLiteral("-target"), QStringLiteral("/")};
    qDebug("run %s\n", hpLogSafe(argv.join(QLatin1Char(' ')).toUtf8(), -1).constData());
    const int rc = hpSpawn(argv, sInstallerLimitMs);
    qDebug("installer exit status %d\n", rc);
    clearFolder(copyDir.get());
    if (rc != 0) {
        *why = QStringLiteral("the installer failed (status %1)").arg(rc);
        return false;
    }
    return true;
}
