#pragma once
// The question at start about recovery copies of maps whose program ended without saving them.
#include <QString>

namespace zem {

class TfrmMain;

// Where the copies live: "recovery" in the program's folder of the user's data
// (QStandardPaths::AppDataLocation, e.g. ~/.local/share/ZemMap/ZemMap/recovery).
QString RecoveryFolder();
// The interval of the copies in milliseconds: a minute, unless the environment variable
// ZEMMAP_AUTOSAVE_MS gives another (the tests shorten it; a person has no need to).
int AutosaveInterval();

// Offers each copy left by a program that is gone, oldest first: "Восстановить" opens it in Window,
// "Удалить" removes it, "Позже" keeps it for the next start. A damaged copy is reported and offered for
// deletion. After a copy was restored the others wait for the next start (the window holds one map).
// True when a copy was restored.
bool OfferRecoveryCopies(TfrmMain& Window);

} // namespace zem
