// The cumulative index replaced (a new disc, a copy over the share) while the find dialog
// is open: the dialog goes on with the new file, inside its records, and never reads past
// its end.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "common/vb_text.h"
#include "index/cumulative_index.h"
#include "index/ui/frm_find.h"
#include "tests/index/find_fixture.h"

namespace velk {
namespace {

namespace mks = velk::mksample;

TEST(FindDialog, IndexReplacedWhileOpenIsReadAnewWithinItsRecords) {
    test::FindSetup in(mks::Collection::Quorvel, 1000);
    frmFind f(in.app);
    f.cmdCumBottom->click();
    ASSERT_EQ(f.lstCum->count(), 20);

    // Three records now, the last cut two bytes short as the record rule allows.
    std::string records = test::CumRec("1000001", "QUOR_0001", "3") + test::CumRec("1000002", "QUOR_0001", "4") +
                          test::CumRec("1000003", "QUOR_0002", "2");
    records.resize(records.size() - 2);
    const std::filesystem::path index = in.app.config.CurrentIndexPath;
    std::filesystem::remove(index);  // a new file under the old name, as a copy makes it
    std::ofstream(index, std::ios::binary) << records;

    f.cmdCumBottom->click();
    EXPECT_LE(f.lstCum->count(), 3);
    f.cmdCumTop->click();
    ASSERT_GE(f.lstCum->count(), 1);
    EXPECT_EQ(Trim(Left(f.lstCum->item(0)->text().toStdString(), 8)), "1000001");
    test::Type(f.txtFind, "1000003");
    f.cmdFind->click();
    for (int i = 0; i < f.lstCum->count(); ++i)
        EXPECT_LT(Trim(Left(f.lstCum->item(i)->text().toStdString(), 8)), "1000004");

    // And gone altogether: nothing read past what was there, and the dialog still answers.
    std::filesystem::remove(index);
    f.cmdCumBottom->click();
    f.cmdCumTop->click();
    test::Type(f.txtFind, "1000001");
    f.cmdFind->click();
    EXPECT_LE(f.lstCum->count(), 3);
    EXPECT_TRUE(f.cmdFind->isEnabled());
}

}  // namespace
}  // namespace velk
