// Fuzzes the settings file parser (platform/ini_document.h) with arbitrary
// bytes, then writes a value into what it parsed.
//
// Input layout: byte 0 is a length n; the next n bytes are the names and the
// value to write, separated by 0x1F: section, key, value, then a second
// section and key to watch (missing pieces are empty); the remaining bytes
// are the file. Checked:
//   - a parsed file serialises back to exactly its bytes;
//   - after setValue the value reads back, also after serialise and a fresh
//     parse; a refused setValue changes nothing;
//   - setValue changes one line in place or inserts new lines (plus a line end
//     for an old last line that had none): every other line keeps its bytes;
//   - another key's value is the same before and after.
// The escaping of values and the names refused are pinned down by
// tests/platform/settings_test.cpp; a fault in either shows here too, as a
// value that does not read back or bytes that parse back differently.
// Any violation aborts, which libFuzzer reports as a crash with the input.

#include "platform/ini_document.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype lf = bytes.indexOf('\n', at);
        const qsizetype end = lf < 0 ? bytes.size() : lf + 1;
        lines.push_back(bytes.mid(at, end - at));
        at = end;
    }
    return lines;
}

bool sameName(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// Only the lines that setValue meant to change differ between `before` and
// `after`: taking off the lines they share at both ends leaves at most one old
// line (the replaced one, or an old last line that gets a line end) and, when
// adding, one to three new lines (blank, header, setting).
void checkLocalChange(const QByteArray& before, const QByteArray& after, bool replaced)
{
    const auto was = linesOf(before), now = linesOf(after);
    const std::size_t common = std::min(was.size(), now.size());
    std::size_t head = 0, tail = 0;
    while (head < common && was[head] == now[head])
        ++head;
    while (tail < common - head && was[was.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const std::size_t oldChanged = was.size() - head - tail;
    const qsizetype added = qsizetype(now.size()) - qsizetype(was.size());
    if (oldChanged > 1 || (replaced ? added != 0 : added < 1 || added > 3))
        fail("setValue changed more than one existing line, or added the wrong number");
    if (!replaced && oldChanged == 1
        && (was[head].endsWith('\n') || (now[head] != was[head] + "\n" && now[head] != was[head] + "\r\n")))
        fail("adding a value changed an existing line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray whole(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype paramSize = std::min<qsizetype>(data[0], whole.size() - 1);
    const QList<QByteArray> params = whole.mid(1, paramSize).split('\x1F');
    // Decoded without dropping a leading byte-order mark (QString::fromUtf8
    // drops it), so that U+FEFF at the start of a name or value gets tested too.
    const auto param = [&](qsizetype i) {
        QStringDecoder toUtf16(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return i < params.size() ? QString(toUtf16(params[i])) : QString();
    };
    const QString section = param(0), key = param(1), value = param(2);
    const QString otherSection = param(3), otherKey = param(4);
    const QByteArray file = whole.mid(1 + paramSize);

    IniDocument doc = parseIni(file);
    if (doc.serialise() != file)
        fail("serialise of an unchanged document differs from its bytes");

    const bool replaced = doc.value(section, key).has_value();
    const std::optional<QString> otherBefore = doc.value(otherSection, otherKey);
    if (!doc.setValue(section, key, value)) {
        if (doc.serialise() != file)
            fail("a refused setValue changed the document");
        return 0;
    }
    const QByteArray written = doc.serialise();
    if (doc.value(section, key) != value)
        fail("value does not read back after setValue");
    checkLocalChange(file, written, replaced);
    if (!(sameName(section, otherSection) && sameName(key, otherKey))
        && doc.value(otherSection, otherKey) != otherBefore)
        fail("setValue changed another key's value");

    const IniDocument reread = parseIni(written);
    if (reread.lineCount() != doc.lineCount() || reread.value(section, key) != value
        || reread.value(otherSection, otherKey) != doc.value(otherSection, otherKey))
        fail("the written bytes parse back to a different document");
    return 0;
}
