// An INI file held as its lines, so that a change touches one line and every
// other byte of the file survives: comments, blank lines, junk, binary bytes,
// unknown sections, CR LF or LF line ends, a missing final line break.
//
// Pure code over bytes (no file access), so that tests and a fuzzer can drive
// it directly. Work is linear in the size of the input.
//
// Reading the lines:
//   - A line is the bytes up to and including "\n"; the last line may lack it.
//     A "\r" before the "\n" counts as part of the line end and is kept.
//   - After trimming blanks (space, tab, a stray CR), a line "[name]..."
//     opens section `name` (trimmed; text after the "]" is ignored). A line
//     starting with "[" that has no "]" is a broken header: it is kept as it
//     is, and the keys after it belong to no section until the next good
//     header, so that neither a read nor a write can land in a section the
//     file does not clearly name.
//   - "key=value" (the first "=") inside a section is a setting; key and value
//     are trimmed. Keys before the first header belong to no section.
//   - Lines starting with ";" or "#", blank lines and anything else are kept
//     untouched and otherwise ignored. A UTF-8 byte-order mark before the first
//     line is ignored the same way.
//   - Section and key names match without regard to letter case (Unicode
//     case folding, one character to one, as QString compares). A section that
//     occurs twice is searched in file order; the first occurrence of a key
//     counts.
//
// Values are UTF-8 text on one line. Writing escapes what the line form cannot
// carry, with the escapes of freedesktop.org desktop entries plus one for NUL:
//   "\\" backslash, "\n" line feed, "\r" carriage return, "\0" NUL, and "\s"
//   or "\t" for a space or tab at either end of the value (ends are trimmed
//   on reading). Reading decodes these and keeps any other backslash pair,
//   such as "\d" in a hand-written "C:\dir", as it stands.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace orvantis::ini {

class IniDocument {
public:
    // The value of `key` in `section`, or nothing when either is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Replaces the first `key` in the first `section` in place (keeping the
    // spelling of the key as it stands in the file), or adds the key at the end
    // of that section, or adds the section at the end of the document.
    // Returns false, changing nothing, for names the file cannot carry (see
    // canStore).
    bool setValue(const QString& section, const QString& key, const QString& value);

    // Whether a section and key can be written so that they read back as the
    // same names: not empty after trimming, no line breaks or NUL, no "]" in a
    // section, no "=" in a key, and a key not starting with "[", ";" or "#".
    static bool canStore(const QString& section, const QString& key);

    // The document as bytes; for a parsed, unchanged document these are
    // exactly the bytes it was parsed from.
    QByteArray serialise() const;

    qsizetype lineCount() const { return qsizetype(lines_.size()); }

private:
    friend IniDocument parseIni(const QByteArray& bytes);

    enum class Kind : quint8 { Other, Section, BrokenSection, Setting };
    // A line points into the parsed bytes until it is changed; then it holds
    // its own text. Names are decoded when searched, not kept, so that a huge
    // file costs little more memory than its bytes.
    struct Line {
        qsizetype at = 0;       // text in source_, when !owned
        qsizetype size = 0;
        QByteArray own;         // text, when owned
        bool owned = false;
        quint8 endSize = 0;     // 0: no line end, 1: "\n", 2: "\r\n"
        Kind kind = Kind::Other;
        qsizetype nameAt = 0;   // Section/Setting: the untrimmed name in the text
        qsizetype nameSize = 0;
        qsizetype valueAt = 0;  // Setting: first byte of the value in the text
    };
    struct Found {
        qsizetype section = -1; // header of the first matching section
        qsizetype insertAt = -1; // after the last setting of that section
        qsizetype key = -1;     // the first matching setting
    };

    QByteArrayView text(const Line& line) const;
    static void classify(Line& line, QByteArrayView text, bool first);
    Found find(QStringView section, QStringView key) const;
    void setText(Line& line, QByteArray text);
    QByteArray newline() const;

    QByteArray source_;
    std::vector<Line> lines_;
};

IniDocument parseIni(const QByteArray& bytes);

} // namespace orvantis::ini
