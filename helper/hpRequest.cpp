#include "hpRequest.h"

#include "hpChannel.h"
#include "hpProtected.h"

const char hpMountFolder[] = "/tmp/Kestrelsweep";

namespace {

const char sRemovePrefix[] = "[remove]";
const char sReinstallPrefix[] = "[reinstall]";
const char sInstallHead[] = "[reinstall]sudo installer -verboseR -pkg ";
const char sInstallTail[] = " -target /";

bool isBase64Char(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

// Decimal without sign or leading zeros, as the client writes it.
bool parseIndex(const QByteArray &s, int *value)
{
    if (s.isEmpty() || s.size() > 6 || (s.size() > 1 && s.at(0) == '0'))
        return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

// The QByteArray overloads stop at the first NUL; a path must not lose its tail.
QString utf8(const QByteArray &b)
{
    return QString::fromUtf8(b.constData(), b.size());
}

HpRequest refused(const QString &why)
{
    HpRequest r;
    r.reason = why;
    return r;
}

} // namespace

bool hpDecodeCommand(const QByteArray &datagram, qint64 trueSize, QByteArray *text, QString *reason)
{
    if (trueSize > hpMaxCommand || datagram.size() < trueSize) {
        *reason = QStringLiteral("datagram of %1 bytes is longer than %2").arg(trueSize).arg(hpMaxCommand);
        return false;
    }
    const int n = datagram.size();
    if (n == 0 || n % 4 != 0) {
        *reason = QStringLiteral("not Base64 (length %1)").arg(n);
        return false;
    }
    int pad = 0;
    for (int i = 0; i < n; ++i) {
        const char c = datagram.at(i);
        if (c == '=') {
            if (i < n - 2) {
                *reason = QStringLiteral("not Base64 (padding at %1)").arg(i);
                return false;
            }
            ++pad;
        } else if (!isBase64Char(c) || pad) {
            *reason = QStringLiteral("not Base64 (byte %1 at %2)").arg(uchar(c)).arg(i);
            return false;
        }
    }
    const QByteArray decoded = QByteArray::fromBase64(datagram);
    // Rejects stray bits in the last group, so each text has one encoding.
    if (decoded.toBase64() != datagram) {
        *reason = QStringLiteral("not canonical Base64");
        return false;
    }
    *text = decoded;
    return true;
}

HpRequest hpParseRemove(const QByteArray &text)
{
    if (utf8(text).toUtf8() != text)
        return refused(QStringLiteral("request is not UTF-8"));
    const QList<QByteArray> parts = text.split(';');
    const QByteArray &header = parts.first();
    const int prefixLen = int(sizeof(sRemovePrefix)) - 1;
    if (!header.startsWith(sRemovePrefix))
        return refused(QStringLiteral("no [remove] header"));
    int count = 0;
    if (!parseIndex(header.mid(prefixLen), &count))
        return refused(QStringLiteral("bad count in header"));
    if (count != parts.size() - 1)
        return refused(QStringLiteral("header counts %1 items, request has %2").arg(count).arg(parts.size() - 1));

    HpRequest r;
    for (int i = 1; i < parts.size(); ++i) {
        const QByteArray &item = parts.at(i);
        const int colon = item.indexOf(':');
        int index = -1;
        if (colon < 0 || !parseIndex(item.left(colon), &index) || index != i - 1)
            return refused(QStringLiteral("item %1 has no index %1").arg(i - 1));
        r.paths.append(utf8(item.mid(colon + 1)));
    }
    r.kind = HpRequest::Remove;
    return r;
}

HpRequest hpParseReinstall(const QByteArray &text)
{
    const int headLen = int(sizeof(sInstallHead)) - 1;
    const int tailLen = int(sizeof(sInstallTail)) - 1;
    if (!text.startsWith(sInstallHead) || !text.endsWith(sInstallTail) || text.size() < headLen + tailLen)
        return refused(QStringLiteral("not the installer command"));
    const QByteArray pkgBytes = text.mid(headLen, text.size() - headLen - tailLen);
    const QString pkg = QString::fromLatin1(pkgBytes.constData(), pkgBytes.size());
    const QString folder = QString::fromLatin1(hpMountFolder) + QLatin1Char('/');
    if (!pkg.startsWith(folder))
        return refused(QStringLiteral("package is not in %1").arg(folder));
    const QString name = pkg.mid(folder.size());
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')))
        return refused(QStringLiteral("package is not directly in %1").arg(folder));
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return refused(QStringLiteral("control character in package name"));
    HpRequest r;
    r.kind = HpRequest::Reinstall;
    r.package = pkg;
    return r;
}

HpRequest hpParseCommand(const QByteArray &datagram, qint64 trueSize)
{
    QByteArray text;
    QString why;
    if (!hpDecodeCommand(datagram, trueSize, &text, &why))
        return refused(why);
    if (text.startsWith(sReinstallPrefix))
        return hpParseReinstall(text);
    return hpParseRemove(text);
}

QString hpPathRefusal(const QString &path, const QString &home)
{
    if (path.isEmpty())
        return QStringLiteral("empty path");
    if (!path.startsWith(QLatin1Char('/')))
        return QStringLiteral("relative path");
    if (path.contains(QChar(0)))
        return QStringLiteral("NUL in path");
    if (path == QLatin1String("/"))
        return QStringLiteral("protected location");
    const QStringList parts = path.mid(1).split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty())
            return QStringLiteral("empty component");
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return QStringLiteral("dot component");
    }
    // The application deletes the user's own files itself and never sends them.
    if (parts.first().compare(QLatin1String("Users"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("user path");
    if (hpIsProtectedPath(path, home))
        return QStringLiteral("protected location");
    return QString();
}
