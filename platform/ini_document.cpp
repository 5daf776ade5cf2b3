#include "platform/ini_document.h"

#include "engine/text_fields.h"

#include <QStringDecoder>

#include <string_view>

namespace orvantis::ini {

namespace {

std::string_view bytesOf(QByteArrayView v) { return {v.data(), std::size_t(v.size())}; }

// Blanks are spaces, tabs and the CR of a Windows line end.
QByteArrayView trimBlanks(QByteArrayView v)
{
    const std::string_view trimmed = text::Trim(bytesOf(v), text::kBlanks);
    return {trimmed.data(), qsizetype(trimmed.size())};
}

// QString::fromUtf8 drops a leading U+FEFF, which would make a name or value
// that starts with one unreadable after it was written. The file's own
// byte-order mark is skipped separately, so here every character counts.
QString fromUtf8Exactly(QByteArrayView bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decode(bytes);
}

QString nameOf(QByteArrayView bytes) { return fromUtf8Exactly(bytes).trimmed(); }

bool sameName(QByteArrayView bytes, QStringView wanted)
{
    return QStringView(nameOf(bytes)).compare(wanted, Qt::CaseInsensitive) == 0;
}

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

// The escaping of values described in the header.
QByteArray encodeValue(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    QByteArray out;
    out.reserve(bytes.size() + 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool atEnd = i == 0 || i == bytes.size() - 1;
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\0': out += "\\0"; break;
        case ' ': out += atEnd ? "\\s" : " "; break;
        case '\t': out += atEnd ? "\\t" : "\t"; break;
        default: out += c;
        }
    }
    return out;
}

QString decodeValue(QByteArrayView text)
{
    text = trimBlanks(text);
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const char next = text[++i];
        switch (next) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case '0': out += '\0'; break;
        case 's': out += ' '; break;
        case 't': out += '\t'; break;
        default: // not ours: keep the pair as written
            out += '\\';
            out += next;
        }
    }
    return fromUtf8Exactly(out);
}

} // namespace

IniDocument parseIni(const QByteArray& bytes)
{
    IniDocument doc;
    doc.source_ = bytes;
    const QByteArrayView all(doc.source_);
    qsizetype start = 0;
    while (start < all.size()) {
        IniDocument::Line line;
        line.at = start;
        const qsizetype lf = all.indexOf('\n', start);
        if (lf < 0) {
            line.size = all.size() - start;
            start = all.size();
        } else {
            line.size = lf - start;
            line.endSize = 1;
            if (line.size > 0 && all[lf - 1] == '\r') {
                --line.size;
                line.endSize = 2;
            }
            start = lf + 1;
        }
        IniDocument::classify(line, all.sliced(line.at, line.size), doc.lines_.empty());
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

void IniDocument::classify(Line& line, QByteArrayView text, bool first)
{
    const qsizetype mark = first && text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    const std::size_t nonBlank = bytesOf(text).find_first_not_of(text::kBlanks, std::size_t(mark));
    const qsizetype skip = nonBlank == std::string_view::npos ? text.size() : qsizetype(nonBlank);
    const QByteArrayView rest = text.sliced(skip);
    line.kind = Kind::Other;
    if (rest.startsWith('[')) {
        const qsizetype close = rest.indexOf(']');
        if (close < 0) {
            line.kind = Kind::BrokenSection;
            return;
        }
        line.kind = Kind::Section;
        line.nameAt = skip + 1;
        line.nameSize = close - 1;
        return;
    }
    if (rest.startsWith(';') || rest.startsWith('#'))
        return;
    const qsizetype eq = rest.indexOf('=');
    if (eq <= 0 || nameOf(rest.first(eq)).isEmpty())
        return;
    line.kind = Kind::Setting;
    line.nameAt = skip;
    line.nameSize = eq;
    line.valueAt = skip + eq + 1;
    // Keep the blanks after "=" with the key, so that replacing the value
    // keeps the look of a hand-written "key = value".
    while (line.valueAt < text.size() && (text[line.valueAt] == ' ' || text[line.valueAt] == '\t'))
        ++line.valueAt;
}

QByteArrayView IniDocument::text(const Line& line) const
{
    return line.owned ? QByteArrayView(line.own) : QByteArrayView(source_).sliced(line.at, line.size);
}

void IniDocument::setText(Line& line, QByteArray newText)
{
    line.own = std::move(newText);
    line.owned = true;
    line.at = 0;
    line.size = line.own.size();
}

IniDocument::Found IniDocument::find(QStringView section, QStringView key) const
{
    Found found;
    bool inside = false;  // within a section of the wanted name
    bool inFirst = false; // within the first of them, where new keys go
    for (qsizetype i = 0; i < lineCount(); ++i) {
        const Line& line = lines_[size_t(i)];
        switch (line.kind) {
        case Kind::Section:
            inside = sameName(text(line).sliced(line.nameAt, line.nameSize), section);
            inFirst = inside && found.section < 0;
            if (inFirst) {
                found.section = i;
                found.insertAt = i + 1;
            }
            break;
        case Kind::BrokenSection:
            inside = inFirst = false;
            break;
        case Kind::Setting:
            if (!inside)
                break;
            if (inFirst)
                found.insertAt = i + 1;
            if (sameName(text(line).sliced(line.nameAt, line.nameSize), key)) {
                found.key = i;
                return found;
            }
            break;
        case Kind::Other:
            break;
        }
    }
    return found;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const
{
    const Found found = find(section.trimmed(), key.trimmed());
    if (found.key < 0)
        return std::nullopt;
    const Line& line = lines_[size_t(found.key)];
    return decodeValue(text(line).sliced(line.valueAt));
}

bool IniDocument::canStore(const QString& section, const QString& key)
{
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    const auto oneLine = [](const QString& name) {
        return !name.isEmpty() && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'))
            && !name.contains(QChar(0));
    };
    return oneLine(s) && oneLine(k) && !s.contains(QLatin1Char(']')) && !k.contains(QLatin1Char('='))
        && !k.startsWith(QLatin1Char('[')) && !k.startsWith(QLatin1Char(';'))
        && !k.startsWith(QLatin1Char('#'));
}

QByteArray IniDocument::newline() const
{
    return !lines_.empty() && lines_.front().endSize == 2 ? QByteArray("\r\n") : QByteArray("\n");
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    if (!canStore(section, key))
        return false;
    const Found found = find(QStringView(section).trimmed(), QStringView(key).trimmed());
    const QByteArray encoded = encodeValue(value);
    if (found.key >= 0) {
        Line& line = lines_[size_t(found.key)];
        setText(line, text(line).first(line.valueAt).toByteArray() + encoded);
        return true;
    }

    const auto makeLine = [](QByteArray bytes, Kind kind) {
        Line line;
        line.own = std::move(bytes);
        line.owned = true;
        line.size = line.own.size();
        line.endSize = 1; // fixed below for CR LF files
        line.kind = kind;
        return line;
    };
    const quint8 endSize = quint8(newline().size());
    std::vector<Line> added;
    if (found.section < 0) {
        if (!lines_.empty() && !trimBlanks(text(lines_.back())).isEmpty())
            added.push_back(makeLine({}, Kind::Other)); // a blank line between sections
        Line header = makeLine('[' + section.trimmed().toUtf8() + ']', Kind::Section);
        header.nameAt = 1;
        header.nameSize = header.size - 2;
        added.push_back(std::move(header));
    }
    const QByteArray keyBytes = key.trimmed().toUtf8();
    Line setting = makeLine(keyBytes + '=' + encoded, Kind::Setting);
    setting.nameSize = keyBytes.size();
    setting.valueAt = keyBytes.size() + 1;
    added.push_back(std::move(setting));
    for (Line& line : added)
        line.endSize = endSize;

    const qsizetype at = found.section < 0 ? lineCount() : found.insertAt;
    if (at > 0 && lines_[size_t(at - 1)].endSize == 0)
        lines_[size_t(at - 1)].endSize = endSize; // the old last line needs its line end now
    lines_.insert(lines_.begin() + at, std::make_move_iterator(added.begin()),
                  std::make_move_iterator(added.end()));
    return true;
}

QByteArray IniDocument::serialise() const
{
    qsizetype total = 0;
    for (const Line& line : lines_)
        total += line.size + line.endSize;
    QByteArray out;
    out.reserve(total);
    for (const Line& line : lines_) {
        out += text(line);
        if (line.endSize == 2)
            out += '\r';
        if (line.endSize >= 1)
            out += '\n';
    }
    return out;
}

} // namespace orvantis::ini
