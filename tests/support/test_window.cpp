#include "support/test_window.h"

#include "app/startup.h"
#include "spider/response_handler.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"

#include <QDir>

namespace tarnwick::test {

TestWindow::TestWindow(std::unique_ptr<TransferControl> inet)
{
    if (!inet) {
        auto fake = std::make_unique<FakeTransferControl>();
        transfer = fake.get();
        inet = std::move(fake);
    }
    form = std::make_unique<Form1>(std::move(inet));
    Form_Load(*form);
    p.folder = home.path();
}

void TestWindow::fillUrls(int count)
{
    QStringList entries;
    for (int i = 0; i < count; ++i)
        entries.append(QStringLiteral("http://e%1/").arg(i));
    form->List1.replaceAll(entries);
}

SpiderWindow::SpiderWindow(std::unique_ptr<TransferControl> inet, const QStringList& urls, const char* atOnce)
    : TestWindow(std::move(inet))
{
    attachResponseHandler(*form, p);
    readySpider(*form);
    form->List1.replaceAll(urls);
    form->Combo8.setText(atOnce);
}

QString SpiderWindow::outputs() const
{
    const Form1& f = *form;
    QString all = p.messages.join(u'|') + u'\n' + f.RichTextBox1.Text() + u'\n' + f.List1.items().join(u'|')
        + u'\n' + f.List5.items().join(u'|') + u'\n' + f.Label10.Caption() + u'|' + f.Label15.Caption() + u'|'
        + f.Text12.Text() + u'|' + QString::number(f.List1.ListIndex()) + u'\n' + f.runReport.summaryText()
        + u'\n' + f.runReport.csvText();
    const QDir out(path("cars"));
    for (const QString& name : out.entryList(QDir::Files, QDir::Name))
        all += u'\n' + name + u'\n' + QString::fromUtf8(readFileBytes(out.filePath(name)));
    return all;
}

} // namespace tarnwick::test
