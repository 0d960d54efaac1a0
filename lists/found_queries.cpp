#include "lists/found_queries.h"

#include "platform/app.h"

namespace velk {

std::vector<ListRow> FoundDisplayRows(const ListStore& store, bool sorted) {
    return sorted ? store.RowsSorted(ListTable::FoundOrder) : store.Rows(ListTable::Found);
}

std::vector<ListRow> FoundDisplayRows(const App& app) {
    if (!app.lists) return {};
    return FoundDisplayRows(*app.lists, app.FoundSorted);
}

}  // namespace velk
