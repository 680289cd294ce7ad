// Arbitrary bodies through the spider's real state-12 handler: titles, descriptions, markers,
// entities and code pages. The first byte picks the record options and the charset.
#include "fuzz_support.h"

#include "net/blocking_fetch.h"
#include "spider/response_handler.h"

#include <QDir>

namespace {

const char* const kCharsets[] = { "", "text/html; charset=windows-1252", "text/html; charset=utf-8",
    "text/html; charset=shift_jis", "text/html; charset=bogus-42" };

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tarnwick::fuzz::Harness h;
    static bool attached = false;
    tarnwick::Form1& f = *h.form;
    if (!attached) {
        tarnwick::attachResponseHandler(f, h.platform);
        QDir(h.folder.path()).mkdir(QStringLiteral("out"));
        f.Text8.setText(QStringLiteral("out"));
        f.Text9.setText(QStringLiteral("page"));
        f.Combo3.setText(QStringLiteral("1"));
        attached = true;
    }
    if (size == 0)
        return 0;
    const uint8_t options = data[0];
    f.Check3.setValue(options & 1);
    f.Check5.setValue((options >> 1) & 1);
    if (options & 4)
        f.Option1.setValue(true);
    else
        f.Option2.setValue(true);
    f.Text5.setText((options & 8) ? QStringLiteral("a, b -c") : QStringLiteral(" "));
    f.Check8.setValue((options >> 4) & 1);
    const QString contentType = QString::fromLatin1(kCharsets[(options >> 5) % 5]);

    const QByteArray body(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
    const QString url = QStringLiteral("http://fuzz.example/");
    h.inet->answer(url, tarnwick::decodeBody(body, contentType));
    f.List1.Clear();
    f.List1.AddItem(url);
    f.Text7.setText(url);
    f.Text13.setText(QStringLiteral("1"));
    f.Text12.setText(QStringLiteral("0"));
    f.RichTextBox1.setText({});
    f.List5.Clear();
    f.Inet1->Execute(url, QStringLiteral("GET"), {}, {});
    for (int turn = 0; turn < 1000 && f.Inet1->StillExecuting(); ++turn)
        (void)h.platform.DoEvents();
    if (f.Inet1->StillExecuting())
        __builtin_trap(); // the handler left the request hanging
    h.platform.messages.clear();
    return 0;
}
