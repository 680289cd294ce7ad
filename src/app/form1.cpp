#include "app/form1.h"

#include "app/record_options.h"

#include <utility>

namespace tarnwick {

Form1::Form1(std::unique_ptr<TransferControl> inet)
    : Inet1(std::move(inet))
{
    OptionButton::group(Option1, Option2);
    Check4.onClick = [this] { Check4_Click(*this); };
    Check5.onClick = [this] { Check5_Click(*this); };
    Option1.onClick = [this] { Option1_Click(*this); };
}

void Form1::setCaption(const QString& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    ++revision_;
}

void Form1::SetFocus(const Control& control)
{
    focused_ = &control;
    ++focusRequests_;
    ++revision_;
}

} // namespace tarnwick
