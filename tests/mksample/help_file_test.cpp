// The help file of a sample installation, read back by the program's reader.
#include "platform/help_file.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "tests/mksample/readers.h"
#include "tools/mksample/mksample.h"

using namespace velk;
using namespace velk::mksample;
using velk::test::TempDir;

namespace {

// Every context number a help button or menu command opens.
constexpr long kUsedContexts[] = {0, 2, 3, 4, 5, 6, 8, 9, 17, 21};

TEST(MksampleHelp, EveryContextTheFormsUseHasARealTopic) {
    for (Collection c : {Collection::Quorvel, Collection::Tovrin, Collection::Assign}) {
        SCOPED_TRACE(CollectionName(c));
        TempDir tmp;
        SampleOptions o;
        o.collection = c;
        o.outDir = tmp.path / "inst";
        o.volumes = 1;
        o.documentsPerVolume = 1;
        o.pageScale = 0.1;
        SampleResult r = MakeSample(o);
        EXPECT_EQ(r.helpFile, r.appDir / (c == Collection::Tovrin ? "velkwm.hlp" : "velkwp.hlp"));

        HelpFile f = HelpFile::Load(r.helpFile);
        ASSERT_TRUE(f.ok()) << f.problem();
        std::set<long> present;
        for (const HelpTopic& t : f.topics()) present.insert(t.context);
        for (long context : kUsedContexts) {
            const HelpTopic* t = f.find(context);
            ASSERT_NE(t, nullptr) << "context " << context;
            EXPECT_FALSE(t->title.empty());
            EXPECT_GT(t->text.size(), 150u) << t->title;
            // About's own part follows the program's heading, so it has none of its own.
            EXPECT_EQ(t->html.find("<h1>") != std::string::npos, context != kHelpAboutContext) << t->title;
        }
        EXPECT_EQ(present.size(), std::size(kUsedContexts)) << "no topic nobody opens";

        // Every link between topics leads to a topic.
        std::regex link("href=\"topic:([0-9]+)\"");
        int links = 0;
        for (const HelpTopic& t : f.topics())
            for (std::sregex_iterator it(t.html.begin(), t.html.end(), link), end; it != end; ++it, ++links)
                EXPECT_NE(f.find(std::stol((*it)[1])), nullptr) << t.title << " links to " << (*it)[0];
        EXPECT_GE(links, 9);

        // Each collection's dialogs as the program has them.
        const bool patents = c == Collection::Quorvel;
        EXPECT_EQ(f.find(4)->text.find("subsection") != std::string::npos, c != Collection::Tovrin);
        EXPECT_EQ(f.find(5)->text.find("all pages except the first") != std::string::npos, patents);
        EXPECT_EQ(f.find(3)->text.find("drawings") != std::string::npos, patents);
        EXPECT_NE(f.contents().text.find(c == Collection::Tovrin   ? "tovrin"
                                         : c == Collection::Assign ? "assignments"
                                                                   : "quorvel"),
                  std::string::npos);
        EXPECT_NE(f.find(17)->text.find(r.helpFile.filename().string()), std::string::npos);
        EXPECT_NE(f.find(2)->text.find("document finder"), std::string::npos);
    }
}

}  // namespace
