#pragma once
// The batch list manager's rules: the three lists it shows, the six transfers
// between them and the texts of its count labels.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/ports.h"

namespace velk {

enum class BatchList { Remaining, Print, Export };

ListTable BatchTable(BatchList list);

struct BatchTransfer {
    const char* button;  // cmdRem2Prt, ...
    BatchList from;
    BatchList to;
    const char* shape;  // the arrow picture: "right", "down", "left", "up"
};
const std::array<BatchTransfer, 6>& BatchTransfers();
const BatchTransfer* FindBatchTransfer(const std::string& button);

// The entry texts a list shows: the Remaining list in entry order, or sorted by
// number when the find dialog's sort option is on; the others in entry order.
std::vector<std::string> BatchEntries(const ListStore& store, BatchList list, bool sorted);

std::int32_t BatchCount(const ListStore& store, BatchList list);
std::int32_t BatchPages(const ListStore& store, BatchList list);
// "12 Documents" / "340 Pages" after opening; " documents" / " pages" after a transfer.
std::string DocumentsLabel(std::int32_t count, bool afterTransfer);
std::string PagesLabel(std::int32_t pages, bool afterTransfer);

// The arrow picture: AppDir & "\icons" & CollectionLetter & "\e_right.ico" (enabled)
// or "\d_right.ico" (disabled), as a native path.
std::string ArrowIconPath(const Config& config, const char* shape, bool enabled);

// Moves the entries from one list to the other through the store, top to bottom, as
// one transaction; for each entry whether it moved (one the store cannot move stays
// where the store has it). step(done, total) follows every entry; when it returns
// false the whole transfer is undone. nullopt when nothing was kept.
using TransferStep = std::function<bool(int done, int total)>;
std::optional<std::vector<bool>> TransferEntries(ListStore& store, BatchList from, BatchList to,
                                                 const std::vector<std::string>& entries,
                                                 const TransferStep& step = {});

// What the batch window's Batch Print and Batch Export buttons open while it is
// closed: the frame's batch print or batch export; the assignments have no export.
enum class BatchAction { Close, Print, Export };
std::optional<FrameDialog> BatchFollowUp(const Config& config, BatchAction action);

}  // namespace velk
