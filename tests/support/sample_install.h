// Small generated installations for tests, and the run state start-up would give them.
#pragma once

#include <filesystem>

#include "platform/app.h"
#include "platform/drives.h"
#include "tools/mksample/mksample.h"

namespace velk::test {

// Two volumes of small pages: fast to make, every kind of document present.
inline mksample::SampleResult MakeSmallSample(const std::filesystem::path& out, mksample::Collection c,
                                              mksample::DriveMode mode, int documentsPerVolume,
                                              bool hostile = false,
                                              mksample::Installation installation = mksample::Installation::Open) {
    mksample::SampleOptions o;
    o.collection = c;
    o.outDir = out;
    o.mode = mode;
    o.volumes = 2;
    o.documentsPerVolume = documentsPerVolume;
    o.pageScale = 0.1;
    o.hostile = hostile;
    o.installation = installation;
    return mksample::MakeSample(o);
}

// Configuration and drives as the program reads them from that installation.
inline void PointAppAt(App& app, const mksample::SampleResult& s, mksample::DriveMode mode) {
    const bool tower = mode == mksample::DriveMode::Tower;
    app.config.CollectionMode = s.collectionMode;
    app.config.AppDir = s.appDir.string();
    app.config.SmartCdOn = tower ? "Y" : "N";
    app.config.CDDrive = tower ? s.driveRoot.string() : "E:";
    app.config.OpenIdxPath = app.config.CDDrive + "\\open.idx";
    app.config.CurrentIndexPath = s.indexFile.string();
    app.drives = Drives::load(s.appDir.string());
}

}  // namespace velk::test
