// Any bytes through the open commands: line endings, code pages, byte-order marks, NULs, long lines.
#include "fuzz_support.h"

#include "files/file_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static tarnwick::fuzz::Harness h;
    tarnwick::Form1& f = *h.form;
    const QString path = tarnwick::fuzz::writeScratch(
        h.folder, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (auto command : { tarnwick::mnuOpenURLs_Click, tarnwick::mnuOpenKeywords_Click,
             tarnwick::mnuOpenTemplate_Click, tarnwick::mnuOpenSpiderData_Click }) {
        h.platform.answerDialog(path);
        command(f, h.platform);
    }
    // The count captions must agree with the lists, whatever the file held.
    if (f.Label1.Caption() != QString::number(f.List1.ListCount())
        || f.Label7.Caption() != QString::number(f.List2.ListCount()))
        __builtin_trap();
    h.platform.messages.clear();
    h.platform.dialogAnswers.clear();
    return 0;
}
