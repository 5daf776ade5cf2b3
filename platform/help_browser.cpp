#include "platform/help_browser.h"

#include "platform/logging.h"
#include "platform/whole_file.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace orvantis {

namespace {

// The help file, and each picture or style sheet it shows (ours is 15 kB).
constexpr qint64 kMaxFileBytes = 1 << 20;
// Qt lays out nested tables in time that doubles with each level (16 levels
// take seconds, 3000 overflow the stack) and parses nested elements in time
// that grows with the square of the depth. Our help file nests 6 elements
// and 1 table deep.
constexpr int kMaxNesting = 256;
constexpr int kMaxTableNesting = 8;

struct HelpFile {
    QByteArray bytes;
    QString problem; // why it is not shown, or ""
};

// Reads an ordinary file of at most kMaxFileBytes.
HelpFile readFile(const QString& path)
{
    WholeFile file = readWholeFile(path, kMaxFileBytes);
    switch (file.status) {
    case WholeFile::Read:
        return {std::move(file.bytes), {}};
    case WholeFile::Missing:
        return {{}, QStringLiteral("The file does not exist.")};
    case WholeFile::Folder:
        return {{}, QStringLiteral("It is a folder, not a file.")};
    case WholeFile::NotOrdinary:
        return {{}, QStringLiteral("It is not an ordinary file.")};
    case WholeFile::TooLarge:
        return {{}, QStringLiteral("It is too large to be a help file.")};
    case WholeFile::Failed:
        break;
    }
    return {{}, file.error + QLatin1Char('.')};
}

// Whether the elements of `html` nest deeper than kMaxNesting, or its tables
// deeper than kMaxTableNesting, counted as Qt's parser nests them: an end
// tag closes up to its start tag; elements without content, and those that
// the next of their kind ends (<p>, <li>, <td>, ...), do not nest.
bool nestsTooDeep(const QByteArray& html)
{
    static const std::vector<std::string_view> kFlat{
        "area", "base", "br", "col", "dd", "dt", "embed", "hr", "img", "input", "li", "link",
        "meta", "p", "param", "source", "td", "th", "tr", "wbr"};
    const std::string_view text(html.constData(), std::size_t(html.size()));
    std::vector<std::string> open;
    int tables = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.substr(at, 4) == "<!--") {
            at = text.find("-->", at);
            if (at == std::string_view::npos)
                break;
            continue;
        }
        const bool end = text.substr(at, 2) == "</";
        std::size_t nameEnd = at + (end ? 2 : 1);
        while (nameEnd < text.size() && std::isalnum(static_cast<unsigned char>(text[nameEnd])))
            ++nameEnd;
        std::string name(text.substr(at + (end ? 2 : 1), nameEnd - at - (end ? 2 : 1)));
        for (char& c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const std::size_t close = text.find('>', nameEnd);
        if (name.empty() || std::find(kFlat.begin(), kFlat.end(), name) != kFlat.end())
            continue;
        if (end) {
            const auto match = std::find(open.rbegin(), open.rend(), name);
            if (match != open.rend()) {
                const auto from = match.base() - 1;
                tables -= int(std::count(from, open.end(), std::string("table")));
                open.erase(from, open.end());
            }
        } else if (close != std::string_view::npos && text[close - 1] == '/') {
            continue; // <x/>
        } else {
            open.push_back(name);
            tables += name == "table";
            if (int(open.size()) > kMaxNesting || tables > kMaxTableNesting)
                return true;
        }
    }
    return false;
}

// The help file as the window may show it, or why not.
HelpFile readHelpPage(const QString& path)
{
    HelpFile read = readFile(path);
    if (read.problem.isEmpty() && nestsTooDeep(read.bytes))
        read.problem = QStringLiteral("Its tables or other elements are nested too deeply to be shown.");
    return read;
}

} // namespace

// Shows the help file and follows its links, but only within the help
// folder: a damaged or hostile file may point anywhere.
class HelpWindow final : public QTextBrowser {
public:
    void setFolder(const QString& helpFilePath) { folder_ = QFileInfo(helpFilePath).canonicalPath(); }

    // Pages, pictures and style sheets: ordinary files in the help folder only.
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QString path = fileInFolder(name);
        const HelpFile read = path.isEmpty() ? HelpFile{{}, QStringLiteral("outside the help folder")}
                              : type == QTextDocument::HtmlResource ? readHelpPage(path)
                                                                    : readFile(path);
        if (read.problem.isEmpty())
            return read.bytes;
        qCInfo(lcHelp) << "not loaded:" << name.toString() << read.problem;
        return {};
    }

protected:
    // Web and mail links go to the desktop; pages of the help folder are
    // shown; anything else (other files, javascript:, smb:, ...) is refused.
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override
    {
        const QUrl url = source().resolved(name);
        const QString scheme = url.scheme();
        if (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto")) {
            QDesktopServices::openUrl(url);
        } else if (const QString path = fileInFolder(url);
                   !path.isEmpty() && readHelpPage(path).problem.isEmpty()) {
            QTextBrowser::doSetSource(name, type);
        } else {
            qCInfo(lcHelp) << "link not followed:" << url.toString();
        }
    }

private:
    // The file `name` stands for when it lies in the help folder, else "".
    QString fileInFolder(const QUrl& name) const
    {
        const QUrl url = source().resolved(name);
        if (!url.isLocalFile())
            return {};
        const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath(); // links followed
        return !folder_.isEmpty() && path.startsWith(folder_ + QLatin1Char('/')) ? path : QString();
    }

    QString folder_;
};

QString helpFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Orvantis.hlp");
}

HelpBrowser::HelpBrowser() = default;
HelpBrowser::~HelpBrowser() = default;

void HelpBrowser::ShowContents(const QString& path)
{
    if (!window_) {
        window_ = std::make_unique<HelpWindow>(); // no parent: a window of its own, not modal
        window_->setWindowTitle(QStringLiteral("Orvantis Help"));
        window_->resize(640, 560);
        window_->setOpenLinks(true);
    }
    window_->setFolder(path);

    const QString problem = readHelpPage(path).problem;
    if (problem.isEmpty()) {
        const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
        if (window_->source() == url)
            window_->reload(); // also picks up a changed file
        else
            window_->setSource(url, QTextDocument::HtmlResource);
        window_->clearHistory();
    } else {
        qCInfo(lcHelp) << "help file not shown:" << path << problem;
        window_->setPlainText(QStringLiteral("The help file could not be opened: %1\n\n%2")
                                 .arg(QDir::toNativeSeparators(path), problem));
    }
    window_->verticalScrollBar()->setValue(0);

    if (window_->isMinimized())
        window_->showNormal();
    else
        window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace orvantis
