// A generated installation with its list store and fake ports, for the flows of the
// find dialog, the found-list view and the go-to dialog.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <memory>
#include <string>
#include <vector>

#include "lists/list_store.h"
#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fakes.h"
#include "tests/support/sample_install.h"
#include "tools/mksample/mksample.h"

namespace velk::test {

struct FindSetup {
    TempTree tree{"find"};
    mksample::SampleResult s;
    FakePorts ports;
    App app;
    std::unique_ptr<ListStore> store;

    explicit FindSetup(mksample::Collection c, long indexRecords = 0, int documentsPerVolume = 4) {
        mksample::SampleOptions o;
        o.collection = c;
        o.outDir = tree.root() / "inst";
        o.volumes = 2;
        o.documentsPerVolume = documentsPerVolume;
        o.indexRecords = indexRecords;
        o.pageScale = 0.1;
        s = mksample::MakeSample(o);
        PointAppAt(app, s, mksample::DriveMode::Drive);
        app.config.CollectionLetter = c == mksample::Collection::Tovrin ? "M" : "P";
        app.config.HelpFilePath = s.helpFile.string();
        store = std::make_unique<ListStore>(s.appDir / "VELKWp.mdb", app.config.CollectionMode);
        store->OpenDatabases();
        app.lists = store.get();
        ports.wire(app.ports);
    }
    // An index written by the test instead of the sample's.
    void useIndex(const std::string& records) {
        app.config.CurrentIndexPath = tree.write("own.idx", records).string();
    }
    std::vector<std::string> entries(ListTable t) const {
        std::vector<std::string> out;
        for (const ListRow& r : store->Rows(t)) out.push_back(r.DocumentNo);
        return out;
    }
    // The four tables and their totals agree with `found` entries of `pages` pages in all.
    void expectConsistent(std::size_t found, int pages) const {
        EXPECT_EQ(store->Rows(ListTable::Found).size(), found);
        EXPECT_EQ(store->Rows(ListTable::FoundOrder).size(), found);
        EXPECT_EQ(store->Rows(ListTable::Remaining).size(), found);
        EXPECT_EQ(store->Rows(ListTable::RemainingOrder).size(), found);
        EXPECT_EQ(store->FoundCount(), static_cast<int>(found));
        EXPECT_EQ(store->RemainingCount(), static_cast<int>(found));
        EXPECT_EQ(store->RemainingPages(), pages);
    }
};

inline void Press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &e);
}

// Types text key by key, as a user does.
inline void Type(QWidget* w, const std::string& text) {
    for (char c : text) {
        QKeyEvent e(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(w, &e);
    }
}

inline std::vector<std::string> Lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(list->item(i)->text().toStdString());
    return out;
}

inline std::string Selected(const QListWidget* list) {
    return list->currentRow() < 0 ? std::string() : list->currentItem()->text().toStdString();
}

}  // namespace velk::test
