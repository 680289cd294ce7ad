#include "spider/save_run_report.h"

#include "app/form1.h"
#include "app/platform.h"
#include "files/file_commands.h"

namespace tarnwick {

void mnuSaveRunReport_Click(Form1& f, Platform& p)
{
    // A run records every URL it reaches, so a run that happened has at least one row.
    if (f.runReport.outcomes().empty()) {
        p.MsgBox(QStringLiteral("No spider run to report on!"));
        return;
    }
    saveToChosenFile(p, f.reportDialog, f.runReport.csvText());
}

} // namespace tarnwick
