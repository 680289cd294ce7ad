#include "net/page_link_component.h"

#include "net/parse_arena.h"

#include <QFile>
#include <QFileInfo>

#include <gumbo.h>

#include <algorithm>

namespace tarnwick {

namespace {

// On nested tables every enclosing cell holds all inner text, so a hostile page could make
// the kept texts quadratic in its size: one link's or cell's text is cut at kMaxNodeText, and
// all of them together at kMaxKeptText characters (far beyond any real page's).
constexpr qsizetype kMaxNodeText = 64 * 1024;
constexpr qsizetype kMaxKeptText = 16 * 1024 * 1024;

// The walks start at the <html> element, so no document node comes here.
const GumboVector* childrenOf(const GumboNode* node)
{
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE)
        return &node->v.element.children;
    return nullptr;
}

QString attribute(const GumboNode* node, const char* name)
{
    const GumboAttribute* a = gumbo_get_attribute(&node->v.element.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

// The walks are iterative: a page may nest elements far deeper than the call stack allows.
struct Walker {
    QUrl base;
    QList<QPair<QString, QString>> rawLinks; // text, href
    std::vector<std::vector<QStringList>> tables;
    qsizetype keptBudget = kMaxKeptText;

    // The first <base> with an address, in document order.
    void findBase(const GumboNode* root)
    {
        std::vector<const GumboNode*> stack { root };
        while (!stack.empty()) {
            const GumboNode* node = stack.back();
            stack.pop_back();
            if (node->type != GUMBO_NODE_ELEMENT)
                continue;
            if (node->v.element.tag == GUMBO_TAG_BASE) {
                const QString href = attribute(node, "href").trimmed();
                if (!href.isEmpty()) {
                    base = base.resolved(QUrl(href));
                    return;
                }
            }
            const GumboVector& children = node->v.element.children;
            for (unsigned i = children.length; i-- > 0;)
                stack.push_back(static_cast<const GumboNode*>(children.data[i]));
        }
    }

    // One pass in document order. The visible text goes into one buffer; a link or cell
    // records where its text starts and takes the rest once its subtree is done.
    void walk(const GumboNode* root)
    {
        struct Frame {
            const GumboNode* node;
            int table; // index of the innermost open table, -1 outside
            bool leaving; // second visit, after the children
            qsizetype textStart;
            qsizetype row; // the innermost open row of that table, -1 if none; on leaving a cell, its row
            qsizetype slot; // the link or cell waiting for this node's text, -1 if none
            bool isLink {}; // only read on leaving
        };
        QString text;
        std::vector<Frame> stack { { root, -1, false, 0, -1, -1 } };
        while (!stack.empty()) {
            Frame frame = stack.back();
            stack.pop_back();
            const GumboNode* node = frame.node;
            if (frame.leaving) {
                const qsizetype length
                    = std::min({ text.size() - frame.textStart, kMaxNodeText, keptBudget });
                keptBudget -= length;
                const QString own = QStringView(text).mid(frame.textStart, length).toString().simplified();
                if (frame.isLink) {
                    rawLinks[frame.slot].first = own;
                } else {
                    // By row number: a template inside the cell may have added rows since.
                    tables[static_cast<size_t>(frame.table)][static_cast<size_t>(frame.row)][frame.slot]
                        = own;
                }
                continue;
            }
            if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE
                || node->type == GUMBO_NODE_CDATA) {
                text += QString::fromUtf8(node->v.text.text);
                continue;
            }
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) {
                if (node->type != GUMBO_NODE_DOCUMENT)
                    continue;
            } else {
                const GumboTag tag = node->v.element.tag;
                if (tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE)
                    continue;
                if (tag == GUMBO_TAG_BR)
                    text += QLatin1Char(' ');
                int table = frame.table;
                qsizetype row = frame.row;
                if (tag == GUMBO_TAG_A && gumbo_get_attribute(&node->v.element.attributes, "href")) {
                    rawLinks.append({ QString(), attribute(node, "href") });
                    stack.push_back({ node, table, true, text.size(), -1, rawLinks.size() - 1, true });
                }
                if (tag == GUMBO_TAG_TABLE) {
                    tables.emplace_back();
                    table = static_cast<int>(tables.size()) - 1;
                    row = -1;
                } else if (tag == GUMBO_TAG_TR && table >= 0) {
                    tables[static_cast<size_t>(table)].emplace_back();
                    row = static_cast<qsizetype>(tables[static_cast<size_t>(table)].size()) - 1;
                } else if ((tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) && table >= 0
                    && !tables[static_cast<size_t>(table)].empty()) {
                    // A cell belongs to the row that holds it (rows in a template inside an
                    // earlier cell come later); a cell outside any row goes to the last one.
                    auto& rows = tables[static_cast<size_t>(table)];
                    const qsizetype cellRow = row >= 0 ? row : static_cast<qsizetype>(rows.size()) - 1;
                    QStringList& cells = rows[static_cast<size_t>(cellRow)];
                    cells.append(QString());
                    stack.push_back({ node, table, true, text.size(), cellRow, cells.size() - 1, false });
                }
                frame.table = table;
                frame.row = row;
            }
            const GumboVector* children = childrenOf(node);
            for (unsigned i = children->length; i-- > 0;)
                stack.push_back({ static_cast<const GumboNode*>(children->data[i]), frame.table, false, 0,
                    frame.row, -1 });
        }
    }
};

} // namespace

PageLinkComponent::PageLinkComponent()
    : fetcher_([](const QUrl& url, int seconds) { return fetchBlocking(url, seconds); })
{
}

void PageLinkComponent::clear()
{
    parsePeakBytes_ = 0;
    links_.clear();
    tables_.clear();
    excludes_.clear();
}

void PageLinkComponent::setPage(const QString& html, const QUrl& address)
{
    clear();
    const QByteArray bytes = html.toUtf8();
    Walker w;
    {
        ParseArena arena;
        const GumboOptions options = arena.options();
        GumboOutput* output
            = gumbo_parse_with_options(&options, bytes.constData(), static_cast<size_t>(bytes.size()));
        w.base = address;
        w.findBase(output->root);
        w.walk(output->root);
        parsePeakBytes_ = arena.peakBytes();
        // The arena frees the tree; gumbo_destroy_output would recurse through it.
    }
    for (const auto& [text, href] : w.rawLinks) {
        const QUrl resolved = w.base.resolved(QUrl(href.trimmed()));
        links_.append({ text, resolved.toString() });
    }
    tables_ = std::move(w.tables);
}

bool PageLinkComponent::LoadPageFile(const QString& path, int, int)
{
    clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    setPage(decodeBody(bytes, QString()), QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    return true;
}

bool PageLinkComponent::FetchPage(const QString& pattern, const QString& term, int, int timeoutSeconds, int)
{
    clear();
    QString address = pattern;
    address.replace(QStringLiteral("***"), QString::fromLatin1(QUrl::toPercentEncoding(term)));
    const QUrl url(address);
    if (!url.isValid())
        return false;
    const FetchResult result = fetcher_(url, timeoutSeconds);
    // An error page (404, a 503 "try later") is not the result page asked for; its links
    // would end up in the URL list as if they were results.
    if (!result.ok || result.status / 100 != 2)
        return false;
    setPage(decodeBody(result.body, result.contentType), result.finalUrl.isValid() ? result.finalUrl : url);
    return true;
}

void PageLinkComponent::ExcludeLinks(int, const QString& first, const QString& second, const QString& third)
{
    for (const QString& text : { first, second, third }) {
        if (text.isEmpty() || text.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0)
            continue;
        excludes_.append(text);
    }
}

namespace {

// ".pdf", ".mp3": a file type, not a piece of text to look for anywhere.
bool isFileType(const QString& text)
{
    if (text.size() < 2 || text[0] != QLatin1Char('.'))
        return false;
    for (qsizetype i = 1; i < text.size(); ++i)
        if (!text[i].isLetterOrNumber())
            return false;
    return true;
}

} // namespace

bool PageLinkComponent::excluded(const QString& address) const
{
    for (const QString& text : excludes_) {
        if (isFileType(text)) {
            // Only the path counts: "www.doctors.example" or "?term=a.mp3" is no document.
            if (QUrl(address).path().endsWith(text, Qt::CaseInsensitive))
                return true;
        } else if (address.contains(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

QList<LinkRecord> PageLinkComponent::GetLinks() const
{
    QList<LinkRecord> out;
    for (const LinkRecord& link : links_)
        if (!excluded(link.address))
            out.append(link);
    return out;
}

QString PageLinkComponent::FindLinkByText(const QString& text, int) const
{
    // The search site's own "Next" link is excluded from GetLinks yet must still be found.
    const QString wanted = text.trimmed();
    for (const LinkRecord& link : links_)
        if (link.text == wanted && !link.address.isEmpty())
            return link.address;
    return {};
}

QString PageLinkComponent::GetTableCell(int table, int row, int column) const
{
    if (table < 1 || table > static_cast<int>(tables_.size()))
        return {};
    const auto& rows = tables_[table - 1];
    if (row < 1 || row > static_cast<int>(rows.size()))
        return {};
    const QStringList& cells = rows[row - 1];
    if (column < 1 || column > cells.size())
        return {};
    return cells[column - 1];
}

} // namespace tarnwick
