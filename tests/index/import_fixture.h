#pragma once
// A run state for import tests: a small cumulative index written by the test, a
// list store in its own directory, and every port faked.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "index/cumulative_index.h"
#include "lists/list_store.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fake_modal.h"
#include "tests/support/fakes.h"

namespace velk::test {

using Strings = std::vector<std::string>;

inline Strings Entries(const ImportTable& t) {
    Strings out;
    for (const ImportRow& r : t.rows) out.push_back(r.EntryText);
    return out;
}

struct ImportWorld {
    TempTree tree{"import-run"};
    FakePorts fakes;
    FakeModal modal;
    App app;
    std::unique_ptr<ListStore> store;

    // records: {number, volume, pages}, written in the order given (sorted by the caller).
    explicit ImportWorld(const std::string& mode, const std::vector<std::vector<std::string>>& records) {
        std::string bytes;
        for (const auto& r : records) bytes += CumRec(r[0], r[1], r[2]);
        const auto index = tree.write(mode == kModeTrademarks ? "cum_mark.idx" : "cum.idx", bytes);
        app.config.CollectionMode = mode;
        app.config.AppDir = tree.str();
        app.config.CollectionLetter = mode == kModeTrademarks ? "M" : "P";
        app.config.InstallationType = "OPEN";
        app.config.CurrentIndexPath = index.string();
        app.config.ImportPath = tree.dir("lists").string();
        app.config.ExportPath = tree.dir("out").string();
        app.config.PageType = "LETTER";
        store = std::make_unique<ListStore>(tree.root() / "VELKWp.mdb", mode);
        store->OpenDatabases();
        app.lists = store.get();
        fakes.wire(app.ports);
        app.ports.modal = &modal;
    }
    // Three patents and one with more pages than a count holds.
    static ImportWorld Patents() {
        return ImportWorld(kModePatents, {{"5123456", "V001", "12"}, {"6234567", "V001", "3"},
                                          {"7345678", "V002", "40000"}, {"D345678", "V002", "2"}});
    }
    Strings texts(ListTable t) const {
        Strings out;
        for (const ListRow& r : store->Rows(t)) out.push_back(r.DocumentNo);
        return out;
    }
    // Found and its three companion tables hold `found`, Not Found `notFound`; the counts agree.
    void expectLists(const Strings& found, const Strings& notFound, int pages) const {
        for (ListTable t :
             {ListTable::Found, ListTable::FoundOrder, ListTable::Remaining, ListTable::RemainingOrder})
            EXPECT_EQ(texts(t), found) << static_cast<int>(t);
        EXPECT_EQ(texts(ListTable::NotFound), notFound);
        EXPECT_EQ(store->FoundCount(), static_cast<int>(found.size()));
        EXPECT_EQ(store->NotFoundCount(), static_cast<int>(notFound.size()));
        EXPECT_EQ(store->RemainingPages(), pages);
    }
    std::string list(const std::string& name, const std::string& text) const {
        return tree.write("lists/" + name, text).string();
    }
};

}  // namespace velk::test
