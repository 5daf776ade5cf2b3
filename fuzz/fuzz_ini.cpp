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
// `after`: the window left once the common leading and trailing lines are
// taken off.
void checkLocalChange(const QByteArray& before, const QByteArray& after, bool replaced)
{
    const auto was = linesOf(before), now = linesOf(after);
    const std::size_t common = std::min(was.size(), now.size());
    std::size_t head = 0, tail = 0;
    while (head < common && was[head] == now[head])
        ++head;
    while (tail < common - head && was[was.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const std::size_t oldChanged = was.size() - head - tail, newChanged = now.size() - head - tail;
    if (oldChanged > 1)
        fail("setValue changed more than one existing line");
    if (replaced ? newChanged != oldChanged : newChanged > oldChanged + 3) // blank, header, setting
        fail("setValue added or removed the wrong number of lines");
    if (oldChanged == 0)
        return;
    const qsizetype keyEnd = was[head].indexOf('=') + 1;
    if (replaced && (keyEnd == 0 || now[head].left(keyEnd) != was[head].left(keyEnd)))
        fail("replacing a value changed the key part of its line");
    // Adding changes no line but an old last line without a line end, which gets one.
    if (!replaced && (head + 1 != was.size() || was[head].endsWith('\n')
                      || (now[head] != was[head] + "\n" && now[head] != was[head] + "\r\n")))
        fail("adding a value changed an existing line");
}

void checkEncoding(const QString& value)
{
    const QByteArray encoded = orvantis::ini::encodeValue(value);
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (encoded.contains('\n') || encoded.contains('\r') || encoded.contains('\0')
        || (!encoded.isEmpty() && (blank(encoded.front()) || blank(encoded.back()))))
        fail("encodeValue left a line break, NUL or blank at an end");
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
    const auto param = [&](qsizetype i) { return i < params.size() ? decode(params[i]) : QString(); };
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
    if (reread.lineCount() != doc.lineCount() || reread.value(section, key) != value
        || reread.value(otherSection, otherKey) != doc.value(otherSection, otherKey)
        || reread.serialise() != written)
        fail("the written bytes parse back to a different document");
    return 0;
}
