#pragma once

#include "app/form1.h"
#include "app/startup.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QTemporaryDir>

#include <memory>

namespace tarnwick::test {

/// A loaded Form1 and a fake platform whose program folder is a fresh temporary folder.
struct LoadedForm {
    explicit LoadedForm(std::unique_ptr<TransferControl> inet = std::make_unique<FakeTransferControl>())
        : f(std::move(inet))
    {
        Form_Load(f);
        p.folder = home.path();
    }
    QTemporaryDir home;
    FakePlatform p;
    Form1 f;
};

/// A spider run's fields; a filter of spaces keeps every title; pages cars/insurance1.html on, sitemap.html.
inline void readySpider(Form1& f)
{
    f.Text6.setText(QStringLiteral("http://ref.example/"));
    f.Text4.setText(QStringLiteral("Agent/1"));
    f.Text5.setText(QStringLiteral(" "));
    f.Combo3.setText(QStringLiteral("1"));
    f.Text8.setText(QStringLiteral("cars"));
    f.Text9.setText(QStringLiteral("insurance"));
    f.Text10.setText(QStringLiteral("sitemap"));
    f.Text11.setText(QStringLiteral("Car insurance"));
}

} // namespace tarnwick::test
