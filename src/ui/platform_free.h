#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// A handler that needs no platform, in the one shape that menus and buttons call.
template <void (*H)(Form1&)> void withoutPlatform(Form1& f, Platform&)
{
    H(f);
}

} // namespace tarnwick
