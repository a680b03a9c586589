#pragma once

#include "prefs/Value.h"

namespace corvela {

// Three-way merge of a preference store, so that two processes that changed one store (the
// desktop program and a command-line run, or two command-line runs) keep each other's work.
//
// `base` is the store as this process read it, `ours` what this process made of it, and
// `theirs` the file as it is now. The result is `theirs` with this process's own changes
// applied, key by key:
//   - a key this process did not change keeps its value from `theirs`;
//   - a key this process removed is removed;
//   - a list (array) that both changed is merged entry by entry: entries this process removed
//     go, entries it added or changed are put in (replacing the entry of the same identity,
//     else in sorted position when this process's list is sorted ignoring case, else at the
//     end), and whatever the other process added stays. An entry's identity is its match
//     string for an instruction (descriptionMatch or categoryMatch), its Name for an account
//     or a format record, and the value itself otherwise;
//   - any other value this process changed (a number, a text, the main window's settings)
//     takes this process's value: the later writer wins.
// All three must be dictionaries; a `theirs` that is not one counts as empty.
Value mergeStores(const Value& base, const Value& ours, const Value& theirs);

}  // namespace corvela
