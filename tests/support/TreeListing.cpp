#include "TreeListing.h"

#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <algorithm>

#include <sys/stat.h>

QMap<QString, QString> treeListing(const QString &root)
{
    static const QStringList skipped{QStringLiteral("usr-local-Kestrelsweep"), QStringLiteral("private/tmp"),
                                     QStringLiteral("Users/tester/.local"), QStringLiteral("Users/tester/.config"),
                                     QStringLiteral("Users/tester/.cache")};
    QMap<QString, QString> all;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = path.mid(root.size() + 1);
        if (std::any_of(skipped.begin(), skipped.end(),
                        [&](const QString &s) { return rel == s || rel.startsWith(s + QLatin1Char('/')); }))
            continue;
        struct stat st;
        if (lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        QString what = QString::number(st.st_mode & S_IFMT, 8);
        if (S_ISREG(st.st_mode))
            what += QLatin1Char(' ') + QString::number(st.st_size);
        else if (S_ISLNK(st.st_mode))
            what += QLatin1Char(' ') + QFile::symLinkTarget(path);
        all.insert(rel, what);
    }
    return all;
}
