#pragma once

#include <QDir>

namespace corvela::screenshots {

// Saves confirmation-view<suffix>.png and new-instruction-view<suffix>.png of the transaction
// dialog in `out`,
// from a bank run over a small download with a fresh preference store, the person's typing
// done through the keyboard. Needs a display server. Returns false when a picture could not
// be taken; prints the path of each picture saved.
bool takeTransactionDialogShots(const QDir& out, const QString& suffix = {});

}  // namespace corvela::screenshots
