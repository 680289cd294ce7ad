#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstddef>
#include <functional>
#include <vector>

#include "net/blocking_fetch.h"

namespace tarnwick {

/// One link of a page: its text (trimmed, whitespace collapsed) and its absolute address.
struct LinkRecord {
    QString text;
    QString address;
};

/// Loads one HTML page (from a file or over HTTP), and answers questions about its links
/// and tables. After a failed load or fetch there is no current page: no links, no cells.
///
/// Exclusion rules (ExcludeLinks): each given text is matched, ignoring case, against a
/// link's address, and a link whose address contains one of them is left out. A text that
/// is a file type (a dot and letters or digits, such as ".pdf") matches only addresses whose
/// path ends with it, so hosts like "www.doctors.example" stay. The text
/// "all" is a keyword, not a pattern: it stands for "the texts after me, anywhere", so
/// ExcludeLinks(1, "all", "&tab=") drops only addresses holding "&tab=". Rules hold until
/// the next load.
///
/// Table numbering (GetTableCell): tables count from 1 in document order, nested tables
/// included; rows from 1 within that table only (a nested table's rows are not its rows);
/// columns from 1, counting td and th cells of the row. Cell text is trimmed, whitespace
/// collapsed, and holds the text of any table nested in the cell.
class PageLinkComponent {
public:
    using Fetcher = std::function<FetchResult(const QUrl&, int timeoutSeconds)>;

    PageLinkComponent();

    /// Reads `path` as the current page; its address is the page's <base href>, else the
    /// file's URL. False when the file cannot be read.
    bool LoadPageFile(const QString& path, int timeoutSeconds = 60, int mode = 0);
    /// Fetches `pattern` with "***" replaced by the percent-encoded `term`. False when no
    /// complete answer arrived or the answer's status is not a success (2xx).
    bool FetchPage(
        const QString& pattern, const QString& term, int a = 0, int timeoutSeconds = 20, int b = 0);

    void ExcludeLinks(int mode, const QString& first, const QString& second = {}, const QString& third = {});
    QList<LinkRecord> GetLinks() const;
    /// The address of the first link whose whole trimmed text equals `text`, else empty.
    /// Exclusions do not apply here.
    QString FindLinkByText(const QString& text, int mode = 1) const;
    QString GetTableCell(int table, int row, int column) const;

    /// The most memory the parser held at once for the current page, in bytes.
    std::size_t parsePeakBytes() const { return parsePeakBytes_; }
    /// Replaces the network; tests point it at a loopback server or a script.
    void setFetcher(Fetcher fetcher) { fetcher_ = std::move(fetcher); }

    /// Parses `html` as the current page at `address` (the load paths end here).
    void setPage(const QString& html, const QUrl& address);

private:
    bool excluded(const QString& address) const;
    void clear();

    Fetcher fetcher_;
    std::size_t parsePeakBytes_ = 0;
    QList<LinkRecord> links_;
    // tables_[t][r][c], all zero-based here.
    std::vector<std::vector<QStringList>> tables_;
    QStringList excludes_;
};

} // namespace tarnwick
