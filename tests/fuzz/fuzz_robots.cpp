// Any robots.txt a server may send, against any path: no crash, no sanitizer report, every input within the
// time tools/fuzz.sh allows (inputs reach past the 512 KiB that is read), and the same verdict for a path and
// for that path normalised once more. Before the first NUL byte: the file; after it (or, without one, in the
// file itself): the paths, the first eight lines, each cut to the 2 KiB of the longest URLs servers take.
#include "net/robots_rules.h"

#include <QByteArray>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnwick;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    QStringList paths = (nul < 0 ? text.left(RobotsRules::kMaxChars) : QString::fromUtf8(bytes.mid(nul + 1)))
                            .split(u'\n')
                            .mid(0, 8);
    for (const QString& token : { QStringLiteral("Tarnwick"), QString() }) {
        const RobotsRules rules = RobotsRules::parse(text, token);
        if (rules.crawlDelayMs() < 0)
            __builtin_trap();
        for (QString& path : paths) {
            path.truncate(2048);
            const QString normalised = normalisePercentEncoding(path);
            if (normalisePercentEncoding(normalised) != normalised)
                __builtin_trap(); // a second pass would compare another text
            const RobotsRules::Verdict verdict = rules.check(path);
            const RobotsRules::Verdict again = rules.check(normalised);
            if (verdict.allowed != again.allowed || verdict.rule != again.rule)
                __builtin_trap();
        }
    }
    return 0;
}
