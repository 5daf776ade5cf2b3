// Fuzzes the settings file parser (platform/ini_document.h) with arbitrary
// bytes, then writes a value into what it parsed.
//
// Input layout: byte 0 is a length n; the next n bytes are the names and the
// value to write, separated by 0x1F: section, key, value, then a second
// section and key to watch (missing pieces are empty); the remaining bytes
// are the file. Checked:
//   - a parsed file serialises back to exactly its bytes (also for the whole
//     input taken as a file);
//   - after setValue the value reads back, also after serialise and a fresh
//     parse, and a second serialise/parse round changes nothing;
//   - setValue changes one line in place or inserts new lines (plus a line end
//     for an old last line that had none): every other line keeps its bytes;
//   - another key's value is the same before and after;
//   - writing is refused exactly when canStore refuses the names;
//   - encodeValue gives a single line without blanks at its ends, and
//     decodeValue turns it back into the value.
// Any violation aborts, which libFuzzer reports as a crash with the input.

#include "platform/ini_document.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

using orvantis::ini::IniDocument;
using orvantis::ini::parseIni;

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
}

// Lines with their line ends, split independently of the parser.
std::vector<QByteArray> linesOf(const QByteArray& bytes)
{
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', start);
        const qsizetype end = lf < 0 ? bytes.size() : lf + 1;
        lines.push_back(bytes.mid(start, end - start));
        start = end;
    }
    return lines;
}

// Names and values from the input, decoded without dropping a leading
// byte-order mark (QString::fromUtf8 drops it), so that U+FEFF at the start of
// a name or value gets tested too.
QString decode(const QByteArray& bytes)
{
    QStringDecoder toUtf16(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return toUtf16(bytes);
}

bool sameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Only the lines that setValue meant to change differ between `before` and
// `after`: the smallest window left once the common leading and trailing
// lines are taken off.
void checkLocalChange(const QByteArray& before, const QByteArray& after, bool replaced)
{
    const auto oldLines = linesOf(before);
    const auto newLines = linesOf(after);
    const std::size_t limit = std::min(oldLines.size(), newLines.size());
    std::size_t head = 0;
    while (head < limit && oldLines[head] == newLines[head])
        ++head;
    std::size_t tail = 0;
    while (tail < limit - head
           && oldLines[oldLines.size() - 1 - tail] == newLines[newLines.size() - 1 - tail])
        ++tail;
    const std::size_t oldChanged = oldLines.size() - head - tail;
    const std::size_t newChanged = newLines.size() - head - tail;

    if (oldChanged > 1)
        fail("setValue changed more than one existing line");
    if (replaced) {
        if (newChanged != oldChanged)
            fail("replacing a value added or removed lines");
        if (oldChanged == 1) {
            const QByteArray& was = oldLines[head];
            const QByteArray& now = newLines[head];
            const qsizetype eq = was.indexOf('=');
            if (eq < 0 || now.left(eq + 1) != was.left(eq + 1))
                fail("replacing a value changed the key part of its line");
        }
        return;
    }
    if (newChanged > oldChanged + 3) // blank line, header, setting
        fail("adding a value inserted too many lines");
    if (oldChanged == 1) {
        // Only an old last line without a line end may change: it gets one.
        const QByteArray& was = oldLines[head];
        if (head + 1 != oldLines.size() || was.endsWith('\n'))
            fail("adding a value changed an existing line");
        const QByteArray& now = newLines[head];
        if (now != was + "\n" && now != was + "\r\n")
            fail("adding a value changed the old last line beyond its line end");
    }
}

void checkEncoding(const QString& value)
{
    const QByteArray encoded = orvantis::ini::encodeValue(value);
    if (encoded.contains('\n') || encoded.contains('\r') || encoded.contains('\0'))
        fail("encodeValue left a line break or NUL");
    if (!encoded.isEmpty()) {
        const char first = encoded.front();
        const char last = encoded.back();
        if (first == ' ' || first == '\t' || last == ' ' || last == '\t')
            fail("encodeValue left a blank at an end");
    }
    if (orvantis::ini::decodeValue(encoded) != value)
        fail("decodeValue(encodeValue(v)) != v");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray whole(reinterpret_cast<const char*>(data), qsizetype(size));
    if (parseIni(whole).serialise() != whole)
        fail("serialise of the whole input differs from it");
    if (size == 0)
        return 0;

    const qsizetype paramSize = std::min<qsizetype>(data[0], whole.size() - 1);
    const QList<QByteArray> params = whole.mid(1, paramSize).split('\x1F');
    const auto param = [&](qsizetype i) {
        return i < params.size() ? decode(params[i]) : QString();
    };
    const QString section = param(0), key = param(1), value = param(2);
    const QString otherSection = param(3), otherKey = param(4);
    const QByteArray file = whole.mid(1 + paramSize);

    checkEncoding(value);

    IniDocument doc = parseIni(file);
    if (doc.serialise() != file)
        fail("serialise of an unchanged document differs from its bytes");

    const bool replaced = doc.value(section, key).has_value();
    const std::optional<QString> otherBefore = doc.value(otherSection, otherKey);
    const bool stored = doc.setValue(section, key, value);
    if (stored != IniDocument::canStore(section, key))
        fail("setValue and canStore disagree");
    const QByteArray written = doc.serialise();
    if (!stored) {
        if (written != file)
            fail("a refused setValue changed the document");
        return 0;
    }

    if (doc.value(section, key) != value)
        fail("value does not read back after setValue");
    checkLocalChange(file, written, replaced);
    if (!(sameName(section, otherSection) && sameName(key, otherKey))
        && doc.value(otherSection, otherKey) != otherBefore)
        fail("setValue changed another key's value");

    const IniDocument reread = parseIni(written);
    if (reread.lineCount() != doc.lineCount())
        fail("reparsing the written bytes gives a different number of lines");
    if (reread.value(section, key) != value)
        fail("value does not read back after serialise and parse");
    if (reread.value(otherSection, otherKey) != doc.value(otherSection, otherKey))
        fail("another key reads differently after serialise and parse");
    if (reread.serialise() != written)
        fail("serialise/parse is not stable");
    return 0;
}
