#include "versionresource.h"

#include "childprocess.h"
#include "info/versioninfo.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QtEndian>

namespace {

constexpr quint32 versionType = 16; // RT_VERSION
constexpr quint32 subdirectoryBit = 0x80000000u;

class Image
{
public:
    explicit Image(const QByteArray &bytes) : m_bytes(bytes) {}

    bool has(qint64 offset, qint64 size) const
    {
        return offset >= 0 && size >= 0 && offset + size <= m_bytes.size();
    }
    quint16 word(qint64 offset) const
    {
        return has(offset, 2) ? qFromLittleEndian<quint16>(m_bytes.constData() + offset) : 0;
    }
    quint32 dword(qint64 offset) const
    {
        return has(offset, 4) ? qFromLittleEndian<quint32>(m_bytes.constData() + offset) : 0;
    }
    QByteArray mid(qint64 offset, qint64 size) const
    {
        return has(offset, size) ? m_bytes.mid(offset, size) : QByteArray();
    }

private:
    const QByteArray &m_bytes;
};

// The first entry of a resource directory with the given id (any id when
// `id` is 0): its offset field, or 0 when there is none.
quint32 directoryEntry(const Image &image, qint64 directory, quint32 id)
{
    const int named = image.word(directory + 12);
    const int numbered = image.word(directory + 14);
    for (int i = 0; i < named + numbered; ++i) {
        const qint64 at = directory + 16 + 8 * qint64(i);
        if (!image.has(at, 8))
            return 0;
        if (id == 0 || image.dword(at) == id)
            return image.dword(at + 4);
    }
    return 0;
}

QString bannerOf(const QString &program, int timeoutMs)
{
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    endWithProgram(engine);
    engine.start(program, {});
    QDeadlineTimer deadline(timeoutMs);
    if (!engine.waitForStarted(int(deadline.remainingTime())))
        return {};
    // Without arguments the engine prints its banner and usage and ends; it
    // must not sit waiting for input.
    engine.closeWriteChannel();
    QByteArray output;
    while (!output.contains('\n') && !deadline.hasExpired()) {
        if (!engine.waitForReadyRead(int(deadline.remainingTime())))
            break;
        output += engine.readAll();
    }
    output += engine.readAll();
    if (engine.state() != QProcess::NotRunning) {
        engine.kill();
        engine.waitForFinished(1000);
    }
    const qsizetype end = output.indexOf('\n');
    return QString::fromLocal8Bit(end < 0 ? output : output.left(end));
}

} // namespace

QByteArray peVersionResource(const QByteArray &bytes)
{
    const Image image(bytes);
    if (!bytes.startsWith("MZ"))
        return {};
    const qint64 pe = image.dword(0x3c);
    if (!image.has(pe, 24) || bytes.mid(pe, 4) != QByteArray("PE\0\0", 4))
        return {};
    const int sections = image.word(pe + 6);
    const qint64 optional = pe + 24;
    const quint16 magic = image.word(optional);
    // The data directories follow the optional header's fixed part, longer
    // in 64-bit images; the resources are the third.
    const qint64 directories = optional + (magic == 0x20b ? 112 : 96);
    if (magic != 0x10b && magic != 0x20b)
        return {};
    const quint32 resourceRva = image.dword(directories + 2 * 8);
    if (resourceRva == 0)
        return {};
    const qint64 sectionTable = optional + image.word(pe + 20);
    auto fileOffset = [&](quint32 rva) -> qint64 {
        for (int i = 0; i < sections; ++i) {
            const qint64 s = sectionTable + 40 * qint64(i);
            const quint32 address = image.dword(s + 12);
            const quint32 size = qMax(image.dword(s + 8), image.dword(s + 16));
            if (rva >= address && rva < quint64(address) + size)
                return qint64(image.dword(s + 20)) + (rva - address);
        }
        return -1;
    };
    const qint64 root = fileOffset(resourceRva);
    if (root < 0)
        return {};
    // Type, then name, then language: the first version resource in the
    // first language it has.
    quint32 next = directoryEntry(image, root, versionType);
    for (int level = 0; level < 2; ++level) {
        if (!(next & subdirectoryBit))
            return {};
        next = directoryEntry(image, root + (next & ~subdirectoryBit), 0);
    }
    if (next == 0 || (next & subdirectoryBit))
        return {};
    const qint64 data = root + next;
    const qint64 at = fileOffset(image.dword(data));
    return at < 0 ? QByteArray() : image.mid(at, image.dword(data + 4));
}

QByteArray readVersionResource(const QString &program, int timeoutMs)
{
    QFile file(program);
    if (file.open(QIODevice::ReadOnly) && file.peek(2) == "MZ") {
        const uchar *mapped = file.map(0, file.size());
        const QByteArray image =
            mapped ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), file.size())
                   : file.readAll();
        QByteArray resource = peVersionResource(image);
        resource.detach(); // its own copy: the mapping ends with the file
        return resource;
    }
    return VersionInfo::resourceFromBanner(bannerOf(program, timeoutMs));
}
