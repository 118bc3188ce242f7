#pragma once
// A minimal container for the control in tests: a widget to live in, user mode, and a record of property changes.
#include <QWidget>
#include <vector>

#include "platform/automation/ControlHosting.h"

class TestSite : public automation::ControlSite {
public:
    explicit TestSite(bool userMode = true) : userMode_(userMode) { container.resize(300, 200); }
    QWidget* ContainerWidget() override { return &container; }
    bool UserMode() const override { return userMode_; }
    void PropertyChanged(automation::DispId property) override { changes.push_back(property); }

    QWidget container;
    std::vector<automation::DispId> changes;

private:
    bool userMode_;
};
