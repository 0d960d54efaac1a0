#pragma once
// The Found list as the windows show it and step through it: in entry order, or
// in numerical order when the user chose the sorted display.
#include <vector>

#include "lists/list_store.h"

namespace velk {

struct App;

// Found entries in display order: FoundOrder sorted when sorted, Found in entry order otherwise.
std::vector<ListRow> FoundDisplayRows(const ListStore& store, bool sorted);
// The same by the run's choice (App::FoundSorted); empty without a store.
std::vector<ListRow> FoundDisplayRows(const App& app);

}  // namespace velk
