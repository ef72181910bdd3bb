#include "hpVersionOrder.h"

#include <QStringList>

namespace {
const int kMaxNumbers = 8;
const int kMaxDigits = 9; // fits an int
} // namespace

bool hpVersionParse(const QString &version, QVector<int> *numbers)
{
    numbers->clear();
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() > kMaxNumbers)
        return false;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > kMaxDigits)
            return false;
        int value = 0;
        for (const QChar c : part) {
            // Only ASCII digits: QChar::isDigit() also takes other scripts' digits.
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            value = value * 10 + (c.unicode() - '0');
        }
        numbers->append(value);
    }
    return true;
}

bool hpVersionNewer(const QString &offered, const QString &current)
{
    QVector<int> a, b;
    if (!hpVersionParse(offered, &a) || !hpVersionParse(current, &b))
        return false;
    for (int i = 0; i < qMax(a.size(), b.size()); ++i) {
        const int x = a.value(i), y = b.value(i);
        if (x != y)
            return x > y;
    }
    return false;
}
