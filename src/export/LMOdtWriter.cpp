// LMOdtWriter: the package is rebuilt from the entries Qt writes: "mimetype" first and stored, as the format
// requires, then the manifest listing styles.xml, the content and the styles.
#include "LMOdtWriter.h"

#include "LMReportPageLayout.h"

#include <QBuffer>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QtEndian>
#include <zlib.h>

namespace {
quint32 read32(const QByteArray &a, qsizetype at)
{
    return qFromLittleEndian<quint32>(a.constData() + at);
}
quint16 read16(const QByteArray &a, qsizetype at)
{
    return qFromLittleEndian<quint16>(a.constData() + at);
}
void put32(QByteArray &a, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    a.append(b, 4);
}
void put16(QByteArray &a, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    a.append(b, 2);
}

std::optional<QByteArray> inflateRaw(const QByteArray &data, quint32 size)
{
    // Sizes come from the archive: refuse what no document entry would be.
    if (size > 512u * 1024 * 1024)
        return std::nullopt;
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    if (result != Z_STREAM_END || stream.total_out != size)
        return std::nullopt;
    return out;
}

QString points(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral("pt");
}

QByteArray stylesXml(const QPageLayout &layout)
{
    const QSizeF paper = LMReportPageLayout(layout).paperSize();
    const QMarginsF m = layout.margins(QPageLayout::Point);
    const QString orientation =
        layout.orientation() == QPageLayout::Landscape ? QStringLiteral("landscape") : QStringLiteral("portrait");
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<office:document-styles xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
               "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" office:version=\"1.2\">\n"
               " <office:automatic-styles>\n"
               "  <style:page-layout style:name=\"pm1\">\n"
               "   <style:page-layout-properties fo:page-width=\"%1\" fo:page-height=\"%2\" "
               "style:print-orientation=\"%3\" fo:margin-left=\"%4\" fo:margin-right=\"%5\" fo:margin-top=\"%6\" "
               "fo:margin-bottom=\"%7\"/>\n"
               "  </style:page-layout>\n"
               " </office:automatic-styles>\n"
               " <office:master-styles>\n"
               "  <style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\"/>\n"
               " </office:master-styles>\n"
               "</office:document-styles>\n")
        .arg(points(paper.width()), points(paper.height()), orientation, points(m.left()), points(m.right()),
             points(m.top()), points(m.bottom()))
        .toUtf8();
}

QByteArray manifestXml(const QList<QPair<QString, QByteArray>> &entries)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
                     "manifest:version=\"1.2\">\n"
                     " <manifest:file-entry manifest:media-type=\"application/vnd.oasis.opendocument.text\" "
                     "manifest:full-path=\"/\"/>\n";
    for (const auto &entry : entries) {
        if (entry.first == QLatin1String("mimetype") || entry.first.startsWith(QLatin1String("META-INF/")))
            continue;
        const QByteArray type = entry.first.endsWith(QLatin1String(".xml")) ? "text/xml" : "";
        out += " <manifest:file-entry manifest:media-type=\"" + type + "\" manifest:full-path=\"" +
               entry.first.toUtf8().toPercentEncoding("/.-_") + "\"/>\n";
    }
    return out + "</manifest:manifest>\n";
}
} // namespace

namespace LMOdtWriter {

std::optional<QList<QPair<QString, QByteArray>>> readZip(const QByteArray &archive)
{
    // The end-of-central-directory record, searched from the end past a possible comment.
    qsizetype end = -1;
    for (qsizetype i = archive.size() - 22; i >= 0 && i >= archive.size() - 22 - 65535; --i)
        if (read32(archive, i) == 0x06054b50) {
            end = i;
            break;
        }
    if (end < 0)
        return std::nullopt;
    const int count = read16(archive, end + 10);
    qsizetype at = read32(archive, end + 16);
    QList<QPair<QString, QByteArray>> entries;
    for (int n = 0; n < count; ++n) {
        if (at < 0 || at + 46 > archive.size() || read32(archive, at) != 0x02014b50)
            return std::nullopt;
        const quint16 method = read16(archive, at + 10);
        const quint32 compressed = read32(archive, at + 20);
        const quint32 size = read32(archive, at + 24);
        const quint16 nameLength = read16(archive, at + 28);
        const quint16 extraLength = read16(archive, at + 30);
        const quint16 commentLength = read16(archive, at + 32);
        const qsizetype local = read32(archive, at + 42);
        if (at + 46 + nameLength > archive.size())
            return std::nullopt;
        const QString name = QString::fromUtf8(archive.mid(at + 46, nameLength));
        at += 46 + nameLength + extraLength + commentLength;
        if (local + 30 > archive.size() || read32(archive, local) != 0x04034b50)
            return std::nullopt;
        const qsizetype data = local + 30 + read16(archive, local + 26) + read16(archive, local + 28);
        if (data + qsizetype(compressed) > archive.size())
            return std::nullopt;
        const QByteArray raw = archive.mid(data, compressed);
        if (method == 0) {
            entries.append({name, raw});
        } else if (method == 8) {
            const std::optional<QByteArray> inflated = inflateRaw(raw, size);
            if (!inflated)
                return std::nullopt;
            entries.append({name, *inflated});
        } else {
            return std::nullopt;
        }
    }
    return entries;
}

QByteArray writeZip(const QList<QPair<QString, QByteArray>> &entries)
{
    QByteArray out;
    QByteArray directory;
    for (const auto &entry : entries) {
        const QByteArray name = entry.first.toUtf8();
        const QByteArray &data = entry.second;
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
        const quint32 offset = quint32(out.size());
        put32(out, 0x04034b50);
        put16(out, 10);     // version needed
        put16(out, 0x0800); // names in UTF-8
        put16(out, 0);      // stored
        put16(out, 0);      // time
        put16(out, 0x21);   // date: 1980-01-01
        put32(out, crc);
        put32(out, quint32(data.size()));
        put32(out, quint32(data.size()));
        put16(out, quint16(name.size()));
        put16(out, 0);
        out += name;
        out += data;

        put32(directory, 0x02014b50);
        put16(directory, 20);
        put16(directory, 10);
        put16(directory, 0x0800);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0x21);
        put32(directory, crc);
        put32(directory, quint32(data.size()));
        put32(directory, quint32(data.size()));
        put16(directory, quint16(name.size()));
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put16(directory, 0);
        put32(directory, 0);
        put32(directory, offset);
        directory += name;
    }
    const quint32 directoryOffset = quint32(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, quint16(entries.size()));
    put16(out, quint16(entries.size()));
    put32(out, quint32(directory.size()));
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

std::optional<QByteArray> write(const QTextDocument &document, const QPageLayout &layout)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(&document))
        return std::nullopt;
    const std::optional<QList<QPair<QString, QByteArray>>> written = readZip(buffer.data());
    if (!written)
        return std::nullopt;
    QList<QPair<QString, QByteArray>> entries;
    entries.append({QStringLiteral("mimetype"), QByteArrayLiteral("application/vnd.oasis.opendocument.text")});
    QList<QPair<QString, QByteArray>> rest;
    for (const auto &entry : *written)
        if (entry.first != QLatin1String("mimetype") && entry.first != QLatin1String("META-INF/manifest.xml") &&
            entry.first != QLatin1String("styles.xml"))
            rest.append(entry);
    rest.append({QStringLiteral("styles.xml"), stylesXml(layout)});
    entries.append({QStringLiteral("META-INF/manifest.xml"), manifestXml(rest)});
    entries += rest;
    return writeZip(entries);
}

} // namespace LMOdtWriter
