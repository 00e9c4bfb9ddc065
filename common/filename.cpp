#include "filename.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <iconv.h>
#include <sys/stat.h>

namespace {
constexpr char16_t escapeBase = 0xDC00;

bool isEscapedByte(QChar c)
{
    return c.unicode() >= escapeBase + 0x80 && c.unicode() <= escapeBase + 0xFF;
}

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none
// (overlong forms, encoded surrogates and code points past U+10FFFF are not
// UTF-8, and each of their bytes is escaped).
qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else
        return 0;
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

QString componentForDisplay(QStringView component)
{
    if (std::none_of(component.begin(), component.end(), isEscapedByte))
        return component.toString();
    if (const std::optional<QString> korean = strictCp949(fileNameBytes(component)))
        return *korean;
    QString shown;
    shown.reserve(component.size());
    for (const QChar c : component) {
        if (!isEscapedByte(c)) {
            shown += c;
            continue;
        }
        // 0x80-0x9F are control characters in Latin-1: nothing to read.
        const char16_t byte = c.unicode() - escapeBase;
        shown += byte < 0xA0 ? QChar(QChar::ReplacementCharacter) : QChar(byte);
    }
    return shown;
}
} // namespace

std::optional<QString> strictCp949(const QByteArray &bytes)
{
    iconv_t converter = iconv_open("UTF-8", "CP949");
    if (converter == iconv_t(-1))
        return std::nullopt;
    QByteArray out(bytes.size() * 3 + 4, Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *outAt = out.data();
    size_t outLeft = size_t(out.size());
    const size_t done = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    if (done == size_t(-1) || inLeft != 0)
        return std::nullopt;
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
}

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = utf8SequenceAt(bytes, at);
        if (length == 0) {
            name += QChar(char16_t(escapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(at, length));
        at += length;
    }
    return name;
}

QByteArray fileNameBytes(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscapedByte(name[i]))
            continue;
        bytes += name.sliced(from, i - from).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - escapeBase);
        from = i + 1;
    }
    return bytes;
}

QString fileNameForDisplay(QStringView name)
{
    QStringList shown;
    for (const QStringView component : name.split(QLatin1Char('/')))
        shown << componentForDisplay(component);
    return shown.join(QLatin1Char('/'));
}

QStringList programArguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << fileNameFromBytes(argv[i]);
    return arguments;
}

namespace {
// The file a "file:" URI names, its %XX read as bytes (QUrl::toLocalFile
// reads them as UTF-8). Bytes a careless program left unencoded stay as
// they are, which QUrl, reading its text as UTF-8, would lose.
QString fileNameFromUri(QByteArray uri)
{
    if (!uri.left(5).toLower().startsWith("file:"))
        return QString();
    uri = uri.mid(5);
    const qsizetype end = uri.indexOf('#');
    if (end >= 0)
        uri.truncate(end);
    QByteArray host;
    if (uri.startsWith("//")) {
        const qsizetype slash = uri.indexOf('/', 2);
        host = uri.mid(2, slash < 0 ? -1 : slash - 2);
        uri = slash < 0 ? QByteArray("/") : uri.mid(slash);
    }
    const QString path = fileNameFromBytes(QByteArray::fromPercentEncoding(uri));
    if (!host.isEmpty() && host.toLower() != "localhost")
        return QStringLiteral("//") + fileNameFromBytes(host) + path;
    return path;
}
} // namespace

QString fileNameFromUrl(const QUrl &url)
{
    return url.isLocalFile() ? fileNameFromUri(url.toEncoded()) : QString();
}

QStringList droppedFileNames(const QMimeData *data)
{
    QStringList names;
    if (!data)
        return names;
    const QByteArray list = data->data(QStringLiteral("text/uri-list"));
    if (list.isEmpty()) {
        for (const QUrl &url : data->urls()) {
            if (const QString name = fileNameFromUrl(url); !name.isEmpty())
                names << name;
        }
        return names;
    }
    for (const QByteArray &line : list.split('\n')) {
        const QByteArray entry = line.trimmed();
        if (entry.isEmpty() || entry.startsWith('#'))
            continue;
        if (const QString name = fileNameFromUri(entry); !name.isEmpty())
            names << name;
    }
    return names;
}

bool isRegularFileName(const QString &name)
{
    struct stat info = {};
    return !name.isEmpty() && ::stat(fileNameBytes(name).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

bool fileNameExists(const QString &name)
{
    struct stat info = {};
    return !name.isEmpty() && ::stat(fileNameBytes(name).constData(), &info) == 0;
}

bool readsAsAddress(const QString &name)
{
    const qsizetype separator = name.indexOf(QLatin1String("://"));
    if (separator <= 0 || !(name.at(0).isLetter() && name.at(0).unicode() < 0x80))
        return false;
    for (qsizetype i = 1; i < separator; ++i) {
        const QChar c = name.at(i);
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('+') &&
            c != QLatin1Char('-') && c != QLatin1Char('.'))
            return false;
    }
    return !fileNameExists(name);
}
