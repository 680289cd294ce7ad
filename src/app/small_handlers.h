#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;

// The menus and panels that are not part of a larger task.
void mnuShowSpider_Click(Form1& f);
void mnuShowTemplate_Click(Form1& f);
void mnuDisclaimer_Click(Form1& f);
void Command7_Click(Form1& f);
void mnuGoToHelp_Click(Form1& f, Platform& p);
void mnuStopAll_Click(Form1& f);
/// What quitting now would throw away: a run in progress, else spider data changed since it
/// was last saved or opened; empty when nothing.
QString whatQuitLoses(const Form1& f);
/// Asks "Quit and lose ...?" when quitting would lose something, and stays on No. Otherwise
/// cancels a running request and ends the program; a loop pumping events ends at its next pump.
void mnuQuit_Click(Form1& f, Platform& p);
/// Deletes the selected URL; does nothing while the randomiser reorders the list.
void List1_DblClick(Form1& f);

} // namespace tarnwick
