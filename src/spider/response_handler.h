#pragma once

#include <QString>

namespace tarnwick {

class Form1;
class Platform;
class TransferControl;

/// The transfer control's state handler: caption progress, and for state 12 the whole
/// response processing of one spidered page.
void Inet1_StateChanged(Form1& f, Platform& p, int state);
/// The same for a notification of `source` instead of Inet1 (a request of a parallel run).
void Inet1_StateChanged(Form1& f, Platform& p, TransferControl& source, int state);
/// Routes the form's transfer control notifications to Inet1_StateChanged.
void attachResponseHandler(Form1& f, Platform& p);

} // namespace tarnwick
