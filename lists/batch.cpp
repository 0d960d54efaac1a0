#include "lists/batch.h"

namespace velk {

ListTable BatchTable(BatchList list) {
    switch (list) {
        case BatchList::Print:
            return ListTable::ToPrint;
        case BatchList::Export:
            return ListTable::ToExport;
        default:
            return ListTable::Remaining;
    }
}

const std::array<BatchTransfer, 6>& BatchTransfers() {
    static const std::array<BatchTransfer, 6> transfers{{
        {"cmdRem2Prt", BatchList::Remaining, BatchList::Print, "right"},
        {"cmdRem2Exp", BatchList::Remaining, BatchList::Export, "right"},
        {"cmdPrt2Exp", BatchList::Print, BatchList::Export, "down"},
        {"cmdPrt2Rem", BatchList::Print, BatchList::Remaining, "left"},
        {"cmdExp2Prt", BatchList::Export, BatchList::Print, "up"},
        {"cmdExp2Rem", BatchList::Export, BatchList::Remaining, "left"},
    }};
    return transfers;
}

const BatchTransfer* FindBatchTransfer(const std::string& button) {
    for (const BatchTransfer& t : BatchTransfers())
        if (button == t.button) return &t;
    return nullptr;
}

std::vector<std::string> BatchEntries(const ListStore& store, BatchList list, bool sorted) {
    const std::vector<ListRow> rows = list == BatchList::Remaining && sorted
                                          ? store.RowsSorted(ListTable::RemainingOrder)
                                          : store.Rows(BatchTable(list));
    std::vector<std::string> entries;
    entries.reserve(rows.size());
    for (const ListRow& r : rows) entries.push_back(r.DocumentNo);
    return entries;
}

std::int32_t BatchCount(const ListStore& store, BatchList list) {
    switch (list) {
        case BatchList::Print:
            return store.PrintCount();
        case BatchList::Export:
            return store.ExportCount();
        default:
            return store.RemainingCount();
    }
}

std::int32_t BatchPages(const ListStore& store, BatchList list) {
    switch (list) {
        case BatchList::Print:
            return store.PrintPages();
        case BatchList::Export:
            return store.ExportPages();
        default:
            return store.RemainingPages();
    }
}

std::string DocumentsLabel(std::int32_t count, bool afterTransfer) {
    return std::to_string(count) + (afterTransfer ? " documents" : " Documents");
}

std::string PagesLabel(std::int32_t pages, bool afterTransfer) {
    return std::to_string(pages) + (afterTransfer ? " pages" : " Pages");
}

std::string ArrowIconPath(const Config& config, const char* shape, bool enabled) {
    return config.appFile("\\icons" + config.CollectionLetter + "\\" + (enabled ? "e_" : "d_") + shape +
                          ".ico");
}

std::optional<std::vector<bool>> TransferEntries(ListStore& store, BatchList from, BatchList to,
                                                 const std::vector<std::string>& entries,
                                                 const TransferStep& step) {
    ListStore::Transaction tx(store);
    if (!tx.ok()) return std::nullopt;
    std::vector<bool> moved;
    moved.reserve(entries.size());
    const int total = static_cast<int>(entries.size());
    for (int i = 0; i < total; ++i) {
        moved.push_back(store.Move(BatchTable(from), BatchTable(to), entries[static_cast<std::size_t>(i)]));
        if (step && !step(i + 1, total)) return std::nullopt;  // the guard rolls every move back
    }
    if (!tx.commit()) return std::nullopt;
    return moved;
}

std::optional<FrameDialog> BatchFollowUp(const Config& config, BatchAction action) {
    if (action == BatchAction::Print) return FrameDialog::BatchPrint;
    if (action == BatchAction::Export && (config.isPatents() || config.isTrademarks()))
        return FrameDialog::BatchExport;
    return std::nullopt;
}

}  // namespace velk
