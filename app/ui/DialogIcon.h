#pragma once

class QLabel;

// Puts the application icon into a dialog's icon label, stretched to the label.
void hpSetAppIcon(QLabel *label);
