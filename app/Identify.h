#pragma once
// Connection check and identification of the unit.
#include <QString>

class frmVireo;

enum class IdentifyResult { Identified, Failed, ProgramEnded };

// True for a read's protocol answers ("CNG", "NEEDLESS") and for no answer at all: none of
// them is a value of the item read.
bool IsProtocolAnswer(const QString &reply);
void ConnectUnit(frmVireo &w);
IdentifyResult IdentifyUnit(frmVireo &w);
// Sets modelnum and SubTyp from the model code (the part after the dash).
void ClassifyModel(const QString &code);
// Sets NetTyp from the model's first four characters, and the network button when there is a main window.
void SetNetType(const QString &model);
// The network kind of a model text (99 for a prefix no network has), touching nothing.
int NetTypeOf(const QString &model);
