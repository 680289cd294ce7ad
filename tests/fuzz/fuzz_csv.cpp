// Arbitrary spider data through the clipboard export, plain, HTML and CSV.
#include "fuzz_support.h"

#include "listtools/clipboard_export.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tarnwick::fuzz::Harness h;
    tarnwick::Form1& f = *h.form;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int mode = 0; mode < 3; ++mode) {
        f.RichTextBox1.setText(text);
        f.Check7.setValue(mode == 2 ? 1 : 0);
        f.Check3.setValue(mode == 1 ? 1 : 0);
        tarnwick::Command5_Click(f, h.platform);
    }
    h.platform.messages.clear();
    return 0;
}
