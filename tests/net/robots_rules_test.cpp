// Which paths a robots.txt allows to which crawler, RFC 9309's own examples first.
#include "net/robots_rules.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

const char* const kSimple = // RFC 9309, 5.1
    "User-Agent: *\nDisallow: *.gif$\nDisallow: /example/\nAllow: /publications/\n\n"
    "User-Agent: foobot\nDisallow:/\nAllow:/example/page.html\nAllow:/example/allowed.gif\n\n"
    "User-Agent: barbot\nUser-Agent: bazbot\nDisallow: /example/page.html\n\n"
    "User-Agent: quxbot\n";
const char* const kLongest = // RFC 9309, 5.2
    "User-Agent: foobot\nAllow: /example/page/\nDisallow: /example/page/disallowed.gif\n";
const char* const kMerged = // RFC 9309, 2.2.1: both ExampleBot groups apply
    "user-agent: ExampleBot\ndisallow: /foo\ndisallow: /bar\n\n"
    "user-agent: ExampleBot\ndisallow: /baz\n\n"
    "user-agent: *\ndisallow: /qux\n";
const char* const kEncoded = // RFC 9309, 2.2.2's table of encodings
    "User-agent: *\nDisallow: /foo/bar?baz=quz\nDisallow: /foo/bar/\xE3\x83\x84\n"
    "Disallow: /a/%62%61%7A\nDisallow: /b/%2f\n";
const char* const kSpecial = // RFC 9309, 2.2.3
    "User-agent: *  # any crawler\nDisallow: /\nAllow: /this/path/exactly$\nAllow: /this/*/exactly\n";
const char* const kTies = "Disallow: /before-any-group\nUser-agent: Tarnwick/1.0\n"
                          "Sitemap: http://a.example/map.xml\nDisallow: /same\nAllow: /same\n"
                          "Allow: /tie\nDisallow: /tie\nDisallow: /longer/than\nAllow: /longer\n"
                          "Disallow: /%41%7eme%40\nDisallow: /*.php$\nAllow: /*/public/*.php$\n"
                          "Disallow: /%24literal$\nDisallow: /dollar$in/\nDisallow:\n"
                          "DISALLOW : /shout\nDisallow: /robots\n";

TEST(RobotsRules, PathsAllowedByGroupAndLongestMatch)
{
    const struct {
        const char* robots;
        const char* agent; // the User-Agent text as typed
        const char* path;
        bool allowed;
        const char* rule = ""; // the rule that decided, if any
    } cases[] = {
        { kSimple, "Tarnwick/1.0 (+http://tarnwick.example/)", "/example/", false, "Disallow: /example/" },
        { kSimple, "Tarnwick/1.0", "/pic.gif", false, "Disallow: *.gif$" },
        { kSimple, "Tarnwick/1.0", "/pic.gif?size=2", true },
        { kSimple, "Tarnwick/1.0", "/publications/", true, "Allow: /publications/" },
        { kSimple, "Tarnwick/1.0", "/", true },
        { kSimple, "foobot/2.1", "/example/page.html", true, "Allow: /example/page.html" },
        { kSimple, "FooBot", "/example/allowed.gif", true },
        { kSimple, "foobot", "/publications/", false, "Disallow: /" },
        { kSimple, "barbot", "/example/page.html", false },
        { kSimple, "BAZBOT/1", "/example/page.html", false },
        { kSimple, "bazbot", "/example/other.gif", true },
        { kSimple, "quxbot", "/example/page.gif", true }, // its group is empty, so nothing is refused
        { kLongest, "foobot", "/example/page/", true },
        { kLongest, "foobot", "/example/page/disallowed.gif", false },
        { kLongest, "otherbot", "/example/page/disallowed.gif", true }, // no group, no "*" group
        { kMerged, "ExampleBot", "/foo", false },
        { kMerged, "examplebot", "/baz/1", false },
        { kMerged, "ExampleBot", "/qux", true },
        { kMerged, "Tarnwick", "/qux", false },
        { kMerged, "Tarnwick", "/foo", true },
        { kEncoded, "t", "/foo/bar?baz=quz", false },
        { kEncoded, "t", "/foo/bar", true },
        { kEncoded, "t", "/foo/bar/%E3%83%84", false },
        { kEncoded, "t", "/foo/bar/%e3%83%84", false },
        { kEncoded, "t", "/a/baz", false },
        { kEncoded, "t", "/b/%2F", false },
        { kEncoded, "t", "/b/", true }, // an encoded slash is not a slash
        { kSpecial, "t", "/this/path/exactly", true },
        { kSpecial, "t", "/this/path/other", false },
        { kSpecial, "t", "/this/path/exactly/not", true }, // by the pattern with "*"
        { kSpecial, "t", "/this/way/exactly", true },
        { kSpecial, "t", "/that", false },
        { kSpecial, "t", "/robots.txt", true }, // always allowed
        { kTies, "tarnwick", "/before-any-group", true },
        { kTies, "tarnwick", "/same/thing", true, "Allow: /same" },
        { kTies, "tarnwick", "/tie", true, "Allow: /tie" }, // Allow wins in either order
        { kTies, "tarnwick", "/longer/than/this", false, "Disallow: /longer/than" },
        { kTies, "tarnwick", "/A~me%40", false }, // "A" and "~" decoded, "@" kept encoded
        { kTies, "tarnwick", "/A~me@", true },
        { kTies, "tarnwick", "/.php", false }, // the * matches nothing
        { kTies, "tarnwick", "/x/public/index.php", true },
        { kTies, "tarnwick", "/x/public/index.php5", true },
        { kTies, "tarnwick", "/%24literal", false },
        { kTies, "tarnwick", "/$literal", true },
        { kTies, "tarnwick", "/dollar$in/x", false }, // '$' inside a pattern is a plain character
        { kTies, "tarnwick", "/anything", true }, // an empty Disallow refuses nothing
        { kTies, "tarnwick", "/shout", false },
        { kTies, "tarnwick", "/robots.txt.bak", false },
        { "User-agent: *\r\nDisallow: /a\rUser-agent: b\r\nDisallow: /b", "x", "/a", false },
        { "User-agent: *\nDisallow: /*a*a*a*a*a*a*a*a*b", "x",
            "/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true },
        // A '%' that starts no escape is "%25", as in the URL the rule names.
        { "User-agent: *\nDisallow: /a%zz\nDisallow: /100%$", "x", "/a%25zz", false },
        { "User-agent: *\nDisallow: /a%zz\nDisallow: /100%$", "x", "/100%25", false },
        // A space or DEL written bare in a rule stands for its escape in the URL.
        { "User-agent: *\nDisallow: /a b\nDisallow: /d\x7f", "x", "/a%20b", false },
        { "User-agent: *\nDisallow: /a b\nDisallow: /d\x7f", "x", "/d%7F", false },
        // Escapes with the hex digits at each end of their ranges, in either case.
        { "User-agent: *\nDisallow: /c/%30%39%5a%3a%3F%0a%2e%5F", "x", "/c/09Z%3A%3f%0A._", false },
        { "User-agent: *\nDisallow: /c/%30%39%5a%3a%3F%0a", "x", "/c/08Z%3A%3f%0A", true },
        // Long pieces found, or not, after false starts that overlap them; the next piece follows.
        { "User-agent: *\nDisallow: /*aabaabaabaaac*end$", "x", "/x/aabaabaabaabaaac/end", false },
        { "User-agent: *\nDisallow: /*aabaabaabaaac*ac$", "x", "/x/aabaabaabaabaaac", true },
        { "User-agent: *\nDisallow: /*aabaabbab", "x", "/aabaabbaabbab", true },
        { "User-agent: *\nDisallow: */private*.pdf", "x", "/private.pdf", false }, // pieces at both ends
        { "User-agent: *\nDisallow: */p", "x", "/p/1", false }, // the last piece at the path's start
        { "User-agent: *\nDisallow: /a%2Db", "x", "/a-b", false },
        { "", "x", "/", true },
    };
    for (const auto& c : cases) {
        const RobotsRules rules = RobotsRules::parse(QString::fromUtf8(c.robots), productToken(c.agent));
        const RobotsRules::Verdict verdict = rules.check(QString::fromUtf8(c.path));
        EXPECT_EQ(verdict.allowed, c.allowed) << c.agent << " " << c.path << " in\n" << c.robots;
        if (*c.rule)
            EXPECT_EQ(verdict.rule, QString::fromUtf8(c.rule)) << c.agent << " " << c.path;
    }
}

TEST(RobotsRules, CrawlDelayOfTheChosenGroupAndWhatIsMatched)
{
    const std::pair<const char*, qint64> delays[] = {
        { "User-agent: *\nCrawl-delay: 5\n", 5000 },
        { "User-agent: *\nCrawl-delay: 0.5\nUser-agent: tarnwick\nCrawl-delay: 2", 2000 },
        { "User-agent: tarnwick\nCrawl-delay: 2\n\nUser-agent: tarnwick\nCrawl-delay: 3", 3000 },
        { "User-agent: other\nCrawl-delay: 9\n", 0 },
        { "User-agent: *\nCrawl-delay: soon\nCrawl-delay: -4\nCrawl-delay: inf\nCrawl-delay: nan\n", 0 },
        { "User-agent: *\nCrawl-delay: 1e9\n", 86400000 },
    };
    for (const auto& [robots, delayMs] : delays)
        EXPECT_EQ(RobotsRules::parse(robots, "Tarnwick").crawlDelayMs(), delayMs) << robots;

    EXPECT_EQ(productToken("  Tarnwick/1.0 (+http://x/)"), "Tarnwick");
    EXPECT_EQ(productToken("Tarnwick test"), "Tarnwick");
    EXPECT_EQ(robotsPath(QUrl("http://a.example")), "/");
    EXPECT_EQ(robotsPath(QUrl("http://a.example/a b?q=1&r=\xC3\xA9")), "/a%20b?q=1&r=%C3%A9");
}

} // namespace
} // namespace tarnwick
