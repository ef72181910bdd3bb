#include "TickRule.h"

namespace {

// The key names the whole entry or ends where a word does: "Foo" owns
// "Foo.log" and "Foo Helper" but not "Foobar". Both sides folded.
bool matchesFolded(const QString &name, const QString &key)
{
    if (key.isEmpty() || !name.startsWith(key))
        return false;
    return name.size() == key.size() || !name.at(key.size()).isLetterOrNumber();
}

// The maker part ("com.acme") of a name laid out as a reverse-DNS
// identifier ("com.acme.Tool.plist"): at least three parts, the first of
// letters only. Empty for anything else ("Foo.log", "Foo Helper").
QString makerOf(const QString &name)
{
    const QStringList parts = name.split(QLatin1Char('.'));
    if (parts.size() < 3 || parts.at(0).isEmpty() || parts.at(1).isEmpty())
        return QString();
    for (const QChar c : parts.at(0)) {
        if (c < QLatin1Char('a') || c > QLatin1Char('z'))
            return QString();
    }
    return parts.at(0) + QLatin1Char('.') + parts.at(1);
}

// Too generic to vouch for what it matches: fewer than three non-empty
// parts ("com", "com.acme").
bool isGenericBundleId(const QString &bundleId)
{
    int parts = 0;
    for (const QString &part : bundleId.split(QLatin1Char('.')))
        parts += part.isEmpty() ? 0 : 1;
    return parts < 3;
}

// The key's own maker part: its first two parts, or all of it.
QString keyMakerOf(const QString &key)
{
    const QStringList parts = key.split(QLatin1Char('.'));
    return parts.size() < 2 ? parts.value(0) : parts.at(0) + QLatin1Char('.') + parts.at(1);
}

} // namespace

TickRule::TickRule(const QStringList &otherKeys)
{
    for (const QString &key : otherKeys)
        mOtherKeys << folded(key);
}

QString TickRule::folded(const QString &s)
{
    return s.normalized(QString::NormalizationForm_C).toCaseFolded();
}

bool TickRule::ticked(const QString &name, const QString &key, bool keyIsBundleId) const
{
    if (keyIsBundleId && isGenericBundleId(key))
        return false;
    const QString n = folded(name);
    const QString k = folded(key);
    if (!matchesFolded(n, k))
        return false;
    // Apple's files, whoever's key names them, unless the item is Apple's.
    const QString apple = QStringLiteral("com.apple.");
    if ((n.startsWith(apple) || n == apple.chopped(1)) && !k.startsWith(apple))
        return false;
    // Another maker's namespace: "com.other.Tool" is never "com"'s or "Tool"'s.
    const QString maker = makerOf(n);
    if (!maker.isEmpty() && maker != keyMakerOf(k))
        return false;
    // A longer key of another item that also names the entry is the more
    // precise claim: with Foo and Foo Pro installed, "Foo Pro" is Foo Pro's.
    for (const QString &other : mOtherKeys) {
        if (other.size() > k.size() && matchesFolded(n, other))
            return false;
    }
    return true;
}
