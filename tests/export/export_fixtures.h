#pragma once
// A generated installation for export runs: an output directory and a way to make
// a sample document the current one, as the viewer would have located it.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "export/batch_export.h"
#include "export/export_engine.h"
#include "tests/print/print_fixtures.h"
#include "viewer/document_locator.h"
#include "viewer/page_loading.h"

namespace velk::test {

namespace fs = std::filesystem;

struct ExportInstall : PrintInstall {
    fs::path out;
    explicit ExportInstall(mks::Collection c = mks::Collection::Quorvel, mks::DriveMode mode = mks::DriveMode::Tower,
                           int documentsPerVolume = 3)
        : PrintInstall(c, mode, documentsPerVolume) {
        app.config.CollectionLetter = c == mks::Collection::Quorvel ? "P" : "M";
        out = tree.dir("out");
    }
    const mks::SampleDocument& open(mks::ImageKind kind) {
        for (const mks::SampleDocument& d : s.documents)
            if (d.kind == kind && d.pages >= 2) return open(d);
        throw std::runtime_error(std::string("no sample document of kind ") + mks::KindName(kind));
    }
    const mks::SampleDocument& open(const mks::SampleDocument& d) {
        app.doc.CurDocNo = FixedWidth(d.number, 9);
        app.doc.CurVolume = d.volume;
        if (!GetPath_OpenIdx(app, d.number, d.volume)) throw std::runtime_error("not located: " + d.number);
        app.doc.CurPageCount = Int16(d.pages);
        return d;
    }
    // The source page as the viewer decodes it.
    QImage source(int page) {
        EXPECT_TRUE(GetPage(app, app.doc.CurImagePath, app.doc.CurDocNo, Int16(page)));
        return LoadRecordedPage(app, app.doc.CurImagePath, Int16(page)).toQImage();
    }
    // One document's pages, or the To Export list, in a run of its own as a dialog starts one.
    ExportOutcome exportPages(const std::vector<int>& pages, SaveFormat f, const fs::path& to) {
        ExportRun run(app, nullptr);
        return run.ExportDocument(pages, f, to);
    }
    ExportBatchResult batch(const PageOptions& o, SaveFormat f) {
        ExportRun run(app, nullptr);
        return ExportBatch(app, run, &o, f, out);
    }
    void toExport(const mks::SampleDocument& d) { lists->AddToExport(Entry(d), Int16(d.pages)); }
    std::vector<std::string> exportList() const { return listed(ListTable::ToExport); }
    // Files below the output directory, as "number/PageNNNN.EXT", in name order.
    std::vector<std::string> written() const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(out))
            if (e.is_regular_file()) names.push_back(fs::relative(e.path(), out).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

struct ExportLog : ExportProgressView {
    std::vector<ExportProgress> shown;
    void showProgress(const ExportProgress& p) override { shown.push_back(p); }
};

}  // namespace velk::test
