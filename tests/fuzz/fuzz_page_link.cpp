// Arbitrary HTML through the page-and-link component: links, exclusions, link by text and
// table cells, with the rule sets the harvest and the keyword lookup give. The first byte
// picks the rules, the page's address and whether the page comes from a file.
#include "fuzz_support.h"

#include "net/page_link_component.h"

#include <QUrl>

namespace {

const char* const kAddresses[] = { "http://fuzz.example/dir/page.html", "file:///tmp/fuzz/page.htm",
    "http://fuzz.example/search?q=a%20b&num=100", "" };

// A document rule (".pdf") is the file type ending the address's path; any other is text anywhere in it.
bool excludedBy(const QString& address, const QStringList& rules)
{
    for (const QString& rule : rules) {
        const bool documentType = rule.startsWith(QLatin1Char('.'));
        if (documentType ? QUrl(address).path().endsWith(rule, Qt::CaseInsensitive)
                         : address.contains(rule, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tarnwick::fuzz::Harness h;
    if (size == 0)
        return 0;
    const uint8_t options = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));

    tarnwick::PageLinkComponent page;
    if (options & 0x80) {
        if (!page.LoadPageFile(tarnwick::fuzz::writeScratch(h.folder, bytes), 60, 0))
            __builtin_trap(); // a file that was just written must load
    } else {
        page.setPage(
            tarnwick::decodeBody(bytes, QString()), QUrl(QString::fromLatin1(kAddresses[options & 3])));
    }
    const QList<tarnwick::LinkRecord> all = page.GetLinks();

    QStringList rules;
    if (options & 4) { // the harvest's rules
        page.ExcludeLinks(1, QStringLiteral("google."), QStringLiteral("google"));
        page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("&tab="));
        page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("cache:"));
        rules << QStringLiteral("google") << QStringLiteral("&tab=") << QStringLiteral("cache:");
    }
    if (options & 8) { // the keyword lookup's rules
        page.ExcludeLinks(1, QStringLiteral(".xml"), QStringLiteral(".pdf"));
        page.ExcludeLinks(1, QStringLiteral(".doc"), QStringLiteral(".mp3"));
        rules << QStringLiteral(".xml") << QStringLiteral(".pdf") << QStringLiteral(".doc")
              << QStringLiteral(".mp3");
    }
    const QList<tarnwick::LinkRecord> kept = page.GetLinks();

    // What is kept is exactly the links no rule matches, in page order.
    qsizetype next = 0;
    for (const tarnwick::LinkRecord& link : all) {
        if (excludedBy(link.address, rules))
            continue;
        if (next >= kept.size() || kept[next].address != link.address || kept[next].text != link.text)
            __builtin_trap();
        ++next;
    }
    if (next != kept.size())
        __builtin_trap();

    // Every link with an address is found by its text, exclusions or not; the first one wins.
    for (const tarnwick::LinkRecord& link : all) {
        if (link.address.isEmpty())
            continue;
        if (page.FindLinkByText(link.text, 1).isEmpty())
            __builtin_trap();
    }
    (void)page.FindLinkByText(QStringLiteral("Next"), 1);

    // Cells: in range or not, never a crash; text comes back trimmed and collapsed.
    for (int table = -1; table <= 4; ++table)
        for (int row = -1; row <= 5; ++row)
            for (int column = -1; column <= 3; ++column) {
                const QString cell = page.GetTableCell(table, row, column);
                if (cell != cell.simplified())
                    __builtin_trap();
            }
    return 0;
}
