#pragma once
// The find dialog. Its look-up, index window and list buttons come with the find
// dialog itself; until then it opens empty, so start-up ends where it will end.
#include <QDialog>

#include "platform/app.h"

class QPushButton;

namespace velk {

class frmFind : public QDialog {
    Q_OBJECT
public:
    explicit frmFind(App& app, QWidget* parent = nullptr);

    QPushButton* cmdClose;

protected:
    void showEvent(QShowEvent* event) override;

private:
    App& app_;
};

}  // namespace velk
