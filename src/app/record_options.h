#pragma once

namespace tarnwick {

class Form1;

// The interlocks between the spider's record options. Setting a box from here runs that
// box's own handler, so the three chain into each other.
void Check4_Click(Form1& f);
void Check5_Click(Form1& f);
void Option1_Click(Form1& f);

} // namespace tarnwick
