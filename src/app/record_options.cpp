#include "app/record_options.h"

#include "app/form1.h"

namespace tarnwick {

void Check4_Click(Form1& f)
{
    if (f.Check4.Value() == 1)
        f.Check5.setValue(0);
}

void Check5_Click(Form1& f)
{
    if (f.Check5.Value() == 1)
        f.Check4.setValue(0);
    f.Option2.setValue(true);
}

void Option1_Click(Form1& f)
{
    if (f.Option1.Value() && f.Check5.Value() == 1)
        f.Check4.setValue(1);
}

} // namespace tarnwick
