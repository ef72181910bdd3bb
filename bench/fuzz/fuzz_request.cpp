// libFuzzer target for the helper service's reading of commands: whatever
// bytes arrive, the parser neither crashes nor accepts a request that does
// not say exactly what it will be taken to mean.
#include "hpRequest.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray rebuild(const QStringList &paths)
{
    QByteArray text = "[remove]" + QByteArray::number(paths.size()) + ';';
    for (int i = 0; i < paths.size(); ++i)
        text += (i ? ";" : "") + QByteArray::number(i) + ':' + paths.at(i).toUtf8();
    return text;
}

void check(const QByteArray &text)
{
    const HpRequest remove = hpParseRemove(text);
    if (remove.kind == HpRequest::Remove) {
        // Accepted means: the paths, written back, are the request itself.
        const QByteArray back = remove.paths.isEmpty() ? "[remove]0" : rebuild(remove.paths);
        if (back != text)
            abort();
        for (const QString &p : remove.paths)
            hpPathRefusal(p, QStringLiteral("/var/root"));
    }
    const HpRequest reinstall = hpParseReinstall(text);
    if (reinstall.kind == HpRequest::Reinstall
        && ("[reinstall]sudo installer -verboseR -pkg " + reinstall.package.toLatin1() + " -target /") != text)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    // As a datagram: Base64 first.
    QByteArray text;
    QString why;
    if (hpDecodeCommand(bytes, qint64(size), &text, &why)) {
        if (text.toBase64() != bytes)
            abort();
        check(text);
    }
    hpParseCommand(bytes, qint64(size));
    // As decoded text, to reach the request grammar directly.
    check(bytes);
    return 0;
}
