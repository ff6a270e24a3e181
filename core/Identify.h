#pragma once
// What the unit's replies and model text say about it: the module kind and the network kind.
#include <QString>

// True for a read's protocol answers ("CNG", "NEEDLESS") and for no answer at all: none of
// them is a value of the item read.
bool IsProtocolAnswer(const QString &reply);
// Sets modelnum and SubTyp from the model code (the part after the dash).
void ClassifyModel(const QString &code);
// modelnum and SubTyp of a whole model text, as identification and file loading derive them
// ("K5VS-GZ2" and "K5N-NX8" by their whole text, every other by its code); `otherwise` is the
// modelnum kept where the code says nothing. Touches no global.
struct ModelKind {
    int modelnum;
    int subTyp;
};
ModelKind KindOfModel(const QString &model, int otherwise);

// The network kind of a model text's first four characters and its button.
struct NetKind {
    int netTyp = 99; // 99: a prefix no network has
    QString caption;
    int points = 0;
    bool needsSubTyp = false; // the button shows only for the sub-typed analog inputs
};
NetKind NetKindOf(const QString &model);
